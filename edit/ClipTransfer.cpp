#include "edit/ClipTransfer.h"

#include <algorithm>
#include <vector>

#include "base/Error.h"
#include "sound/FrameTransfer.h"
#include "sound/SampleCodec.h"
#include "sound/SampleConvert.h"

namespace pelmora {

namespace {

// Adds with saturation at the width's limits.
template <typename Codec>
std::int32_t Combine(ClipCombine combine, std::int32_t document, std::int32_t clip) {
    if (combine == ClipCombine::Replace) return clip;
    const std::int64_t sum = static_cast<std::int64_t>(document) + clip;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, Codec::kMin, Codec::kMax));
}

}  // namespace

ChannelMap PasteMap(const SoundInfo& doc, const ClipInfo& clip) {
    ChannelMap map;
    int next = 0;
    for (int ch = doc.channelFirst; ch < doc.channelEnd && ch < 2; ++ch) {
        if (next < clip.channels) map.source[ch] = next++;
    }
    return map;
}

ChannelMap InsertMap(const SoundInfo& doc, const ClipInfo& clip) {
    ChannelMap map;
    for (int ch = 0; ch < doc.channels && ch < 2; ++ch)
        map.source[ch] = ch < clip.channels ? ch : kZeroChannel;
    return map;
}

void WriteClipFrames(platform::File& working, const SoundInfo& doc, const Clip& clip,
                     std::uint32_t at, std::uint32_t count, ChannelMap map, ClipCombine combine,
                     const std::function<void()>& blockDone) {
    platform::File clipFile;
    if (!clipFile.Open(clip.path, platform::OpenMode::Read)) throw Error(StringId::FileReadError);
    const std::size_t frameSize = doc.blockAlign;
    const std::size_t clipFrame = clip.info.frameSize;
    const std::size_t perBlock = FramesPerBlock(frameSize);
    std::vector<std::uint8_t> block(perBlock * frameSize);
    std::vector<std::uint8_t> clipBlock(perBlock * clipFrame);
    WithSampleCodec(doc.fileType, doc.bytesPerSample, [&](auto target) {
        WithSampleCodec(clip.info.fileType, clip.info.bytesPerSample, [&](auto source) {
            using Target = decltype(target);
            constexpr int kTo = Target::kBytes;
            constexpr int kFrom = decltype(source)::kBytes;
            for (std::uint32_t done = 0; done < count;) {
                const std::size_t n = std::min<std::size_t>(perBlock, count - done);
                const std::uint64_t position = doc.dataOffset + static_cast<std::uint64_t>(at + done) * frameSize;
                if (!working.ReadAt(position, block.data(), n * frameSize) ||
                    !clipFile.ReadAt(static_cast<std::uint64_t>(done) * clipFrame, clipBlock.data(), n * clipFrame)) {
                    throw Error(StringId::FileReadError);
                }
                for (std::size_t i = 0; i < n; ++i) {
                    std::uint8_t* frame = block.data() + i * frameSize;
                    const std::uint8_t* clipSamples = clipBlock.data() + i * clipFrame;
                    for (int ch = 0; ch < doc.channels && ch < 2; ++ch) {
                        const int from = map.source[ch];
                        if (from == kKeepChannel) continue;
                        std::uint8_t* sample = frame + ch * kTo;
                        std::int32_t value = 0;
                        if (from >= 0) {
                            value = ConvertSampleWidth(source.Read(clipSamples + from * kFrom), kFrom, kTo);
                            value = Combine<Target>(combine, target.Read(sample), value);
                        }
                        target.Write(sample, value);
                    }
                }
                if (!working.WriteAt(position, block.data(), n * frameSize)) throw Error(WriteFailure());
                done += static_cast<std::uint32_t>(n);
                if (blockDone) blockDone();
            }
        });
    });
}

void CopySelectionToClip(COLMDoc& doc, Clip& clip, const std::function<void()>& blockDone) {
    const SoundInfo& info = doc.Info();
    clip.info.valid = false;
    ClipInfo next;
    next.fileType = info.fileType;
    next.channels = static_cast<std::uint16_t>(info.channelEnd - info.channelFirst);
    next.sampleRate = info.sampleRate;
    next.bytesPerSample = info.bytesPerSample;
    next.frameSize = static_cast<std::uint16_t>(next.channels * info.bytesPerSample);
    next.frameCount = doc.selectionEnd - doc.selectionStart;
    platform::File file;
    if (!file.Open(clip.path, platform::OpenMode::CreateOrOpen) ||
        !file.SetSize(static_cast<std::uint64_t>(next.frameCount) * next.frameSize)) {
        throw Error(WriteFailure());
    }
    const platform::File working = doc.OpenWorkingFile(false);
    GatherFrames(working, LayoutOf(info), {info.channelFirst, info.channelEnd}, doc.selectionStart,
                 next.frameCount, file, 0, blockDone);
    next.valid = true;
    clip.info = next;
}

}  // namespace pelmora
