#pragma once

#include <QByteArray>
#include <QString>

// A real pseudo-terminal pair: the program under test opens the slave by its path as
// its serial port; the test reads the master side byte for byte.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isOpen() const { return m_master >= 0; }
    QString errorString() const { return m_error; }
    QString slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }
    // Whether a program holds the line for its exclusive use (TIOCEXCL).
    bool isExclusive() const;

    // Everything the master can read now, without waiting.
    QByteArray readAvailable();
    // Exactly count bytes, or fewer if they do not arrive within timeoutMs.
    QByteArray read(int count, int timeoutMs = 5000);

    // The far side of the line goes away, like a board's cable pulled.
    void closeMaster();

    // Writes zero bytes into the line through the pair's own slave until the kernel takes
    // no more, as a line that nobody has read for a long time; returns how many it took.
    qsizetype fillKernel();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
};
