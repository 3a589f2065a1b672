#pragma once
// The texts that describe a document outside the parameter fields: the four panes of the
// document window's status bar and the file facts of the file-information pane.

#include <array>
#include <cstdint>
#include <ctime>
#include <string>

#include "base/StringId.h"
#include "document/COLMDoc.h"

namespace pelmora {

// "N …", "S …", "E …", "D …": the current position, the selection start, end and length as time
// and frame count. All empty while the document has no working copy.
std::array<std::string, 4> StatusPaneTexts(const COLMDoc& doc);

// One status pane: its time format with the frame's time, then "(frames)".
std::string StatusPaneText(StringId format, std::uint32_t rate, std::uint32_t frame);

// The "File Info" text, one fact a line, with `modified` as the file's local modification time.
std::string FileInfoText(const SoundInfo& info, const std::tm& modified);
// The same for a document: the modification time of the file it edits, in local time.
std::string FileInfoText(const COLMDoc& doc);

}  // namespace pelmora
