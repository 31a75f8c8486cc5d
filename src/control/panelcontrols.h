#pragma once

#include "link/boardnumbers.h"

#include <array>

class LevelSlider;
class QLabel;
class QLineEdit;

// The controls of the panel that the handlers read and set: the level sliders and their
// read-outs, and the captions by which the operator knows the channels. The window owns
// them and fills this in before any handler runs.
struct PanelControls
{
    std::array<LevelSlider *, Board::ChannelCount> VScroll1{};
    LevelSlider *VScroll2 = nullptr;
    std::array<QLineEdit *, Board::ChannelCount> Text1{};
    QLineEdit *Text2 = nullptr;
    // Label1(0..7) head the channel columns, Label1(8) the master's.
    std::array<QLabel *, Board::ChannelCount + 1> Label1{};
};
