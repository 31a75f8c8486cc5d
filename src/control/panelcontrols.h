#pragma once

#include <array>

class LevelSlider;
class QLineEdit;

// The level controls of the panel that the handlers read and set; the window owns them.
struct PanelControls
{
    std::array<LevelSlider *, 8> VScroll1{};
    LevelSlider *VScroll2 = nullptr;
    std::array<QLineEdit *, 8> Text1{};
    QLineEdit *Text2 = nullptr;
};
