#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <utility>

// The head of an HTTP/1.1 request: its request line and its headers, up to the empty line.
// Only as much as the web remote needs to tell the opening of a page's WebSocket from a
// request for the page, and to answer it. Reading is a pure function of the bytes.
struct RequestHead
{
    enum class Status {
        Incomplete, // no empty line yet
        Malformed,
        Complete,
    };

    QByteArray method;
    QByteArray target;
    QByteArray version;
    // In the order sent, names in lower case, values without the spaces around them.
    QList<std::pair<QByteArray, QByteArray>> headers;

    // How many headers are called name (lower case).
    qsizetype count(QByteArrayView name) const;
    // The value of the first header called name (lower case); empty when there is none.
    QByteArray value(QByteArrayView name) const;
    // Whether a header called name lists token among its comma-separated values, in any case.
    bool lists(QByteArrayView name, QByteArrayView token) const;
    // The target without its query.
    QByteArrayView path() const;

    // The head at the start of bytes. Complete: *length is the head's, empty line and all.
    static Status read(QByteArrayView bytes, RequestHead *head, qsizetype *length);
};
