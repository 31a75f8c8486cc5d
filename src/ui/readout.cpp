#include "readout.h"

#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QTimer>

ReadOut::ReadOut(const QString &text, QWidget *parent) : QLineEdit(text, parent) {}

void ReadOut::showText(const QString &text)
{
    setText(text);
    if (isVisible() && isIdle())
        keepPicture();
}

bool ReadOut::isIdle() const { return !hasFocus() && !underMouse() && !hasSelectedText(); }

QString ReadOut::pictureKey() const
{
    if (m_keyPrefix.isEmpty()) {
        m_keyPrefix = QStringLiteral("ReadOut-%1x%2-%3-%4-%5-%6-%7-%8-")
                          .arg(width())
                          .arg(height())
                          .arg(devicePixelRatioF())
                          .arg(font().key(), QString::number(palette().cacheKey()))
                          .arg(int(alignment()))
                          .arg(isEnabled() && isActiveWindow() ? 1
                               : isEnabled()                   ? 2
                                                               : 0)
                          .arg(quintptr(style()));
    }
    return m_keyPrefix + QString::number(cursorPosition()) + QLatin1Char('-') + text();
}

void ReadOut::changeEvent(QEvent *event)
{
    // Font, palette, style, enabled or active: any of them changes the picture.
    m_keyPrefix.clear();
    QLineEdit::changeEvent(event);
}

void ReadOut::resizeEvent(QResizeEvent *event)
{
    m_keyPrefix.clear();
    QLineEdit::resizeEvent(event);
}

void ReadOut::paintEvent(QPaintEvent *event)
{
    if (!m_drawing && isIdle()) {
        QPixmap picture;
        if (QPixmapCache::find(pictureKey(), &picture)) {
            QPainter(this).drawPixmap(0, 0, picture);
            return;
        }
        // A widget cannot draw itself into a picture while it paints: once this paint is
        // done.
        if (!m_keepPending) {
            m_keepPending = true;
            QTimer::singleShot(0, this, &ReadOut::keepPicture);
        }
    }
    QLineEdit::paintEvent(event);
}

void ReadOut::keepPicture()
{
    m_keepPending = false;
    const QString key = pictureKey();
    QPixmap picture;
    if (!isVisible() || !isIdle() || QPixmapCache::find(key, &picture))
        return;
    const qreal ratio = devicePixelRatioF();
    picture = QPixmap(size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    m_drawing = true;
    render(&picture, QPoint(), QRegion(), QWidget::RenderFlags());
    m_drawing = false;
    QPixmapCache::insert(key, picture);
}
