#pragma once

#include <QRect>
#include <QStyle>

class QScrollBar;
struct Twips;

// Where the parts of a scroll bar are: the arrows, the track above and below the thumb,
// the thumb; from the style's own arithmetic, in the bar's coordinates.
QRect partOf(const QScrollBar *bar, QStyle::SubControl part);

// The same for a level slider of the panel that is not at hand (it runs in another
// process): one of that size and steps at that level, in the window's coordinates.
QRect sliderPartAt(const Twips &where, int arrowStep, int trackStep, int level,
                   QStyle::SubControl part);
