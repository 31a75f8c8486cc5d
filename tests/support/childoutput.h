#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// What a child program writes, read as it comes: its stdout line by line, its stderr as
// text, and how it ended.
class ChildOutput
{
public:
    explicit ChildOutput(QProcess &process) : m_process(process) {}

    // The next count lines of stdout without their newlines; fewer if they do not come
    // within timeoutMs or the program ends.
    QStringList lines(int count, int timeoutMs = 10000);
    // Whatever whole lines arrive within quietMs: after a step that is done, none.
    QStringList quietLines(int quietMs = 300);

    // Waits until stderr holds text.
    bool waitForError(const QString &text, int timeoutMs = 15000);
    // All of stderr read so far.
    QString error();

    struct Outcome
    {
        int status = -1; // the exit code; -1 when it crashed or did not end
        QString out;     // what stdout held beyond the lines already read
        QString err;
    };
    // Waits for the end, killing the program if it does not come.
    Outcome finish(int timeoutMs = 15000);

private:
    void readStdout();

    QProcess &m_process;
    QByteArray m_pending;
    QString m_error;
};
