#include "document/FileCopy.h"

#include <algorithm>

#include "base/Error.h"
#include "document/TempFiles.h"
#include "platform/File.h"
#include "platform/FreeSpace.h"

namespace pelmora {

namespace {

// Copies every byte of `from` into `to` (already open), stepping the display per piece.
void CopyPieces(const platform::File& from, platform::File& to, ProgressTask& progress,
                StringId status, bool cancellable) {
    const std::int64_t length = from.Size();
    if (length < 0) throw Error(StringId::FileReadError);
    if (!to.SetSize(static_cast<std::uint64_t>(length))) throw Error(WriteFailure());
    CopyRangeWithProgress(from, 0, to, 0, static_cast<std::uint64_t>(length), progress, status,
                          cancellable);
}

void OpenPair(const std::string& source, const std::string& target, platform::File& from,
              platform::File& to, platform::OpenMode targetMode) {
    if (!from.Open(source, platform::OpenMode::Read)) throw Error(StringId::FileReadError);
    if (!to.Open(target, targetMode)) throw Error(WriteFailure());
}

}  // namespace

void CopyRangeWithProgress(const platform::File& from, std::uint64_t fromOffset, platform::File& to,
                           std::uint64_t toOffset, std::uint64_t count, ProgressTask& progress,
                           StringId status, bool cancellable) {
    const std::uint64_t pieces = (count + kCopyPieceBytes - 1) / kCopyPieceBytes;
    progress.Start(status);
    progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(pieces, UINT32_MAX)));
    std::uint64_t piece = 0;
    for (std::uint64_t done = 0; done < count; done += kCopyPieceBytes) {
        const std::uint64_t n = std::min<std::uint64_t>(kCopyPieceBytes, count - done);
        if (!platform::CopyFileRange(from, fromOffset + done, to, toOffset + done, n)) {
            const StringId failure = WriteFailure(StringId::FileReadError);
            progress.End();
            throw Error(failure);
        }
        progress.Step(++piece, pieces);
        if (cancellable && progress.CancelRequested()) throw Cancelled();
    }
    progress.End();
}

void CopyFileWithProgress(const std::string& source, const std::string& target,
                          StringId status, ProgressTask& progress) {
    platform::File from, to;
    OpenPair(source, target, from, to, platform::OpenMode::CreateOrOpen);
    CopyPieces(from, to, progress, status, false);
}

void CopyFileWithProgressCancellable(const std::string& source, const std::string& target,
                                     StringId status, ProgressTask& progress) {
    platform::File from, to;
    OpenPair(source, target, from, to, platform::OpenMode::CreateOrOpen);
    try {
        CopyPieces(from, to, progress, status, true);
    } catch (...) {
        to.Close();
        RemoveTemporary(target);
        throw;
    }
}

void WriteFileSafely(const std::string& target,
                     const std::function<void(const std::string& partial)>& write) {
    auto partial = UniqueTempName(platform::FolderOf(target), "." + platform::FileNameOf(target) + ".saving-");
    if (!partial) throw Error(StringId::FileCreatingError);
    try {
        write(*partial);
        platform::File written;
        if (!written.Open(*partial, platform::OpenMode::ReadWrite) || !written.Sync())
            throw Error(WriteFailure());
        written.Close();
        if (platform::FileExists(target)) platform::CopyPermissions(target, *partial);
        if (!platform::RenameFile(*partial, target)) throw Error(WriteFailure());
    } catch (...) {
        RemoveTemporary(*partial);
        throw;
    }
}

void ReplaceFileSafely(const std::string& source, const std::string& target, StringId status,
                       ProgressTask& progress) {
    WriteFileSafely(target, [&](const std::string& partial) {
        platform::File from, to;
        OpenPair(source, partial, from, to, platform::OpenMode::ReadWrite);
        try {
            CopyPieces(from, to, progress, status, false);
        } catch (...) {
            progress.End();
            throw;
        }
    });
}

void RelocateFile(const std::string& source, const std::string& target, StringId status,
                  ProgressTask& progress) {
    if (platform::SameFilesystem(source, platform::FolderOf(target)) &&
        platform::RenameFile(source, target)) {
        return;
    }
    ReplaceFileSafely(source, target, status, progress);
    platform::RemoveFile(source);
}

}  // namespace pelmora
