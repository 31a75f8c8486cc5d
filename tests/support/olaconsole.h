#pragma once

#include "support/privatenetwork.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// OLA, a lighting program nobody here wrote, as the console: its daemon in the peer network
// with its Art-Net node alone on the peer's cable, and its command-line tools. olad refuses to
// run as root, so it runs as nobody, with a configuration folder of its own.
class OlaConsole
{
public:
    explicit OlaConsole(const PeerNetwork &peer);
    ~OlaConsole();
    OlaConsole(const OlaConsole &) = delete;
    OlaConsole &operator=(const OlaConsole &) = delete;

    // Empty once the daemon answers with its Art-Net device.
    QString problem() const { return m_problem; }
    // One of OLA's tools, "ola_set_dmx -u 1 -d 255": its output, or the failure in problem.
    QString run(const QStringList &command, QString *problem) const;

private:
    const PeerNetwork &m_peer;
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_problem;
};
