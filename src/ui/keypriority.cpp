#include "keypriority.h"

#include <QKeyEvent>
#include <QWidget>

KeyPriority::KeyPriority(QWidget *window, QList<QKeySequence> keys, QObject *parent)
    : QObject(parent), m_window(window), m_keys(std::move(keys))
{}

bool KeyPriority::eventFilter(QObject *watched, QEvent *event)
{
    // A text box claims a letter before the shortcuts are asked, by accepting this event;
    // left unclaimed, the window's shortcut takes the key.
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget *>(watched)->window() != m_window)
        return false;
    const QKeySequence pressed(static_cast<QKeyEvent *>(event)->keyCombination());
    if (!m_keys.contains(pressed))
        return false;
    event->ignore();
    return true;
}
