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
        bool drop = false;
        if (continuesRun(*press)) {
            // The window the run began in has gone from under the pointer since.
            drop = window != m_runWindow && (!m_runWindow || !m_runWindow->isVisible());
        } else {
            m_runWindow = window;
        }
        m_lastPosition = press->globalPosition();
        m_sinceLastPress.start();
        if (!drop)
            return false;
        qCDebug(clicks) << "dropped a press on" << window << "continuing a run begun in"
                        << m_runWindow;
        m_dropped |= press->button();
        return true;
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

bool ClickGuard::continuesRun(const QMouseEvent &press) const
{
    // As close in time and place to the last press as the toolkit's double click.
    if (!m_sinceLastPress.isValid())
        return false;
    const QStyleHints *hints = QGuiApplication::styleHints();
    const QPointF moved = press.globalPosition() - m_lastPosition;
    return m_sinceLastPress.elapsed() < hints->mouseDoubleClickInterval() &&
           qMax(qAbs(moved.x()), qAbs(moved.y())) <= hints->mouseDoubleClickDistance();
}
