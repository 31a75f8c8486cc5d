#pragma once

#include "web/requesthead.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>

#include <chrono>
#include <functional>
#include <map>

class QTimer;

// A TCP server that bounds every connection, whatever it carries (a page's requests, a
// WebSocket, or nothing at all), in number and in lifetime, so that no crowd of connections
// can fill the panel's memory or shut the pages out:
// - at most Limits::most at once, and from one address at most Limits::mostPerAddress that
//   are not joined pages. One beyond either takes the place of the oldest connection within
//   that bound that is idle (all it sent answered, or nothing sent yet), else of the oldest
//   that is still no WebSocket after Limits::patience, and is closed when there is none;
// - a connection that is not a WebSocket Limits::requestLimit after it opened is closed,
//   whatever it sends, and so is one that sends more than LargestRequests before it is one.
// The requests of each connection are read here: the opening of a WebSocket at the given
// path, as a connection's first request, goes to the opening function; any other request is
// answered with what the answering function gives for it. Only requests without a body are
// taken (a page's files are all it asks for): one with a body is refused and the connection
// closed. Every way a connection ends gives its place back: the place is held by an object
// that the socket owns. Connections refused or closed for breaking a bound are told by
// turnedAway(); idle ones that make room or run out their time are not.
class BoundedTcpServer : public QTcpServer
{
    Q_OBJECT

public:
    // A page's requests are a few hundred bytes each.
    static constexpr qint64 LargestRequests = 64 * 1024;
    // Answers written and not yet taken by the client, before its next request is read.
    static constexpr qint64 LargestUnsent = 64 * 1024;
    // Requests of one connection answered before the panel turns to its other work.
    static constexpr int RequestsAtOnce = 16;

    struct Limits
    {
        int most = 0;
        int mostPerAddress = 0;
        std::chrono::milliseconds requestLimit{0};
        // After this, a connection that is still no WebSocket may give its place to a
        // newcomer when no idle one can.
        std::chrono::milliseconds patience{2000};
    };
    // The opening of a WebSocket, its head read from socket: the socket is the function's
    // from now on, to answer and to keep or close.
    using Opening = std::function<void(QTcpSocket *socket, const RequestHead &head)>;
    // The whole response to a request: status line, headers and body.
    using Answering = std::function<QByteArray(const RequestHead &head)>;

    BoundedTcpServer(Limits limits, const QByteArray &webSocketPath, Opening opening,
                     Answering answering, QObject *parent = nullptr);

    int open() const { return int(m_connections.size()); }
    // Connections from address that are not joined pages.
    int unjoinedFrom(const QHostAddress &address) const;
    // The connection on socket is a WebSocket now: its own rules bound it from here on.
    void becameWebSocket(QTcpSocket *socket);
    // A page joined on socket: it no longer counts against its address.
    void joined(QTcpSocket *socket);

Q_SIGNALS:
    // A connection was refused, or closed for breaking a bound.
    void turnedAway();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    enum class Stage { FirstRequest, Http, WebSocket, Joined };
    struct Connection
    {
        QHostAddress peer;
        quint64 opened = 0; // the order of opening
        QElapsedTimer since;
        Stage stage = Stage::FirstRequest;
        bool idle = true; // all it sent answered
        qint64 received = 0;
        QByteArray head; // a request, until it is whole
        QTimer *limit = nullptr;
    };

    bool makeRoom(const QHostAddress &peer);
    void readRequests(QTcpSocket *socket, Connection &connection);
    void endAfterAnswer(QTcpSocket *socket, Connection &connection);
    static bool hasBody(const RequestHead &head);
    void received(QTcpSocket *socket);
    void close(QTcpSocket *socket, bool turnAway);
    void released(QTcpSocket *socket);

    Limits m_limits;
    QByteArray m_webSocketPath;
    Opening m_opening;
    Answering m_answering;
    std::map<QTcpSocket *, Connection> m_connections;
    quint64 m_opened = 0;
};
