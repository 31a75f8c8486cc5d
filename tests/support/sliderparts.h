#pragma once

#include <QEvent>
#include <QPoint>
#include <QRect>
#include <QStyle>

class QScrollBar;
class QWidget;
struct Twips;

// Where the parts of a scroll bar are: the arrows, the track above and below the thumb,
// the thumb; from the style's own arithmetic, in the bar's coordinates.
QRect partOf(const QScrollBar *bar, QStyle::SubControl part);

// The same for a level slider of the panel that is not at hand (it runs in another
// process): one of that size and steps at that level, in the window's coordinates.
QRect sliderPartAt(const Twips &where, int arrowStep, int trackStep, int level,
                   QStyle::SubControl part);

// A mouse event sent straight to the widget, as the window system would deliver it: a
// press, a move with the buttons held, or a release.
void sendMouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
               Qt::MouseButton button = Qt::LeftButton);
