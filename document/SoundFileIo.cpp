#include "document/SoundFileIo.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "base/BlockMoves.h"
#include "base/Error.h"
#include "platform/File.h"
#include "sound/AiffReader.h"
#include "sound/AiffUpdate.h"
#include "sound/AiffWriter.h"
#include "sound/FrameTransfer.h"
#include "sound/SampleConvert.h"
#include "sound/WavExtensible.h"
#include "sound/WavReader.h"
#include "sound/WavUpdate.h"
#include "sound/WavWriter.h"

namespace pelmora {

namespace {

platform::File OpenOrFail(const std::string& path, platform::OpenMode mode) {
    platform::File file;
    if (!file.Open(path, mode)) throw Error(StringId::FileReadError);
    return file;
}


// AIFF working file to a new WAV: header from the writer, then the data in WAV encoding.
std::uint32_t WriteAiffAsWav(const platform::File& source, const SoundInfo& info, platform::File& target,
                             ProgressTask& progress, StringId status, bool cancellable) {
    SoundInfo out = info;
    out.fileType = FileType::Wav;
    UpdateDerivedFormat(out);
    out.dataOffset = wav::WriteNewHeader(target, out, 0);
    const std::uint64_t total = DataBytes(info);
    const std::size_t blockBytes = FramesPerBlock(info.blockAlign) * std::max<std::size_t>(info.blockAlign, 1);
    const std::uint64_t blocks = (total + blockBytes - 1) / blockBytes;
    std::vector<std::uint8_t> buffer(blockBytes);
    progress.Start(status);
    progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(blocks, UINT32_MAX)));
    std::uint64_t block = 0;
    for (std::uint64_t done = 0; done < total; done += blockBytes) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, total - done));
        if (!source.ReadAt(info.dataOffset + done, buffer.data(), n)) {
            progress.End();
            throw Error(StringId::FileReadError);
        }
        ConvertBufferType(FileType::Aiff, info.bytesPerSample, buffer.data(), n);
        if (!target.WriteAt(out.dataOffset + done, buffer.data(), n)) {
            progress.End();
            throw Error(WriteFailure());
        }
        progress.Step(++block, blocks);
        if (cancellable && progress.CancelRequested()) throw Cancelled();
    }
    progress.End();
    wav::RefreshHeader(target, out);
    return out.dataOffset;
}

}  // namespace

ReadOutcome ReadSoundFile(const std::string& path, FileType type, SoundInfo& info) {
    const platform::File file = OpenOrFail(path, platform::OpenMode::Read);
    info.fileType = type;
    ReadOutcome outcome;
    // The markers of the type read are all the sound has: none of the other type's may linger
    // to be moved by edits or written as cue points.
    if (type == FileType::Wav) {
        info.aiffHasInst = info.aiffHasMark = false;
        info.aiffMarkBody.clear();
        wav::ReadIntoDocument(file, info);
    } else {
        info.wavHasSmpl = info.wavHasInst = false;
        info.wavSmplLoops.clear();
        info.wavCuePoints.clear();
        outcome.hdMisaligned = aiff::ReadIntoDocument(file, info).hdMisaligned;
    }
    return outcome;
}

void RefreshHeaderOf(const std::string& path, SoundInfo& info) {
    platform::File file = OpenOrFail(path, platform::OpenMode::ReadWrite);
    if (info.fileType == FileType::Wav) {
        wav::RefreshHeader(file, info);
    } else {
        aiff::RefreshHeader(file, info);
    }
}

void WriteLoopAndInstrument(const std::string& path, SoundInfo& info) {
    platform::File file = OpenOrFail(path, platform::OpenMode::ReadWrite);
    if (info.fileType == FileType::Wav) {
        wav::UpdateLoopAndInstrument(file, info);
    } else {
        aiff::UpdateLoopAndInstrument(file, info);
    }
}

void WriteInOtherType(const std::string& source, const SoundInfo& info,
                      const std::string& target, ProgressTask& progress, StringId status,
                      bool cancellable) {
    const platform::File from = OpenOrFail(source, platform::OpenMode::Read);
    platform::File to;
    if (!to.Open(target, platform::OpenMode::CreateTruncate)) throw Error(StringId::FileCreatingError);
    WriteOtherTypeInto(from, info, to, progress, status, cancellable);
}

std::uint32_t WriteOtherTypeInto(const platform::File& source, const SoundInfo& info, platform::File& target,
                                 ProgressTask& progress, StringId status, bool cancellable) {
    if (info.fileType == FileType::Wav) return aiff::WriteWithMarkers(source, info, target, progress, status, cancellable);
    return WriteAiffAsWav(source, info, target, progress, status, cancellable);
}

FileType TypeForExtension(const std::string& path, FileType fallback) {
    const std::string name = platform::FileNameOf(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return fallback;
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "wav") return FileType::Wav;
    if (extension == "aif" || extension == "aiff") return FileType::Aiff;
    return fallback;
}

bool HasExtensiblePcmHeader(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::OpenMode::Read)) return false;
    const std::optional<wav::ExtensibleFormat> format = wav::InspectExtensible(file);
    return format && format->plainPcm;
}

void RewriteExtensibleHeader(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::OpenMode::ReadWrite)) throw Error(WriteFailure());
    wav::RewriteExtensibleAsPcm(file);
}

}  // namespace pelmora
