#include "edit/LoopAdjust.h"

namespace pelmora {

namespace {

// Frames s .. e give way to k new ones: d = (e − s) − k frames fewer after the edit point.
LoopPoints Replace(LoopPoints loop, std::uint32_t s, std::uint32_t e, std::int64_t d) {
    auto shifted = [d](std::uint32_t v) { return static_cast<std::uint32_t>(v - d); };
    if (e <= loop.start) {
        loop.start = shifted(loop.start);
        loop.end = shifted(loop.end);
    } else if (e <= loop.end) {
        if (s < loop.start) loop.start = s;
        loop.end = shifted(loop.end);
        loop.lock = 0;
    } else if (s < loop.end) {
        loop.end = s;
        if (s < loop.start) loop.start = s;
        loop.lock = 0;
    }
    return loop;
}

LoopPoints Keep(LoopPoints loop, std::uint32_t s, std::uint32_t e) {
    if (s >= loop.end) {
        loop = {0, 0, 0};
    } else if (e < loop.start) {
        loop.start = loop.end = e - s;
        loop.lock = 0;
    } else if (e < loop.end) {
        loop.end = e - s;
        loop.start = loop.start <= s ? 0 : loop.start - s;
        loop.lock = 0;
    } else {
        if (loop.start <= s) {
            loop.start = 0;
            loop.lock = 0;
        } else {
            loop.start -= s;
        }
        loop.end -= s;
    }
    return loop;
}

}  // namespace

LoopPoints AdjustLoopForEdit(LoopEditRule rule, LoopPoints loop, std::uint32_t s, std::uint32_t e,
                             std::uint32_t k) {
    switch (rule) {
    case LoopEditRule::Clear: return Replace(loop, s, e, static_cast<std::int64_t>(e) - s);
    case LoopEditRule::Insert:
        return Replace(loop, s, e, static_cast<std::int64_t>(e) - s - static_cast<std::int64_t>(k));
    case LoopEditRule::Trim: return Keep(loop, s, e);
    }
    return loop;
}

}  // namespace pelmora
