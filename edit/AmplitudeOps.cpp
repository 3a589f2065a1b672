#include "edit/AmplitudeOps.h"

#include <cstring>
#include <vector>

#include "edit/AmplitudeMath.h"
#include "edit/SelectionStream.h"
#include "platform/File.h"
#include "sound/SampleCodec.h"

namespace pelmora {

namespace {

// Runs `perBlock(codec, block, frames)` over every block of the selection inside the common
// frame, with the codec chosen once for the whole run.
template <typename PerBlock>
bool EditSelection(COLMDoc& doc, StringId status, PerBlock&& perBlock) {
    const std::uint32_t first = doc.selectionStart;
    const std::uint32_t count = doc.selectionEnd - doc.selectionStart;
    return RunInPlaceEdit(doc, status, SelectionBlocks(doc), [&](platform::File& working, BlockSteps& steps) {
        const SoundInfo& info = doc.Info();
        WithSampleCodec(info.fileType, info.bytesPerSample, [&](auto codec) {
            RewriteFrames(
                working, info, first, count,
                [&](std::uint8_t* block, std::size_t frames) { perBlock(codec, block, frames); },
                [&] { steps(); });
        });
    });
}

// For 8- and 16-bit sounds each stored word has one result, so a table over the stored words
// (256 or 65536 entries) stands in for the arithmetic.
template <typename Codec>
std::vector<std::uint16_t> ScaleTable(double factor) {
    constexpr int kBytes = Codec::kBytes;
    std::vector<std::uint16_t> table(std::size_t{1} << (8 * kBytes));
    for (std::size_t index = 0; index < table.size(); ++index) {
        // The index is the word as a load from memory sees it: a byte, or two in native order.
        std::uint8_t bytes[2] = {static_cast<std::uint8_t>(index), 0};
        if constexpr (kBytes == 2) {
            const auto word = static_cast<std::uint16_t>(index);
            std::memcpy(bytes, &word, 2);
        }
        Codec::Write(bytes, amp::Scale<kBytes>(Codec::Read(bytes), factor));
        if constexpr (kBytes == 2) std::memcpy(&table[index], bytes, 2);
        else table[index] = bytes[0];
    }
    return table;
}

bool ScaleSelection(COLMDoc& doc, StringId status, double factor) {
    const SoundInfo& info = doc.Info();
    const std::size_t frameSize = info.blockAlign;
    const ChannelRange channels = SelectedChannels(doc);
    std::vector<std::uint16_t> table;
    WithSampleCodec(info.fileType, info.bytesPerSample, [&](auto codec) {
        using Codec = decltype(codec);
        if constexpr (Codec::kBytes <= 2) table = ScaleTable<Codec>(factor);
    });
    return EditSelection(doc, status, [&](auto codec, std::uint8_t* block, std::size_t frames) {
        using Codec = decltype(codec);
        constexpr int kBytes = Codec::kBytes;
        if constexpr (kBytes == 1) {
            ForSelectedSamples<1>(block, frames, frameSize, channels,
                                  [&table](std::uint8_t* p) { *p = static_cast<std::uint8_t>(table[*p]); });
        } else if constexpr (kBytes == 2) {
            const std::uint16_t* lookup = table.data();
            ForSelectedSamples<2>(block, frames, frameSize, channels, [lookup](std::uint8_t* p) {
                std::uint16_t word;
                std::memcpy(&word, p, 2);
                std::memcpy(p, &lookup[word], 2);
            });
        } else {
            ForSelectedSamples<kBytes>(block, frames, frameSize, channels, [factor](std::uint8_t* p) {
                Codec::Write(p, amp::Scale<kBytes>(Codec::Read(p), factor));
            });
        }
    });
}

bool FadeSelection(COLMDoc& doc, StringId status, std::int64_t gain, std::int64_t step) {
    const std::size_t frameSize = doc.Info().blockAlign;
    const ChannelRange channels = SelectedChannels(doc);
    return EditSelection(doc, status, [&](auto codec, std::uint8_t* block, std::size_t frames) {
        using Codec = decltype(codec);
        constexpr int kBytes = Codec::kBytes;
        std::uint8_t* p = block + static_cast<std::size_t>(channels.first) * kBytes;
        for (std::size_t i = 0; i < frames; ++i, p += frameSize) {
            const auto gain16 = static_cast<std::int32_t>(gain >> 16);
            for (std::size_t c = 0; c < channels.Count(); ++c) {
                std::uint8_t* sample = p + c * kBytes;
                Codec::Write(sample, amp::Fade<kBytes>(Codec::Read(sample), gain16));
            }
            gain += step;
        }
    });
}

}  // namespace

bool Gain(COLMDoc& doc, int ratePercent) {
    return ScaleSelection(doc, StringId::GainOperation, ratePercent * 0.01);
}

std::uint64_t SelectionPeak(COLMDoc& doc) {
    const SoundInfo& info = doc.Info();
    const ChannelRange channels = SelectedChannels(doc);
    const platform::File working = doc.OpenWorkingFile(false);
    std::uint64_t peak = 0;
    WithSampleCodec(info.fileType, info.bytesPerSample, [&](auto codec) {
        using Codec = decltype(codec);
        ScanFrames(working, info, doc.selectionStart, doc.selectionEnd - doc.selectionStart,
                     [&](std::uint8_t* block, std::size_t frames) {
                         ForSelectedSamples<Codec::kBytes>(block, frames, info.blockAlign, channels,
                                                           [&peak](std::uint8_t* p) {
                             const std::int64_t v = Codec::Read(p);
                             const auto magnitude = static_cast<std::uint64_t>(v < 0 ? -v : v);
                             if (magnitude > peak) peak = magnitude;
                         });
                     });
    });
    return peak;
}

bool Normalize(COLMDoc& doc, int ratePercent) {
    if (doc.selectionEnd <= doc.selectionStart) return false;
    if (doc.ReadOnly() || platform::HasReadOnlyAttribute(doc.WorkingPath()))
        throw Error(StringId::FileIsReadOnly);
    // The peak pass comes before the undo copy, so that a silent selection costs no copy and
    // leaves the document unmodified. Its display shows the range but does not advance.
    ProgressTask& progress = doc.Host().Progress();
    progress.Start(StringId::NormalizeOperation);
    progress.SetRange(static_cast<std::uint32_t>(SelectionBlocks(doc)));
    std::uint64_t peak = 0;
    try {
        peak = SelectionPeak(doc);
    } catch (...) {
        progress.End();
        throw;
    }
    progress.End();
    if (peak == 0) {
        doc.Host().Prompts().Message(Text(StringId::NormalizeSilentSelection));
        return false;
    }
    return ScaleSelection(doc, StringId::NormalizeOperation,
                          amp::NormalizeFactor(doc.Info().bytesPerSample, ratePercent, peak));
}

bool FadeIn(COLMDoc& doc) {
    const std::uint32_t n = doc.selectionEnd - doc.selectionStart;
    if (n == 0) return false;
    return FadeSelection(doc, StringId::FadeInOperation, amp::kFadeInStart, amp::FadeInStep(n));
}

bool FadeOut(COLMDoc& doc) {
    const std::uint32_t n = doc.selectionEnd - doc.selectionStart;
    if (n == 0) return false;
    return FadeSelection(doc, StringId::FadeOutOperation, amp::kFadeOutStart, amp::FadeOutStep(n));
}

bool Invert(COLMDoc& doc) {
    const std::size_t frameSize = doc.Info().blockAlign;
    const ChannelRange channels = SelectedChannels(doc);
    // Complementing every stored byte is −sample − 1 in both byte orders, and for 8-bit WAV
    // too, since its offset of 0x80 complements to itself.
    return EditSelection(doc, StringId::InvertOperation, [&](auto codec, std::uint8_t* block, std::size_t frames) {
        constexpr int kBytes = decltype(codec)::kBytes;
        ForSelectedSamples<kBytes>(block, frames, frameSize, channels, [](std::uint8_t* p) {
            for (int b = 0; b < kBytes; ++b) p[b] = static_cast<std::uint8_t>(~p[b]);
        });
    });
}

bool Silence(COLMDoc& doc) {
    const std::size_t frameSize = doc.Info().blockAlign;
    const ChannelRange channels = SelectedChannels(doc);
    return EditSelection(doc, StringId::SilenceOperation, [&](auto codec, std::uint8_t* block, std::size_t frames) {
        using Codec = decltype(codec);
        ForSelectedSamples<Codec::kBytes>(block, frames, frameSize, channels,
                                          [](std::uint8_t* p) { Codec::Write(p, 0); });
    });
}

}  // namespace pelmora
