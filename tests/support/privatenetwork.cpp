#include "privatenetwork.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <net/if.h>
#include <net/route.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

// The network namespace a process is in, as its link names it ("net:[4026532...]").
QByteArray namespaceOf(const QByteArray &process)
{
    char target[64] = {};
    const ssize_t size =
        ::readlink(("/proc/" + process + "/ns/net").constData(), target, sizeof target - 1);
    return size > 0 ? QByteArray(target, size) : QByteArray();
}

bool write(const char *path, const QByteArray &text)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

PrivateNetwork PrivateNetwork::enter()
{
    PrivateNetwork network;
    const uid_t user = ::geteuid();
    const gid_t group = ::getegid();
    network.root = user == 0;
    // Without root, a user namespace of its own first, in which this user is root.
    if (::unshare(user == 0 ? CLONE_NEWNET : CLONE_NEWUSER | CLONE_NEWNET) != 0) {
        network.impossible = errno == EPERM || errno == ENOSPC || errno == EINVAL;
        network.problem = systemError("no network namespace of its own (unshare)");
        return network;
    }
    if (user != 0 &&
        (!write("/proc/self/setgroups", "deny") ||
         !write("/proc/self/uid_map", QByteArray("0 ") + QByteArray::number(user) + " 1") ||
         !write("/proc/self/gid_map", QByteArray("0 ") + QByteArray::number(group) + " 1"))) {
        network.problem = QStringLiteral("no user map in the new namespace");
        return network;
    }
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq loopback{};
    std::strncpy(loopback.ifr_name, "lo", IFNAMSIZ - 1);
    rtentry route{};
    auto *to = reinterpret_cast<sockaddr_in *>(&route.rt_dst);
    auto *mask = reinterpret_cast<sockaddr_in *>(&route.rt_genmask);
    to->sin_family = mask->sin_family = AF_INET;
    to->sin_addr.s_addr = htonl(0xe0000000); // 224.0.0.0/4
    mask->sin_addr.s_addr = htonl(0xf0000000);
    route.rt_flags = RTF_UP;
    char device[] = "lo";
    route.rt_dev = device;
    if (socket < 0 || ::ioctl(socket, SIOCGIFFLAGS, &loopback) != 0)
        network.problem = systemError("no loopback");
    loopback.ifr_flags = short(loopback.ifr_flags | IFF_UP);
    if (network.problem.isEmpty() && ::ioctl(socket, SIOCSIFFLAGS, &loopback) != 0)
        network.problem = systemError("the loopback would not come up");
    if (network.problem.isEmpty() && ::ioctl(socket, SIOCADDRT, &route) != 0)
        network.problem = systemError("no route for multicast on the loopback");
    if (socket >= 0)
        ::close(socket);
    return network;
}

qint64 PrivateNetwork::udpDatagramsSent()
{
    QFile counters(QStringLiteral("/proc/net/snmp"));
    if (!counters.open(QIODevice::ReadOnly))
        return -1;
    // A line of names, then a line of numbers, each opening with the protocol.
    QList<QByteArray> names;
    for (const QByteArray &line : counters.readAll().split('\n')) {
        if (!line.startsWith("Udp: "))
            continue;
        if (names.isEmpty())
            names = line.split(' ');
        else
            return line.split(' ').value(names.indexOf("OutDatagrams"), "-1").toLongLong();
    }
    return -1;
}

PeerNetwork::PeerNetwork()
{
    m_holder.start(QStringLiteral("unshare"), {"--net", "sleep", "600"});
    const QByteArray ours = namespaceOf("self");
    const QByteArray theirs = QByteArray::number(m_holder.processId());
    QDeadlineTimer deadline(5000);
    while (m_holder.waitForStarted() && namespaceOf(theirs) == ours && !deadline.hasExpired())
        QThread::msleep(20);
    if (namespaceOf(theirs) == ours || namespaceOf(theirs).isEmpty()) {
        m_problem =
            QStringLiteral("no second namespace (unshare --net): ") + m_holder.errorString();
        return;
    }
    const QString pid = QString::number(m_holder.processId());
    const QString here = QStringLiteral("%1/24").arg(QLatin1String(HereAddress));
    const QString there = QStringLiteral("%1/24").arg(QLatin1String(ThereAddress));
    for (const QStringList &command :
         {QStringList{"ip", "link", "add", "dmxpanel", "type", "veth", "peer", "name",
                      "dmxconsole", "netns", pid},
          QStringList{"ip", "addr", "add", here, "brd", "+", "dev", "dmxpanel"},
          QStringList{"ip", "link", "set", "dmxpanel", "up"},
          inside({"ip", "addr", "add", there, "brd", "+", "dev", "dmxconsole"}),
          inside({"ip", "link", "set", "dmxconsole", "up"}),
          inside({"ip", "link", "set", "lo", "up"})}) {
        QProcess step;
        step.setProcessChannelMode(QProcess::MergedChannels);
        step.start(command.first(), command.mid(1));
        if (!step.waitForFinished() || step.exitCode() != 0) {
            m_problem = command.join(' ') + QStringLiteral(": ") + step.errorString() +
                        QString::fromLocal8Bit(step.readAll());
            return;
        }
    }
}

PeerNetwork::~PeerNetwork()
{
    m_holder.kill();
    m_holder.waitForFinished();
}

QStringList PeerNetwork::inside(const QStringList &command) const
{
    return QStringList{"nsenter", "--target", QString::number(m_holder.processId()), "--net"} +
           command;
}

QString PeerNetwork::run(const QStringList &command, QString *problem) const
{
    QProcess process;
    const QStringList whole = inside(command);
    process.start(whole.first(), whole.mid(1));
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        *problem = command.join(' ') + QStringLiteral(": ") + process.errorString() +
                   QString::fromLocal8Bit(process.readAllStandardError());
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}
