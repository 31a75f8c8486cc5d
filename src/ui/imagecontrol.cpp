#include "imagecontrol.h"

#include "ui/pictures.h"

#include <QMouseEvent>

ImageControl::ImageControl(const QString &picture, bool stretch, QWidget *parent) : QLabel(parent)
{
    setPixmap(Pictures::bitmap(picture));
    setScaledContents(stretch);
    setFocusPolicy(Qt::NoFocus);
}

void ImageControl::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ImageControl::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        Q_EMIT clicked();
}
