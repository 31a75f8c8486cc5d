#include "levelslider.h"

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

int LevelSlider::level() const
{
    return MaximumLevel - sliderPosition();
}

void LevelSlider::setLevel(int level)
{
    setValue(MaximumLevel - level);
}

void LevelSlider::setSteps(int arrowStep, int trackStep)
{
    setSingleStep(arrowStep);
    setPageStep(trackStep);
}

void LevelSlider::onValueChanged(int value)
{
    Q_EMIT levelChanged(MaximumLevel - value);
}

void LevelSlider::onSliderMoved(int position)
{
    Q_EMIT levelScrolled(MaximumLevel - position);
}
