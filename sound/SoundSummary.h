#pragma once
// The two-line summary of a file or an instrument sample.

#include <cstdint>
#include <string>

namespace pelmora {

enum class SummaryKind { Wav, Aiff, Instrument };

std::string FormatSoundSummary(std::uint32_t rate, std::uint16_t bits, std::uint16_t channels,
                               std::uint32_t frames, std::uint16_t blockAlign, bool loopShown,
                               SummaryKind kind);

}  // namespace pelmora
