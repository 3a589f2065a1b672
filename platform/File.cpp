#include "platform/File.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace pelmora::platform {

namespace {

int FlagsFor(OpenMode mode) {
    switch (mode) {
    case OpenMode::Read: return O_RDONLY;
    case OpenMode::ReadWrite: return O_RDWR;
    case OpenMode::CreateNew: return O_RDWR | O_CREAT | O_EXCL;
    case OpenMode::CreateOrOpen: return O_RDWR | O_CREAT;
    case OpenMode::CreateTruncate: return O_RDWR | O_CREAT | O_TRUNC;
    }
    return O_RDONLY;
}

std::atomic<std::int64_t> gWriteBudget{-1};

// Takes `count` bytes from the write budget; returns how many may be written.
std::size_t AllowedWrite(std::size_t count) {
    std::int64_t budget = gWriteBudget.load();
    while (budget >= 0) {
        const auto allowed = static_cast<std::int64_t>(count) < budget ? static_cast<std::int64_t>(count) : budget;
        if (gWriteBudget.compare_exchange_weak(budget, budget - allowed))
            return static_cast<std::size_t>(allowed);
    }
    return count;
}

std::atomic<std::int64_t> gCallsBeforeFault{0};
std::atomic<int> gFaultError{EIO};
std::atomic<unsigned> gFaultCalls{kAnyFileCall};
std::atomic<std::int64_t> gCallCounts[7];
// Set by the first injected fault for good: the kernel copy then gives way to the buffered one,
// so that every run of an operation makes the same calls.
std::atomic<bool> gFaultTesting{false};

// Counts the call; true (with errno set) for the one call that the injected fault fails.
bool FaultFires(FileCall call) {
    gCallCounts[__builtin_ctz(call)].fetch_add(1);
    if ((gFaultCalls.load() & call) == 0) return false;
    if (gCallsBeforeFault.load() <= 0 || gCallsBeforeFault.fetch_sub(1) != 1) return false;
    errno = gFaultError.load();
    return true;
}

}  // namespace

void SetWriteBudget(std::int64_t bytes) { gWriteBudget.store(bytes); }

bool FaultPending() { return gCallsBeforeFault.load() > 0; }

void FailNthCall(std::int64_t nth, int error, unsigned calls) {
    gFaultTesting.store(true);
    gFaultError.store(error);
    gFaultCalls.store(calls);
    gCallsBeforeFault.store(nth);
}

std::int64_t FileCallCount(unsigned calls) {
    std::int64_t total = 0;
    for (unsigned bit = 0; bit < 7; ++bit)
        if (calls & (1u << bit)) total += gCallCounts[bit].load();
    return total;
}

File::~File() { Close(); }

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

bool File::Open(const std::string& path, OpenMode mode) {
    Close();
    if (FaultFires(kOpenCall)) return false;
    int fd;
    do {
        fd = ::open(path.c_str(), FlagsFor(mode) | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    fd_ = fd;
    path_ = path;
    return true;
}

void File::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::int64_t File::ReadSome(std::uint64_t offset, void* buffer, std::size_t count) const {
    if (FaultFires(kReadCall)) return -1;
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

bool File::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const {
    return ReadSome(offset, buffer, count) == static_cast<std::int64_t>(count);
}

bool File::WriteAt(std::uint64_t offset, const void* buffer, std::size_t count) {
    if (FaultFires(kWriteCall)) return false;
    const auto* in = static_cast<const unsigned char*>(buffer);
    const std::size_t allowed = AllowedWrite(count);
    std::size_t done = 0;
    while (done < allowed) {
        ssize_t n = ::pwrite(fd_, in + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        done += static_cast<std::size_t>(n);
    }
    if (allowed < count) {
        errno = ENOSPC;
        return false;
    }
    return true;
}

std::int64_t File::Size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return -1;
    return st.st_size;
}

bool File::SetSize(std::uint64_t length) {
    if (FaultFires(kTruncateCall)) return false;
    return ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
}

bool File::Sync() { return !FaultFires(kSyncCall) && ::fsync(fd_) == 0; }

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool IsWritable(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

bool RemoveFile(const std::string& path) { return !FaultFires(kUnlinkCall) && ::unlink(path.c_str()) == 0; }

std::int64_t FileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return st.st_size;
}

bool StatFile(const std::string& path, FileStatus& status) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    status.size = st.st_size;
    status.modifiedSeconds = st.st_mtim.tv_sec;
    status.accessedSeconds = st.st_atim.tv_sec;
    status.changedSeconds = st.st_ctim.tv_sec;
    status.mode = st.st_mode;
    status.fullPath = CanonicalPath(path);
    return true;
}

bool SetModifiedTime(const std::string& path, std::int64_t seconds) {
    struct timespec times[2] {};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(seconds);
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool HasReadOnlyAttribute(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

std::string CanonicalPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string out = resolved;
    std::free(resolved);
    return out;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool RenameFile(const std::string& from, const std::string& to) {
    if (FaultFires(kRenameCall)) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyPermissions(const std::string& model, const std::string& path) {
    struct stat st {};
    if (::stat(model.c_str(), &st) != 0) return false;
    return ::chmod(path.c_str(), st.st_mode & 07777) == 0;
}

bool CopyFileRange(const File& from, std::uint64_t fromOffset, File& to, std::uint64_t toOffset,
                   std::uint64_t count) {
    // The kernel copy bypasses WriteAt, so injected faults take the buffered path.
    if (gWriteBudget.load() < 0 && !gFaultTesting.load()) {
        auto in = static_cast<off_t>(fromOffset);
        auto out = static_cast<off_t>(toOffset);
        std::uint64_t left = count;
        while (left > 0) {
            ssize_t n = ::copy_file_range(from.Descriptor(), &in, to.Descriptor(), &out, left, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;  // not supported here, or an error: finish through the buffer
            left -= static_cast<std::uint64_t>(n);
        }
        fromOffset += count - left;
        toOffset += count - left;
        count = left;
    }
    std::vector<unsigned char> buffer(static_cast<std::size_t>(count < 32768 ? count : 32768));
    while (count > 0) {
        const std::size_t n = static_cast<std::size_t>(count < buffer.size() ? count : buffer.size());
        if (!from.ReadAt(fromOffset, buffer.data(), n) || !to.WriteAt(toOffset, buffer.data(), n))
            return false;
        fromOffset += n;
        toOffset += n;
        count -= n;
    }
    return true;
}

}  // namespace pelmora::platform
