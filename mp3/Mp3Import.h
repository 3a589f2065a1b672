#pragma once
// "Import From MP3 File...": an MP3 file decoded into a 16-bit WAV file in the working
// directory, with the file's ID3 v1.1 tag. Opening the WAV file as a document is the
// application's part.

#include <functional>
#include <optional>
#include <string>

#include "base/ProgressTask.h"
#include "document/TagFields.h"

namespace pelmora {

inline constexpr std::size_t kDecodeInputBytes = 4096;

struct DecodedMp3 {
    std::string wavPath;            // the new file, now the caller's
    std::optional<TagFields> tag;   // when the file ends with an ID3 v1 tag
};

// The WAV file is named "MP3_TEMP_" + the MP3 file's title + ".wav"; a name that a file or
// `taken` already uses gets a counter after the title. Raises Error with the message to show
// and Cancelled on ESC; a failed or cancelled import leaves no WAV file.
DecodedMp3 DecodeMp3File(const std::string& mp3Path, const std::string& workDir,
                         ProgressTask& progress,
                         const std::function<bool(const std::string&)>& taken = {});

// The title an MP3 file lends its WAV file: its name without the extension.
std::string Mp3Title(const std::string& mp3Path);

}  // namespace pelmora
