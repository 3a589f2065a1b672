#include "mp3/ScratchFile.h"

#include <cstring>

#include "base/Error.h"
#include "document/TempFiles.h"

namespace pelmora {

std::optional<ScratchFile> ScratchFile::Create(const std::string& folder, std::string_view stem,
                                               std::string_view extension,
                                               const std::function<bool(const std::string&)>& taken) {
    auto path = CreateNumberedFile(JoinPath(folder, stem), extension, taken);
    if (!path) return std::nullopt;
    return ScratchFile(*path);
}

ScratchFile::~ScratchFile() {
    if (!path_.empty()) RemoveTemporary(path_);
}

std::string ScratchFile::Keep() {
    inFlight_.Land();
    return std::exchange(path_, std::string());
}

bool ScratchFile::CommitAs(const std::string& target) {
    platform::File written;
    if (!written.Open(path_, platform::OpenMode::ReadWrite) || !written.Sync()) return false;
    written.Close();
    if (platform::FileExists(target)) platform::CopyPermissions(target, path_);
    if (!platform::RenameFile(path_, target)) return false;
    path_.clear();
    inFlight_.Land();
    return true;
}

void BufferedAppender::Append(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const std::size_t n = std::min(count, kBytes - used_);
        std::memcpy(buffer_ + used_, bytes, n);
        used_ += n;
        bytes += n;
        count -= n;
        if (used_ == kBytes) Flush();
    }
}

void BufferedAppender::Flush() {
    if (used_ == 0) return;
    if (!file_.WriteAt(offset_, buffer_, used_)) throw Error(WriteFailure());
    offset_ += used_;
    used_ = 0;
}

}  // namespace pelmora
