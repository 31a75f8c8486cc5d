#include "datagramport.h"

#include <QTimer>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// How long the port waits after a datagram for more to come: about the line time of a
// packet, which nobody sees; a tablet's fader sends a level every 16 ms.
constexpr std::chrono::milliseconds GatherTime = 5ms;

// What the system keeps meanwhile: as much as it allows a program (it halves what it gives
// for its own bookkeeping, and caps it at net.core.rmem_max).
constexpr int ReceiveBuffer = 4 * 1024 * 1024;

// Datagrams taken with one call, and the room for each: every message of the panel's takes
// a few dozen bytes, and a longer datagram is cut by the system and handed on empty, never
// as a shorter one.
constexpr int BatchSize = 32;
// Calls before the port lets the rest of the panel have a turn: a flood faster than the
// panel reads must not keep the line's pace, the window and the operator's clicks waiting.
constexpr int BatchesAtOnce = 2;
constexpr std::size_t Room = 2048;

sockaddr_storage socketAddress(const OscEndpoint &endpoint, socklen_t &length)
{
    sockaddr_storage address{};
    if (endpoint.address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto *ipv6 = reinterpret_cast<sockaddr_in6 *>(&address);
        ipv6->sin6_family = AF_INET6;
        ipv6->sin6_port = htons(endpoint.port);
        const Q_IPV6ADDR bytes = endpoint.address.toIPv6Address();
        std::memcpy(&ipv6->sin6_addr, bytes.c, sizeof ipv6->sin6_addr);
        ipv6->sin6_scope_id = endpoint.address.scopeId().toUInt();
        length = sizeof(sockaddr_in6);
    } else {
        auto *ipv4 = reinterpret_cast<sockaddr_in *>(&address);
        ipv4->sin_family = AF_INET;
        ipv4->sin_port = htons(endpoint.port);
        ipv4->sin_addr.s_addr = htonl(endpoint.address.toIPv4Address());
        length = sizeof(sockaddr_in);
    }
    return address;
}

} // namespace

DatagramPort::DatagramPort(QObject *parent) : QObject(parent) {}

DatagramPort::~DatagramPort()
{
    m_notifier.reset();
    if (m_socket >= 0)
        ::close(m_socket);
}

bool DatagramPort::bind(const OscEndpoint &at, QString *reason)
{
    socklen_t length = 0;
    const sockaddr_storage address = socketAddress(at, length);
    const int socket = ::socket(address.ss_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // Not shared (no SO_REUSEADDR): a second panel on the same port would take part of
    // the messages.
    if (socket < 0 || ::bind(socket, reinterpret_cast<const sockaddr *>(&address), length) != 0) {
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(errno));
        if (socket >= 0)
            ::close(socket);
        return false;
    }
    m_socket = socket;
    // Where it listens, with the port the system chose when 0 was asked for.
    sockaddr_storage bound{};
    socklen_t boundLength = sizeof bound;
    if (::getsockname(m_socket, reinterpret_cast<sockaddr *>(&bound), &boundLength) == 0)
        m_local = OscEndpoint::of(bound);
    ::setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &ReceiveBuffer, sizeof ReceiveBuffer);
    m_notifier = std::make_unique<QSocketNotifier>(m_socket, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &DatagramPort::onReadable);
    return true;
}

void DatagramPort::send(const QByteArray &datagram, const OscEndpoint &to)
{
    if (m_socket < 0)
        return;
    socklen_t length = 0;
    const sockaddr_storage address = socketAddress(to, length);
    ::sendto(m_socket, datagram.constData(), std::size_t(datagram.size()), MSG_DONTWAIT,
             reinterpret_cast<const sockaddr *>(&address), length);
}

void DatagramPort::onReadable()
{
    // The socket stays readable until it is read: the notifier rests until then.
    m_notifier->setEnabled(false);
    if (!m_waiting) {
        m_waiting = true;
        QTimer::singleShot(GatherTime, Qt::PreciseTimer, this, &DatagramPort::readWaiting);
    }
}

void DatagramPort::readWaiting()
{
    m_waiting = false;
    // A handler that runs an event loop of its own (a message box) gets what arrives
    // meanwhile in that loop, through a call of its own with buffers of its own.
    m_notifier->setEnabled(true);
    std::vector<std::byte> buffers(BatchSize * Room);
    std::array<mmsghdr, BatchSize> messages{};
    std::array<iovec, BatchSize> pieces{};
    std::array<sockaddr_storage, BatchSize> senders{};
    for (int batch = 0;; ++batch) {
        if (batch == BatchesAtOnce) {
            // More waits: read on after the rest of the event loop has had its turn.
            m_notifier->setEnabled(false);
            m_waiting = true;
            QTimer::singleShot(0, this, &DatagramPort::readWaiting);
            return;
        }
        for (int k = 0; k < BatchSize; ++k) {
            pieces[k] = {buffers.data() + std::size_t(k) * Room, Room};
            messages[k].msg_hdr = {};
            messages[k].msg_hdr.msg_iov = &pieces[k];
            messages[k].msg_hdr.msg_iovlen = 1;
            messages[k].msg_hdr.msg_name = &senders[k];
            messages[k].msg_hdr.msg_namelen = sizeof senders[k];
        }
        const int got = ::recvmmsg(m_socket, messages.data(), BatchSize, MSG_DONTWAIT, nullptr);
        if (got <= 0)
            break;
        for (int k = 0; k < got; ++k) {
            const bool whole = !(messages[k].msg_hdr.msg_flags & MSG_TRUNC);
            const QByteArrayView datagram(reinterpret_cast<const char *>(pieces[k].iov_base),
                                          whole ? qsizetype(messages[k].msg_len) : qsizetype(0));
            if (m_handler)
                m_handler(datagram, OscEndpoint::of(senders[k]));
        }
        if (got < BatchSize)
            break;
    }
}
