#pragma once

#include "protocol/boardnumbers.h"

#include <QScrollBar>

// A vertical scroll bar that holds a level 0..99 with 99 at the top: the top arrow,
// a click in the track above the thumb, Up and Page Up raise the level, and the thumb
// always moves the way its level goes.
//
// Qt's vertical scroll bar has its minimum at the top, and inverting only its appearance
// leaves the arrows and the track clicks working the old way round. So the bar keeps
// its natural orientation and the level is the distance from the bottom: 99 - position.
//
// levelChanged is the Change event: the operator changed the value, by an arrow, a track
// click, a key or the end of a thumb drag. levelScrolled is the Scroll event: once for each
// position that a thumb drag reports. Tracking is off, so a drag does not also change the
// value at each position and so does not report each position twice.
//
// showLevel() only shows a level that the desk already holds, and reports nothing. The
// thumb moves there at catchUp(), which the window calls before it paints, or at once when
// the operator takes the slider, so that an arrow or a key starts from the level shown:
// moving the value costs more than the rest of a level change (the scroll bar tells the
// accessibility layer, finds its parts again, marks them for painting), and a master flood
// changes every slider hundreds of times between two frames.
class LevelSlider : public QScrollBar
{
    Q_OBJECT

public:
    static constexpr int MaximumLevel = Board::FullOn;
    static constexpr int FocusFrameWidth = 2;

    explicit LevelSlider(QWidget *parent);

    // The level that the thumb shows now; during a drag, the dragged position.
    int level() const;
    void showLevel(int level);
    // Moves the thumb to the level last shown, if it is not there yet.
    void catchUp();

    // Steps in levels: an arrow click moves by the single step, a track click by the page.
    void setSteps(int arrowStep, int trackStep);

Q_SIGNALS:
    void levelChanged(int level);
    void levelScrolled(int level);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // The bar itself, from a kept picture when nothing is hovered or pressed.
    void paintBar(QPaintEvent *event);
    void onValueChanged(int value);
    void onSliderMoved(int position);

    bool m_showing = false;
    int m_shown = -1; // a level waiting to be shown; -1: none
};
