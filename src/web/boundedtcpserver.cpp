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
                                   Answering answering, QObject *parent)
    : QTcpServer(parent), m_limits(limits), m_webSocketPath(webSocketPath),
      m_opening(std::move(opening)), m_answering(std::move(answering))
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
    // Which connection gives its place, within a bound: the oldest idle one (all it sent
    // answered, or nothing sent yet), else the oldest one that has had its patience and is
    // still no WebSocket (a browser's requests are whole within moments; one that trickles
    // or says nothing must not keep a phone out for the whole of its time).
    const auto giving = [this](auto within) -> std::pair<QTcpSocket *, bool> {
        QTcpSocket *idle = nullptr;
        QTcpSocket *stale = nullptr;
        for (const auto &[socket, connection] : m_connections) {
            const bool between =
                connection.stage == Stage::FirstRequest || connection.stage == Stage::Http;
            if (!between || !within(connection))
                continue;
            if (connection.idle && (!idle || connection.opened < m_connections.at(idle).opened))
                idle = socket;
            if (!connection.idle && connection.since.hasExpired(m_limits.patience.count()) &&
                (!stale || connection.opened < m_connections.at(stale).opened))
                stale = socket;
        }
        return idle ? std::pair{idle, false} : std::pair{stale, true};
    };
    std::pair<QTcpSocket *, bool> forAddress{nullptr, false};
    if (unjoinedFrom(peer) >= m_limits.mostPerAddress) {
        forAddress = giving([&peer](const Connection &one) { return one.peer == peer; });
        if (!forAddress.first)
            return false;
    }
    std::pair<QTcpSocket *, bool> forAll{nullptr, false};
    if (int(m_connections.size()) - (forAddress.first ? 1 : 0) >= m_limits.most) {
        forAll = giving([](const Connection &) { return true; });
        if (!forAll.first)
            return false;
    }
    // Only once the newcomer is sure of its place does anyone give theirs.
    for (const auto &[socket, unfinished] : {forAddress, forAll}) {
        if (socket)
            close(socket, unfinished);
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
    connection.since.start();
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
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { received(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
        const auto found = m_connections.find(socket);
        if (found == m_connections.end() || found->second.stage != Stage::Http)
            return;
        // Requests that waited for the answers before them to go are answered now.
        if (!found->second.head.isEmpty() && socket->bytesToWrite() < LargestUnsent)
            readRequests(socket, found->second);
        else if (found->second.head.isEmpty() && socket->bytesToWrite() == 0)
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
    readRequests(socket, connection);
    // The answers go to the system now: a client that ends its side once its request is
    // sent (a half close) is still answered, rather than losing them when Qt reads its end.
    if (m_connections.count(socket))
        socket->flush();
}

void BoundedTcpServer::readRequests(QTcpSocket *socket, Connection &connection)
{
    if (connection.stage == Stage::FirstRequest) {
        // Read in a transaction, so that what follows the opening of a WebSocket stays in
        // the socket for the WebSocket to read.
        socket->startTransaction();
        const QByteArray first = socket->readAll();
        RequestHead head;
        qsizetype length = 0;
        const RequestHead::Status status = RequestHead::read(first, &head, &length);
        socket->rollbackTransaction();
        const bool likeARequest =
            first.isEmpty() || (first.front() >= 'A' && first.front() <= 'Z');
        if (status == RequestHead::Status::Incomplete && first.size() < LargestRequests &&
            likeARequest)
            return;
        if (status == RequestHead::Status::Complete && head.path() == m_webSocketPath) {
            // The opening function's from now on: it ends the socket when it is done with it.
            connection.stage = Stage::Http;
            disconnect(socket, &QTcpSocket::disconnected, socket, nullptr);
            socket->skip(length);
            m_opening(socket, head);
            return;
        }
        connection.stage = Stage::Http;
    }
    const QByteArray more = socket->readAll();
    connection.head += more;
    connection.received += more.size();
    if (connection.received > LargestRequests) {
        close(socket, true);
        return;
    }
    // A client that sends requests and never reads the answers gets no more answers than
    // fit under the bound; the rest of its requests wait, and then the system's buffers. A
    // few are answered at a time, so that a flood of them leaves the panel its other work.
    for (int answered = 0; !connection.head.isEmpty(); ++answered) {
        if (socket->bytesToWrite() >= LargestUnsent)
            return;
        if (answered == RequestsAtOnce) {
            QMetaObject::invokeMethod(
                this,
                [this, socket = QPointer<QTcpSocket>(socket)] {
                    const auto found = socket ? m_connections.find(socket) : m_connections.end();
                    if (found != m_connections.end() && found->second.stage == Stage::Http)
                        readRequests(socket, found->second);
                },
                Qt::QueuedConnection);
            return;
        }
        RequestHead head;
        qsizetype length = 0;
        RequestHead::Status status = RequestHead::read(connection.head, &head, &length);
        // A request begins with its method, a word in capitals: anything else (a TLS
        // greeting, a stray line end) is no request, told at once rather than after its time.
        const char first = connection.head.front();
        if (first < 'A' || first > 'Z')
            status = RequestHead::Status::Malformed;
        if (status == RequestHead::Status::Incomplete)
            return;
        const bool known = head.version == "HTTP/1.1" || head.version == "HTTP/1.0";
        if (status == RequestHead::Status::Malformed || !known || hasBody(head)) {
            // Nothing after it can be read as a request: answered, and the connection ends.
            socket->write(status == RequestHead::Status::Complete && known
                              ? QByteArrayLiteral("HTTP/1.1 405 Method Not Allowed\r\n"
                                                  "Allow: GET, HEAD\r\nContent-Length: 0\r\n"
                                                  "Connection: close\r\n\r\n")
                              : QByteArrayLiteral("HTTP/1.1 400 Bad Request\r\n"
                                                  "Content-Length: 0\r\n"
                                                  "Connection: close\r\n\r\n"));
            endAfterAnswer(socket, connection);
            Q_EMIT turnedAway();
            return;
        }
        connection.head.remove(0, length);
        const QByteArray answer = m_answering(head);
        socket->write(answer);
        const qsizetype answerHead = answer.indexOf("\r\n\r\n");
        if (head.version == "HTTP/1.0" || head.lists("connection", "close") ||
            QByteArrayView(answer)
                .first(answerHead < 0 ? 0 : answerHead + 2)
                .contains("\r\nConnection: close\r\n")) {
            endAfterAnswer(socket, connection);
            return;
        }
    }
}

bool BoundedTcpServer::hasBody(const RequestHead &head)
{
    if (head.count("transfer-encoding") > 0)
        return true;
    for (const auto &[name, value] : head.headers) {
        if (name == "content-length" && value != "0")
            return true;
    }
    return false;
}

void BoundedTcpServer::endAfterAnswer(QTcpSocket *socket, Connection &connection)
{
    // Nothing more is asked of it: it may give its place, and it is no refusal when its
    // time runs out before its client has read the answer.
    connection.idle = true;
    connection.head.clear();
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    socket->disconnectFromHost();
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
