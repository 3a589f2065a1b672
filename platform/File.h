#pragma once
// A sound or working file opened through POSIX with 64-bit positions.
// Failures are reported, never thrown: the layers above decide which message fits.

#include <cstddef>
#include <cstdint>
#include <string>

namespace pelmora::platform {

enum class OpenMode {
    Read,           // existing file, read only
    ReadWrite,      // existing file, read and write
    CreateNew,      // create; fails when the file exists
    CreateOrOpen,   // create if missing, never truncate
    CreateTruncate  // create or empty an existing file
};

class File {
public:
    File() = default;
    File(const std::string& path, OpenMode mode) { Open(path, mode); }
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // On failure errno says why (EEXIST for CreateNew on a name in use).
    bool Open(const std::string& path, OpenMode mode);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    int Descriptor() const { return fd_; }

    // Whole transfers: false unless every byte moved. ReadAt stops short only at the end.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const;
    bool WriteAt(std::uint64_t offset, const void* buffer, std::size_t count);
    // Bytes actually read, which is less than count only at the end of the file; -1 on error.
    std::int64_t ReadSome(std::uint64_t offset, void* buffer, std::size_t count) const;

    // -1 when the size cannot be read.
    std::int64_t Size() const;
    bool SetSize(std::uint64_t length);
    bool Sync();

private:
    int fd_ = -1;
    std::string path_;
};

bool FileExists(const std::string& path);
bool IsWritable(const std::string& path);
bool RemoveFile(const std::string& path);
// Size of a file by path, -1 when it cannot be read.
std::int64_t FileSize(const std::string& path);
// What the file-information pane shows of a file, and what tells whether it changed.
struct FileStatus {
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;  // since the epoch
    std::int64_t accessedSeconds = 0;
    std::int64_t changedSeconds = 0;
    unsigned mode = 0;
    std::string fullPath;
};
bool StatFile(const std::string& path, FileStatus& status);
// Sets the last-modification time (whole seconds since the epoch); false when it cannot be set.
bool SetModifiedTime(const std::string& path, std::int64_t seconds);
// The read-only attribute: no write permission bit at all (root can write anyway, so the
// bits, not access(), tell what the user meant).
bool HasReadOnlyAttribute(const std::string& path);
// The absolute path with links resolved; the path itself when that fails.
std::string CanonicalPath(const std::string& path);

// The folder part of a path ("." when it has none) and its last component.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);
// Renames in one step, replacing an existing target (same filesystem only).
bool RenameFile(const std::string& from, const std::string& to);
// Gives `path` the permission bits of `model`; false when either cannot be read or changed.
bool CopyPermissions(const std::string& model, const std::string& path);

// Copies `count` bytes between two open files with the kernel's file-to-file copy where it
// works, else through a buffer. False on any failure.
bool CopyFileRange(const File& from, std::uint64_t fromOffset, File& to, std::uint64_t toOffset,
                   std::uint64_t count);

// Fault injection, as a full disk would: after `bytes` more bytes written through File, every
// write fails. A negative value lifts the limit.
void SetWriteBudget(std::int64_t bytes);

// The calls of this layer that an injected fault can fail, as bits of a mask.
enum FileCall : unsigned {
    kReadCall = 1,
    kWriteCall = 2,
    kTruncateCall = 4,
    kSyncCall = 8,
    kRenameCall = 16,
    kOpenCall = 32,
    kUnlinkCall = 64,
    kAnyFileCall = 127
};
// Fault injection: the `nth` call from now on among the kinds in `calls` (1 for the next)
// fails once with `error`; 0 lifts it.
void FailNthCall(std::int64_t nth, int error, unsigned calls = kAnyFileCall);
inline void FailNthRead(std::int64_t nth, int error) { FailNthCall(nth, error, kReadCall); }
// True while the injected fault has not fired yet.
bool FaultPending();
inline bool ReadFaultPending() { return FaultPending(); }
// Calls of the kinds in `calls` made so far: a test counts an operation's calls, then fails
// each of them in turn.
std::int64_t FileCallCount(unsigned calls = kAnyFileCall);

}  // namespace pelmora::platform
