#pragma once
// Copying and moving whole sound files with a progress display. None of them ever leaves the
// user's file half-written: a target that already exists is replaced in one rename.

#include <functional>
#include <string>

#include "base/ProgressTask.h"
#include "platform/File.h"

namespace pelmora {

inline constexpr std::uint32_t kCopyPieceBytes = 65536;

// Copies `count` bytes between two open files in 65536-byte pieces under one display; with
// `cancellable`, ESC after a piece raises Cancelled. Raises "File read error".
void CopyRangeWithProgress(const platform::File& from, std::uint64_t fromOffset, platform::File& to,
                           std::uint64_t toOffset, std::uint64_t count, ProgressTask& progress,
                           StringId status, bool cancellable);

// Copies source onto target in 65536-byte pieces; no ESC. The target is written in place,
// so use it for files of our own (working copies, undo files). Raises "File read error".
void CopyFileWithProgress(const std::string& source, const std::string& target,
                          StringId status, ProgressTask& progress);

// The same with ESC polled after every piece: raises Cancelled, and removes the partial
// target, when the user stops it.
void CopyFileWithProgressCancellable(const std::string& source, const std::string& target,
                                     StringId status, ProgressTask& progress);

// Writes a file that replaces `target`: `write` fills a new file in target's folder, which is then
// flushed, given target's permission bits and renamed over target. Target stays whole until that
// rename; on failure the new file is removed.
void WriteFileSafely(const std::string& target, const std::function<void(const std::string& partial)>& write);

// Puts the content of source at target, leaving target whole until the last step: the content
// is written to a new file in target's folder, flushed and renamed over target. The new file
// takes target's permission bits. On failure the partial file is removed and target is as it was.
void ReplaceFileSafely(const std::string& source, const std::string& target, StringId status,
                       ProgressTask& progress);

// Moves source to target: a rename on one filesystem; otherwise a safe replace followed by
// deleting the source, which is deleted only after a complete copy.
void RelocateFile(const std::string& source, const std::string& target, StringId status,
                  ProgressTask& progress);

}  // namespace pelmora
