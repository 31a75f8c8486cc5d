#pragma once

#include <QObject>
#include <QString>

// Where the panel tells what went wrong: on stderr and in a message box. A fatal report
// ends the run: the event loop stops with status 1, and main lets go of the port on its
// way out, so that no lock or exclusive use outlives the panel.
class ErrorReport : public QObject
{
    Q_OBJECT

public:
    explicit ErrorReport(QObject *parent = nullptr);

    void fatal(const QString &message);
    void warning(const QString &message);

    // Before the panel is up: the message, and nothing to stop.
    static void failedToStart(const QString &message);
    // "dimmer-panel: message" on stderr.
    static void print(const QString &message);

private:
    bool m_ending = false;
};
