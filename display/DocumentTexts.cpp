#include "display/DocumentTexts.h"

#include "base/StringId.h"
#include "document/LoopFlag.h"
#include "platform/File.h"
#include "sound/TimeMath.h"

namespace pelmora {

namespace {

std::int64_t ModifiedSeconds(const COLMDoc& doc) {
    platform::FileStatus status;
    if (platform::StatFile(doc.OriginalPath(), status) || platform::StatFile(doc.WorkingPath(), status))
        return status.modifiedSeconds;
    return doc.OriginalStatus().modifiedSeconds;
}

}  // namespace

std::string StatusPaneText(StringId format, std::uint32_t rate, std::uint32_t frame) {
    const TimeParts t = SplitMilliseconds(FramesToMilliseconds(rate, frame));
    return FormatText(format, t.hours, t.minutes, t.seconds, t.milliseconds) +
           FormatText(StringId::StatusFramesFormat, static_cast<unsigned long>(frame));
}

std::array<std::string, 4> StatusPaneTexts(const COLMDoc& doc) {
    if (doc.WorkingPath().empty()) return {};
    const std::uint32_t rate = doc.Info().sampleRate;
    const std::uint32_t length = doc.selectionEnd > doc.selectionStart ? doc.selectionEnd - doc.selectionStart : 0;
    return {StatusPaneText(StringId::StatusPositionFormat, rate, doc.view.currentPosition),
            StatusPaneText(StringId::StatusSelectionStartFormat, rate, doc.selectionStart),
            StatusPaneText(StringId::StatusSelectionEndFormat, rate, doc.selectionEnd),
            StatusPaneText(StringId::StatusSelectionLengthFormat, rate, length)};
}

std::string FileInfoText(const SoundInfo& info, const std::tm& modified) {
    const TimeParts t = SplitMilliseconds(FramesToMilliseconds(info.sampleRate, info.frames));
    const unsigned long dataSize = static_cast<unsigned long>(info.bytesPerSample) * info.channels * info.frames;
    const std::string lines[] = {
        Text(StringId::FileInfoCreator),
        Text(info.fileType == FileType::Aiff ? StringId::FileInfoTypeAiff : StringId::FileInfoTypeWav),
        FormatText(StringId::FileInfoRate, static_cast<unsigned long>(info.sampleRate)),
        FormatText(StringId::FileInfoSize, int(info.bitsPerSample)),
        FormatText(StringId::FileInfoChannels, int(info.channels)),
        FormatText(StringId::FileInfoSamples, static_cast<unsigned long>(info.frames)),
        FormatText(StringId::FileInfoLength, t.hours, t.minutes, t.seconds, t.milliseconds),
        FormatText(StringId::FileInfoDataSize, dataSize),
        Text(!LoopFlagApplies(info) ? StringId::FileInfoLoopNone
                                    : info.loopOn ? StringId::FileInfoLoopOn : StringId::FileInfoLoopOff),
        FormatText(StringId::FileInfoModified, modified.tm_year + 1900, modified.tm_mon + 1, modified.tm_mday,
                   modified.tm_hour, modified.tm_min, modified.tm_sec),
    };
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::string FileInfoText(const COLMDoc& doc) {
    const std::time_t seconds = static_cast<std::time_t>(ModifiedSeconds(doc));
    std::tm local{};
    localtime_r(&seconds, &local);
    return FileInfoText(doc.Info(), local);
}

}  // namespace pelmora
