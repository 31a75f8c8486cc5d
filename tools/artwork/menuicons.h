#pragma once

#include "vectoricon.h"

// The icons that stand for the two programs in the desktop's menu, drawn in the colours of
// the panel's own pictures. The small variant, for 16 to 24 pixels, keeps only what still
// reads at that size.
namespace MenuIcons {

enum class Detail { Full, Small };

// The panel: a lit bulb beside three faders on the blue of the scene key window's title.
VectorIcon panel(Detail detail);
// The virtual board: a circuit board with its serial connector and eight lamps.
VectorIcon board(Detail detail);

// Below this size a bitmap is drawn from the small variant.
constexpr int smallestFullSize = 32;

} // namespace MenuIcons
