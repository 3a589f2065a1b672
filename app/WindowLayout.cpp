#include "app/WindowLayout.h"

#include <algorithm>
#include <cmath>

namespace pelmora {

std::vector<FrameRect> TileRects(const FrameRect& area, int count, TileDirection direction) {
    std::vector<FrameRect> rects;
    if (count < 1) return rects;
    // Lines across the tiling direction, each holding `perLine` windows; the last one the rest.
    const int perLine = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(count))));
    const int lines = count / perLine;
    const bool columns = direction == TileDirection::Vertically;
    const int across = columns ? area.cx : area.cy;
    const int along = columns ? area.cy : area.cx;
    for (int line = 0; line < lines; ++line) {
        const int inLine = line == lines - 1 ? count - perLine * (lines - 1) : perLine;
        const int lineStart = across * line / lines;
        const int lineSize = across * (line + 1) / lines - lineStart;
        for (int i = 0; i < inLine; ++i) {
            const int start = along * i / inLine;
            const int size = along * (i + 1) / inLine - start;
            rects.push_back(columns ? FrameRect{area.x + lineStart, area.y + start, lineSize, size}
                                    : FrameRect{area.x + start, area.y + lineStart, size, lineSize});
        }
    }
    return rects;
}

std::vector<FrameRect> IconRects(const FrameRect& area, int count, int iconWidth, int iconHeight) {
    std::vector<FrameRect> rects;
    const int perRow = std::max(1, area.cx / std::max(1, iconWidth));
    for (int i = 0; i < count; ++i) {
        const int column = i % perRow;
        const int row = i / perRow;
        rects.push_back(FrameRect{area.x + column * iconWidth, area.y + area.cy - (row + 1) * iconHeight, iconWidth,
                                  iconHeight});
    }
    return rects;
}

}  // namespace pelmora
