#pragma once
// Where the window commands put the document windows inside the frame's client area.

#include <vector>

#include "app/FramePlacement.h"

namespace pelmora {

enum class TileDirection {
    Horizontally,  // wide windows one above the other
    Vertically,    // tall windows side by side
};

// Tiles `count` windows as a grid of about √count lines: columns for Vertically, rows for
// Horizontally; the last line takes the windows left over. The rectangles fill the area.
std::vector<FrameRect> TileRects(const FrameRect& area, int count, TileDirection direction);

// Minimised windows of `icon` size along the bottom of the area, left to right, rows going up.
std::vector<FrameRect> IconRects(const FrameRect& area, int count, int iconWidth, int iconHeight);

}  // namespace pelmora
