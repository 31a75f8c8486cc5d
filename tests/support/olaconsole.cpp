#include "olaconsole.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

namespace {

// Every plugin but Art-Net, which would otherwise look for hardware and other networks.
const char *const OtherPlugins[] = {
    "dummy",   "e131",    "espnet",           "ftdidmx", "gpio",     "karate",   "kinet",
    "milinst", "opendmx", "openpixelcontrol", "osc",     "pathport", "renard",   "sandnet",
    "shownet", "spi",     "stageprofi",       "uartdmx", "usbdmx",   "usbserial"};

} // namespace

OlaConsole::OlaConsole(const PeerNetwork &peer) : m_peer(peer)
{
    const passwd *nobody = ::getpwnam("nobody");
    bool written =
        m_folder.isValid() && nobody &&
        ::chown(m_folder.path().toLocal8Bit().constData(), nobody->pw_uid, nobody->pw_gid) == 0;
    const auto write = [this, &written](const QString &plugin, const QByteArray &settings) {
        QFile file(m_folder.filePath(QStringLiteral("ola-%1.conf").arg(plugin)));
        written = written && file.open(QIODevice::WriteOnly) && file.write(settings) > 0;
    };
    write(QStringLiteral("artnet"),
          "enabled = true\nip = " + QByteArray(PeerNetwork::ThereAddress) +
              "\nuse_loopback = false\nalways_broadcast = false\n");
    for (const char *plugin : OtherPlugins)
        write(QString::fromLatin1(plugin), "enabled = false\n");
    if (!written) {
        m_problem = QStringLiteral("no configuration folder for OLA that nobody can write");
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_folder.path());
    m_daemon.setProcessEnvironment(environment);
    m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QStringList command = peer.inside(
        {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "olad", "-c",
         m_folder.path(), "--no-http", "--no-register-with-dns-sd", "--log-level", "1"});
    m_daemon.start(command.first(), command.mid(1));
    QDeadlineTimer deadline(20000);
    do {
        QThread::msleep(200);
        m_problem.clear();
        if (run({"ola_dev_info"}, &m_problem).contains(QLatin1String("ArtNet")))
            return;
    } while (!deadline.hasExpired() && m_daemon.state() == QProcess::Running);
    m_problem = QStringLiteral("olad did not come up with its Art-Net device: ") + m_problem +
                m_daemon.errorString();
}

OlaConsole::~OlaConsole()
{
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000))
        m_daemon.kill();
}

QString OlaConsole::run(const QStringList &command, QString *problem) const
{
    return m_peer.run(command, problem);
}
