#include "mp3/Id3Tag.h"

#include <algorithm>
#include <cstring>

namespace pelmora {

namespace {

// Spelled as the editor has always shown them.
constexpr const char* kGenres[kGenreCount] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
    "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggea", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Tecno",
    "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental",
    "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul",
    "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic",
    "Darkwave", "Techno-Industrial", "Electonic", "Pop-Folk", "Eurodance", "Dream",
    "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk",
    "Jungle", "Native American", "Cabaret", "New Wave", "Psychadelic", "Rave", "Showtunes",
    "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical",
    "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion",
    "Bebop", "Latin", "Revival", "Celtic", "Bluesgrass", "Avantgarde", "Gothic Rock",
    "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus",
    "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music",
    "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club",
    "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet",
    "Punk Rock", "Drum Solo", "A capella", "Euro-House", "Dance Hall"};

constexpr std::size_t kTitleAt = 3, kArtistAt = 33, kAlbumAt = 63, kYearAt = 93,
                      kCommentAt = 97, kZeroAt = 125, kTrackAt = 126, kGenreAt = 127;

void Put(std::uint8_t* tag, std::size_t at, const std::string& text, std::size_t field) {
    std::memcpy(tag + at, text.data(), std::min(text.size(), field));
}

std::string Take(const std::uint8_t* tag, std::size_t at, std::size_t field) {
    const auto* begin = reinterpret_cast<const char*>(tag + at);
    return std::string(begin, std::find(begin, begin + field, '\0'));
}

}  // namespace

const char* GenreName(int index) {
    return index >= 0 && index < kGenreCount ? kGenres[index] : nullptr;
}

std::string GenreLine(int index) {
    const char* name = GenreName(index);
    return name ? std::to_string(index) + ": " + name : std::string();
}

std::array<std::uint8_t, kId3v1Bytes> EncodeId3v1(const TagFields& fields) {
    std::array<std::uint8_t, kId3v1Bytes> tag{};
    std::memcpy(tag.data(), "TAG", 3);
    Put(tag.data(), kTitleAt, fields.title, kTagTextBytes);
    Put(tag.data(), kArtistAt, fields.artist, kTagTextBytes);
    Put(tag.data(), kAlbumAt, fields.album, kTagTextBytes);
    Put(tag.data(), kYearAt, fields.year, kTagYearBytes);
    Put(tag.data(), kCommentAt, fields.comment, kTagCommentBytes);
    tag[kZeroAt] = 0;
    tag[kTrackAt] = fields.track;
    tag[kGenreAt] = fields.genre;
    return tag;
}

std::optional<TagFields> DecodeId3v1(const std::uint8_t* bytes, std::size_t length) {
    if (length < kId3v1Bytes || std::memcmp(bytes, "TAG", 3) != 0) return std::nullopt;
    TagFields fields;
    fields.title = Take(bytes, kTitleAt, kTagTextBytes);
    fields.artist = Take(bytes, kArtistAt, kTagTextBytes);
    fields.album = Take(bytes, kAlbumAt, kTagTextBytes);
    fields.year = Take(bytes, kYearAt, kTagYearBytes);
    fields.comment = Take(bytes, kCommentAt, kTagCommentBytes);
    fields.track = bytes[kZeroAt] == 0 ? bytes[kTrackAt] : 0;
    fields.genre = bytes[kGenreAt];
    return fields;
}

std::uint64_t AudioStartAfterId3v2(const std::uint8_t* head, std::size_t length) {
    if (length < kId3v2HeaderBytes || std::memcmp(head, "ID3", 3) != 0) return 0;
    std::uint64_t size = 0;
    for (std::size_t i = 6; i < 10; ++i) size = (size << 7) | (head[i] & 0x7Fu);
    return size + kId3v2HeaderBytes;
}

}  // namespace pelmora
