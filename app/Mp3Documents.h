#pragma once
// The MP3 commands at the application's level: an import becomes a document.

#include <string>

#include "app/ApplicationState.h"

namespace pelmora {

// "Import From MP3 File..." for a chosen file: the document an earlier import of the same file
// made, when it is still open, comes to the front; otherwise the file is decoded and opened as
// a new document made from a temporary file, with the file's tag. Raises Error and Cancelled.
COLMDoc& ImportMp3(ApplicationState& app, const std::string& mp3Path);

}  // namespace pelmora
