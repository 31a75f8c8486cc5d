#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

// Turns signals into a signal of the event loop, read from a signalfd, so that a program
// answers them between events: the quit signals (SIGINT, SIGTERM, SIGHUP) end it the
// ordinary way, and the board removes its link. A signal must be blocked in every thread
// before it can be read from the descriptor: block() runs first thing in main(), before
// any thread exists to inherit the old mask.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    static QList<int> quitSignals();
    static void block(const QList<int> &signalNumbers);
    static void blockQuitSignals() { block(quitSignals()); }

    // Watches the quit signals.
    explicit SignalWatcher(QObject *parent);
    // Watches the given signals, which no other watcher may share.
    SignalWatcher(const QList<int> &signalNumbers, QObject *parent);
    ~SignalWatcher() override;

    bool isWatching() const { return m_descriptor >= 0; }

Q_SIGNALS:
    void caught(int signalNumber);
    // After caught(), when the signal is one of the quit signals.
    void quitRequested(int signalNumber);

private:
    void readSignal();

    int m_descriptor = -1;
    QSocketNotifier *m_notifier = nullptr;
};
