#include "display/SnapEdge.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "base/Error.h"
#include "sound/SampleCodec.h"

namespace pelmora {

namespace {

constexpr std::size_t kSnapReadBytes = 65536;

// Reads frames in pieces, in either direction, and hands out one frame's samples at a time.
class FrameWalker {
public:
    FrameWalker(const COLMDoc& doc, bool forward)
        : info_(doc.Info()), forward_(forward),
          perPiece_(std::max<std::size_t>(1, kSnapReadBytes / std::max<std::uint16_t>(1, doc.Info().blockAlign))),
          buffer_(perPiece_ * info_.blockAlign) {
        if (!file_.Open(doc.WorkingPath(), platform::OpenMode::Read)) throw Error(StringId::FileReadError);
    }

    // Sample `channel` of `frame`; frames are asked for one after another in the walk's direction.
    std::int32_t Sample(std::uint32_t frame, std::uint16_t channel) {
        if (!Holds(frame)) Load(frame);
        const std::uint8_t* p = buffer_.data() + std::size_t(frame - pieceFirst_) * info_.blockAlign +
                                std::size_t(channel) * info_.bytesPerSample;
        return ReadSample(info_.fileType, info_.bytesPerSample, p);
    }
    // True when the last read started a new piece (the moment to look at the clock).
    bool TakePieceStarted() { return std::exchange(pieceStarted_, false); }

private:
    bool Holds(std::uint32_t frame) const {
        return pieceCount_ > 0 && frame >= pieceFirst_ && frame - pieceFirst_ < pieceCount_;
    }
    void Load(std::uint32_t frame) {
        const std::uint64_t first = forward_ ? frame : (frame + 1 >= perPiece_ ? frame + 1 - perPiece_ : 0);
        const std::uint64_t count = std::min<std::uint64_t>(perPiece_, info_.frames - first);
        if (!file_.ReadAt(info_.dataOffset + first * info_.blockAlign, buffer_.data(), count * info_.blockAlign))
            throw Error(StringId::FileReadError);
        pieceFirst_ = static_cast<std::uint32_t>(first);
        pieceCount_ = static_cast<std::uint32_t>(count);
        pieceStarted_ = true;
    }

    const SoundInfo& info_;
    bool forward_;
    std::size_t perPiece_;
    std::vector<std::uint8_t> buffer_;
    platform::File file_;
    std::uint32_t pieceFirst_ = 0, pieceCount_ = 0;
    bool pieceStarted_ = false;
};

bool ZeroCrossing(std::int32_t a, std::int32_t b) { return (a <= 0 && b >= 1) || (a >= 1 && b <= 0); }

bool LevelCrossing(std::int32_t a, std::int32_t b, std::int32_t level) {
    return (a >= level && b < level) || (a <= level && b > level);
}

bool PrefersFirst(std::int32_t a, std::int32_t b, std::int32_t level) {
    return std::llabs(std::int64_t(a) - level) < std::llabs(std::int64_t(b) - level);
}

}  // namespace

std::optional<std::uint32_t> SearchSnap(const COLMDoc& doc, const SnapRequest& request) {
    const SoundInfo& info = doc.Info();
    const std::uint32_t s = request.from, t = request.toward;
    if (request.mode == SnapMode::None || s == t || info.frames < 2 || info.blockAlign == 0) return std::nullopt;
    const bool forward = s < t;
    const std::uint32_t last = info.frames - 1;
    const ChannelRange channels{request.channels.first, std::min(request.channels.end, info.channels)};
    FrameWalker walker(doc, forward);

    std::vector<std::int32_t> levels(info.channels, 0);
    if (request.mode == SnapMode::Level) {
        FrameWalker reference(doc, forward);
        for (std::uint16_t ch = channels.first; ch < channels.end; ++ch) levels[ch] = reference.Sample(std::min(t, last), ch);
    }

    // Zero Cross starts one frame outside the edge so that a crossing ending at it counts; the
    // walk never leaves the sound.
    const std::int64_t step = forward ? 1 : -1;
    std::int64_t a = request.mode == SnapMode::ZeroCross ? std::int64_t(s) - step : std::int64_t(s);
    a = std::clamp<std::int64_t>(a, 0, last);
    const std::int64_t stop = std::min<std::int64_t>(t, last);
    const auto deadline = std::chrono::steady_clock::now() + request.limit;
    for (; forward ? a < stop : a > stop; a += step) {
        const std::int64_t b = a + step;
        bool crossed = false, firstPreferred = false;
        for (std::uint16_t ch = channels.first; ch < channels.end; ++ch) {
            const std::int32_t va = walker.Sample(std::uint32_t(a), ch), vb = walker.Sample(std::uint32_t(b), ch);
            if (request.mode == SnapMode::ZeroCross ? ZeroCrossing(va, vb) : LevelCrossing(va, vb, levels[ch])) {
                crossed = true;
                if (request.mode == SnapMode::Level && PrefersFirst(va, vb, levels[ch])) firstPreferred = true;
            }
        }
        if (crossed) {
            if (request.mode == SnapMode::ZeroCross) return std::uint32_t(std::max(a, b));  // the later frame
            return std::uint32_t(firstPreferred ? a : b);
        }
        if (walker.TakePieceStarted() && std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    }
    return std::nullopt;
}

std::uint32_t SnapEdge(const COLMDoc& doc, const SnapRequest& request) {
    return SearchSnap(doc, request).value_or(request.from);
}

std::uint32_t SnapPointClick(const COLMDoc& doc, SnapMode mode, std::uint32_t click,
                             std::uint32_t oldStart, std::uint32_t oldEnd, ChannelRange channels) {
    if (mode != SnapMode::ZeroCross) return click;
    const std::uint64_t middle = (std::uint64_t(oldStart) + oldEnd) / 2;
    std::uint32_t target = click <= middle ? oldStart : oldEnd;
    if (target < click) ++target;
    else if (target > click) --target;
    if (auto found = SearchSnap(doc, {mode, click, target, channels})) return *found;
    const std::uint32_t away = click < target ? 0 : doc.Info().frames;
    return SnapEdge(doc, {mode, click, away, channels});
}

SnappedDrag SnapDrag(const COLMDoc& doc, SnapMode mode, std::uint32_t anchor, std::uint32_t moving,
                     bool shiftHeld, ChannelRange channels) {
    SnappedDrag out{anchor, moving};
    if (mode == SnapMode::None) return out;
    out.moving = SnapEdge(doc, {mode, moving, anchor, channels});
    if (mode == SnapMode::ZeroCross && !shiftHeld) out.anchor = SnapEdge(doc, {mode, anchor, out.moving, channels});
    return out;
}

}  // namespace pelmora
