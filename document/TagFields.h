#pragma once
// The ID3 v1.1 fields every document carries, exported with it to MP3 and taken over from an
// imported MP3 file. Texts are Latin-1 bytes, each at most as long as its field in the tag.

#include <cstddef>
#include <cstdint>
#include <string>

namespace pelmora {

inline constexpr std::size_t kTagTextBytes = 30;     // title, artist, album
inline constexpr std::size_t kTagYearBytes = 4;
inline constexpr std::size_t kTagCommentBytes = 28;

struct TagFields {
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    std::uint8_t track = 0;  // 0: no track
    std::uint8_t genre = 0;  // an index into the genre list
    bool operator==(const TagFields&) const = default;
};

}  // namespace pelmora
