#include "boundedtcpserver.h"

#include <QTcpSocket>

#include <limits>

#include <unistd.h>

BoundedTcpServer::BoundedTcpServer(int most, std::function<void()> turnedAway, QObject *parent)
    : QTcpServer(parent), m_most(most), m_turnedAway(std::move(turnedAway))
{}

void BoundedTcpServer::incomingConnection(qintptr descriptor)
{
    if (m_open >= m_most) {
        ::close(int(descriptor));
        if (m_turnedAway)
            m_turnedAway();
        return;
    }
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(int(descriptor));
        return;
    }
    // A socket lives as long as its connection, through an upgrade to a WebSocket too.
    ++m_open;
    connect(socket, &QObject::destroyed, this, [this] { --m_open; });
    // Connected before the HTTP server's own reader, so it looks first. The server stops
    // this count when it hands the socket to a WebSocket: it disconnects every reader of
    // readyRead then, and the WebSocket bounds its own frames.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, received = qint64(0)]() mutable {
        received += socket->bytesAvailable();
        if (received > LargestRequests) {
            // Once the HTTP server has read this part: a socket closed under its reader
            // would have it complain.
            QMetaObject::invokeMethod(socket, &QTcpSocket::abort, Qt::QueuedConnection);
            received = std::numeric_limits<qint64>::min(); // told once
            if (m_turnedAway)
                m_turnedAway();
        }
    });
    addPendingConnection(socket);
    Q_EMIT newConnection();
}
