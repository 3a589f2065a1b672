#pragma once
// WAV files whose 'fmt ' chunk has the extensible form (format tag 0xFFFE), as many recorders
// write every 24-bit file. One that holds plain PCM can be opened once its chunk is rewritten
// as a 16-byte PCM 'fmt '; anything else is refused with the reason.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/StringId.h"
#include "platform/File.h"

namespace pelmora::wav {

inline constexpr std::uint16_t kExtensibleFormatTag = 0xFFFE;
inline constexpr std::size_t kExtensibleFmtBytes = 40;

struct ExtensibleFormat {
    bool plainPcm = false;
    StringId refusal = StringId::UnknownWavePcmFormat;  // why it cannot be opened, when not plain PCM
};

// An extensible 'fmt ' body of `size` bytes: plain PCM is the PCM sub-format, valid bits equal
// to the bits per sample, and one or two channels.
ExtensibleFormat ClassifyExtensible(const std::uint8_t* body, std::size_t size);

// Whether a message is one of the refusals above: the reason must reach the user as it is.
bool IsExtensibleRefusal(StringId id);

// The file's 'fmt ' when it has the extensible tag; nothing for any other file.
std::optional<ExtensibleFormat> InspectExtensible(const platform::File& file);

// Rewrites the extensible 'fmt ' of a file holding plain PCM as a 16-byte PCM chunk: the bytes
// after it move down, the file is shortened and the RIFF size follows. Raises the refusal for
// anything else, "File write error" when the file cannot be changed.
void RewriteExtensibleAsPcm(platform::File& file);

}  // namespace pelmora::wav
