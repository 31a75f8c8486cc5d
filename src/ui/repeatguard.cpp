#include "repeatguard.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QScopedValueRollback>

#include <chrono>

using namespace std::chrono_literals;

namespace {

// The repeated press comes in the same burst from the server as its release: a few
// milliseconds is plenty, and too short for a hand to see.
constexpr std::chrono::milliseconds RepeatWindow = 30ms;

bool pressesButtons(int key) { return key == Qt::Key_Space || key == Qt::Key_Select; }

} // namespace

RepeatGuard::RepeatGuard(QObject *parent) : QObject(parent)
{
    m_wait.setSingleShot(true);
    m_wait.setInterval(RepeatWindow);
    connect(&m_wait, &QTimer::timeout, this, &RepeatGuard::letGo);
}

RepeatGuard::~RepeatGuard() = default;

bool RepeatGuard::eventFilter(QObject *watched, QEvent *event)
{
    const bool press = event->type() == QEvent::KeyPress;
    if (m_sending || (!press && event->type() != QEvent::KeyRelease))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (m_heldRelease) {
        if (press && key->key() == m_heldRelease->key() &&
            key->timestamp() == m_heldRelease->timestamp()) {
            // A repeat: the button stays down, and neither event reaches it.
            m_wait.stop();
            m_heldRelease.reset();
            return true;
        }
        // Anything else comes after the release, as it did.
        letGo();
    }
    if (press || key->isAutoRepeat() || !pressesButtons(key->key()) ||
        !qobject_cast<QAbstractButton *>(watched))
        return false;
    m_heldRelease.reset(static_cast<QKeyEvent *>(key->clone()));
    m_target = static_cast<QWidget *>(watched);
    m_wait.start();
    return true;
}

void RepeatGuard::letGo()
{
    m_wait.stop();
    const std::unique_ptr<QKeyEvent> release = std::move(m_heldRelease);
    if (!release || !m_target)
        return;
    const QScopedValueRollback sending(m_sending, true);
    QCoreApplication::sendEvent(m_target, release.get());
}
