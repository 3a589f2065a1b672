#pragma once
// Moving frames between the clip file and a document: the clip copy, and the writing of clip
// frames into the document with channel mapping and width conversion.

#include <cstdint>
#include <functional>

#include "document/COLMDoc.h"
#include "edit/Clip.h"

namespace pelmora {

// For each document channel, the clip channel it takes, or one of these.
inline constexpr int kKeepChannel = -1;  // the document sample stays
inline constexpr int kZeroChannel = -2;  // the document sample becomes 0

struct ChannelMap {
    int source[2] = {kKeepChannel, kKeepChannel};
};

// Paste and Mix: the selected channels take clip channels 0, 1, ... while there are any.
ChannelMap PasteMap(const SoundInfo& doc, const ClipInfo& clip);
// Insert: document channel i takes clip channel i; missing clip channels give 0.
ChannelMap InsertMap(const SoundInfo& doc, const ClipInfo& clip);

// How a clip sample (already converted to the document's width) meets the document sample.
enum class ClipCombine { Replace, SaturatingAdd };

// Writes `count` clip frames into document frames from `at`, block by block, calling
// `blockDone` after each block.
void WriteClipFrames(platform::File& working, const SoundInfo& doc, const Clip& clip,
                     std::uint32_t at, std::uint32_t count, ChannelMap map, ClipCombine combine,
                     const std::function<void()>& blockDone);

// Fills the clip from the document's selection (selected channels). The clip is valid only once
// its file is complete. `blockDone` is called after each block.
void CopySelectionToClip(COLMDoc& doc, Clip& clip, const std::function<void()>& blockDone);

}  // namespace pelmora
