#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QWidget;

// Keys of the window's own that a text box would take for typing (a letter): they act as
// the window's shortcuts wherever the focus is in it, and are never typed there.
class KeyPriority : public QObject
{
    Q_OBJECT

public:
    KeyPriority(QWidget *window, QList<QKeySequence> keys, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QList<QKeySequence> m_keys;
};
