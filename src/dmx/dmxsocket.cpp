#include "dmxsocket.h"

#include <QTimer>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

// How long the socket waits after a datagram for more: well under a console's frame (23 ms
// at 44 Hz), and under the line time of the packets its levels make.
constexpr std::chrono::milliseconds GatherTime = 2ms;
// What the system keeps meanwhile (capped by net.core.rmem_max): a flood must not push out
// the console's packets before the panel reads.
constexpr int ReceiveBuffer = 4 * 1024 * 1024;
// Datagrams taken with one call, and the room for each: the largest sACN data packet is 638
// bytes, an ArtDmx 530.
constexpr int BatchSize = 32;
constexpr std::size_t Room = 1024;
// Calls before the rest of the panel has a turn: a flood must not hold up the line's pace,
// the window and the operator's clicks.
constexpr int BatchesAtOnce = 4;

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

} // namespace

DmxSocket::DmxSocket(QObject *parent) : QObject(parent) {}

DmxSocket::~DmxSocket()
{
    m_notifier.reset();
    if (m_socket >= 0)
        ::close(m_socket);
}

bool DmxSocket::bind(std::uint16_t port, QString *reason)
{
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    const int off = 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    // Shared, so that OLA, a monitor or a visualiser on this computer hears the network too;
    // only the groups this socket joined, not every group another program on the port joined;
    // and the local address of each datagram, for a poll's reply.
    if (socket < 0 || ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::setsockopt(socket, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off) != 0 ||
        ::setsockopt(socket, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0 ||
        ::bind(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        *reason = systemError();
        if (socket >= 0)
            ::close(socket);
        return false;
    }
    ::setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &ReceiveBuffer, sizeof ReceiveBuffer);
    m_socket = socket;
    m_notifier = std::make_unique<QSocketNotifier>(m_socket, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &DmxSocket::onReadable);
    return true;
}

bool DmxSocket::join(std::uint32_t group, const QString &interface, QString *reason)
{
    QStringList names;
    if (!interface.isEmpty()) {
        names << interface;
    } else {
        ifaddrs *all = nullptr;
        if (::getifaddrs(&all) != 0) {
            *reason = systemError();
            return false;
        }
        for (const ifaddrs *at = all; at; at = at->ifa_next) {
            const QString name = QString::fromLocal8Bit(at->ifa_name);
            const bool up = at->ifa_flags & IFF_UP;
            // The loopback takes no IGMP and says no multicast, yet delivers a group sent on
            // it: a console on this computer sends there.
            const bool multicast = at->ifa_flags & (IFF_MULTICAST | IFF_LOOPBACK);
            if (up && multicast && !names.contains(name))
                names << name;
        }
        ::freeifaddrs(all);
    }
    QStringList problems;
    for (const QString &name : names) {
        ip_mreqn membership{};
        membership.imr_multiaddr.s_addr = htonl(group);
        membership.imr_ifindex = int(::if_nametoindex(name.toLocal8Bit().constData()));
        if (membership.imr_ifindex == 0) {
            problems << QStringLiteral("%1: %2").arg(name, tr("no such interface"));
            continue;
        }
        if (::setsockopt(m_socket, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership,
                         sizeof membership) != 0) {
            problems << QStringLiteral("%1: %2").arg(name, systemError());
            continue;
        }
        m_joined << name;
    }
    if (!m_joined.isEmpty())
        return true;
    *reason = problems.isEmpty() ? tr("no interface is up") : problems.join(QStringLiteral("; "));
    return false;
}

void DmxSocket::send(const QByteArray &datagram, std::uint32_t to, std::uint16_t port,
                     std::uint32_t from)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(to);
    iovec piece{const_cast<char *>(datagram.constData()), std::size_t(datagram.size())};
    // From the address the poll came to, so that the poller hears the node it polled.
    alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(in_pktinfo))> control{};
    msghdr message{};
    message.msg_name = &address;
    message.msg_namelen = sizeof address;
    message.msg_iov = &piece;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    cmsghdr *header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo source{};
    source.ipi_spec_dst.s_addr = htonl(from);
    std::memcpy(CMSG_DATA(header), &source, sizeof source);
    ::sendmsg(m_socket, &message, MSG_DONTWAIT);
}

void DmxSocket::onReadable()
{
    // The socket stays readable until it is read: the notifier rests until then.
    m_notifier->setEnabled(false);
    if (!m_waiting) {
        m_waiting = true;
        QTimer::singleShot(GatherTime, Qt::PreciseTimer, this, &DmxSocket::readWaiting);
    }
}

void DmxSocket::readWaiting()
{
    m_waiting = false;
    m_notifier->setEnabled(true);
    constexpr std::size_t ControlRoom = CMSG_SPACE(sizeof(in_pktinfo));
    std::vector<char> buffers(BatchSize * Room);
    std::vector<char> controls(BatchSize * ControlRoom);
    std::array<mmsghdr, BatchSize> messages{};
    std::array<iovec, BatchSize> pieces{};
    std::array<sockaddr_in, BatchSize> senders{};
    for (int batch = 0;; ++batch) {
        if (batch == BatchesAtOnce) {
            m_notifier->setEnabled(false);
            m_waiting = true;
            QTimer::singleShot(0, this, &DmxSocket::readWaiting);
            return;
        }
        for (std::size_t k = 0; k < BatchSize; ++k) {
            pieces[k] = {buffers.data() + k * Room, Room};
            messages[k].msg_hdr = {};
            messages[k].msg_hdr.msg_iov = &pieces[k];
            messages[k].msg_hdr.msg_iovlen = 1;
            messages[k].msg_hdr.msg_name = &senders[k];
            messages[k].msg_hdr.msg_namelen = sizeof senders[k];
            messages[k].msg_hdr.msg_control = controls.data() + k * ControlRoom;
            messages[k].msg_hdr.msg_controllen = ControlRoom;
        }
        const int got = ::recvmmsg(m_socket, messages.data(), BatchSize, MSG_DONTWAIT, nullptr);
        if (got <= 0)
            break;
        for (std::size_t k = 0; k < std::size_t(got); ++k) {
            msghdr &header = messages[k].msg_hdr;
            Datagram datagram;
            // A datagram longer than the room comes cut to it, and reads as too long.
            datagram.bytes =
                QByteArrayView(buffers.data() + k * Room, qsizetype(messages[k].msg_len));
            datagram.from = ntohl(senders[k].sin_addr.s_addr);
            datagram.fromPort = ntohs(senders[k].sin_port);
            for (cmsghdr *c = CMSG_FIRSTHDR(&header); c; c = CMSG_NXTHDR(&header, c)) {
                if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                    in_pktinfo info{};
                    std::memcpy(&info, CMSG_DATA(c), sizeof info);
                    datagram.to = ntohl(info.ipi_spec_dst.s_addr);
                }
            }
            if (m_handler)
                m_handler(datagram);
        }
        if (got < BatchSize)
            break;
    }
}
