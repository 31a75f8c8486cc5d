#include "boundedtcpserver.h"

#include <QTcpSocket>

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
    addPendingConnection(socket);
    Q_EMIT newConnection();
}
