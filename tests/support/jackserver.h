#pragma once

#include <QProcess>
#include <QString>

// A JACK server of the test's own, on the dummy backend (no sound card), under a name no
// other server has: this process and every program it starts find it through
// JACK_DEFAULT_SERVER, and never start one of their own (JACK_NO_START_SERVER).
class JackServer
{
public:
    // period: the frames of each of its cycles at 48 kHz, when it hands MIDI on.
    explicit JackServer(int period = 512);
    ~JackServer();
    JackServer(const JackServer &) = delete;
    JackServer &operator=(const JackServer &) = delete;

    // Whether it takes clients; why not, in errorString().
    bool isUp();
    QString errorString() const { return m_error; }
    QString name() const { return m_name; }
    // What it said since last asked.
    QString output();

private:
    QString m_name;
    QProcess m_process;
    QString m_error;
};
