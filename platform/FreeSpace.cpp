#include "platform/FreeSpace.h"

#include <algorithm>
#include <atomic>

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace pelmora::platform {

namespace {

std::atomic<std::int64_t> gFreeSpaceLimit{-1};

std::uint64_t Available(const struct statvfs& vfs) {
    const std::uint64_t free =
        static_cast<std::uint64_t>(vfs.f_bavail) * static_cast<std::uint64_t>(vfs.f_frsize);
    const std::int64_t limit = gFreeSpaceLimit.load();
    return limit < 0 ? free : std::min(free, static_cast<std::uint64_t>(limit));
}

}  // namespace

std::optional<std::uint64_t> FreeBytesAt(const std::string& path) {
    struct statvfs vfs {};
    if (::statvfs(path.c_str(), &vfs) != 0) return std::nullopt;
    return Available(vfs);
}

std::optional<std::uint64_t> FreeBytesOfOpenFile(int descriptor) {
    struct statvfs vfs {};
    if (::fstatvfs(descriptor, &vfs) != 0) return std::nullopt;
    return Available(vfs);
}

void LimitFreeSpace(std::int64_t bytes) { gFreeSpaceLimit.store(bytes); }

bool SameFilesystem(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev;
}

}  // namespace pelmora::platform
