#pragma once

#include <QPushButton>

// A scene or mode button: drawn as a push button that stays pressed while selected, one
// of the row of its frame. The arrow keys only move the focus along the row; Space
// presses the button that has it. An arrow that pressed the next button, as Qt's own
// exclusive buttons do, would recall a scene or send a mode nobody chose. A click does not
// select the button by itself: the desk says which scene and mode are selected.
class OptionButton : public QPushButton
{
    Q_OBJECT

public:
    OptionButton(const QString &caption, QWidget *frame);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void nextCheckState() override {}
};
