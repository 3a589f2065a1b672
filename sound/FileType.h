#pragma once

#include <cstdint>

namespace pelmora {

// WAV: little-endian, 8-bit unsigned. AIFF: big-endian, 8-bit signed.
enum class FileType : std::uint16_t { Wav = 0, Aiff = 1 };

// The code that temporary names take for their extension: 1 ".wav", 2 ".aiff".
inline constexpr int ExtensionCode(FileType type) { return static_cast<int>(type) + 1; }

inline constexpr FileType OtherType(FileType type) {
    return type == FileType::Wav ? FileType::Aiff : FileType::Wav;
}

}  // namespace pelmora
