#pragma once
// The ID3 v1.1 tag (the last 128 bytes of an MP3 file), its genre list, and the size of an
// ID3v2 tag at the start of a file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "document/TagFields.h"

namespace pelmora {

inline constexpr std::size_t kId3v1Bytes = 128;
inline constexpr std::size_t kId3v2HeaderBytes = 10;
inline constexpr int kGenreCount = 126;

// The genre's name, or nullptr outside 0 … 125.
const char* GenreName(int index);
// "%d: %s" as the tag dialog lists it.
std::string GenreLine(int index);

// "TAG", the texts each followed by zero bytes up to its field's length (none for a full
// field), the year's 4 bytes (zero bytes after a shorter year), a zero byte, track and genre.
std::array<std::uint8_t, kId3v1Bytes> EncodeId3v1(const TagFields& fields);

// The fields of a tag, or nullopt when the bytes do not begin with "TAG". Each text ends at
// its first zero byte. A tag without the zero byte before the track (ID3 v1.0, whose comment
// runs on there) has no track.
std::optional<TagFields> DecodeId3v1(const std::uint8_t* bytes, std::size_t length);

// Where the audio starts in a file whose first bytes are `head`: after the ID3v2 tag when
// they begin with "ID3" (its 28-bit size in bytes 6 … 9, 7 bits a byte, plus the 10-byte
// header), else 0.
std::uint64_t AudioStartAfterId3v2(const std::uint8_t* head, std::size_t length);

}  // namespace pelmora
