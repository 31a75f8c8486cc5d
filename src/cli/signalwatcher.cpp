#include "signalwatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t quitSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    return signals;
}

} // namespace

void SignalWatcher::blockQuitSignals()
{
    const sigset_t signals = quitSignals();
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent)
{
    const sigset_t signals = quitSignals();
    m_descriptor = ::signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_descriptor < 0) {
        // Without the descriptor nobody would take the blocked signals: let them end the
        // program the ordinary way (leaving the link behind) rather than never.
        ::pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
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
    while (::read(m_descriptor, &info, sizeof info) == ssize_t(sizeof info))
        Q_EMIT quitRequested(int(info.ssi_signo));
}
