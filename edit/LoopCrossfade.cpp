#include "edit/LoopCrossfade.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/Error.h"
#include "edit/AmplitudeMath.h"
#include "edit/EditFrame.h"
#include "edit/SelectionStream.h"
#include "sound/SampleCodec.h"

namespace pelmora {

namespace {

inline constexpr std::size_t kCrossfadeBufferBytes = 65536;

std::uint32_t LoopLength(const SoundInfo& info) {
    return info.loopEnd > info.loopStart ? info.loopEnd - info.loopStart : 0;
}

std::uint32_t FramesAfterLoop(const SoundInfo& info) {
    return info.frames > info.loopEnd ? info.frames - info.loopEnd : 0;
}

std::uint32_t PercentOf(int percent, std::uint32_t length) {
    return static_cast<std::uint32_t>(std::clamp(percent, 0, 100) * 0.01 * length);
}

// 2^(8 × bytes) − 1, the full scale of the exponential curves.
std::int64_t CurveScale(int bytesPerSample) {
    return static_cast<std::int64_t>((std::uint64_t{1} << (8 * std::clamp(bytesPerSample, 1, 4))) - 1);
}

// One pass: frame `to` + k becomes a-weight × frame `from` + k plus b-weight × itself, k < t.
// In the sustain pass a is driven by k and b by t − k; in the release pass the other way.
struct Pass {
    std::uint32_t from = 0;
    std::uint32_t to = 0;
    std::uint32_t t = 0;
    bool sustain = true;
};

template <typename Codec>
void RunPass(platform::File& working, const SoundInfo& info, const Pass& pass, CrossfadeCurve curve,
             const std::function<void()>& bufferDone) {
    constexpr int kBytes = Codec::kBytes;
    const std::size_t frameSize = info.blockAlign;
    const std::size_t perBuffer = std::max<std::size_t>(1, kCrossfadeBufferBytes / frameSize);
    const std::size_t samplesPerFrame = info.channels;
    std::vector<std::uint8_t> a(std::min<std::size_t>(perBuffer, pass.t) * frameSize), b(a.size());
    for (std::uint32_t done = 0; done < pass.t;) {
        const std::size_t m = std::min<std::size_t>(perBuffer, pass.t - done);
        const std::uint64_t aAt = info.dataOffset + static_cast<std::uint64_t>(pass.from + done) * frameSize;
        const std::uint64_t bAt = info.dataOffset + static_cast<std::uint64_t>(pass.to + done) * frameSize;
        if (!working.ReadAt(aAt, a.data(), m * frameSize) || !working.ReadAt(bAt, b.data(), m * frameSize))
            throw Error(StringId::FileReadError);
        for (std::size_t i = 0; i < m; ++i) {
            const std::uint32_t k = done + static_cast<std::uint32_t>(i);
            const std::uint32_t ja = pass.sustain ? k : pass.t - k;
            const CurveWeight wa = CrossfadeWeight(curve, ja, pass.t, kBytes);
            const CurveWeight wb = CrossfadeWeight(curve, pass.t - ja, pass.t, kBytes);
            const std::uint8_t* pa = a.data() + i * frameSize;
            std::uint8_t* pb = b.data() + i * frameSize;
            for (std::size_t c = 0; c < samplesPerFrame; ++c) {
                const std::int64_t x = Codec::Read(pa + c * kBytes);
                const std::int64_t y = Codec::Read(pb + c * kBytes);
                const std::int64_t sum = wa.weight * x / wa.divisor + wb.weight * y / wb.divisor;
                Codec::Write(pb + c * kBytes, amp::Clamp<kBytes>(sum));
            }
        }
        if (!working.WriteAt(bAt, b.data(), m * frameSize)) throw Error(WriteFailure());
        done += static_cast<std::uint32_t>(m);
        bufferDone();
    }
}

}  // namespace

CrossfadeMaxima CrossfadeMaximaFor(const SoundInfo& info) {
    const std::uint64_t length = LoopLength(info);
    if (length == 0) return {};
    const std::uint64_t after = FramesAfterLoop(info);
    CrossfadeMaxima maxima;
    maxima.sustain = length < info.loopStart ? 100 : static_cast<int>(std::uint64_t{info.loopStart} * 100 / length);
    maxima.release = length < after ? 100 : static_cast<int>(after * 100 / length);
    return maxima;
}

CrossfadeFrames CrossfadeLengths(const SoundInfo& info, CrossfadeType type, int sustainPercent,
                                 int releasePercent) {
    const std::uint32_t length = LoopLength(info);
    CrossfadeFrames frames;
    // Within the sound whatever the percentages (the dialog already keeps them to the maxima).
    frames.sustain = std::min(PercentOf(sustainPercent, length), info.loopStart);
    if (type == CrossfadeType::SustainRelease)
        frames.release = std::min(PercentOf(releasePercent, length), FramesAfterLoop(info));
    return frames;
}

CurveWeight CrossfadeWeight(CrossfadeCurve curve, std::uint32_t j, std::uint32_t t, int bytesPerSample) {
    if (curve == CrossfadeCurve::Linear) return {j, std::max<std::int64_t>(t, 1)};
    const std::int64_t m = CurveScale(bytesPerSample);
    // c(i) = integer part of M × 10^(−4.8 × (i / t)^5)
    const auto c = [m, t](std::uint32_t i) {
        const double r = t == 0 ? 0.0 : static_cast<double>(i) / t;
        return static_cast<std::int64_t>(static_cast<double>(m) * std::pow(10.0, -4.8 * std::pow(r, 5)));
    };
    if (curve == CrossfadeCurve::PlusExp) return {c(t - j), m};
    return {m - c(j), m};
}

bool LoopCrossfade(COLMDoc& doc, CrossfadeType type, int sustainPercent, int releasePercent,
                   CrossfadeCurve curve) {
    const SoundInfo& info = doc.Info();
    const CrossfadeFrames lengths = CrossfadeLengths(info, type, sustainPercent, releasePercent);
    const std::uint32_t s = lengths.sustain, r = lengths.release;
    if (s + static_cast<std::uint64_t>(r) == 0) return false;
    const std::uint32_t loopStart = info.loopStart, loopEnd = info.loopEnd;
    const std::uint64_t bytes = static_cast<std::uint64_t>(s + r) * info.blockAlign;
    EditPlan plan;
    plan.code = OperationCode::InPlace;
    plan.needs = {2 * bytes, 0};
    plan.undo = {loopEnd - s, loopEnd + r, AllChannels(doc)};
    // The crossfade does not touch the selection, so its lock stays.
    const std::uint32_t selectionLock = doc.selectionLock;
    const bool done = RunEdit(doc, plan, [&] {
        platform::File working = doc.OpenWorkingFile(true);
        ProgressTask& progress = doc.Host().Progress();
        const std::size_t buffer = std::max<std::size_t>(1, kCrossfadeBufferBytes / info.blockAlign) * info.blockAlign;
        const std::uint64_t total = (bytes + buffer - 1) / buffer;
        progress.Start(StringId::CrossfadeOperation);
        progress.SetRange(static_cast<std::uint32_t>(total));
        BlockSteps steps(progress, total);
        const std::function<void()> bufferDone = [&] { steps(); };
        WithSampleCodec(info.fileType, info.bytesPerSample, [&](auto codec) {
            using Codec = decltype(codec);
            // The release pass reads the frames after the loop start as the sustain pass left them.
            if (s > 0) RunPass<Codec>(working, info, {loopStart - s, loopEnd - s, s, true}, curve, bufferDone);
            if (r > 0) RunPass<Codec>(working, info, {loopStart, loopEnd, r, false}, curve, bufferDone);
        });
        progress.End();
        doc.NotifyFramesChanged(loopEnd - s, s + r);
        return plan.undo;
    });
    doc.selectionLock = selectionLock;
    return done;
}

}  // namespace pelmora
