#include "display/Rulers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sound/TimeMath.h"

namespace pelmora {

namespace {

std::string Printf(const char* format, auto... values) {
    char text[64];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string LevelLabel(std::uint16_t mode, int bytesPerSample, double level) {
    switch (mode) {
    case kLevelRulerDecibel: {
        if (level == 0.0) return "-inf";
        const double db = 20.0 * std::log10(std::fabs(level));
        return Printf(std::fabs(db) < 10.0 ? "%.2f" : "%.1f", db);
    }
    case kLevelRulerValue: {
        // The raw value, masked to the sample width.
        const int bits = 8 * bytesPerSample;
        const double full = std::ldexp(1.0, bits - 1);
        const auto value = static_cast<std::int64_t>(std::clamp(std::round(level * full), -full, full - 1));
        const std::uint64_t mask = bits >= 64 ? ~0ull : (1ull << bits) - 1;
        const std::uint64_t raw = static_cast<std::uint64_t>(value) & mask;
        static const char* const kFormats[] = {"%02llX", "%04llX", "%06llX", "%08llX"};
        return Printf(kFormats[std::clamp(bytesPerSample, 1, 4) - 1], static_cast<unsigned long long>(raw));
    }
    default: {
        // Whole percentages as they are; deep vertical zooms need decimals to tell marks apart.
        const double percent = level * 100.0;
        if (percent == std::trunc(percent)) return Printf("%.0f", percent);
        return Printf(std::fabs(percent) >= 1.0 ? "%.1f" : "%.2f", percent);
    }
    }
}

}  // namespace

std::string TimeRulerLabel(std::uint16_t mode, std::uint32_t sampleRate, std::uint32_t frame) {
    if (mode == kTimeRulerSample) return FormatText(StringId::FrameNumberFormat, static_cast<unsigned long>(frame));
    const TimeParts t = SplitMilliseconds(FramesToMilliseconds(sampleRate, frame));
    return FormatText(StringId::TimeOfFrameFormat, t.hours, t.minutes, t.seconds, t.milliseconds);
}

std::vector<TimeTick> TimeRulerTicks(const COLMDoc& doc, int width) {
    std::vector<TimeTick> ticks;
    const auto frameStep = static_cast<std::uint64_t>(kTimeTickColumns * doc.view.horizontalZoom);
    const std::uint16_t mode = RulerMode(doc.view.timeRulerSetting);
    std::string previousLabel;
    for (int i = 0; i * kTimeTickColumns < width; ++i) {
        TimeTick tick;
        tick.x = i * kTimeTickColumns;
        tick.frame = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            doc.view.firstVisible + std::uint64_t(i) * frameStep, UINT32_MAX));
        tick.labelled = i % kLabelledTickEvery == 0;
        if (tick.labelled) {
            // At high zoom ten ticks can lie within one millisecond: a label that would repeat the
            // previous one is left off, the long tick stays.
            std::string label = TimeRulerLabel(mode, doc.Info().sampleRate, tick.frame);
            if (label != previousLabel) tick.label = previousLabel = std::move(label);
        }
        ticks.push_back(std::move(tick));
    }
    return ticks;
}

std::vector<LevelMark> LevelRulerMarks(std::uint16_t mode, int bytesPerSample, double verticalZoom,
                                       double center) {
    std::vector<LevelMark> marks;
    for (double height : {1.0, 0.5, 0.0, -0.5, -1.0})
        marks.push_back({height, LevelLabel(mode, bytesPerSample, center + height * verticalZoom)});
    return marks;
}

double LevelRulerWidthFactor(std::uint16_t mode, int bytesPerSample) {
    if (mode != kLevelRulerValue) return 1.0;
    return bytesPerSample >= 4 ? 3.0 : 2.75;
}

}  // namespace pelmora
