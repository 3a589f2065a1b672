#include "edit/PitchShift.h"

#include <algorithm>
#include <vector>

#include "edit/SelectionStream.h"
#include "edit/SpliceMath.h"
#include "sound/SampleCodec.h"

namespace pelmora {

namespace {

using splice::SampleRange;
using splice::Trunc;

// One block of the selected channels, one channel after the other, with the channel sums that
// the searches look at. The sums are taken before any segment runs: a segment changes only
// frames that no later search of the block reads.
struct PitchBlock {
    std::size_t channels = 1;
    std::size_t capacity = 0;
    std::vector<std::int32_t> samples;
    std::vector<std::int64_t> sums;
    std::int32_t* Channel(std::size_t c) { return samples.data() + c * capacity; }
};

// Interpolates between x[p] and x[p + 1] by f, each product truncated on its own.
inline std::int64_t Interpolate(const std::int32_t* x, std::int64_t p, double f) {
    return Trunc(x[p + 1] * f) + Trunc(x[p] * (1 - f));
}

// r > 1: the segment's start resampled forward, its end backward, and the gap between them
// filled by crossfades. The first crossfade starts on the continuing (backward) frames and moves
// towards the repeated start, so that both ends of the splice join without a step.
void PitchUpSegment(std::int32_t* x, std::int64_t len, std::int64_t seg, std::int64_t fade, double r,
                    SampleRange clamp) {
    const double stride = r - 1;  // r − its integer part, which is 1
    double f = 0;
    std::int64_t p = 0;
    for (std::int64_t k = 0; k < seg; ++k) {
        const std::int64_t at = std::min(p, len - 2);
        x[k] = static_cast<std::int32_t>(clamp(Interpolate(x, at, f)));
        f += stride;
        p += 1;
        if (f > 1.0) {
            f -= 1;
            p += 1;
        }
    }
    f = 0;
    p = len;
    for (std::int64_t j = len - 1; j >= 2 * seg; --j) {
        f -= stride;
        p -= 1;
        if (f <= 0) {
            f += 1;
            p -= 1;
        }
        x[j] = static_cast<std::int32_t>(clamp(Interpolate(x, std::max<std::int64_t>(p, 0), f)));
    }
    const double dw = 1.0 / static_cast<double>(seg + fade);
    double w = 0;
    for (std::int64_t k = 0; k < seg; ++k, w += dw)
        x[seg + k] = static_cast<std::int32_t>(clamp(Trunc(x[2 * seg + k] * (1 - w)) + Trunc(x[k] * w)));
    for (std::int64_t k = 0; k < fade; ++k, w += dw)
        x[2 * seg + k] = static_cast<std::int32_t>(clamp(Trunc(x[3 * seg + k] * (1 - w)) + Trunc(x[2 * seg + k] * w)));
}

// r ≤ 1: the frames from D on fade in from the segment's start, then the segment is resampled
// from D; its last frame stays.
void PitchDownSegment(std::int32_t* x, std::int64_t len, std::int64_t d, std::int64_t fade, double r,
                      SampleRange clamp) {
    const double dw = 1.0 / static_cast<double>(fade);
    double w = 0;
    for (std::int64_t i = fade - 1; i >= 0; --i, w += dw)
        x[d + i] = static_cast<std::int32_t>(clamp(Trunc(x[i] * w) + Trunc(x[d + i] * (1 - w))));
    double f = 0;
    std::int64_t p = d;
    for (std::int64_t k = 0; k + 1 < len; ++k) {
        x[k] = static_cast<std::int32_t>(clamp(Interpolate(x, std::min(p, len - 2), f)));
        f += r;
        if (f >= 1.0) {
            f -= 1;
            p += 1;
        }
    }
}

struct Segment {
    std::int64_t len = 0, seg = 0, fade = 0;  // seg holds D for pitch down
};

// The segment starting at `base` of a block of n frames, or nothing when the block stops here:
// a remainder carried into the next block (`carry`), or a segment too short to splice.
bool PlanSegment(const PitchBlock& block, std::int64_t base, std::int64_t n, bool last, double r,
                 std::int64_t width, Segment& out, bool& carry) {
    const bool up = r > 1;
    const double change = up ? r - 1 : 1 - r;
    const std::int64_t rem = n - base;
    Segment s;
    if (width > 0 && width < rem) {
        const std::int64_t e = Trunc(static_cast<double>(width) * change);
        const auto sum = [&](std::int64_t j) { return block.sums[static_cast<std::size_t>(base + j)]; };
        const std::int64_t b1 = splice::StrongestFrame(0, Trunc(static_cast<double>(e) * 0.3), sum);
        const std::int64_t lo = Trunc(static_cast<double>(e) * 0.7 + static_cast<double>(b1));
        const std::int64_t limit = Trunc(std::min(static_cast<double>(e) * 1.3 + static_cast<double>(b1),
                                                  static_cast<double>(rem) * change));
        const std::int64_t b2 = lo < limit ? splice::StrongestFrame(lo, limit, sum) : b1 + e;
        const std::int64_t d = b2 - b1;
        if (up) {
            s.seg = Trunc(static_cast<double>(d) / r);
            s.len = Trunc(static_cast<double>(s.seg) * r / (r - 1));
            if (s.seg <= 0 || s.len > rem) {
                s.seg = Trunc(static_cast<double>(rem) * (r - 1) / r);
                s.len = rem;
            }
        } else {
            // D is tested before it divides: at 100 % it is 0 and the block ends unchanged.
            s.seg = d;
            s.len = d > 0 ? Trunc(static_cast<double>(d) / (1 - r)) : 0;
            if (d <= 0 || s.len > rem) {
                s.len = rem;
                s.seg = Trunc(static_cast<double>(rem) * (1 - r));
            }
        }
    } else {
        if (!last) {
            carry = true;
            return false;
        }
        s.len = rem;
        s.seg = up ? Trunc((1 - 1 / r) * static_cast<double>(rem)) : Trunc(static_cast<double>(rem) * (1 - r));
    }
    s.fade = up ? Trunc(static_cast<double>(s.len - 3 * s.seg) * 0.3) : Trunc(static_cast<double>(s.len - s.seg) * 0.8);
    if (s.fade <= 0 || s.seg <= 0 || s.len <= 0) return false;
    out = s;
    return true;
}

// Runs the segments of one block; returns how far the next block starts from this one's start.
std::int64_t ShiftBlock(PitchBlock& block, std::int64_t n, bool last, double r, SampleRange clamp) {
    const std::int64_t width = r > 1 ? splice::PitchUpWidth(r) : splice::PitchDownWidth(r);
    std::int64_t done = 0;
    while (done < n) {
        Segment s;
        bool carry = false;
        if (!PlanSegment(block, done, n, last, r, width, s, carry)) return carry ? done : n;
        for (std::size_t c = 0; c < block.channels; ++c) {
            std::int32_t* x = block.Channel(c) + done;
            if (r > 1) PitchUpSegment(x, s.len, s.seg, s.fade, r, clamp);
            else PitchDownSegment(x, s.len, s.seg, s.fade, r, clamp);
        }
        done += s.len;
    }
    return n;
}

template <typename Codec>
void Decode(const std::uint8_t* raw, std::size_t frames, std::size_t frameSize, ChannelRange channels,
            PitchBlock& block) {
    const std::size_t count = channels.Count();
    const std::uint8_t* p = raw + static_cast<std::size_t>(channels.first) * Codec::kBytes;
    for (std::size_t i = 0; i < frames; ++i, p += frameSize) {
        std::int64_t sum = 0;
        for (std::size_t c = 0; c < count; ++c) {
            const std::int32_t v = Codec::Read(p + c * Codec::kBytes);
            block.samples[c * block.capacity + i] = v;
            sum += v;
        }
        block.sums[i] = sum;
    }
}

template <typename Codec>
void Encode(std::uint8_t* raw, std::size_t frames, std::size_t frameSize, ChannelRange channels,
            const PitchBlock& block) {
    const std::size_t count = channels.Count();
    std::uint8_t* p = raw + static_cast<std::size_t>(channels.first) * Codec::kBytes;
    for (std::size_t i = 0; i < frames; ++i, p += frameSize)
        for (std::size_t c = 0; c < count; ++c) Codec::Write(p + c * Codec::kBytes, block.samples[c * block.capacity + i]);
}

}  // namespace

bool PitchShift(COLMDoc& doc, double ratePercent) {
    if (!(ratePercent >= kPitchRateMin && ratePercent <= kPitchRateMax)) return false;
    const double r = ratePercent / 100;
    const std::uint32_t first = doc.selectionStart, end = doc.selectionEnd;
    return RunInPlaceEdit(doc, StringId::PitchShiftOperation, 100, [&](platform::File& working, BlockSteps&) {
        const SoundInfo& info = doc.Info();
        const ChannelRange channels = SelectedChannels(doc);
        const std::size_t frameSize = info.blockAlign;
        ProgressTask& progress = doc.Host().Progress();
        const std::uint64_t total = end - first;
        PitchBlock block;
        block.channels = channels.Count();
        block.capacity = std::min<std::size_t>(splice::kBlockFrames, total);
        block.samples.resize(block.channels * block.capacity);
        block.sums.resize(block.capacity);
        std::vector<std::uint8_t> raw(block.capacity * frameSize);
        WithSampleCodec(info.fileType, info.bytesPerSample, [&](auto codec) {
            using Codec = decltype(codec);
            const SampleRange clamp{Codec::kMin, Codec::kMax};
            for (std::uint32_t at = first; at < end;) {
                const std::size_t n = std::min<std::size_t>(splice::kBlockFrames, end - at);
                const std::uint64_t offset = info.dataOffset + static_cast<std::uint64_t>(at) * frameSize;
                if (!working.ReadAt(offset, raw.data(), n * frameSize)) throw Error(StringId::FileReadError);
                Decode<Codec>(raw.data(), n, frameSize, channels, block);
                const std::int64_t advance = ShiftBlock(block, static_cast<std::int64_t>(n), at + n == end, r, clamp);
                Encode<Codec>(raw.data(), static_cast<std::size_t>(advance), frameSize, channels, block);
                if (!working.WriteAt(offset, raw.data(), static_cast<std::size_t>(advance) * frameSize))
                    throw Error(WriteFailure());
                at += static_cast<std::uint32_t>(advance);
                progress.Step(static_cast<std::uint64_t>(at - first) * 100 / total, 100);
            }
        });
    });
}

}  // namespace pelmora
