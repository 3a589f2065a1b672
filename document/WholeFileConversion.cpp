#include "document/WholeFileConversion.h"

#include <algorithm>
#include <vector>

#include "base/Error.h"
#include "document/FileCopy.h"
#include "document/SoundFileIo.h"
#include "document/TempFiles.h"
#include "platform/FreeSpace.h"
#include "sound/AiffChunks.h"
#include "sound/AiffUpdate.h"
#include "sound/FileRead.h"
#include "sound/Riff.h"
#include "sound/WavChunks.h"
#include "sound/WavUpdate.h"

namespace pelmora {

namespace {

constexpr std::uint32_t kConversionBlockBytes = 32768;

void WriteOrFail(platform::File& file, std::uint64_t at, const void* bytes, std::size_t count) {
    if (!file.WriteAt(at, bytes, count)) throw Error(WriteFailure());
}

// The new file needs its own size on the working directory's drive, and on the working file's
// drive when that is another one; on one drive the old file stays beside it until the end.
bool LacksRoom(const std::string& workDir, const std::string& workingPath, std::uint64_t bytes) {
    const std::string workingFolder = platform::FolderOf(workingPath);
    if (platform::SameFilesystem(workDir, workingFolder)) return InsufficientSpaceOnDrive(workDir, 2 * bytes);
    return InsufficientSpaceOnDrive(workDir, bytes) || InsufficientSpaceOnDrive(workingFolder, bytes);
}

// The 'fmt ' fields of a WAV whose header was copied from a file of another format.
void WriteWavFormat(platform::File& file, const SoundInfo& after) {
    riff::RiffReader reader(file);
    riff::Chunk form, fmt;
    if (!reader.IsOpen() || !reader.DescendForm(wav::kWaveForm, form) || !reader.Descend(form, wav::kFmtId, fmt))
        throw Error(StringId::DataError);
    std::uint8_t bytes[wav::kFmtBytes];
    if (!reader.ReadBody(fmt, 0, bytes, sizeof bytes)) throw Error(StringId::FileReadError);
    wav::FmtFields fields = wav::PcmFmt(after.channels, after.sampleRate, after.bitsPerSample);
    fields.formatTag = wav::DecodeFmt(bytes).formatTag;
    wav::EncodeFmt(bytes, fields);
    WriteOrFail(file, fmt.dataOffset, bytes, sizeof bytes);
}

// The data chunk's size field, so that the header refresh finds the pad byte where it is.
void WriteDataSize(platform::File& file, const SoundInfo& after, std::uint64_t length) {
    std::uint8_t field[4];
    if (after.fileType == FileType::Wav) {
        StoreLE32(field, static_cast<std::uint32_t>(DataBytes(after)));
        WriteOrFail(file, after.dataOffset - 4, field, sizeof field);
        WriteWavFormat(file, after);
        return;
    }
    const auto ssnd = aiff::FindChunk(aiff::WalkChunks(file, length, length), aiff::kSsnd);
    if (!ssnd || ssnd->BodyPosition() > after.dataOffset) throw Error(StringId::DataError);
    StoreBE32(field, static_cast<std::uint32_t>(after.dataOffset - ssnd->BodyPosition() + DataBytes(after)));
    WriteOrFail(file, ssnd->position + 4, field, sizeof field);
}

// Puts the working file's former content back after a failed swap.
void PutBack(const std::string& undoPath, const std::string& workingPath, ProgressTask& progress) {
    try {
        RelocateFile(undoPath, workingPath, StringId::UndoOperation, progress);
    } catch (...) {
        // The old content stays whole in the undo file; nothing more can be done here.
    }
}

}  // namespace

std::uint32_t ConversionBlockFrames(std::uint32_t sourceFrameBytes, std::uint32_t targetFrameBytes) {
    const std::uint32_t widest = std::max({sourceFrameBytes, targetFrameBytes, 1u});
    return std::max(kConversionBlockBytes / widest, 1u);
}

ConversionSteps::ConversionSteps(ProgressTask& progress, StringId status, std::uint64_t total)
    : progress_(progress), total_(total) {
    progress_.Start(status);
    progress_.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(total, UINT32_MAX)));
}

ConversionSteps::~ConversionSteps() { progress_.End(); }

void ConversionSteps::Step() {
    progress_.Step(++done_, total_);
    if (progress_.CancelRequested()) throw Cancelled();
}

DataLayout LayoutOfData(const platform::File& file, const SoundInfo& info) {
    DataLayout layout;
    const std::int64_t length = file.Size();
    if (length < 0) throw Error(StringId::FileReadError);
    layout.length = static_cast<std::uint64_t>(length);
    layout.headerBytes = info.dataOffset;
    const std::uint64_t dataEnd = info.dataOffset + DataBytes(info);
    if (dataEnd > layout.length) throw Error(StringId::DataError);
    std::uint64_t chunkEnd = dataEnd;
    if (info.fileType == FileType::Wav) {
        riff::RiffReader reader(file);
        riff::Chunk form, data;
        if (!reader.IsOpen() || !reader.DescendForm(wav::kWaveForm, form) || !reader.Descend(form, wav::kDataId, data))
            throw Error(StringId::DataError);
        chunkEnd = riff::NextChunkOffset(file, data, layout.length);
    } else {
        const auto ssnd = aiff::FindChunk(aiff::WalkChunks(file, layout.length, layout.length), aiff::kSsnd);
        if (!ssnd) throw Error(StringId::DataError);
        layout.ssndHeader = ssnd->position;
        chunkEnd = std::max(ssnd->next, ssnd->BodyEnd());
    }
    // Partial frames and the pad byte belong to the data chunk; what follows it starts after them.
    layout.trailingStart = std::clamp(chunkEnd, dataEnd, layout.length);
    return layout;
}

std::uint64_t ConvertedFileBytes(const DataLayout& layout, std::uint64_t dataBytes) {
    return layout.headerBytes + dataBytes + (dataBytes & 1u) + layout.TrailingBytes();
}

std::uint64_t TrailingBlocks(const DataLayout& layout, std::size_t blockBytes) {
    return (layout.TrailingBytes() + blockBytes - 1) / blockBytes;
}

void CopyHeaderBytes(const platform::File& source, std::uint64_t count, platform::File& target) {
    if (!platform::CopyFileRange(source, 0, target, 0, count)) throw Error(WriteFailure(StringId::FileReadError));
}

void FinishConvertedFile(const platform::File& source, const DataLayout& layout, platform::File& target,
                         SoundInfo& after, std::size_t blockBytes, ConversionSteps& steps) {
    const std::uint64_t dataBytes = DataBytes(after);
    std::uint64_t at = after.dataOffset + dataBytes;
    if (dataBytes & 1u) {
        const std::uint8_t pad = 0;
        WriteOrFail(target, at++, &pad, 1);
    }
    const std::uint64_t trailing = layout.TrailingBytes();
    for (std::uint64_t done = 0; done < trailing; done += blockBytes) {
        const std::uint64_t n = std::min<std::uint64_t>(blockBytes, trailing - done);
        if (!platform::CopyFileRange(source, layout.trailingStart + done, target, at + done, n))
            throw Error(WriteFailure(StringId::FileReadError));
        steps.Step();
    }
    const std::uint64_t length = at + trailing;
    if (length > UINT32_MAX) throw Error(StringId::ConversionTooLarge);
    if (!target.SetSize(length)) throw Error(WriteFailure());
    WriteDataSize(target, after, length);
    if (after.fileType == FileType::Wav) {
        wav::RefreshHeader(target, after);
    } else {
        aiff::RefreshHeader(target, after);
    }
    after.dataEnd = static_cast<std::uint32_t>(after.dataOffset + dataBytes);
    const std::int64_t written = target.Size();
    if (written < 0) throw Error(StringId::FileReadError);
    after.workingFileLength = static_cast<std::uint32_t>(written);
}

void StreamFrames(const platform::File& source, const SoundInfo& from, platform::File& target,
                  const SoundInfo& after, ConversionSteps& steps, const FrameTransform& transform) {
    const std::uint32_t frames = ConversionBlockFrames(from.blockAlign, after.blockAlign);
    std::vector<std::uint8_t> in(static_cast<std::size_t>(frames) * from.blockAlign);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(frames) * after.blockAlign);
    for (std::uint64_t done = 0; done < from.frames; done += frames) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(frames, from.frames - done));
        if (!ReadHeld(source, from.dataOffset + done * from.blockAlign, in.data(), n * from.blockAlign))
            throw Error(StringId::FileReadError);
        transform(in.data(), out.data(), n);
        WriteOrFail(target, after.dataOffset + done * after.blockAlign, out.data(), n * after.blockAlign);
        steps.Step();
    }
}

WholeFileChange FrameConversion(COLMDoc& doc, const SoundInfo& after, StringId status, FrameTransform transform) {
    const SoundInfo& from = doc.Info();
    const platform::File probe = doc.OpenWorkingFile(false);
    const DataLayout layout = LayoutOfData(probe, from);
    WholeFileChange change;
    change.after = after;
    change.newFileBytes = ConvertedFileBytes(layout, DataBytes(after));
    change.build = [&doc, layout, status, transform = std::move(transform)](platform::File& target, SoundInfo& out) {
        const SoundInfo& in = doc.Info();
        const platform::File source = doc.OpenWorkingFile(false);
        const std::uint32_t frames = ConversionBlockFrames(in.blockAlign, out.blockAlign);
        const std::size_t blockBytes = static_cast<std::size_t>(frames) * in.blockAlign;
        ConversionSteps steps(doc.Host().Progress(), status,
                              (in.frames + frames - 1) / frames + TrailingBlocks(layout, blockBytes));
        CopyHeaderBytes(source, layout.headerBytes, target);
        out.dataOffset = static_cast<std::uint32_t>(layout.headerBytes);
        StreamFrames(source, in, target, out, steps, transform);
        FinishConvertedFile(source, layout, target, out, blockBytes, steps);
    };
    return change;
}

void RunWholeFileChange(COLMDoc& doc, const WholeFileChange& change) {
    if (doc.ReadOnly() || platform::HasReadOnlyAttribute(doc.WorkingPath())) throw Error(StringId::FileIsReadOnly);
    if (change.newFileBytes > UINT32_MAX || change.after.frames > UINT32_MAX / std::max<std::uint16_t>(change.after.blockAlign, 1))
        throw Error(StringId::ConversionTooLarge);
    const std::string workDir = doc.Host().WorkDir();
    if (LacksRoom(workDir, doc.WorkingPath(), change.newFileBytes)) throw Error(StringId::EmptyDiskSpace);
    const std::optional<std::string> temp = TempNameWithExtension(workDir, ExtensionCode(change.after.fileType));
    if (!temp) throw Error(StringId::FileCreatingError);
    InFlightFile inFlight(*temp);
    ProgressTask& progress = doc.Host().Progress();
    SoundInfo after = change.after;
    try {
        platform::File target;
        if (!target.Open(*temp, platform::OpenMode::ReadWrite)) throw Error(StringId::FileCreatingError);
        change.build(target, after);
        if (!target.Sync()) throw Error(WriteFailure());
    } catch (...) {
        progress.End();
        RemoveTemporary(*temp);
        throw;
    }

    // The swap: the old working file becomes the undo file, the new one takes its place.
    const SoundInfo before = doc.Info();
    const std::string oldWorking = doc.WorkingPath();
    const std::string oldTitle = doc.Title();
    const std::string newWorking = change.newWorkingPath.empty() ? oldWorking : change.newWorkingPath;
    UndoStore& undo = doc.Undo();
    try {
        undo.TakeWholeFileUndo(doc, [&](const std::string& undoPath) {
            RelocateFile(oldWorking, undoPath, StringId::CreatingUndoFile, progress);
        });
    } catch (...) {
        RemoveTemporary(*temp);
        throw;
    }
    // `placed`: the new file already stands at its path and goes when the old one is back.
    const auto restore = [&](bool placed) {
        PutBack(undo.UndoPath(), oldWorking, progress);
        if (placed && newWorking != oldWorking && platform::FileExists(oldWorking)) platform::RemoveFile(newWorking);
        RemoveTemporary(*temp);
        doc.ChangeWorkingPath(oldWorking);
        doc.SetTitle(oldTitle);
        doc.Info() = before;
        undo.Reset();
    };
    try {
        RelocateFile(*temp, newWorking, StringId::CreatingUndoFile, progress);
    } catch (...) {
        restore(false);
        throw;
    }
    doc.ChangeWorkingPath(newWorking);
    inFlight.Land();
    if (!change.newTitle.empty()) doc.SetTitle(change.newTitle);
    try {
        // Read back what the file now says; the loop and instrument data are the change's.
        doc.Info() = after;
        doc.ReReadFormatKeepingLoop();
        // The redo record stands for the new working file, complete with its header; the first
        // Undo moves that very file into the redo file, so it is never copied.
        undo.DeferRedo(doc, OperationCode::WholeFile, 0, doc.Info().frames, {0, doc.Info().channels});
    } catch (...) {
        restore(true);
        throw;
    }
    SoundInfo& info = doc.Info();
    info.channelFirst = 0;
    info.channelEnd = info.channels;
    doc.selectionLock = 0;
    doc.selectionStart = std::min(doc.selectionStart, info.frames);
    doc.selectionEnd = std::min(doc.selectionEnd, info.frames);
    doc.playCursor = std::min(doc.playCursor, info.frames);
    if (change.marksChanged) doc.SetDataChanged();
    doc.NotifySoundReplaced();
}

}  // namespace pelmora
