#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointF>
#include <QPointer>

class QMouseEvent;
class QWindow;

// Keeps a quick run of clicks in the window where it began. A window that closes on the
// first click of a double or triple click (the close image, a question's Yes) leaves the
// rest of the run to whatever lies beneath: those presses are dropped, each with its
// release, so that they store no scene and send no mode that nobody chose. Every other
// press acts, whether its window is active or not, with or without a window manager.
class ClickGuard : public QObject
{
    Q_OBJECT

public:
    explicit ClickGuard(QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool continuesRun(const QMouseEvent &press) const;

    // Where the present run of quick clicks began.
    QPointer<QWindow> m_runWindow;
    QPointF m_lastPosition;
    QElapsedTimer m_sinceLastPress;
    Qt::MouseButtons m_dropped;
};
