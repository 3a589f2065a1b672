#pragma once
// The fixed 512-byte header images that new AIFF files begin with; the sample data follows at
// offset 512.

#include <array>
#include <cstdint>

#include "sound/AiffInst.h"
#include "sound/SoundInfo.h"

namespace pelmora::aiff {

inline constexpr std::size_t kTemplateBytes = 512;
using HeaderImage = std::array<std::uint8_t, kTemplateBytes>;

enum class HeaderTemplate {
    WithoutMarkers,  // New: COMM, pad COMT, SSND
    WithMarkers,     // two markers "beg loop" and "end loop", INST on them, pad COMT, SSND
    WavLoopMarkers   // the same with the markers "big loop" and "end loop"
};

// Byte positions inside the images.
inline constexpr std::size_t kCommBodyAt = 20;
inline constexpr std::size_t kMarkAt = 38;
inline constexpr std::size_t kInstBodyAt = 88;
inline constexpr std::size_t kSsndAt = 496;

// The image as fixed, with every placeholder zero.
HeaderImage TemplateImage(HeaderTemplate kind);

// What the writers fill in.
struct TemplateFields {
    std::uint16_t channels = 1;
    std::uint32_t frames = 0;
    std::uint16_t bits = 16;
    std::uint32_t rate = 44100;
    std::uint32_t dataBytes = 0;
    // Marker templates only.
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0;
    WavInstrument instrument;
    bool loopOn = false;
};

TemplateFields FieldsOf(const SoundInfo& info);

// FORM size (504 + data), COMM, SSND size (data + 8), and in the marker templates the marker
// positions and INST (play mode 1 when the loop is on; with an empty loop range play mode and
// marker ids 0).
HeaderImage FillTemplate(HeaderTemplate kind, const TemplateFields& fields);

// The 26-byte COMM chunk.
std::array<std::uint8_t, 26> BuildCommChunk(const TemplateFields& fields);

}  // namespace pelmora::aiff
