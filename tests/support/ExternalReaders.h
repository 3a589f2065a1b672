#pragma once
// Independent readers of the files we write, so that a format fault cannot hide behind our
// own reader: libsndfile in process, sox as a separate program.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelmora::test {

struct ExternalView {
    int rate = 0;
    int channels = 0;
    int bits = 0;  // libsndfile: from the subformat; sox: its bits per sample
    std::int64_t frames = 0;
};

struct SndfileLoop {
    int mode = 0;  // SF_LOOP_*
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint32_t count = 0;
};

struct SndfileInstrument {
    int basenote = 0;
    int detune = 0;
    int keyLow = 0, keyHigh = 0, velocityLow = 0, velocityHigh = 0, gain = 0;
    std::vector<SndfileLoop> loops;
};

// nullopt when libsndfile cannot open the file.
std::optional<ExternalView> ReadWithSndfile(const std::string& path);
std::optional<SndfileInstrument> SndfileInstrumentOf(const std::string& path);
// The cue points libsndfile finds ('cue ' of WAV, MARK of AIFF): position and sample offset.
std::vector<std::pair<std::uint32_t, std::uint32_t>> SndfileCuesOf(const std::string& path);
// Every sample as 32-bit integers (libsndfile scales narrower widths up).
std::vector<std::int32_t> SndfileSamples(const std::string& path);

// nullopt when sox refuses the file.
std::optional<ExternalView> ReadWithSox(const std::string& path);

}  // namespace pelmora::test
