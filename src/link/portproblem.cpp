#include "portproblem.h"

#include "link/deviceholders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <cerrno>
#include <climits>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QString userName()
{
    if (const passwd *user = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(user->pw_name);
    return QString::number(::geteuid());
}

QString groupName(gid_t gid)
{
    if (const group *found = ::getgrgid(gid))
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(gid);
}

QString ownerName(uid_t uid)
{
    if (const passwd *owner = ::getpwuid(uid))
        return QString::fromLocal8Bit(owner->pw_name);
    return QString::number(uid);
}

// Whether the user belongs to gid in the group database, and whether this process
// already carries it (a membership added since the login is not carried yet).
bool listedInGroup(gid_t gid)
{
    const passwd *user = ::getpwuid(::geteuid());
    if (!user)
        return false;
    int count = 64;
    QList<gid_t> groups(count);
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(count);
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    groups.resize(count);
    return groups.contains(gid);
}

bool carriesGroup(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    const int count = ::getgroups(0, nullptr);
    QList<gid_t> groups(qMax(count, 0));
    if (count > 0 && ::getgroups(count, groups.data()) < 0)
        return false;
    return groups.contains(gid);
}

// The USB identity of a device, for a udev rule that matches the adapter.
QString usbMatch(const QString &device)
{
    const QString name = QFileInfo(device).fileName();
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
        if (port.portName() == name && port.hasVendorIdentifier() && port.hasProductIdentifier()) {
            return QStringLiteral("ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\", ")
                .arg(port.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                .arg(port.productIdentifier(), 4, 16, QLatin1Char('0'));
        }
    }
    return {};
}

// The pid in a QLockFile: the first line.
qint64 lockOwner(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readLine().trimmed().toLongLong();
}

bool isRunning(qint64 pid) { return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM); }

// The device numbers of the terminals that are no line to a board: the terminal of whoever
// opens it, the console, and the multiplexer that makes new pseudo-terminals.
constexpr unsigned TerminalsMajor = 5;
constexpr unsigned ControllingTerminal = 0;
constexpr unsigned Console = 1;
constexpr unsigned PseudoTerminalMaker = 2;
// The far sides of pseudo-terminals (/dev/pts/N), such as the virtual board's line.
constexpr unsigned FirstPseudoTerminalMajor = 136;
constexpr unsigned LastPseudoTerminalMajor = 143;

// Why a character device is no serial line, or nothing when it is one: a port with a
// driver behind it (the system lists its device), or the far side of a pseudo-terminal.
QString notALine(dev_t device)
{
    const unsigned major = ::major(device);
    const unsigned minor = ::minor(device);
    if (major == TerminalsMajor && minor == ControllingTerminal) {
        return PortProblem::tr("it is the terminal of whatever program opens it, not a serial "
                               "line: the panel would type its packets into it");
    }
    if (major == TerminalsMajor && minor == Console)
        return PortProblem::tr("it is the system's console, not a serial line");
    if (major == TerminalsMajor && minor == PseudoTerminalMaker) {
        return PortProblem::tr("it makes new pseudo-terminals and is no line itself (the "
                               "virtual board's line is the /dev/pts device it tells)");
    }
    if (major >= FirstPseudoTerminalMajor && major <= LastPseudoTerminalMajor)
        return {};
    if (QFileInfo::exists(QStringLiteral("/sys/dev/char/%1:%2/device").arg(major).arg(minor)))
        return {};
    return PortProblem::tr("it is not a serial line: no serial port's driver stands behind it "
                           "(a text console, or another kind of device)");
}

} // namespace

QStringList PortProblem::lockFolders()
{
    return {QStringLiteral("/var/lock"),
            QStringLiteral("/etc/locks"),
            QStringLiteral("/var/spool/locks"),
            QStringLiteral("/var/spool/uucp"),
            QStringLiteral("/tmp"),
            QStringLiteral("/var/tmp"),
            QStringLiteral("/var/lock/lockdev"),
            QStringLiteral("/run/lock")};
}

QString PortProblem::lockFileName(const QString &device)
{
    // QSerialPort names the lock after the port: the path without /dev/, slashes as '_'.
    QString port = device;
    if (port.startsWith(QLatin1String("/dev/")))
        port.remove(0, 5);
    return QStringLiteral("LCK..") + port.replace(QLatin1Char('/'), QLatin1Char('_'));
}

PortProblem PortProblem::beforeOpen(const QString &device)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(device).constData(), &info) == 0 && S_ISCHR(info.st_mode)) {
        if (const QString why = notALine(info.st_rdev); !why.isEmpty())
            return {Kind::NotSerial, why};
        // A pseudo-terminal with a shell on it is a person's terminal, not a bridge's line.
        const unsigned major = ::major(info.st_rdev);
        const QList<DeviceHolders::Holder> users =
            major >= FirstPseudoTerminalMajor && major <= LastPseudoTerminalMajor
                ? DeviceHolders::withControllingTerminal(device)
                : QList<DeviceHolders::Holder>();
        if (!users.isEmpty()) {
            return {Kind::NotSerial,
                    tr("it is the terminal of %1 (process %2), not a serial line: the panel "
                       "would type its packets into it")
                        .arg(users.first().program)
                        .arg(users.first().pid)};
        }
    }
    const qsizetype length = QFile::encodeName(lockFileName(device)).size();
    if (length <= NAME_MAX)
        return {};
    return {Kind::PathTooLong,
            tr("its path is too long to be locked against other programs: the lock file "
               "is named after the path, %1 characters where the system allows %2. Use a "
               "shorter path, for example a symbolic link in /tmp")
                .arg(length)
                .arg(NAME_MAX)};
}

PortProblem PortProblem::afterOpen(const QString &device, QSerialPort::SerialPortError error,
                                   const QString &errorText)
{
    const QByteArray path = QFile::encodeName(device);
    struct stat info
    {};
    if (error == QSerialPort::DeviceNotFoundError || ::stat(path.constData(), &info) != 0)
        return {Kind::Missing, tr("there is no such device (is the board's adapter plugged in?)")};
    if (S_ISDIR(info.st_mode))
        return {Kind::NotSerial, tr("it is a folder, not a serial device")};
    if (!S_ISCHR(info.st_mode))
        return {Kind::NotSerial, tr("it is a file, not a serial device")};
    if (error == QSerialPort::PermissionError) {
        if (::access(path.constData(), W_OK) != 0)
            return {Kind::Forbidden, permissionAdvice(device)};
        const QString holder = holderOf(device);
        if (!holder.isEmpty())
            return {Kind::Busy, tr("it is in use by %1").arg(holder)};
        if (const QString stale = staleLockOf(device); !stale.isEmpty())
            return {Kind::Busy, stale};
        return {Kind::Busy, tr("it is in use by another program (%1)").arg(errorText)};
    }
    if (error == QSerialPort::UnsupportedOperationError)
        return {Kind::NotSerial, tr("it is not a serial device (%1)").arg(errorText)};
    return {Kind::Other, errorText};
}

QString PortProblem::holderOf(const QString &device)
{
    for (const QString &folder : lockFolders()) {
        const qint64 pid = lockOwner(QDir(folder).filePath(lockFileName(device)));
        if (pid != ::getpid() && isRunning(pid)) {
            const QString program = DeviceHolders::programOf(pid);
            return program.isEmpty() ? tr("process %1").arg(pid)
                                     : tr("%1 (process %2)").arg(program).arg(pid);
        }
    }
    const QList<DeviceHolders::Holder> holders = DeviceHolders::of(device);
    if (holders.isEmpty())
        return {};
    return tr("%1 (process %2)").arg(holders.first().program).arg(holders.first().pid);
}

QString PortProblem::staleLockOf(const QString &device)
{
    for (const QString &folder : lockFolders()) {
        // Named by its own path: /var/lock is often a link to /run/lock.
        const QString lock =
            QFileInfo(QDir(folder).filePath(lockFileName(device))).canonicalFilePath();
        const qint64 pid = lock.isEmpty() ? 0 : lockOwner(lock);
        if (pid <= 0 || isRunning(pid))
            continue;
        struct stat info
        {};
        const bool ours =
            ::stat(QFile::encodeName(lock).constData(), &info) == 0 && info.st_uid == ::geteuid();
        return tr("nobody uses it, but a lock file that a program which no longer runs "
                  "(process %1) left behind is in the way: %2, which belongs to %3. Remove it "
                  "with '%4rm %2'")
            .arg(pid)
            .arg(lock, ownerName(info.st_uid), ours ? QString() : QStringLiteral("sudo "));
    }
    return {};
}

QString PortProblem::permissionAdvice(const QString &device)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0)
        return tr("permission denied");
    const QString user = userName();
    const QString group = groupName(info.st_gid);
    const QString mode = QStringLiteral("%1").arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    const bool groupMayWrite = (info.st_mode & S_IWGRP) != 0 && info.st_gid != 0;
    if (groupMayWrite && carriesGroup(info.st_gid)) {
        return tr("permission denied, although the user %1 is in its group %2 (mode %3)")
            .arg(user, group, mode);
    }
    if (groupMayWrite && listedInGroup(info.st_gid)) {
        return tr("permission denied: the user %1 was added to the group %2, which may use "
                  "it, after this session began. Log out and log in again")
            .arg(user, group);
    }
    if (groupMayWrite) {
        return tr("permission denied: the group %2 may use it, and the user %1 is not in "
                  "it. Add the user with 'sudo adduser %1 %2', then log out and log in again")
            .arg(user, group);
    }
    return tr("permission denied: only its owner %1 may use it (group %2, mode %3), and no "
              "group that the user %4 could join. Ask the administrator for a udev rule that "
              "gives the adapter to the dialout group, for example a line "
              "'SUBSYSTEM==\"tty\", %5GROUP=\"dialout\", MODE=\"0660\"' in "
              "/etc/udev/rules.d/50-dimmer-board.rules, and then to add %4 to dialout")
        .arg(ownerName(info.st_uid), group, mode, user, usbMatch(device));
}
