#include "signalwatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t setOf(const QList<int> &signalNumbers)
{
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signalNumber : signalNumbers)
        sigaddset(&signals, signalNumber);
    return signals;
}

} // namespace

QList<int> SignalWatcher::quitSignals() { return {SIGINT, SIGTERM, SIGHUP}; }

void SignalWatcher::block(const QList<int> &signalNumbers)
{
    const sigset_t signals = setOf(signalNumbers);
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

SignalWatcher::SignalWatcher(QObject *parent) : SignalWatcher(quitSignals(), parent) {}

SignalWatcher::SignalWatcher(const QList<int> &signalNumbers, QObject *parent) : QObject(parent)
{
    const sigset_t signals = setOf(signalNumbers);
    m_descriptor = ::signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_descriptor < 0) {
        // Without the descriptor nobody would take the blocked signals: let the quit
        // signals end the program the ordinary way (leaving the link behind) rather than
        // never. Any other signal stays blocked, since its default action might well be
        // to end the program too, which is worse than doing nothing.
        QList<int> quitting;
        for (const int signalNumber : signalNumbers) {
            if (quitSignals().contains(signalNumber))
                quitting << signalNumber;
        }
        const sigset_t unblocked = setOf(quitting);
        ::pthread_sigmask(SIG_UNBLOCK, &unblocked, nullptr);
        return;
    }
    m_notifier = new QSocketNotifier(qintptr(m_descriptor), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::readSignal);
}

SignalWatcher::~SignalWatcher()
{
    delete m_notifier;
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

void SignalWatcher::readSignal()
{
    signalfd_siginfo info{};
    while (::read(m_descriptor, &info, sizeof info) == ssize_t(sizeof info)) {
        const int signalNumber = int(info.ssi_signo);
        Q_EMIT caught(signalNumber);
        if (quitSignals().contains(signalNumber))
            Q_EMIT quitRequested(signalNumber);
    }
}
