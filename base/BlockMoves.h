#pragma once
// The in-file block helpers that open, close or fill gaps inside a sound file.
// Failures raise Error with the message id; nothing is shown from here.

#include <cstdint>

#include "base/ProgressTask.h"
#include "platform/File.h"

namespace pelmora {

inline constexpr std::uint32_t kMoveChunkBytes = 32768;
inline constexpr std::uint32_t kQuietMoveChunkBytes = 65536;

inline constexpr std::uint64_t BlocksFor(std::uint64_t bytes) {
    return (bytes + kMoveChunkBytes - 1) / kMoveChunkBytes;
}

// Moves `length` bytes from `from` to `to` within the file, overlapping ranges included.
// A growing move first checks that the file's own filesystem has to − from bytes free.
// When the display is already running (a phase before this one started it), the move adds its
// blocks to it and ends it; otherwise it starts the display with `status`, and ends it only when
// it was given no progress total (otherwise the caller goes on stepping the same display).
void MoveBytes(platform::File& file, std::uint64_t from, std::uint64_t to, std::uint64_t length,
               ProgressTask& progress, StringId status, std::uint64_t progressTotal = 0);

// The same move without a display, in larger chunks; for trailing bytes and chunk updates.
void MoveBytesQuiet(platform::File& file, std::uint64_t from, std::uint64_t to,
                    std::uint64_t length);

// Writes `length` bytes of `silenceByte` at `position`, starting a display with `status` over
// BlocksFor(progressTotal) blocks that the caller goes on stepping and ends.
void FillSilence(platform::File& file, std::uint64_t position, std::uint64_t length,
                 std::uint8_t silenceByte, ProgressTask& progress, std::uint64_t progressTotal,
                 StringId status);

}  // namespace pelmora
