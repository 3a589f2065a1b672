#include "sound/TimeMath.h"

#include "base/StringId.h"

namespace pelmora {

std::uint32_t FramesToMilliseconds(std::uint32_t rate, std::uint32_t frames) {
    if (rate == 0) return kTimeOverflow;
    if (frames < 2147483) return frames * 1000u / rate;
    const std::uint64_t q = frames / rate;
    const std::uint64_t remainder = frames - q * rate;
    const std::uint64_t ms = q * 1000 + (remainder * 1000 + rate / 2) / rate;
    return ms > kTimeOverflow ? kTimeOverflow : static_cast<std::uint32_t>(ms);
}

std::uint32_t MillisecondsToFrames(std::uint32_t rate, std::int64_t milliseconds) {
    if (milliseconds <= 0) return 0;
    const std::uint64_t s = static_cast<std::uint64_t>(milliseconds) / 1000;
    if (rate == 0 || kTimeOverflow / rate < s) return kTimeOverflow;
    const std::uint64_t r = (static_cast<std::uint64_t>(milliseconds) % 1000) * rate + 999;
    const std::uint64_t frames = r / 1000 + s * rate;
    return frames > kTimeOverflow ? kTimeOverflow : static_cast<std::uint32_t>(frames);
}

TimeParts SplitMilliseconds(std::int64_t milliseconds) {
    if (milliseconds < 0) milliseconds = 0;
    TimeParts t;
    t.milliseconds = static_cast<int>(milliseconds % 1000);
    const std::int64_t totalSeconds = milliseconds / 1000;
    const std::int64_t totalMinutes = totalSeconds / 60;
    t.seconds = static_cast<int>(totalSeconds - 60 * totalMinutes);
    t.hours = static_cast<int>(totalMinutes / 60);
    t.minutes = static_cast<int>(totalMinutes - 60 * static_cast<std::int64_t>(t.hours));
    return t;
}

std::string FormatLength(std::uint32_t rate, std::uint32_t frames) {
    TimeParts t = SplitMilliseconds(FramesToMilliseconds(rate, frames));
    return FormatText(StringId::LengthFormat, t.hours, t.minutes, t.seconds, t.milliseconds);
}

}  // namespace pelmora
