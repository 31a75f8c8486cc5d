#include "clickguard.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWindow>

namespace {
// QT_LOGGING_RULES="dimmer.clicks.debug=true" tells which clicks were dropped and why.
Q_LOGGING_CATEGORY(clicks, "dimmer.clicks", QtWarningMsg)
} // namespace

ClickGuard::ClickGuard(QObject *parent) : QObject(parent) {}

bool ClickGuard::eventFilter(QObject *watched, QEvent *event)
{
    // Decided once for each event, where the window system delivers it to a window,
    // before the window hands it to the control under the pointer.
    auto *window = qobject_cast<QWindow *>(watched);
    if (!window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *press = static_cast<QMouseEvent *>(event);
        const bool inactive = !window->isActive();
        const bool drop = inactive || fellThrough(window, *press);
        if (drop) {
            qCDebug(clicks) << "dropped a press on" << window
                            << (inactive ? "(window not active)" : "(fell through)");
        }
        m_lastWindow = window;
        m_lastPosition = press->globalPosition();
        m_sinceLastPress.start();
        if (drop)
            m_dropped |= press->button();
        return drop;
    }
    case QEvent::MouseButtonDblClick:
        return m_dropped.testFlag(static_cast<QMouseEvent *>(event)->button());
    case QEvent::MouseButtonRelease: {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        if (!m_dropped.testFlag(button))
            return false;
        m_dropped &= ~Qt::MouseButtons(button);
        return true;
    }
    default:
        return false;
    }
}

bool ClickGuard::fellThrough(QWindow *window, const QMouseEvent &press) const
{
    // The second press of what the toolkit would count as a double click, in another
    // window than the first: the first one's window went away under the pointer.
    if (!m_sinceLastPress.isValid() || m_lastWindow == window)
        return false;
    const QStyleHints *hints = QGuiApplication::styleHints();
    const QPointF moved = press.globalPosition() - m_lastPosition;
    return m_sinceLastPress.elapsed() < hints->mouseDoubleClickInterval() &&
           qMax(qAbs(moved.x()), qAbs(moved.y())) <= hints->mouseDoubleClickDistance();
}
