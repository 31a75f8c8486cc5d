#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class QKeyEvent;
class QWidget;

// Lets a held key press a button once. An X server repeats a held key as a release and a
// press at the same instant; Qt tells a repeat by looking ahead for that press, which it
// misses when the press has not arrived yet, and the button then clicks at every repeat:
// a download or a mode packet each time. So the release of Space on a button is held back
// for a moment: a press of the same key with the same time stamp shows it was a repeat,
// and both go; otherwise the release goes on to the button, which clicks.
class RepeatGuard : public QObject
{
    Q_OBJECT

public:
    explicit RepeatGuard(QObject *parent);
    ~RepeatGuard() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void letGo();

    std::unique_ptr<QKeyEvent> m_heldRelease;
    QPointer<QWidget> m_target;
    QTimer m_wait;
    bool m_sending = false;
};
