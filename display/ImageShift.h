#pragma once
// Moving the points of an image when frames are removed or inserted, so that the points after
// the change need not be computed again: a shift by whole points keeps them as they are; any
// other shift turns them into estimates covering the frames they now stand for.

#include <cstdint>

#include "display/WaveformImage.h"

namespace pelmora {

// `before` and `after` describe the sound before and after the change of `count` frames at
// `first`. The image must hold `before`'s points; it then holds `after`'s (false when its memory
// cannot grow). The points that mix old and new frames are left to be computed by the caller.
bool ShiftImage(WaveformImage& image, const ImageGeometry& before, const ImageGeometry& after,
                std::uint32_t first, std::uint32_t count, bool removed);

}  // namespace pelmora
