#pragma once
// Loop Crossfade: the frames before the loop end become a crossfade towards the frames before
// the loop start ("Sustain"), and optionally the frames after the loop end a crossfade from
// the frames after the loop start ("Sustain + Release").

#include <cstdint>

#include "document/COLMDoc.h"

namespace pelmora {

enum class CrossfadeType { Sustain = 0, SustainRelease = 1 };
enum class CrossfadeCurve { Linear = 0, PlusExp = 1, MinusExp = 2 };

// The largest percentages of the loop length that stay within the sound.
struct CrossfadeMaxima {
    int sustain = 0;
    int release = 0;
    bool operator==(const CrossfadeMaxima&) const = default;
};
CrossfadeMaxima CrossfadeMaximaFor(const SoundInfo& info);

// S and R in frames for the percentages (R is 0 for "Sustain").
struct CrossfadeFrames {
    std::uint32_t sustain = 0;
    std::uint32_t release = 0;
};
CrossfadeFrames CrossfadeLengths(const SoundInfo& info, CrossfadeType type, int sustainPercent,
                                 int releasePercent);

// The weight of a signal driven by j out of t frames, over `Divisor`: a product is the integer
// part of weight × x / divisor.
struct CurveWeight {
    std::int64_t weight = 0;
    std::int64_t divisor = 1;
};
CurveWeight CrossfadeWeight(CrossfadeCurve curve, std::uint32_t j, std::uint32_t t, int bytesPerSample);

// Runs the crossfade with its own undo and redo copies of frames loop end − S … loop end + R
// (every channel). False when S + R is 0 (nothing changes).
bool LoopCrossfade(COLMDoc& doc, CrossfadeType type, int sustainPercent, int releasePercent,
                   CrossfadeCurve curve);

}  // namespace pelmora
