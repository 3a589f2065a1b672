#pragma once
// The markers of an AIFF MARK chunk body, shared by the AIFF writers and by the WAV writer,
// which turns markers into 'cue ' points.

#include <cstdint>
#include <string>
#include <vector>

namespace pelmora {

struct AiffMarker {
    std::uint16_t id = 0;
    std::uint32_t position = 0;  // frame
    std::string name;
    bool operator==(const AiffMarker&) const = default;
};

// Reads as many whole markers as the body holds; a marker cut short ends the list.
std::vector<AiffMarker> ParseMarkBody(const std::vector<std::uint8_t>& body);

// Where the position field of each marker that ParseMarkBody reads lies in the body, in the
// same order: positions are changed there, leaving every other byte of the chunk as it was.
std::vector<std::size_t> MarkerPositionOffsets(const std::vector<std::uint8_t>& body);

// Count, then per marker id, position and the name as a Pascal string padded to an even length.
std::vector<std::uint8_t> BuildMarkBody(const std::vector<AiffMarker>& markers);

}  // namespace pelmora
