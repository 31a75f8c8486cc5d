#include "levelslider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QScopedValueRollback>
#include <QStyleOptionSlider>

LevelSlider::LevelSlider(QWidget *parent) : QScrollBar(Qt::Vertical, parent)
{
    setRange(0, MaximumLevel);
    setTracking(false);
    setValue(MaximumLevel); // level 0: thumb at the bottom
    setFocusPolicy(Qt::StrongFocus);
    // Its menu offers "Top", "Bottom" and paging in scroll terms, not in levels.
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QAbstractSlider::valueChanged, this, &LevelSlider::onValueChanged);
    connect(this, &QAbstractSlider::sliderMoved, this, &LevelSlider::onSliderMoved);
}

int LevelSlider::level() const { return MaximumLevel - sliderPosition(); }

void LevelSlider::showLevel(int level) { m_shown = level; }

void LevelSlider::catchUp()
{
    const int level = std::exchange(m_shown, -1);
    // The thumb in the hand already shows the position it reported; moving the value now
    // would also swallow the Change event that ends the drag.
    if (level < 0 || (isSliderDown() && this->level() == level))
        return;
    const QScopedValueRollback showing(m_showing, true);
    setValue(MaximumLevel - level);
}

void LevelSlider::setSteps(int arrowStep, int trackStep)
{
    setSingleStep(arrowStep);
    setPageStep(trackStep);
}

void LevelSlider::onValueChanged(int value)
{
    if (!m_showing)
        Q_EMIT levelChanged(MaximumLevel - value);
}

void LevelSlider::onSliderMoved(int position)
{
    // Qt reports a value set during a drag as a drag position too.
    if (!m_showing)
        Q_EMIT levelScrolled(MaximumLevel - position);
}

void LevelSlider::mousePressEvent(QMouseEvent *event)
{
    catchUp();
    // A middle click jumps the thumb and starts a drag there without reporting the jump;
    // report it, so that the board follows the thumb at once.
    const int before = sliderPosition();
    QScrollBar::mousePressEvent(event);
    if (isSliderDown() && sliderPosition() != before)
        Q_EMIT levelScrolled(level());
}

void LevelSlider::keyPressEvent(QKeyEvent *event)
{
    catchUp();
    // A key while the mouse drags the thumb would snap it back to the old value.
    if (isSliderDown()) {
        event->accept();
        return;
    }
    QScrollBar::keyPressEvent(event);
}

void LevelSlider::wheelEvent(QWheelEvent *event)
{
    catchUp();
    QScrollBar::wheelEvent(event);
}

void LevelSlider::paintEvent(QPaintEvent *event)
{
    paintBar(event);
    // The panel's style draws no focus mark on a scroll bar, and the arrow keys move the
    // level of the slider that has the focus: show which one that is.
    if (!hasFocus())
        return;
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), FocusFrameWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const int inset = FocusFrameWidth / 2;
    painter.drawRect(rect().adjusted(inset, inset, -inset - 1, -inset - 1));
}

void LevelSlider::paintBar(QPaintEvent *event)
{
    // The thumb under the mouse or in the hand is drawn by the scroll bar itself, which
    // alone knows which part is hovered or pressed.
    if (isSliderDown() || underMouse()) {
        QScrollBar::paintEvent(event);
        return;
    }
    // A master drag moves all eight channel sliders at each position, and the style's
    // gradients cost far more than copying a picture of the bar; there are only a
    // hundred levels, so the pictures are kept.
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    option.activeSubControls = QStyle::SC_None;
    const qreal ratio = devicePixelRatioF();
    const QString key = QStringLiteral("LevelSlider-%1x%2-%3-%4-%5-%6-%7-%8")
                            .arg(width())
                            .arg(height())
                            .arg(ratio)
                            .arg(option.sliderPosition)
                            .arg(option.sliderValue)
                            .arg(int(option.state))
                            .arg(palette().cacheKey())
                            .arg(quintptr(style()));
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap(size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
        painter.end();
        QPixmapCache::insert(key, picture);
    }
    QPainter(this).drawPixmap(0, 0, picture);
}
