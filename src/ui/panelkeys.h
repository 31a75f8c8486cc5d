#pragma once

#include <QKeySequence>
#include <QObject>

#include <functional>

class Desk;
class QWidget;

// The panel's own keys, as an input of their own: F1..F12 recall scenes 1..12 and Shift with
// them stores one after the question, B blacks out and back, Ctrl+Z and Ctrl+Shift+Z take
// back and bring back. Each works wherever the focus is in the panel's window (B even in a
// text box, where it is never typed), once however long it is held, and never while the
// scene key window or a question is up: the window is then not active.
class PanelKeys : public QObject
{
    Q_OBJECT

public:
    PanelKeys(QWidget *window, Desk &desk);

private:
    void add(const QKeySequence &key, const char *name, const std::function<void()> &act);
    void store(int sceneNumber);

    QWidget *m_window;
    Desk &m_desk;
};
