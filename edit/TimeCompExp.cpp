#include "edit/TimeCompExp.h"

#include <algorithm>
#include <vector>

#include "base/BlockMoves.h"
#include "base/Error.h"
#include "document/WorkingFile.h"
#include "edit/EditFrame.h"
#include "edit/LoopAdjust.h"
#include "edit/TimeChunks.h"
#include "sound/SampleCodec.h"

namespace pelmora {

namespace {

using splice::kBlockFrames;

// The frames of a range of the working file, decoded into every channel's own run and back.
class ChunkFile {
public:
    ChunkFile(platform::File& file, const SoundInfo& info) : file_(file), info_(info) {}

    template <typename Codec>
    void Read(std::uint64_t frame, std::int64_t frames, PlanarFrames& to) {
        Bytes(frames);
        if (!file_.ReadAt(Offset(frame), raw_.data(), raw_.size())) throw Error(StringId::FileReadError);
        const std::uint8_t* p = raw_.data();
        for (std::int64_t i = 0; i < frames; ++i)
            for (std::size_t c = 0; c < to.channels; ++c, p += Codec::kBytes)
                to.Channel(c)[i] = Codec::Read(p);
    }

    // Writes frames [first, first + frames) of `from` at `frame`.
    template <typename Codec>
    void Write(std::uint64_t frame, const PlanarFrames& from, std::int64_t first, std::int64_t frames) {
        Bytes(frames);
        std::uint8_t* p = raw_.data();
        for (std::int64_t i = first; i < first + frames; ++i)
            for (std::size_t c = 0; c < from.channels; ++c, p += Codec::kBytes)
                Codec::Write(p, from.Channel(c)[i]);
        if (!file_.WriteAt(Offset(frame), raw_.data(), raw_.size())) throw Error(WriteFailure());
    }

private:
    void Bytes(std::int64_t frames) { raw_.resize(static_cast<std::size_t>(frames) * info_.blockAlign); }
    std::uint64_t Offset(std::uint64_t frame) const { return info_.dataOffset + frame * info_.blockAlign; }

    platform::File& file_;
    const SoundInfo& info_;
    std::vector<std::uint8_t> raw_;
};

// Steps the display by frames of the selection, counting on from the blocks already shown.
struct FrameSteps {
    ProgressTask& progress;
    std::uint64_t startBlocks, selectionBlocks, totalBlocks, frames;
    void operator()(std::uint64_t done) const {
        progress.Step(startBlocks + done * selectionBlocks / std::max<std::uint64_t>(frames, 1), totalBlocks);
    }
};

// Writes the shortened selection from its start; the frames after it are moved later.
template <typename Codec>
void Compress(ChunkFile& file, std::uint32_t s, std::int64_t original, std::int64_t modified,
              std::size_t channels, const FrameSteps& steps) {
    const double q = static_cast<double>(modified) / static_cast<double>(original);
    const std::int64_t block = std::min<std::int64_t>(original, kBlockFrames);
    PlanarFrames in, out;
    in.Reserve(channels, static_cast<std::size_t>(block));
    out.Reserve(channels, static_cast<std::size_t>(block));
    const splice::SampleRange clamp{Codec::kMin, Codec::kMax};
    std::int64_t inPos = 0, outPos = 0;
    while (outPos < modified) {
        const std::int64_t remIn = original - inPos, remOut = modified - outPos;
        const bool last = remIn <= block;
        const std::int64_t chunkIn = last ? remIn : block;
        const std::int64_t chunkOut =
            last ? remOut : splice::Trunc(static_cast<double>(block) * (static_cast<double>(remOut) / static_cast<double>(remIn)));
        file.Read<Codec>(s + static_cast<std::uint64_t>(inPos), chunkIn, in);
        const ChunkResult made = CompressChunk(in, chunkIn, out, chunkOut, last, q, clamp);
        file.Write<Codec>(s + static_cast<std::uint64_t>(outPos), out, 0, made.produced);
        inPos += made.consumed;
        outPos += made.produced;
        steps(static_cast<std::uint64_t>(inPos));
        if (last) break;
    }
}

// Writes the lengthened selection from the end of its new range backwards, so that no input
// frame is overwritten before it is read.
template <typename Codec>
void Expand(ChunkFile& file, std::uint32_t s, std::int64_t original, std::int64_t modified,
            std::size_t channels, const FrameSteps& steps) {
    const double q = static_cast<double>(modified) / static_cast<double>(original);
    const std::int64_t block = std::min<std::int64_t>(modified, kBlockFrames);
    PlanarFrames in, out;
    in.Reserve(channels, static_cast<std::size_t>(block));
    out.Reserve(channels, static_cast<std::size_t>(block));
    const splice::SampleRange clamp{Codec::kMin, Codec::kMax};
    std::int64_t remIn = original, remOut = modified;
    while (remOut > 0) {
        const bool last = remOut <= block;
        const std::int64_t chunkOut = last ? remOut : block;
        const std::int64_t chunkIn =
            last ? remIn : splice::Trunc(static_cast<double>(block) * (static_cast<double>(remIn) / static_cast<double>(remOut)));
        file.Read<Codec>(s + static_cast<std::uint64_t>(remIn - chunkIn), chunkIn, in);
        const ChunkResult made = ExpandChunk(in, chunkIn, out, chunkOut, last, q, clamp);
        file.Write<Codec>(s + static_cast<std::uint64_t>(remOut - made.produced), out, chunkOut - made.produced,
                          made.produced);
        remIn -= made.consumed;
        remOut -= made.produced;
        steps(static_cast<std::uint64_t>(original - remIn));
        if (last) break;
    }
}

void FollowTimeChange(COLMDoc& doc, std::uint32_t s, std::uint32_t e, std::uint32_t modified) {
    SoundInfo& info = doc.Info();
    const LoopPoints loop = AdjustLoopForTimeChange({info.loopStart, info.loopEnd, doc.loopLock}, s, e, modified);
    info.loopStart = loop.start;
    info.loopEnd = loop.end;
    doc.loopLock = loop.lock;
    MoveMarkersForTimeChange(info, s, e, modified);
    doc.selectionEnd = s + modified;
}

}  // namespace

TimeLengthLimits TimeLengthLimitsFor(std::uint32_t original) {
    return {static_cast<std::uint32_t>(original * 0.75), static_cast<std::uint32_t>(original * 1.25)};
}

bool TimeCompExpApplies(const COLMDoc& doc) {
    const SoundInfo& info = doc.Info();
    return info.channelFirst == 0 && info.channelEnd == info.channels && doc.selectionEnd > doc.selectionStart &&
           doc.selectionEnd - doc.selectionStart >= kTimeCompExpMinFrames;
}

bool TimeCompExp(COLMDoc& doc, std::uint32_t modified) {
    if (!TimeCompExpApplies(doc)) return false;
    const std::uint32_t s = doc.selectionStart, e = doc.selectionEnd, original = e - s;
    const TimeLengthLimits limits = TimeLengthLimitsFor(original);
    if (modified < limits.min || modified > limits.max) return false;
    const SoundInfo& info = doc.Info();
    if (static_cast<std::uint64_t>(info.frames) - original + modified > 0xFFFFFFFFull)
        throw Error(StringId::EmptyDiskSpace);
    const std::uint64_t frameSize = info.blockAlign;
    EditPlan plan;
    plan.code = OperationCode::TimeCompExp;
    plan.needs = {(static_cast<std::uint64_t>(original) + modified) * frameSize,
                  modified > original ? static_cast<std::uint64_t>(modified - original) * frameSize : 0};
    plan.undo = {s, e, AllChannels(doc)};
    return RunEdit(doc, plan, [&] {
        SoundInfo& w = doc.Info();
        ProgressTask& progress = doc.Host().Progress();
        platform::File working = doc.OpenWorkingFile(true);
        ChunkFile file(working, w);
        const std::uint64_t tail = w.workingFileLength - (w.dataOffset + static_cast<std::uint64_t>(e) * frameSize);
        const std::uint64_t selectionBlocks = BlocksFor(static_cast<std::uint64_t>(original) * frameSize);
        const std::uint64_t totalBlocks = selectionBlocks + BlocksFor(tail);
        const StringId status = StringId::TimeCompExpOperation;
        if (modified < original) {
            // The chunks first, then the move, which continues the same display and ends it.
            progress.Start(status);
            progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(totalBlocks, UINT32_MAX)));
            const FrameSteps steps{progress, 0, selectionBlocks, totalBlocks, original};
            WithSampleCodec(w.fileType, w.bytesPerSample, [&](auto codec) {
                Compress<decltype(codec)>(file, s, original, modified, w.channels, steps);
            });
            CloseFrameGap(working, w, s + modified, original - modified, progress, status);
            doc.NotifyFramesRemoved(s + modified, original - modified);
        } else {
            // The move first, its display counting the chunks that follow.
            std::uint64_t startBlocks = 0;
            if (modified > original) {
                OpenFrameGap(working, w, e, modified - original, progress, status,
                             tail + static_cast<std::uint64_t>(original) * frameSize);
                startBlocks = progress.Position();
                doc.NotifyFramesInserted(e, modified - original);
            }
            if (!progress.IsActive()) {
                progress.Start(status);
                progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(totalBlocks, UINT32_MAX)));
            }
            const FrameSteps steps{progress, startBlocks, selectionBlocks, startBlocks + selectionBlocks, original};
            WithSampleCodec(w.fileType, w.bytesPerSample, [&](auto codec) {
                Expand<decltype(codec)>(file, s, original, modified, w.channels, steps);
            });
            progress.End();
        }
        FollowTimeChange(doc, s, e, modified);
        doc.NotifyFramesChanged(s, modified);
        return UndoRange{s, s + modified, AllChannels(doc)};
    });
}

}  // namespace pelmora
