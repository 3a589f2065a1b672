#include "edit/DcOffset.h"

#include <array>

#include "base/Error.h"
#include "edit/AmplitudeMath.h"
#include "edit/SelectionStream.h"
#include "sound/SampleCodec.h"

namespace pelmora {

std::int32_t MeasureDcOffset(COLMDoc& doc) {
    const SoundInfo& info = doc.Info();
    const ChannelRange channels = SelectedChannels(doc);
    const std::uint32_t n = doc.selectionEnd - doc.selectionStart;
    if (n == 0 || channels.Count() == 0) return 0;
    ProgressTask& progress = doc.Host().Progress();
    const std::uint64_t blocks = SelectionBlocks(doc);
    progress.Start(StringId::SearchAverageValue);
    progress.SetRange(static_cast<std::uint32_t>(blocks));
    BlockSteps steps(progress, blocks);
    // A sum of at most 2^32 − 1 samples of at most 32 bits always fits in 64 bits.
    std::array<std::int64_t, 2> sums{};
    try {
        const platform::File working = doc.OpenWorkingFile(false);
        WithSampleCodec(info.fileType, info.bytesPerSample, [&](auto codec) {
            using Codec = decltype(codec);
            const std::size_t frameSize = info.blockAlign;
            ScanFrames(working, info, doc.selectionStart, n, [&](std::uint8_t* block, std::size_t frames) {
                const std::uint8_t* p = block + static_cast<std::size_t>(channels.first) * Codec::kBytes;
                for (std::size_t i = 0; i < frames; ++i, p += frameSize)
                    for (std::size_t c = 0; c < channels.Count(); ++c) sums[c] += Codec::Read(p + c * Codec::kBytes);
            }, [&] { steps(); });
        });
    } catch (...) {
        progress.End();
        throw;
    }
    progress.End();
    std::int64_t total = 0;
    for (std::size_t c = 0; c < channels.Count(); ++c) total += -sums[c] / static_cast<std::int64_t>(n);
    return static_cast<std::int32_t>(total / channels.Count());
}

bool DcOffset(COLMDoc& doc, DcOffsetMode mode, std::int64_t typedValue) {
    if (doc.selectionEnd <= doc.selectionStart) return false;
    std::int32_t offset = 0;
    if (mode == DcOffsetMode::Auto) {
        if (doc.ReadOnly() || platform::HasReadOnlyAttribute(doc.WorkingPath()))
            throw Error(StringId::FileIsReadOnly);
        offset = MeasureDcOffset(doc);
        if (offset == 0) {
            doc.Host().Prompts().Message(Text(StringId::OffsetWasZero));
            return false;
        }
    } else {
        offset = amp::LimitDcOffset(typedValue, doc.Info().bitsPerSample);
        if (offset == 0) return false;
    }
    const std::size_t frameSize = doc.Info().blockAlign;
    const ChannelRange channels = SelectedChannels(doc);
    const std::uint32_t first = doc.selectionStart, count = doc.selectionEnd - doc.selectionStart;
    const bool changed = RunInPlaceEdit(doc, StringId::EliminatingDcOffset, SelectionBlocks(doc),
                                        [&](platform::File& working, BlockSteps& steps) {
        const SoundInfo& info = doc.Info();
        WithSampleCodec(info.fileType, info.bytesPerSample, [&](auto codec) {
            using Codec = decltype(codec);
            RewriteFrames(working, info, first, count, [&](std::uint8_t* block, std::size_t frames) {
                ForSelectedSamples<Codec::kBytes>(block, frames, frameSize, channels, [offset](std::uint8_t* p) {
                    // Limited to the word's range: a 12-bit sound in 16-bit words keeps its
                    // samples, which the stored-bits limit would flatten.
                    Codec::Write(p, amp::Clamp<Codec::kBytes>(static_cast<std::int64_t>(Codec::Read(p)) + offset));
                });
            }, [&] { steps(); });
        });
    });
    if (changed && mode == DcOffsetMode::Auto)
        doc.Host().Prompts().Message(FormatText(StringId::OffsetAdded, offset));
    return changed;
}

}  // namespace pelmora
