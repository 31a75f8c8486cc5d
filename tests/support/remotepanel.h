#pragma once

#include "support/childoutput.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// The real panel program without a window system (offscreen), run by remote control on
// the loopback: on the port given, with its settings, scenes and state in the folder home.
class RemotePanel
{
public:
    RemotePanel(const QString &linePath, const QString &home, quint16 oscPort,
                const QStringList &more = {});
    ~RemotePanel();
    RemotePanel(const RemotePanel &) = delete;
    RemotePanel &operator=(const RemotePanel &) = delete;

    // A UDP port nobody listens on now.
    static quint16 freeUdpPort();

    // Up once its socket is bound, as the system's table of UDP sockets shows.
    bool isUp();
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    quint16 port() const { return m_port; }
    // Ends it as a desktop's log-out does, and says how it ended.
    ChildOutput::Outcome finish();

private:
    quint16 m_port;
    QProcess m_process;
    ChildOutput m_output{m_process};
};
