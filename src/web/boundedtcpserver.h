#pragma once

#include <QTcpServer>

#include <functional>

// A TCP server that holds at most a number of connections at once, whatever they carry (a
// page's requests, a WebSocket, or nothing at all): one beyond them is closed as soon as
// it is accepted, so that no crowd of connections can make the panel's memory grow. A
// connection that sends more than LargestRequests before it becomes a WebSocket (a request
// whose headers run on, which the HTTP server would keep whole) is closed.
class BoundedTcpServer : public QTcpServer
{
    Q_OBJECT

public:
    // A page's requests are a few hundred bytes each.
    static constexpr qint64 LargestRequests = 64 * 1024;

    BoundedTcpServer(int most, std::function<void()> turnedAway, QObject *parent = nullptr);

    int open() const { return m_open; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    int m_most;
    int m_open = 0;
    std::function<void()> m_turnedAway;
};
