#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

// Lets a window repaint at most once a frame of its screen. A fast master drag changes
// nine sliders and nine read-outs at every position the mouse reports, hundreds a second,
// and painting them each time took a whole core; the screen shows sixty or so frames a
// second, so the rest was never seen. The first change after a quiet frame is painted at
// once; changes within a frame are painted together at its end. Nothing but the painting
// waits: the controls hold their values and the handlers run as before.
class FramePacer : public QObject
{
    Q_OBJECT

public:
    explicit FramePacer(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int frameMilliseconds() const;
    void paintFrame();

    QWidget *m_window;
    QElapsedTimer m_lastPaint;
    QTimer m_nextFrame;
    bool m_painting = false;
};
