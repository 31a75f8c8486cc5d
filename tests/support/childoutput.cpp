#include "childoutput.h"

#include <QDeadlineTimer>

void ChildOutput::readStdout() { m_pending += m_process.readAllStandardOutput(); }

QStringList ChildOutput::lines(int count, int timeoutMs)
{
    QStringList lines;
    QDeadlineTimer deadline(timeoutMs);
    while (lines.size() < count) {
        const qsizetype newline = m_pending.indexOf('\n');
        if (newline >= 0) {
            lines << QString::fromUtf8(m_pending.left(newline));
            m_pending.remove(0, newline + 1);
            continue;
        }
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning) {
            readStdout();
            if (!m_pending.contains('\n'))
                break;
            continue;
        }
        m_process.waitForReadyRead(int(qBound(qint64(1), deadline.remainingTime(), qint64(50))));
        readStdout();
    }
    return lines;
}

QStringList ChildOutput::quietLines(int quietMs)
{
    m_process.waitForReadyRead(quietMs);
    readStdout();
    return lines(int(m_pending.count('\n')), 0);
}

bool ChildOutput::waitForError(const QString &text, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!error().contains(text) && !deadline.hasExpired() &&
           m_process.state() != QProcess::NotRunning) {
        m_process.waitForReadyRead(100);
    }
    return error().contains(text);
}

QString ChildOutput::error()
{
    m_error += QString::fromLocal8Bit(m_process.readAllStandardError());
    return m_error;
}

ChildOutput::Outcome ChildOutput::finish(int timeoutMs)
{
    Outcome outcome;
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(timeoutMs)) {
        m_process.kill();
        m_process.waitForFinished();
        outcome.err = error() + QStringLiteral("<did not end>");
        return outcome;
    }
    readStdout();
    outcome.status = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    outcome.out = QString::fromLocal8Bit(m_pending);
    m_pending.clear();
    outcome.err = error();
    return outcome;
}
