#pragma once
// "Export To MP3 File...": the document's sound encoded into an MP3 file, optionally followed
// by its ID3 v1.1 tag. The file appears whole or not at all: a failed or cancelled export
// leaves an existing file of that name as it was.

#include <string>

#include "document/COLMDoc.h"

namespace pelmora {

// Bytes of encoded data asked of the encoder at a time, and the room it gets for them.
inline constexpr std::size_t kEncodeInputBytes = 2304;
inline constexpr std::size_t kEncodeOutputBytes = 8192;

struct Mp3ExportChoice {
    int formatIndex = 0;  // a record of the encoder's format table
    int quality = 0;      // 0 … 2
    bool writeTag = false;
};

// Exports to `path`. False when the user declined to overwrite an existing file. Raises Error
// with the message to show and Cancelled on ESC.
bool ExportMp3(COLMDoc& doc, const std::string& path, const Mp3ExportChoice& choice);

}  // namespace pelmora
