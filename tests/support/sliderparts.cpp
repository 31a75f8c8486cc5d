#include "sliderparts.h"

#include "ui/levelslider.h"
#include "ui/twips.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QWidget>

QRect partOf(const QScrollBar *bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

QRect sliderPartAt(const Twips &where, int arrowStep, int trackStep, int level,
                   QStyle::SubControl part)
{
    QWidget parent;
    LevelSlider slider(&parent);
    slider.setGeometry(where.toPixels());
    slider.setSteps(arrowStep, trackStep);
    slider.showLevel(level);
    slider.catchUp();
    return partOf(&slider, part).translated(slider.pos());
}

void sendMouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
               Qt::MouseButton button)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
