#pragma once
// Frame and time arithmetic behind every displayed time.

#include <cstdint>
#include <string>

namespace pelmora {

inline constexpr std::uint32_t kTimeOverflow = 0x7FFFFFFF;

// Truncated below 2147483 frames; above, the remainder is rounded to nearest. Rate 0 and
// results past 0x7FFFFFFF give 0x7FFFFFFF.
std::uint32_t FramesToMilliseconds(std::uint32_t rate, std::uint32_t frames);

// The millisecond remainder rounds up; negative times are 0; overflow gives 0x7FFFFFFF.
std::uint32_t MillisecondsToFrames(std::uint32_t rate, std::int64_t milliseconds);

struct TimeParts {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int milliseconds = 0;
    bool operator==(const TimeParts&) const = default;
};

TimeParts SplitMilliseconds(std::int64_t milliseconds);

// "HH:MM:SS:mmm" for a frame count.
std::string FormatLength(std::uint32_t rate, std::uint32_t frames);

}  // namespace pelmora
