#include "boundedtcpserver.h"

#include <QTcpSocket>
#include <QTimer>

#include <limits>

#include <unistd.h>

BoundedTcpServer::BoundedTcpServer(int most, std::chrono::milliseconds idleLimit,
                                   std::function<void()> turnedAway, QObject *parent)
    : QTcpServer(parent), m_most(most), m_idleLimit(idleLimit), m_turnedAway(std::move(turnedAway))
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
    // Silence before the connection is a WebSocket closes it; becameWebSocket() stops this.
    auto *idle = new QTimer(socket);
    idle->setObjectName(QStringLiteral("idle"));
    idle->setSingleShot(true);
    idle->setInterval(m_idleLimit);
    connect(idle, &QTimer::timeout, this, [this, socket] {
        socket->abort();
        socket->deleteLater();
        if (m_turnedAway)
            m_turnedAway();
    });
    idle->start();
    // Connected before the HTTP server's own reader, so it looks first. The server stops
    // this count when it hands the socket to a WebSocket: it disconnects every reader of
    // readyRead then, and the WebSocket bounds its own frames.
    connect(socket, &QTcpSocket::readyRead, this,
            [this, socket, idle, received = qint64(0)]() mutable {
                idle->start();
                received += socket->bytesAvailable();
                if (received > LargestRequests) {
                    // Once the HTTP server has read this part: a socket closed under its reader
                    // would have it complain.
                    QMetaObject::invokeMethod(
                        socket,
                        [socket] {
                            socket->abort();
                            socket->deleteLater();
                        },
                        Qt::QueuedConnection);
                    received = std::numeric_limits<qint64>::min(); // told once
                    if (m_turnedAway)
                        m_turnedAway();
                }
            });
    addPendingConnection(socket);
    Q_EMIT newConnection();
}

void BoundedTcpServer::becameWebSocket(const QHostAddress &peer, quint16 peerPort)
{
    for (QTcpSocket *socket : findChildren<QTcpSocket *>(Qt::FindDirectChildrenOnly)) {
        if (socket->peerPort() == peerPort && socket->peerAddress().isEqual(peer)) {
            if (auto *idle = socket->findChild<QTimer *>(QStringLiteral("idle")))
                idle->stop();
        }
    }
}
