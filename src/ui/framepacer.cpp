#include "framepacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

// Frames a second of a screen that tells no rate of its own (a virtual one, for one).
constexpr double DefaultRefreshRate = 60.0;

} // namespace

FramePacer::FramePacer(QWidget *window) : m_window(window)
{
    m_nextFrame.setSingleShot(true);
    m_nextFrame.setTimerType(Qt::PreciseTimer);
    connect(&m_nextFrame, &QTimer::timeout, this, &FramePacer::paintFrame);
    // The window's own repaint manager asks for a repaint with an update request to the
    // window, once until it has been served, however many widgets changed meanwhile.
    window->installEventFilter(this);
}

int FramePacer::frameMilliseconds() const
{
    const QScreen *screen = m_window->screen();
    const double rate =
        screen && screen->refreshRate() > 1 ? screen->refreshRate() : DefaultRefreshRate;
    return int(std::ceil(1000.0 / rate));
}

bool FramePacer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || event->type() != QEvent::UpdateRequest || m_painting)
        return false;
    const int frame = frameMilliseconds();
    if (!m_lastPaint.isValid() || m_lastPaint.elapsed() >= frame) {
        m_lastPaint.start();
        return false;
    }
    if (!m_nextFrame.isActive())
        m_nextFrame.start(int(frame - m_lastPaint.elapsed()));
    return true;
}

void FramePacer::paintFrame()
{
    m_lastPaint.start();
    m_painting = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(m_window, &request);
    m_painting = false;
}
