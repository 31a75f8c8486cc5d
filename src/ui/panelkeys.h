#pragma once

#include <QKeySequence>
#include <QObject>

#include <functional>

class Desk;
class QWidget;

// The panel's own keys, as an input of their own: F1..F12 recall scenes 1..12 and Shift with
// them stores one after the question, B blacks out and back, Ctrl+Z and Ctrl+Shift+Z take
// back and bring back, and G, Shift+G and P are the cue list's GO, BACK and PAUSE. Each works
// wherever the focus is in the panel's window (the letters even in a text box, where they are
// never typed), once however long it is held, and never while the scene key window or a
// question is up: the window is then not active.
class PanelKeys : public QObject
{
    Q_OBJECT

public:
    PanelKeys(QWidget *window, Desk &desk);

    // The cue list's keys, in another window too: G is GO, Shift+G BACK, P PAUSE.
    static void addCueKeys(QWidget *window, Desk &desk);

private:
    static void add(QWidget *window, const QKeySequence &key, const char *name,
                    const std::function<void()> &act);
    void store(int sceneNumber);

    QWidget *m_window;
    Desk &m_desk;
};
