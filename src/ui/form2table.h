#pragma once

#include "protocol/boardnumbers.h"
#include "ui/twips.h"

// The scene key window, in twips: the title picture, the twelve scene keys in four
// columns and three rows, and the close image. Each picture is shown at its own size.
namespace Form2Table {

inline constexpr int ClientWidth = 4830;  // 322 pixels
inline constexpr int ClientHeight = 3915; // 261 pixels
// A key for each scene.
inline constexpr int KeyCount = Board::SceneCount;

inline constexpr Twips Image2 = {480, 120, 3975, 675};
constexpr Twips Image1(int i) { return {600 + 960 * (i % 4), 840 + 840 * (i / 4), 750, 555}; }
inline constexpr Twips Image3 = {2520, 3120, 1800, 480};

} // namespace Form2Table
