#pragma once
// The small pictures on the parameter pane's buttons, drawn rather than loaded.

#include <QIcon>

namespace pelmora {

enum class PaneGlyph { CatchLoopStart, CatchLoopEnd, LockPosition, LockLength, ZoomIn, ZoomOut };

QIcon PaneGlyphIcon(PaneGlyph glyph);

}  // namespace pelmora
