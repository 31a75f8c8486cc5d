#include "jackserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

JackServer::JackServer(int period)
    : m_name(QStringLiteral("dimmer-test-%1").arg(QCoreApplication::applicationPid()))
{
    qputenv("JACK_DEFAULT_SERVER", m_name.toLocal8Bit());
    qputenv("JACK_NO_START_SERVER", "1");
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // No real-time scheduling: the machine is shared, and the dummy backend keeps time
    // without it. A period of 512 frames at 48 kHz hands MIDI on every 10.7 ms, with room
    // for 170 short messages: a flood of 10,000 a second, bursts and all, fits.
    m_process.start(QStringLiteral("jackd"),
                    {"--no-realtime", "--name", m_name, "-d", "dummy", "--rate", "48000",
                     "--period", QString::number(period)});
}

JackServer::~JackServer()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished();
}

QString JackServer::output() { return QString::fromLocal8Bit(m_process.readAll()); }

bool JackServer::isUp()
{
    if (!m_process.waitForStarted()) {
        m_error = QStringLiteral("jackd does not start: %1 (the package jackd2 has it)")
                      .arg(m_process.errorString());
        return false;
    }
    // Up once its own lister can talk to it.
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        QProcess lister;
        lister.start(QStringLiteral("jack_lsp"), {"--server", m_name});
        if (lister.waitForFinished(5000) && lister.exitStatus() == QProcess::NormalExit &&
            lister.exitCode() == 0)
            return true;
        QThread::msleep(100);
    }
    m_error = QStringLiteral("jackd did not come up: %1")
                  .arg(QString::fromLocal8Bit(m_process.readAll()));
    return false;
}
