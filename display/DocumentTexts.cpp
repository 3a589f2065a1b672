#include "display/DocumentTexts.h"

#include <cstdio>

#include "platform/File.h"
#include "sound/TimeMath.h"

namespace pelmora {

namespace {

// printf into a string; the formats are the system's own texts.
template <typename... Args>
std::string Printed(const char* format, Args... args) {
    char text[160];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    std::snprintf(text, sizeof text, format, args...);
#pragma GCC diagnostic pop
    return text;
}

std::int64_t ModifiedSeconds(const COLMDoc& doc) {
    platform::FileStatus status;
    if (platform::StatFile(doc.OriginalPath(), status) || platform::StatFile(doc.WorkingPath(), status))
        return status.modifiedSeconds;
    return doc.OriginalStatus().modifiedSeconds;
}

}  // namespace

std::string StatusPaneText(char letter, std::uint32_t rate, std::uint32_t frame) {
    const TimeParts t = SplitMilliseconds(FramesToMilliseconds(rate, frame));
    return std::string(1, letter) +
           Printed(" %02d:%02d:%02d.%03d", t.hours, t.minutes, t.seconds, t.milliseconds) + Printed("(%ld)", long(frame));
}

std::array<std::string, 4> StatusPaneTexts(const COLMDoc& doc) {
    if (doc.WorkingPath().empty()) return {};
    const std::uint32_t rate = doc.Info().sampleRate;
    const std::uint32_t length = doc.selectionEnd > doc.selectionStart ? doc.selectionEnd - doc.selectionStart : 0;
    return {StatusPaneText('N', rate, doc.view.currentPosition), StatusPaneText('S', rate, doc.selectionStart),
            StatusPaneText('E', rate, doc.selectionEnd), StatusPaneText('D', rate, length)};
}

std::string FileInfoText(const SoundInfo& info, const std::tm& modified) {
    const TimeParts t = SplitMilliseconds(FramesToMilliseconds(info.sampleRate, info.frames));
    const unsigned long dataSize = static_cast<unsigned long>(info.bytesPerSample) * info.channels * info.frames;
    std::string text = "Creator       QMV0\n";
    text += info.fileType == FileType::Aiff ? "File type:AIFF\n" : "File type:WAV\n";
    text += Printed("     Rate:%ld", long(info.sampleRate)) + "\n";
    text += Printed("     Size:%d", int(info.bitsPerSample)) + "\n";
    text += Printed(" Channels:%d", int(info.channels)) + "\n";
    text += Printed("  Samples:%ld", long(info.frames)) + "\n";
    text += Printed("   Length:%02d:%02d:%02d.%03d", t.hours, t.minutes, t.seconds, t.milliseconds) + "\n";
    text += Printed("Data size:%lu", dataSize) + "\n";
    text += Printed(" Modified:%d.%-d.%-d\n          %d:%d:%d", modified.tm_year + 1900, modified.tm_mon + 1,
                    modified.tm_mday, modified.tm_hour, modified.tm_min, modified.tm_sec) + "\n";
    return text;
}

std::string FileInfoText(const COLMDoc& doc) {
    const std::time_t seconds = static_cast<std::time_t>(ModifiedSeconds(doc));
    std::tm local{};
    localtime_r(&seconds, &local);
    return FileInfoText(doc.Info(), local);
}

}  // namespace pelmora
