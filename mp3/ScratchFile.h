#pragma once
// A file the MP3 commands make for themselves: created empty and exclusively, so that no other
// process or document shares it, and removed again unless the command keeps it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "document/TempFiles.h"
#include "platform/File.h"

namespace pelmora {

class ScratchFile {
public:
    // FOLDER/STEM + EXTENSION, or with "-2", "-3", ... after the stem when that name is taken
    // (by a file, or by `taken`). nullopt when the folder refuses new files.
    static std::optional<ScratchFile> Create(const std::string& folder, std::string_view stem,
                                             std::string_view extension,
                                             const std::function<bool(const std::string&)>& taken = {});
    ScratchFile(ScratchFile&& other) noexcept
        : path_(std::exchange(other.path_, std::string())), inFlight_(std::move(other.inFlight_)) {}
    ScratchFile& operator=(ScratchFile&&) = delete;
    ScratchFile(const ScratchFile&) = delete;
    ~ScratchFile();

    const std::string& Path() const { return path_; }
    // The file stays; the caller owns it from now on.
    std::string Keep();
    // Flushes the file and renames it over `target`, which takes its place whole; the new
    // file gets target's permission bits. False when that fails (the file is still ours).
    bool CommitAs(const std::string& target);

private:
    explicit ScratchFile(std::string path) : path_(std::move(path)), inFlight_(path_) {}
    std::string path_;
    InFlightFile inFlight_;
};

// Appends bytes to a file through a 64 KiB buffer. Raises "File write error".
class BufferedAppender {
public:
    BufferedAppender(platform::File& file, std::uint64_t offset) : file_(file), offset_(offset) {}
    void Append(const std::uint8_t* bytes, std::size_t count);
    void Flush();
    // Where the next byte goes, counting what is still buffered.
    std::uint64_t End() const { return offset_ + used_; }

private:
    static constexpr std::size_t kBytes = 65536;
    platform::File& file_;
    std::uint64_t offset_;
    std::size_t used_ = 0;
    std::uint8_t buffer_[kBytes];
};

}  // namespace pelmora
