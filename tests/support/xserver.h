#pragma once

#include <QPoint>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private X server (Xvfb) on a free display, for the real programs in real windows;
// driven with xdotool's real mouse and key events.
class XServer
{
public:
    XServer();
    ~XServer();
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    bool isRunning() const { return !m_display.isEmpty(); }
    QString errorString() const { return m_error; }
    QString display() const { return m_display; }

    // The environment for a program that should open its windows here.
    QProcessEnvironment environment() const;

    // Runs xdotool against this display; its standard output, trimmed.
    QString xdotool(const QStringList &arguments, int timeoutMs = 10000) const;
    // A click of the left button at a point of the window. The pointer always travels to
    // it: a press at the spot where the pointer already rests reached no window when
    // that window had just replaced another one under it.
    void click(const QString &window, QPoint at, int count = 1, int delayMs = 0) const;
    // Gives the window the keyboard focus, as a window manager does when it is clicked.
    void focus(const QString &window) const;
    // Asks the window to close, as a window manager does for its close box.
    bool requestClose(const QString &window) const;
    // The first visible window without a title that has this size.
    QString waitForUntitledWindow(QSize size, int timeoutMs = 30000) const;
    // The first visible window with this exact title, waiting up to timeoutMs.
    QString waitForWindow(const QString &title, int timeoutMs = 30000) const;

private:
    QProcess m_server;
    // The programs' settings and data stay here, out of the user's own.
    QTemporaryDir m_home;
    QString m_display;
    QString m_error;
};
