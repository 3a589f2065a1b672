#include "edit/TimeChunks.h"

#include <algorithm>
#include <cstring>

namespace pelmora {

namespace {

using splice::SampleRange;
using splice::Trunc;

void CopyFrames(const std::int32_t* from, std::int32_t* to, std::int64_t frames) {
    if (frames > 0) std::memcpy(to, from, static_cast<std::size_t>(frames) * sizeof(std::int32_t));
}

// in[0 … D + n − 1] becomes out[0 … n − 1]: the first frames fade from in[0 …] to in[D …],
// the rest are copied from after the fade.
void CompressSegment(const std::int32_t* in, std::int32_t* out, std::int64_t d, std::int64_t n,
                     SampleRange clamp) {
    if (d == 0) {
        CopyFrames(in, out, n);
        return;
    }
    const std::int64_t fade = Trunc(static_cast<double>(n) * 0.2);
    const double dw = fade > 0 ? 1.0 / static_cast<double>(fade) : 0;
    double w = 0;
    for (std::int64_t k = 0; k < fade; ++k, w += dw) out[k] = static_cast<std::int32_t>(clamp(Trunc(in[d + k] * w + in[k] * (1 - w))));
    CopyFrames(in + d + fade, out + fade, n - fade);
}

// in[0 … w − 1] becomes out[0 … w + d − 1] (2d ≤ w): in[0 … d − 1], then d frames that fade
// from the continuing in[d …] into a repeat of in[0 …], then in[d …] fading back in. The fades
// start and end on the frames beside them, so that neither end of the splice steps.
void ExpandSegment(const std::int32_t* in, std::int32_t* out, std::int64_t width, std::int64_t d,
                   SampleRange clamp) {
    if (d == 0) {
        CopyFrames(in, out, width);
        return;
    }
    CopyFrames(in, out, d);
    CopyFrames(in + d, out + 2 * d, width - d);
    const std::int64_t fade = std::max<std::int64_t>(0, Trunc(static_cast<double>(width - 2 * d) * 0.2));
    const double dw = 1.0 / static_cast<double>(d + fade);
    double w = 0;
    for (std::int64_t k = 0; k < d; ++k, w += dw)
        out[d + k] = static_cast<std::int32_t>(clamp(Trunc(out[2 * d + k] * (1 - w) + out[k] * w)));
    for (std::int64_t k = 0; k < fade; ++k, w += dw)
        out[2 * d + k] = static_cast<std::int32_t>(clamp(Trunc(out[3 * d + k] * (1 - w) + out[2 * d + k] * w)));
}

// The last remainder may have to grow by more than half its length (a long selection whose
// segments found nothing to splice): it grows by half at a time, each step a segment as above.
void ExpandRemainder(const std::int32_t* in, std::int32_t* out, std::int64_t width, std::int64_t d,
                     SampleRange clamp, std::vector<std::int32_t>& scratch) {
    if (2 * d <= width) {
        ExpandSegment(in, out, width, d, clamp);
        return;
    }
    std::vector<std::int32_t> current(in, in + width);
    std::int64_t need = d;
    while (need > 0) {
        const auto length = static_cast<std::int64_t>(current.size());
        const std::int64_t step = std::min(need, length / 2);
        if (step == 0) {
            // One frame: it is all there is to repeat.
            current.resize(static_cast<std::size_t>(length + need), current.empty() ? 0 : current.back());
            break;
        }
        scratch.resize(static_cast<std::size_t>(length + step));
        ExpandSegment(current.data(), scratch.data(), length, step, clamp);
        current.swap(scratch);
        need -= step;
    }
    CopyFrames(current.data(), out, width + d);
}

}  // namespace

ChunkResult CompressChunk(const PlanarFrames& in, std::int64_t inFrames, PlanarFrames& out,
                          std::int64_t outFrames, bool last, double q, SampleRange clamp) {
    const std::int64_t width = splice::CompressionWidth(q);
    std::int64_t i0 = 0, o0 = 0;
    while (o0 < outFrames) {
        const std::int64_t remIn = inFrames - i0, remOut = outFrames - o0;
        // What may still be dropped; never negative, so the last chunk can always finish.
        const std::int64_t budget = remIn - remOut;
        std::int64_t d = 0, n = 0;
        if (width < 1 || remIn < width) {
            if (!last) break;
            d = budget;
            n = remOut;
        } else {
            const std::int64_t e = Trunc(static_cast<double>(width) * (1 - q));
            const auto sum = [&](std::int64_t j) { return in.Sum(i0 + j); };
            const std::int64_t b1 = splice::StrongestFrame(0, Trunc(static_cast<double>(e) * 0.2), sum);
            const std::int64_t lo = Trunc(static_cast<double>(e) * 0.8 + static_cast<double>(b1));
            const std::int64_t hi = Trunc(std::min(static_cast<double>(e) * 1.2 + static_cast<double>(b1),
                                                   (1 - q) * static_cast<double>(remIn)));
            const std::int64_t b2 = lo < hi ? splice::StrongestFrame(lo, hi, sum) : b1 + e;
            d = b2 - b1;
            n = d == 0 ? width : Trunc(q / (1 - q) * static_cast<double>(d));
            // A segment that would reach the chunk's last output frame, or drop more than the
            // chunk may, takes the whole rest of the chunk instead.
            if (d + n > remIn || n >= remOut || d > budget) {
                d = budget;
                n = remOut;
            }
        }
        for (std::size_t c = 0; c < in.channels; ++c)
            CompressSegment(in.Channel(c) + i0, out.Channel(c) + o0, d, n, clamp);
        i0 += d + n;
        o0 += n;
    }
    return {i0, o0};
}

ChunkResult ExpandChunk(const PlanarFrames& in, std::int64_t inFrames, PlanarFrames& out,
                        std::int64_t outFrames, bool last, double q, SampleRange clamp) {
    const std::int64_t tableWidth = splice::ExpansionWidth(q);
    std::vector<std::int32_t> scratch;
    std::int64_t i = inFrames, o = outFrames;
    while (o > 0) {
        // What may still be repeated; never negative, so the last chunk can always finish.
        const std::int64_t budget = o - i;
        std::int64_t width = tableWidth, d = 0, n = 0;
        if (width < 1 || width > i) {
            if (!last) break;
            width = i;
            n = o;
            d = budget;
        } else {
            const std::int64_t e = Trunc(static_cast<double>(width) * (q - 1));
            const std::int64_t reach = Trunc(0.3 * static_cast<double>(e));
            const auto sum = [&](std::int64_t j) { return in.Sum(j); };
            // The first window is centred on the segment's start; it never reaches before the chunk.
            const std::int64_t from = std::max<std::int64_t>(0, (i - width) - reach);
            const std::int64_t b1 = splice::StrongestFrame(from, (i - width) + reach, sum);
            const std::int64_t lo = Trunc(0.7 * static_cast<double>(e) + static_cast<double>(b1));
            const std::int64_t hi = std::min(Trunc(1.3 * static_cast<double>(e) + static_cast<double>(b1)), i);
            const std::int64_t b2 = lo < hi ? splice::StrongestFrame(lo, hi, sum) : b1 + e;
            d = b2 - b1;
            if (d == 0) {
                n = width;
            } else {
                n = Trunc(q / (q - 1) * static_cast<double>(d));
                width = n - d;
            }
            // A segment that would use the chunk's first input frame or make its first output
            // frame, or repeat more than the chunk may, takes the whole rest of the chunk.
            if (width >= i || n >= o || d > budget) {
                width = i;
                n = o;
                d = budget;
            }
        }
        for (std::size_t c = 0; c < in.channels; ++c)
            ExpandRemainder(in.Channel(c) + (i - width), out.Channel(c) + (o - n), width, d, clamp, scratch);
        i -= width;
        o -= n;
    }
    return {inFrames - i, outFrames - o};
}

}  // namespace pelmora
