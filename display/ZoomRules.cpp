#include "display/ZoomRules.h"

#include <algorithm>
#include <cmath>

namespace pelmora {

double HorizontalZoomOfStep(int step) {
    step = std::clamp(step, 1, kHorizontalSteps);
    return std::ldexp(1.0, 18 - step);
}

int StepOfHorizontalZoom(double zoom) {
    for (int step = 1; step <= kHorizontalSteps; ++step) {
        if (HorizontalZoomOfStep(step) == zoom) return step;
    }
    return 0;
}

double VerticalZoomOfStep(int step) {
    step = std::clamp(step, 1, kVerticalSteps);
    return step == 1 ? 1.2 : std::ldexp(1.0, 2 - step);
}

double FitZoom(std::uint64_t frames, int width) {
    if (width <= 0) return kMaxHorizontalZoom;
    const double ratio = static_cast<double>(frames) / width;
    if (ratio <= kMinHorizontalZoom) return kMinHorizontalZoom;
    for (int k = 1; k <= 21; ++k) {
        const double zoom = std::ldexp(kMinHorizontalZoom, k);
        if (zoom >= ratio) return zoom;
    }
    return kMaxHorizontalZoom;
}

VisibleRange RangeAfterZoom(VisibleRange range, double from, double to, std::uint32_t frames,
                            int width) {
    if (to == from || width <= 0) return range;
    const double shown = width * to;
    if (to < from) {
        range.last = static_cast<std::uint32_t>(std::min<double>(frames, range.first + shown));
        return range;
    }
    if (frames / to > width) {
        if (range.first + shown > frames) {
            range.last = frames;
            range.first = static_cast<std::uint32_t>(std::max(0.0, frames - shown));
        } else {
            range.last = static_cast<std::uint32_t>(range.first + shown);
        }
        return range;
    }
    return {0, frames};
}

std::uint32_t FrameUnderPointer(std::uint32_t firstVisible, double zoom, int x,
                                std::uint32_t frames) {
    const double offset = std::trunc(std::max(0, x) * zoom);
    return static_cast<std::uint32_t>(std::min<double>(firstVisible + offset, frames));
}

std::uint64_t HorizontalScrollMaximum(std::uint32_t frames, double zoom, int width) {
    if (width <= 0 || zoom <= 0.0) return 0;
    const double maximum = zoom < 1.0 ? frames - width * zoom : std::ceil(frames / zoom) - width;
    return maximum > 0.0 ? static_cast<std::uint64_t>(maximum) : 0;
}

}  // namespace pelmora
