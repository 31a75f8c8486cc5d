#pragma once

#include "web/framereader.h"
#include "web/messagerate.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>

class QTcpSocket;

// A page's WebSocket once its opening has been answered: it reads the page's frames and
// writes the panel's over the connection, which it owns from then on. It answers pings and
// the close as RFC 6455 asks, and bounds what a page may cost: a ping is answered at most
// MessageRate::MostPerSecond times a second and only while little waits unsent, so that a
// page that never reads is not sent more and more; a page whose unsent data passes
// LargestUnsent is dropped; what a page sends is taken LargestUnread at a time; and a
// closing connection that is not done within ClosingTime is cut.
class PageSocket : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 LargestUnsent = 64 * 1024;
    // What is taken from the connection at once, a few frames' worth: what a page sends
    // beyond it waits in the system, which slows the page down, rather than in the panel.
    static constexpr qint64 LargestUnread = 16 * 1024;
    // Unsent bytes beyond which a ping is not answered: a few states' worth.
    static constexpr qint64 MostUnsentForPong = 4096;
    static constexpr std::chrono::seconds ClosingTime{2};

    // socket: the connection, its opening answered; what it has already received is read.
    PageSocket(QTcpSocket *socket, qsizetype largestMessage, QObject *parent = nullptr);

    void sendText(const QByteArray &utf8);
    // The closing handshake, with code and a reason that the page's script reads; what the
    // page sends from now on is not read.
    void close(quint16 code, const QByteArray &reason = {});
    qint64 bytesToWrite() const;
    QTcpSocket *connection() const { return m_socket; }

Q_SIGNALS:
    void textReceived(const QByteArray &utf8);
    void binaryReceived();
    // The page broke the protocol, or sent a message beyond the largest: it was told code
    // and its connection closes.
    void failed(quint16 code);
    // Something the page had not taken was written.
    void bytesWritten();
    // The connection is gone, whichever way it ended.
    void ended();

private:
    void read();
    void write(quint8 opcode, const QByteArray &payload);
    void closeFrame(quint16 code, const QByteArray &reason);
    void finish();
    void cut();

    QTcpSocket *m_socket;
    FrameReader m_reader;
    MessageRate m_pings;
    bool m_closing = false;
    bool m_ended = false;
    QTimer m_closingTimer;
};
