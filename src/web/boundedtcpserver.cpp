#include "boundedtcpserver.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <limits>

#include <unistd.h>

namespace {

// Holds a connection's place for as long as its socket lives: the socket owns it, so its
// place comes back however the socket goes, whoever deletes it and whatever was
// disconnected from it.
class Place : public QObject
{
public:
    Place(QTcpSocket *socket, std::function<void()> release)
        : QObject(socket), m_release(std::move(release))
    {}
    ~Place() override { m_release(); }

private:
    std::function<void()> m_release;
};

// An IPv4 peer of a socket that listens on IPv6 too is one address, however written.
QHostAddress plain(const QHostAddress &address)
{
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    return isIPv4 ? QHostAddress(ipv4) : address;
}

} // namespace

BoundedTcpServer::BoundedTcpServer(Limits limits, const QByteArray &webSocketPath, Opening opening,
                                   QObject *parent)
    : QTcpServer(parent), m_limits(limits), m_webSocketPath(webSocketPath),
      m_opening(std::move(opening))
{}

int BoundedTcpServer::unjoinedFrom(const QHostAddress &address) const
{
    const QHostAddress peer = plain(address);
    return int(std::count_if(m_connections.begin(), m_connections.end(), [&peer](const auto &one) {
        return one.second.stage != Stage::Joined && one.second.peer == peer;
    }));
}

bool BoundedTcpServer::makeRoom(const QHostAddress &peer)
{
    const auto oldestIdle = [this](auto within) {
        QTcpSocket *oldest = nullptr;
        quint64 opened = 0;
        for (const auto &[socket, connection] : m_connections) {
            const bool between =
                connection.stage == Stage::FirstRequest || connection.stage == Stage::Http;
            if (between && connection.idle && within(connection) &&
                (!oldest || connection.opened < opened)) {
                oldest = socket;
                opened = connection.opened;
            }
        }
        return oldest;
    };
    if (int(m_connections.size()) >= m_limits.most) {
        QTcpSocket *oldest = oldestIdle([](const Connection &) { return true; });
        if (!oldest)
            return false;
        close(oldest, false);
    }
    if (unjoinedFrom(peer) >= m_limits.mostPerAddress) {
        QTcpSocket *oldest =
            oldestIdle([&peer](const Connection &one) { return one.peer == peer; });
        if (!oldest)
            return false;
        close(oldest, false);
    }
    return true;
}

void BoundedTcpServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(int(descriptor));
        return;
    }
    const QHostAddress peer = plain(socket->peerAddress());
    if (!makeRoom(peer)) {
        socket->abort();
        delete socket;
        Q_EMIT turnedAway();
        return;
    }
    // However fast it sends, no more than the bound is taken from the system at once.
    socket->setReadBufferSize(LargestRequests);
    Connection &connection = m_connections[socket];
    connection.peer = peer;
    connection.opened = ++m_opened;
    new Place(socket, [server = QPointer<BoundedTcpServer>(this), socket] {
        if (server)
            server->released(socket);
    });
    // Whatever it sends or does not send, a connection has this long to be a WebSocket.
    connection.limit = new QTimer(socket);
    connection.limit->setSingleShot(true);
    connect(connection.limit, &QTimer::timeout, this, [this, socket] {
        const auto found = m_connections.find(socket);
        if (found != m_connections.end())
            close(socket, !found->second.idle);
    });
    connection.limit->start(m_limits.requestLimit);
    // Connected before the HTTP server's own reader, so it looks first.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { received(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
        const auto found = m_connections.find(socket);
        if (found != m_connections.end() && found->second.stage == Stage::Http)
            found->second.idle = true;
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void BoundedTcpServer::received(QTcpSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection &connection = found->second;
    connection.idle = false;
    if (connection.stage == Stage::FirstRequest) {
        readFirstRequest(socket, connection);
        return;
    }
    connection.received += socket->bytesAvailable();
    if (connection.received > LargestRequests) {
        // Once the HTTP server has read this part: a socket closed under its reader would
        // have it complain.
        connection.received = std::numeric_limits<qint64>::min(); // told once
        QMetaObject::invokeMethod(
            this,
            [this, socket = QPointer<QTcpSocket>(socket)] {
                if (socket)
                    close(socket, true);
            },
            Qt::QueuedConnection);
    }
}

void BoundedTcpServer::readFirstRequest(QTcpSocket *socket, Connection &connection)
{
    // Read in a transaction, so that the HTTP server can read it all again.
    if (!socket->isTransactionStarted())
        socket->startTransaction();
    const QByteArray more = socket->readAll();
    connection.head += more;
    connection.received += more.size();
    RequestHead head;
    qsizetype length = 0;
    const RequestHead::Status status = RequestHead::read(connection.head, &head, &length);
    if (status == RequestHead::Status::Incomplete) {
        if (connection.received >= LargestRequests) {
            socket->rollbackTransaction();
            close(socket, true);
        }
        return;
    }
    socket->rollbackTransaction();
    connection.head.clear();
    connection.stage = Stage::Http;
    if (status == RequestHead::Status::Complete && head.path() == m_webSocketPath) {
        // The opening function's from now on: it ends the socket when it is done with it.
        disconnect(socket, &QTcpSocket::disconnected, socket, nullptr);
        socket->skip(length);
        m_opening(socket, head);
        return;
    }
    // The HTTP server reads the whole request again: it is counted once.
    connection.received -= socket->bytesAvailable();
    addPendingConnection(socket);
    Q_EMIT newConnection();
    QMetaObject::invokeMethod(socket, &QTcpSocket::readyRead, Qt::QueuedConnection);
}

void BoundedTcpServer::becameWebSocket(QTcpSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    found->second.stage = Stage::WebSocket;
    found->second.limit->stop();
    // Its frames are the WebSocket's to read and bound.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    disconnect(socket, &QTcpSocket::bytesWritten, this, nullptr);
}

void BoundedTcpServer::joined(QTcpSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found != m_connections.end())
        found->second.stage = Stage::Joined;
}

void BoundedTcpServer::close(QTcpSocket *socket, bool turnAway)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return; // closed already
    // Its place is free at once, though the socket goes only later.
    found->second.limit->stop();
    m_connections.erase(found);
    disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
    if (turnAway)
        Q_EMIT turnedAway();
}

void BoundedTcpServer::released(QTcpSocket *socket) { m_connections.erase(socket); }
