#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointF>
#include <QPointer>

class QMouseEvent;
class QWindow;

// Lets a click act only on the control that was under the pointer, in the active window,
// when the button went down. A window that closes on the first click of a quick double
// click (the close image, a question's Yes) leaves its second click to whatever lies
// beneath: that press is dropped, with its release, so that it stores no scene and
// sends no mode that nobody chose.
class ClickGuard : public QObject
{
    Q_OBJECT

public:
    explicit ClickGuard(QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool fellThrough(QWindow *window, const QMouseEvent &press) const;

    QPointer<QWindow> m_lastWindow;
    QPointF m_lastPosition;
    QElapsedTimer m_sinceLastPress;
    Qt::MouseButtons m_dropped;
};
