#include "privatenetwork.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <unistd.h>

namespace {

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

// Runs a command to its end: empty when it succeeded, else the command and what it said.
QString execute(const QStringList &command, QString *output = nullptr)
{
    QProcess process;
    process.start(command.first(), command.mid(1));
    const bool done = process.waitForFinished(10000) && process.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return done ? QString()
                : command.join(' ') + QStringLiteral(": ") + process.errorString() + ' ' +
                      QString::fromLocal8Bit(process.readAllStandardError());
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
        network.problem = QStringLiteral("no network namespace of its own (unshare): ") +
                          QString::fromLocal8Bit(std::strerror(errno));
    } else if (user != 0 &&
               (!write("/proc/self/setgroups", "deny") ||
                !write("/proc/self/uid_map", "0 " + QByteArray::number(user) + " 1") ||
                !write("/proc/self/gid_map", "0 " + QByteArray::number(group) + " 1"))) {
        network.problem = QStringLiteral("no user map in the new namespace");
    }
    return network;
}

QString PrivateNetwork::bringUp() const
{
    if (!problem.isEmpty())
        return problem;
    QString why = execute({"ip", "link", "set", "lo", "up"});
    return why.isEmpty() ? execute({"ip", "route", "add", "224.0.0.0/4", "dev", "lo"}) : why;
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
            QStringLiteral("no second namespace (unshare --net) ") + m_holder.errorString();
        return;
    }
    const QString here = QStringLiteral("%1/24").arg(QLatin1String(HereAddress));
    const QString there = QStringLiteral("%1/24").arg(QLatin1String(ThereAddress));
    // Broadcast addresses too ("brd +"): Art-Net polls by broadcast.
    for (const QStringList &command :
         {QStringList{"ip", "link", "add", "dmxpanel", "type", "veth", "peer", "name",
                      "dmxconsole", "netns", QString::fromLatin1(theirs)},
          QStringList{"ip", "addr", "add", here, "brd", "+", "dev", "dmxpanel"},
          QStringList{"ip", "link", "set", "dmxpanel", "up"},
          inside({"ip", "addr", "add", there, "brd", "+", "dev", "dmxconsole"}),
          inside({"ip", "link", "set", "dmxconsole", "up"}),
          inside({"ip", "link", "set", "lo", "up"})}) {
        m_problem = execute(command);
        if (!m_problem.isEmpty())
            return;
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
    QString output;
    *problem = execute(inside(command), &output);
    return output;
}
