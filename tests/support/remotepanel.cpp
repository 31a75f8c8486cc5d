#include "remotepanel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QUdpSocket>

RemotePanel::RemotePanel(const QString &linePath, const QString &home, quint16 oscPort,
                         const QStringList &more)
    : m_port(oscPort)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        environment.insert(name, QDir(home).filePath(name));
    m_process.setProcessEnvironment(environment);
    m_process.start(QStringLiteral(DIMMER_PANEL_BINARY),
                    QStringList{"--port", linePath, "--scene-file", QDir(home).filePath("s.co"),
                                "--osc", QStringLiteral("127.0.0.1:%1").arg(oscPort)} +
                        more);
}

RemotePanel::~RemotePanel()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
}

quint16 RemotePanel::freeUdpPort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress::LocalHost, 0) ? probe.localPort() : 0;
}

bool RemotePanel::isUp()
{
    const QByteArray local =
        ":" + QByteArray::number(m_port, 16).toUpper().rightJustified(4, '0') + " ";
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && isRunning()) {
        QFile table("/proc/net/udp");
        if (table.open(QIODevice::ReadOnly) && table.readAll().contains(local))
            return true;
        QThread::msleep(50);
    }
    return false;
}

ChildOutput::Outcome RemotePanel::finish()
{
    m_process.terminate();
    return m_output.finish();
}
