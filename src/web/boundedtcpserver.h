#pragma once

#include <QTcpServer>

#include <chrono>
#include <functional>

// A TCP server that holds at most a number of connections at once, whatever they carry (a
// page's requests, a WebSocket, or nothing at all): one beyond them is closed as soon as
// it is accepted, so that no crowd of connections can make the panel's memory grow. A
// connection that sends more than LargestRequests before it becomes a WebSocket (a request
// whose headers run on, which the HTTP server would keep whole) is closed, and so is one
// that has sent nothing for idleLimit before it becomes one: idle connections cannot take
// every place and shut the pages out.
class BoundedTcpServer : public QTcpServer
{
    Q_OBJECT

public:
    // A page's requests are a few hundred bytes each.
    static constexpr qint64 LargestRequests = 64 * 1024;

    BoundedTcpServer(int most, std::chrono::milliseconds idleLimit,
                     std::function<void()> turnedAway, QObject *parent = nullptr);

    int open() const { return m_open; }
    // The connection from peer is a WebSocket now: its own rules bound it from here on.
    void becameWebSocket(const QHostAddress &peer, quint16 peerPort);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    int m_most;
    std::chrono::milliseconds m_idleLimit;
    int m_open = 0;
    std::function<void()> m_turnedAway;
};
