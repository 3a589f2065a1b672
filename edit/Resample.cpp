#include "edit/Resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/Error.h"
#include "document/Conversions.h"
#include "document/WholeFileConversion.h"
#include "edit/ResampleFilter.h"
#include "sound/FileRead.h"
#include "sound/SampleCodec.h"
#include "sound/SoundMarkers.h"

namespace pelmora {

namespace {

constexpr std::uint32_t kBufferBytes = 32768;

// Everything one run needs besides the files.
struct ResampleRun {
    std::vector<double> table;
    int order = 5;
    double step = 1;
    std::uint64_t newFrames = 0;
    std::uint32_t blockOutputs = 1;  // B
    bool narrowTaps = false;         // every tap within ±1: 16-bit terms fit 32 bits
    ScaledAccumulator sum16 = Accumulate16Scaled;
};

// One output block: the input window it reads, decoded channel by channel, silence outside the
// sound; then every output frame of the block, written in the file's encoding.
template <typename Codec>
void ResampleBlock(const ResampleRun& run, const platform::File& source, const SoundInfo& in, std::uint64_t j0,
                   std::uint32_t count, std::vector<std::uint8_t>& raw, std::vector<std::int32_t>& window,
                   std::vector<double>& scaled, std::vector<std::uint8_t>& out) {
    const int taps = run.order - 1;
    const int half = (run.order - 1) / 2;
    const std::size_t channels = in.channels;
    const auto firstInput = static_cast<std::int64_t>(static_cast<double>(j0) * run.step);
    const auto lastInput = static_cast<std::int64_t>(static_cast<double>(j0 + count - 1) * run.step);
    const std::int64_t start = firstInput - half;
    const auto width = static_cast<std::size_t>(lastInput - firstInput + taps);
    window.assign(width * channels, 0);
    const std::int64_t readFrom = std::max<std::int64_t>(start, 0);
    const std::int64_t readTo = std::min<std::int64_t>(start + static_cast<std::int64_t>(width), in.frames);
    if (readTo > readFrom) {
        const auto frames = static_cast<std::size_t>(readTo - readFrom);
        raw.resize(frames * in.blockAlign);
        if (!ReadHeld(source, in.dataOffset + static_cast<std::uint64_t>(readFrom) * in.blockAlign, raw.data(),
                      raw.size()))
            throw Error(StringId::FileReadError);
        const std::uint8_t* p = raw.data();
        const auto offset = static_cast<std::size_t>(readFrom - start);
        for (std::size_t f = 0; f < frames; ++f)
            for (std::size_t c = 0; c < channels; ++c, p += Codec::kBytes) window[c * width + offset + f] = Codec::Read(p);
    }
    // 16-bit samples with taps within ±1 are summed from x × 32768, made once per window frame.
    const bool scaledSum = Codec::kBytes == 2 && run.narrowTaps;
    if (scaledSum) {
        scaled.resize(window.size());
        for (std::size_t i = 0; i < window.size(); ++i) scaled[i] = static_cast<double>(window[i] * 32768);
    }
    ResampleTaps tap;
    double lastPhase = -1;
    std::uint8_t* o = out.data();
    for (std::uint64_t j = j0; j < j0 + count; ++j) {
        const double tau = static_cast<double>(j) * run.step;
        const double phase = tau - std::trunc(tau);
        // The taps depend only on the phase: a ratio like 2 needs them once.
        if (phase != lastPhase) {
            TapsForOutput(run.table, run.order, run.step, j, tap);
            lastPhase = phase;
        }
        const auto base = static_cast<std::size_t>(static_cast<std::int64_t>(tau) - half - start);
        for (std::size_t c = 0; c < channels; ++c, o += Codec::kBytes) {
            const std::int32_t* x = window.data() + c * width + base;
            std::int32_t v = 0;
            if constexpr (Codec::kBytes == 2)
                v = scaledSum ? run.sum16(scaled.data() + c * width + base, tap.c.data(), taps)
                              : Accumulate16(x, tap.c.data(), taps);
            else if constexpr (Codec::kBytes == 4) v = Accumulate32(x, tap.c.data(), taps);
            else v = Accumulate8Or24(x, tap.c.data(), taps, Codec::kBytes);
            Codec::Write(o, v);
        }
    }
}

}  // namespace

std::uint64_t ResampledFrames(std::uint32_t frames, std::uint32_t oldRate, std::uint32_t newRate) {
    const double ratio = static_cast<double>(newRate) / static_cast<double>(oldRate);
    return static_cast<std::uint64_t>(static_cast<double>(frames) * ratio);
}

bool Resample(COLMDoc& doc, const ResampleSettings& settings) {
    const SoundInfo& info = doc.Info();
    if (settings.rate == info.sampleRate) return false;
    if (!CanConvertBitSize(doc) || settings.rate == 0 || settings.order < 5 || settings.order > 1025 ||
        ((settings.order - 1) & (settings.order - 2)) != 0 || settings.rejection < -100 || settings.rejection > 0)
        throw Error(StringId::DataError);
    const double ratio = static_cast<double>(settings.rate) / static_cast<double>(info.sampleRate);
    ResampleRun run;
    run.order = settings.order;
    run.step = static_cast<double>(info.sampleRate) / static_cast<double>(settings.rate);
    run.newFrames = ResampledFrames(info.frames, info.sampleRate, settings.rate);
    const std::uint32_t bufferFrames = kBufferBytes / info.blockAlign;
    run.blockOutputs = static_cast<std::uint32_t>(std::max<std::int64_t>(
        static_cast<std::int64_t>((static_cast<std::int64_t>(bufferFrames) - settings.order - 1) / (run.step + 1.0)) - 1,
        1));

    const platform::File probe = doc.OpenWorkingFile(false);
    const DataLayout layout = LayoutOfData(probe, info);
    WholeFileChange change;
    change.newFileBytes = ConvertedFileBytes(layout, run.newFrames * info.blockAlign);
    if (change.newFileBytes > UINT32_MAX) throw Error(StringId::ConversionTooLarge);
    change.after = info;
    SoundInfo& after = change.after;
    after.sampleRate = settings.rate;
    after.frames = static_cast<std::uint32_t>(run.newFrames);
    after.loopStart = ScalePosition(info.loopStart, ratio);
    after.loopEnd = ScalePosition(info.loopEnd, ratio);
    ScaleMarkers(after, ratio);
    run.table = DesignResampleTable(settings.order, settings.rejection, info.sampleRate, settings.rate);
    run.narrowTaps = TableWithinUnit(run.table);
    run.sum16 = FastestAccumulate16Scaled();

    change.build = [&doc, &run, layout, bufferFrames](platform::File& target, SoundInfo& out) {
        const SoundInfo& in = doc.Info();
        const platform::File source = doc.OpenWorkingFile(false);
        const std::size_t blockBytes = static_cast<std::size_t>(bufferFrames) * in.blockAlign;
        const std::uint64_t blocks = (run.newFrames + run.blockOutputs - 1) / run.blockOutputs;
        ConversionSteps steps(doc.Host().Progress(), StringId::Resampling, blocks + TrailingBlocks(layout, blockBytes));
        CopyHeaderBytes(source, layout.headerBytes, target);
        out.dataOffset = static_cast<std::uint32_t>(layout.headerBytes);
        std::vector<std::uint8_t> raw;
        std::vector<std::int32_t> window;
        std::vector<double> scaled;
        std::vector<std::uint8_t> block(static_cast<std::size_t>(run.blockOutputs) * in.blockAlign);
        for (std::uint64_t j0 = 0; j0 < run.newFrames; j0 += run.blockOutputs) {
            const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(run.blockOutputs, run.newFrames - j0));
            WithSampleCodec(in.fileType, in.bytesPerSample, [&](auto codec) {
                ResampleBlock<decltype(codec)>(run, source, in, j0, count, raw, window, scaled, block);
            });
            if (!target.WriteAt(out.dataOffset + j0 * in.blockAlign, block.data(),
                                static_cast<std::size_t>(count) * in.blockAlign))
                throw Error(WriteFailure());
            steps.Step();
        }
        FinishConvertedFile(source, layout, target, out, blockBytes, steps);
    };
    RunWholeFileChange(doc, change);
    doc.selectionStart = doc.selectionEnd = 0;
    doc.loopLock = 0;
    return true;
}

}  // namespace pelmora
