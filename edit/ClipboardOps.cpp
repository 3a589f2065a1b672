#include "edit/ClipboardOps.h"

#include <algorithm>

#include "base/BlockMoves.h"
#include "base/Error.h"
#include "document/TempFiles.h"
#include "document/WorkingFile.h"
#include "edit/ClipTransfer.h"
#include "edit/EditFrame.h"
#include "edit/LoopAdjust.h"

namespace pelmora {

namespace {

std::uint64_t Bytes(std::uint64_t frames, std::uint64_t frameSize) { return frames * frameSize; }

std::uint32_t SelectedFrames(const COLMDoc& doc) { return doc.selectionEnd - doc.selectionStart; }

std::uint16_t SelectedFrameSize(const COLMDoc& doc) {
    const SoundInfo& s = doc.Info();
    return static_cast<std::uint16_t>((s.channelEnd - s.channelFirst) * s.bytesPerSample);
}

// The loop and every loop record, cue point and marker; the frame count is already the new one.
void ApplyLoopRule(COLMDoc& doc, LoopEditRule rule, std::uint32_t s, std::uint32_t e,
                   std::uint32_t k = 0) {
    SoundInfo& info = doc.Info();
    const LoopPoints loop = AdjustLoopForEdit(rule, {info.loopStart, info.loopEnd, doc.loopLock}, s, e, k);
    info.loopStart = loop.start;
    info.loopEnd = loop.end;
    doc.loopLock = loop.lock;
    MoveMarkersForEdit(info, rule, s, e, k);
}

// Steps one display over a number of blocks, counting on from where it stands.
struct BlockCounter {
    ProgressTask& progress;
    std::uint64_t total;
    void operator()() const { progress.Step(progress.Position() + 1, total); }
};

// Removes the selection (all channels), under a display already running or one of its own.
void RemoveSelection(COLMDoc& doc, StringId status) {
    const std::uint32_t s = doc.selectionStart, e = doc.selectionEnd;
    platform::File working = doc.OpenWorkingFile(true);
    CloseFrameGap(working, doc.Info(), s, e - s, doc.Host().Progress(), status);
    ApplyLoopRule(doc, LoopEditRule::Clear, s, e);
    doc.selectionEnd = s;
    doc.NotifyFramesRemoved(s, e - s);
}

// Paste and Mix: overwrite from the selection start, the sound extended with silence when the
// clip runs past its end.
bool PasteFraming(COLMDoc& doc, const Clip& clip, OperationCode code, StringId status,
                  ClipCombine combine) {
    if (!clip.info.valid) return false;
    const SoundInfo& info = doc.Info();
    const std::uint32_t p = doc.selectionStart;
    const std::uint32_t k = clip.info.frameCount;
    const std::uint64_t end = static_cast<std::uint64_t>(p) + k;
    if (end > 0xFFFFFFFFull) throw Error(StringId::EmptyDiskSpace);
    const std::uint64_t copyBytes = Bytes(k, SelectedFrameSize(doc));
    EditPlan plan;
    plan.code = code;
    plan.clip = &clip.info;
    plan.needs = {2 * copyBytes, end > info.frames ? Bytes(end - info.frames, info.blockAlign) : 0};
    plan.undo = {p, static_cast<std::uint32_t>(std::min<std::uint64_t>(end, info.frames)), SelectedChannels(doc)};
    return RunEdit(doc, plan, [&] {
        SoundInfo& s = doc.Info();
        ProgressTask& progress = doc.Host().Progress();
        platform::File working = doc.OpenWorkingFile(true);
        const std::uint64_t clipBlocks = BlocksForFrames(k, s.blockAlign);
        std::uint64_t total = clipBlocks;
        if (end > s.frames) {
            // One display covers the silence and the clip.
            const std::uint32_t before = s.frames;
            const std::uint64_t trailing = TrailingBytes(s);
            const std::uint64_t oldEnd = s.dataOffset + Bytes(before, s.blockAlign);
            const std::uint64_t gap = Bytes(end - before, s.blockAlign);
            MoveBytesQuiet(working, oldEnd, oldEnd + gap, trailing);
            if (!working.SetSize(oldEnd + gap + trailing)) throw Error(WriteFailure());
            total = BlocksFor(gap) + clipBlocks;
            FillSilence(working, oldEnd, gap, SilenceByte(s), progress, gap + Bytes(k, s.blockAlign), status);
            progress.SetRange(static_cast<std::uint32_t>(total));
            s.frames = static_cast<std::uint32_t>(end);
            s.dataEnd = static_cast<std::uint32_t>(s.dataOffset + DataBytes(s));
            s.workingFileLength = static_cast<std::uint32_t>(s.dataEnd + trailing);
            doc.NotifyFramesInserted(before, s.frames - before);
        } else {
            progress.Start(status);
            progress.SetRange(static_cast<std::uint32_t>(total));
        }
        WriteClipFrames(working, s, clip, p, k, PasteMap(s, clip.info), combine,
                        BlockCounter{progress, total});
        progress.End();
        doc.selectionEnd = static_cast<std::uint32_t>(end);
        doc.NotifyFramesChanged(p, k);
        return UndoRange{p, static_cast<std::uint32_t>(end), SelectedChannels(doc)};
    });
}

}  // namespace

bool Copy(COLMDoc& doc, Clip& clip) {
    const std::uint32_t n = SelectedFrames(doc);
    if (n == 0) return false;
    if (InsufficientSpaceOnWorkingDrive(doc.Host().WorkDir(), Bytes(n, SelectedFrameSize(doc))))
        throw Error(StringId::EmptyDiskSpace);
    ProgressTask& progress = doc.Host().Progress();
    const std::uint64_t blocks = BlocksForFrames(n, doc.Info().blockAlign);
    progress.Start(StringId::CopyOperation);
    progress.SetRange(static_cast<std::uint32_t>(blocks));
    try {
        CopySelectionToClip(doc, clip, BlockCounter{progress, blocks});
    } catch (...) {
        progress.End();
        throw;
    }
    progress.End();
    return true;
}

bool Cut(COLMDoc& doc, Clip& clip) {
    const std::uint32_t n = SelectedFrames(doc);
    if (n == 0) return false;
    const SoundInfo& info = doc.Info();
    EditPlan plan;
    plan.code = OperationCode::Cut;
    plan.needs = {Bytes(n, info.blockAlign) + Bytes(n, SelectedFrameSize(doc)), 0};
    plan.undo = {doc.selectionStart, doc.selectionEnd, AllChannels(doc)};
    return RunEdit(doc, plan, [&] {
        const SoundInfo& s = doc.Info();
        ProgressTask& progress = doc.Host().Progress();
        // The copy's display also counts the move that follows, which continues it.
        const std::uint64_t tail = s.workingFileLength - (s.dataOffset + Bytes(doc.selectionEnd, s.blockAlign));
        const std::uint64_t total = BlocksFor(Bytes(n, s.blockAlign) + tail);
        progress.Start(StringId::CutOperation);
        progress.SetRange(static_cast<std::uint32_t>(total));
        CopySelectionToClip(doc, clip, BlockCounter{progress, total});
        RemoveSelection(doc, StringId::CutOperation);
        return UndoRange{doc.selectionStart, doc.selectionStart, AllChannels(doc)};
    });
}

bool Clear(COLMDoc& doc) {
    const std::uint32_t n = SelectedFrames(doc);
    if (n == 0) return false;
    EditPlan plan;
    plan.code = OperationCode::Clear;
    plan.needs = {Bytes(n, doc.Info().blockAlign), 0};
    plan.undo = {doc.selectionStart, doc.selectionEnd, AllChannels(doc)};
    return RunEdit(doc, plan, [&] {
        RemoveSelection(doc, StringId::ClearOperation);
        return UndoRange{doc.selectionStart, doc.selectionStart, AllChannels(doc)};
    });
}

bool Paste(COLMDoc& doc, const Clip& clip) {
    return PasteFraming(doc, clip, OperationCode::Paste, StringId::PasteOperation, ClipCombine::Replace);
}

bool Mix(COLMDoc& doc, const Clip& clip) {
    return PasteFraming(doc, clip, OperationCode::Mix, StringId::MixOperation, ClipCombine::SaturatingAdd);
}

bool Insert(COLMDoc& doc, const Clip& clip) {
    if (!clip.info.valid) return false;
    const SoundInfo& info = doc.Info();
    const std::uint32_t s = doc.selectionStart, e = doc.selectionEnd;
    const std::uint32_t n = e - s, k = clip.info.frameCount;
    if (static_cast<std::uint64_t>(info.frames) - n + k > 0xFFFFFFFFull) throw Error(StringId::EmptyDiskSpace);
    EditPlan plan;
    plan.code = OperationCode::Insert;
    plan.clip = &clip.info;
    plan.needs = {Bytes(n, info.blockAlign) + Bytes(k, info.blockAlign),
                  k > n ? Bytes(k - n, info.blockAlign) : 0};
    plan.undo = {s, e, AllChannels(doc)};
    return RunEdit(doc, plan, [&] {
        SoundInfo& w = doc.Info();
        ProgressTask& progress = doc.Host().Progress();
        platform::File working = doc.OpenWorkingFile(true);
        const std::uint64_t tail = w.workingFileLength - (w.dataOffset + Bytes(e, w.blockAlign));
        const std::uint64_t totalBytes = Bytes(k, w.blockAlign) + tail;
        const std::uint64_t total = BlocksFor(totalBytes);
        // The tail moves to follow the inserted frames (a shrinking insert shortens the file);
        // the move starts the display and the writing counts on after its blocks.
        if (k > n) OpenFrameGap(working, w, e, k - n, progress, StringId::InsertOperation, totalBytes);
        if (k < n) CloseFrameGap(working, w, s + k, n - k, progress, StringId::InsertOperation, totalBytes);
        if (!progress.IsActive()) {
            progress.Start(StringId::InsertOperation);
            progress.SetRange(static_cast<std::uint32_t>(total));
        }
        WriteClipFrames(working, w, clip, s, k, InsertMap(w, clip.info), ClipCombine::Replace,
                        BlockCounter{progress, total});
        progress.End();
        ApplyLoopRule(doc, LoopEditRule::Insert, s, e, k);
        doc.selectionEnd = s + k;
        if (n > 0) doc.NotifyFramesRemoved(s, n);
        if (k > 0) doc.NotifyFramesInserted(s, k);
        return UndoRange{s, s + k, AllChannels(doc)};
    });
}

bool Trim(COLMDoc& doc) {
    const SoundInfo& info = doc.Info();
    const std::uint32_t s = doc.selectionStart, e = doc.selectionEnd, n = e - s;
    if (n == 0 || (s == 0 && e == info.frames)) return false;
    EditPlan plan;
    plan.code = OperationCode::Trim;
    plan.needs = {Bytes(info.frames, info.blockAlign) + Bytes(n, info.blockAlign), 0};
    plan.undo = {0, info.frames, AllChannels(doc)};
    return RunEdit(doc, plan, [&] {
        SoundInfo& w = doc.Info();
        platform::File working = doc.OpenWorkingFile(true);
        const std::uint32_t before = w.frames;
        const std::uint64_t trailing = TrailingBytes(w);
        MoveBytes(working, w.dataOffset + Bytes(s, w.blockAlign), w.dataOffset, Bytes(n, w.blockAlign),
                  doc.Host().Progress(), StringId::TrimOperation);
        const std::uint64_t newEnd = w.dataOffset + Bytes(n, w.blockAlign);
        MoveBytesQuiet(working, w.dataOffset + Bytes(before, w.blockAlign), newEnd, trailing);
        if (!working.SetSize(newEnd + trailing)) throw Error(WriteFailure());
        w.frames = n;
        w.dataEnd = static_cast<std::uint32_t>(newEnd);
        w.workingFileLength = static_cast<std::uint32_t>(newEnd + trailing);
        ApplyLoopRule(doc, LoopEditRule::Trim, s, e);
        doc.selectionStart = 0;
        doc.selectionEnd = n;
        if (s > 0) doc.NotifyFramesRemoved(0, s);
        if (e < before) doc.NotifyFramesRemoved(n, before - e);
        return UndoRange{0, n, AllChannels(doc)};
    });
}

}  // namespace pelmora
