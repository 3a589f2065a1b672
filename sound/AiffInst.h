#pragma once
// The INST chunk body and the loop it names through MARK markers.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sound/AiffMarkers.h"
#include "sound/SoundInfo.h"

namespace pelmora::aiff {

using InstBody = std::array<std::uint8_t, kAiffInstBodyBytes>;

struct InstLoop {
    std::uint16_t playMode = 0;
    std::uint16_t beginId = 0;
    std::uint16_t endId = 0;
    bool operator==(const InstLoop&) const = default;
};

// Instrument fields with out-of-range values replaced by their defaults.
WavInstrument InstrumentFromInst(const InstBody& body);
InstLoop SustainLoopOf(const InstBody& body);
InstLoop ReleaseLoopOf(const InstBody& body);

// Velocities of 0 are written as 1; the gain as a signed 16-bit value.
InstBody BuildInstBody(const WavInstrument& instrument, const InstLoop& sustain,
                       const InstLoop& release = {});

// The sustain loop's frames when both markers exist and begin lies before end.
struct MarkedLoop {
    bool taken = false;
    std::uint32_t start = 0;
    std::uint32_t end = 0;  // exclusive
};
MarkedLoop ResolveSustainLoop(const std::vector<AiffMarker>& markers, const InstLoop& sustain);

// Marker names of the loop boundaries: the template pair, and the pair used for loops that
// came from a WAV 'smpl' chunk or are added at save time.
inline const std::string kTemplateBeginName = "beg loop";
inline const std::string kWavLoopBeginName = "big loop";
inline const std::string kLoopEndName = "end loop";

// Markers for loop boundaries: one per distinct position, ids after the largest one present.
class LoopMarkerSet {
public:
    LoopMarkerSet() = default;
    explicit LoopMarkerSet(std::vector<AiffMarker> existing) : markers_(std::move(existing)) {}

    // The id of a marker at this position, a new one named `name` when none is there; 0 when no
    // id is left.
    std::uint16_t FindOrAdd(std::uint32_t position, const std::string& name);
    // Moves the marker with this id (the list keeps its size); false when there is none.
    bool Move(std::uint16_t id, std::uint32_t position);
    const std::vector<AiffMarker>& Markers() const { return markers_; }
    bool Added() const { return added_; }

private:
    std::vector<AiffMarker> markers_;
    bool added_ = false;
};

// The marker with this id, or nullptr.
const AiffMarker* MarkerById(const std::vector<AiffMarker>& markers, std::uint16_t id);

}  // namespace pelmora::aiff
