#pragma once

#include "support/childoutput.h"

#include <QDeadlineTimer>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>

// The virtual board in --dump mode, keeping a link at linkPath; its lamps and mode as the
// lines it prints leave them.
// Header only: DIMMER_BOARD_BINARY is the test's own.
class DumpBoard
{
public:
    using Levels = QList<int>;

    explicit DumpBoard(const QString &linkPath)
    {
        m_process.start(QStringLiteral(DIMMER_BOARD_BINARY), {"--dump", "--link", linkPath});
        path = m_output.lines(1).value(0);
    }
    ~DumpBoard()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    void signal(int number) const { ::kill(pid_t(m_process.processId()), number); }

    // Whether the board comes to the levels and the mode (1..12, 0: none) within timeoutMs.
    bool reaches(const Levels &levels, int mode, int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        do {
            for (const QString &line : m_output.quietLines(50))
                apply(line.split(' '));
            if (lamps == levels && this->mode == mode)
                return true;
        } while (!deadline.hasExpired());
        return false;
    }
    // Its next line as it prints it; empty when none comes within timeoutMs.
    QString nextLine(int timeoutMs) { return m_output.lines(1, timeoutMs).value(0); }
    QStringList quietLines(int quietMs = 300) { return m_output.quietLines(quietMs); }

    // What it is told by then, as the test's message says it.
    QString shows() const
    {
        QStringList levels;
        for (int level : lamps)
            levels << QString::number(level);
        return QStringLiteral("lamps %1, mode %2, line %3")
            .arg(levels.join(' '))
            .arg(mode)
            .arg(path);
    }

    QString path;
    Levels lamps = Levels(8, 0);
    int mode = 0;

private:
    void apply(const QStringList &word)
    {
        if (word.value(0) == "level")
            lamps[word.value(1).toInt()] = word.value(2).toInt();
        else if (word.value(0) == "master")
            lamps.fill(word.value(1).toInt());
        else if (word.value(0) == "mode")
            mode = word.value(1).toInt();
        else if (word.value(0) == "plugged")
            path = word.value(1);
    }

    QProcess m_process;
    ChildOutput m_output{m_process};
};
