#include "edit/LoopAdjust.h"

#include "sound/SoundMarkers.h"

namespace pelmora {

std::uint32_t MovePositionForEdit(LoopEditRule rule, std::uint32_t p, std::uint32_t s,
                                  std::uint32_t e, std::uint32_t k) {
    if (rule == LoopEditRule::Trim) {
        if (e < p) return e - s;
        return p <= s ? 0 : p - s;
    }
    const std::uint32_t removed = rule == LoopEditRule::Clear ? e - s : e - s - k;  // modulo 2^32
    if (e <= p) return p - removed;
    return s < p ? s : p;
}

LoopPoints AdjustLoopForEdit(LoopEditRule rule, LoopPoints loop, std::uint32_t s, std::uint32_t e,
                             std::uint32_t k) {
    const std::uint32_t L = loop.start, E = loop.end;
    const bool release = rule == LoopEditRule::Trim ? !(e >= E && s < L)
                                                    : (L < e && e <= E) || (e > E && s < E);
    if (release) loop.lock = 0;
    loop.start = MovePositionForEdit(rule, L, s, e, k);
    loop.end = MovePositionForEdit(rule, E, s, e, k);
    return loop;
}

std::uint32_t MovePositionForTimeChange(std::uint32_t p, std::uint32_t s, std::uint32_t e,
                                        std::uint32_t modified) {
    // A position at the selection's end is the first frame after it: it moves with the frames
    // that follow, as the edit rules have it.
    if (e <= p) return p + modified - (e - s);  // modulo 2^32: also when it shortens
    if (p <= s) return p;
    // The offset scaled by modified / (e − s), exactly: no rounding of the ratio loses a frame.
    return s + static_cast<std::uint32_t>(static_cast<std::uint64_t>(p - s) * modified / (e - s));
}

LoopPoints AdjustLoopForTimeChange(LoopPoints loop, std::uint32_t s, std::uint32_t e,
                                   std::uint32_t modified) {
    if (loop.start < e && (e < loop.end || s < loop.end)) loop.lock = 0;
    loop.start = MovePositionForTimeChange(loop.start, s, e, modified);
    loop.end = MovePositionForTimeChange(loop.end, s, e, modified);
    return loop;
}

void MoveMarkersForEdit(SoundInfo& info, LoopEditRule rule, std::uint32_t s, std::uint32_t e,
                        std::uint32_t k) {
    MoveMarkers(info, [=](std::uint32_t p) { return MovePositionForEdit(rule, p, s, e, k); });
}

void MoveMarkersForTimeChange(SoundInfo& info, std::uint32_t s, std::uint32_t e,
                              std::uint32_t modified) {
    MoveMarkers(info, [=](std::uint32_t p) { return MovePositionForTimeChange(p, s, e, modified); });
}

}  // namespace pelmora
