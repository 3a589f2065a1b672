#pragma once
// Changes of the working file's length that keep its trailing bytes (the chunks after the
// sample data) right behind the data, as every length-changing edit and restore needs.

#include <cstdint>

#include "base/ProgressTask.h"
#include "platform/File.h"
#include "sound/SoundInfo.h"

namespace pelmora {

// Bytes after the sample data: working length − data offset − frames × frame size.
std::uint64_t TrailingBytes(const SoundInfo& info);

// Makes the data `frames` long at its end: the trailing bytes move, the file length follows,
// and frames added are silence in every channel. Updates frames, data end and working length.
void ResizeDataAtEnd(platform::File& file, SoundInfo& info, std::uint32_t frames);

// Opens a gap of `count` frames at frame `at` (everything after it, trailing bytes included,
// moves up), with progress under `status`. The gap keeps whatever bytes were there.
void OpenFrameGap(platform::File& file, SoundInfo& info, std::uint32_t at, std::uint32_t count,
                  ProgressTask& progress, StringId status, std::uint64_t progressTotal = 0);

// Removes frames [at, at + count): everything after them moves down and the file is shortened.
void CloseFrameGap(platform::File& file, SoundInfo& info, std::uint32_t at, std::uint32_t count,
                   ProgressTask& progress, StringId status, std::uint64_t progressTotal = 0);

}  // namespace pelmora
