#pragma once

#include <QTcpServer>

#include <functional>

// A TCP server that holds at most a number of connections at once, whatever they carry (a
// page's requests, a WebSocket, or nothing at all): one beyond them is closed as soon as
// it is accepted, so that no crowd of connections can make the panel's memory grow.
class BoundedTcpServer : public QTcpServer
{
    Q_OBJECT

public:
    BoundedTcpServer(int most, std::function<void()> turnedAway, QObject *parent = nullptr);

    int open() const { return m_open; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    int m_most;
    int m_open = 0;
    std::function<void()> m_turnedAway;
};
