#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a signal of the event loop, so that the board
// ends the ordinary way and removes its link. The signals must be blocked in every
// thread before they can be read from the descriptor: blockQuitSignals() runs first
// thing in main(), before any thread exists to inherit the old mask.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    static void blockQuitSignals();

    explicit SignalWatcher(QObject *parent);
    ~SignalWatcher() override;

    bool isWatching() const { return m_descriptor >= 0; }

Q_SIGNALS:
    void quitRequested(int signalNumber);

private:
    void readSignal();

    int m_descriptor = -1;
    QSocketNotifier *m_notifier = nullptr;
};
