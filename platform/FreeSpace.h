#pragma once
// Free space of the filesystem that holds a file or folder, always as a 64-bit figure.

#include <cstdint>
#include <optional>
#include <string>

namespace pelmora::platform {

// Bytes an unprivileged user may still write; nullopt when the filesystem cannot be asked.
std::optional<std::uint64_t> FreeBytesAt(const std::string& path);
std::optional<std::uint64_t> FreeBytesOfOpenFile(int descriptor);

// Fault injection, as a nearly full disk would answer: both queries report at most `bytes`.
// A negative value lifts the limit.
void LimitFreeSpace(std::int64_t bytes);

// Two paths are on the same "drive" when a rename between them works: the same filesystem.
bool SameFilesystem(const std::string& a, const std::string& b);

}  // namespace pelmora::platform
