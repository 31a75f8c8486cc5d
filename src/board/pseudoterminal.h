#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// A pseudo-terminal that stands in for the board's serial port: the panel opens the
// slave device as if it were the port, and what it writes arrives here on the master.
// The line is raw, so every byte passes untranslated, and the board keeps the slave open
// itself, so that a panel closing its end does not hang the line up.
class PseudoTerminal : public QObject
{
    Q_OBJECT

public:
    explicit PseudoTerminal(QObject *parent);
    ~PseudoTerminal() override;

    // False with the reason when the system gives no pseudo-terminal.
    bool open(QString *errorMessage);
    // The slave device, e.g. /dev/pts/5.
    QString devicePath() const { return m_devicePath; }

Q_SIGNALS:
    void bytesArrived(const QByteArray &bytes);

private:
    void readAvailable();
    void resume();
    void close();

    int m_master = -1;
    int m_slave = -1;
    QString m_devicePath;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_retry;
};
