#include "support/ExternalReaders.h"

#include <sndfile.h>

#include <array>
#include <cstdio>
#include <memory>

namespace pelmora::test {

namespace {

int BitsOfSubformat(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8: return 8;
    case SF_FORMAT_PCM_16: return 16;
    case SF_FORMAT_PCM_24: return 24;
    case SF_FORMAT_PCM_32: return 32;
    default: return 0;
    }
}

struct SndfileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

std::string RunAndRead(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return out;
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe.get())) out += buffer.data();
    return out;
}

}  // namespace

std::optional<ExternalView> ReadWithSndfile(const std::string& path) {
    SF_INFO info{};
    SndfileHandle f(sf_open(path.c_str(), SFM_READ, &info));
    if (!f) return std::nullopt;
    return ExternalView{info.samplerate, info.channels, BitsOfSubformat(info.format), info.frames};
}

std::optional<SndfileInstrument> SndfileInstrumentOf(const std::string& path) {
    SF_INFO info{};
    SndfileHandle f(sf_open(path.c_str(), SFM_READ, &info));
    if (!f) return std::nullopt;
    SF_INSTRUMENT inst{};
    if (sf_command(f.get(), SFC_GET_INSTRUMENT, &inst, sizeof inst) != SF_TRUE) return std::nullopt;
    SndfileInstrument out;
    out.basenote = inst.basenote;
    out.detune = inst.detune;
    out.keyLow = inst.key_lo;
    out.keyHigh = inst.key_hi;
    out.velocityLow = inst.velocity_lo;
    out.velocityHigh = inst.velocity_hi;
    out.gain = inst.gain;
    for (int i = 0; i < inst.loop_count && i < 16; ++i) {
        out.loops.push_back({inst.loops[i].mode, inst.loops[i].start, inst.loops[i].end,
                             inst.loops[i].count});
    }
    return out;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> SndfileCuesOf(const std::string& path) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
    SF_INFO info{};
    SndfileHandle f(sf_open(path.c_str(), SFM_READ, &info));
    if (!f) return out;
    auto cues = std::make_unique<SF_CUES>();
    if (sf_command(f.get(), SFC_GET_CUE, cues.get(), sizeof(SF_CUES)) != SF_TRUE) return out;
    for (std::uint32_t i = 0; i < cues->cue_count && i < 100; ++i)
        out.emplace_back(cues->cue_points[i].position, cues->cue_points[i].sample_offset);
    return out;
}

std::vector<std::int32_t> SndfileSamples(const std::string& path) {
    SF_INFO info{};
    SndfileHandle f(sf_open(path.c_str(), SFM_READ, &info));
    if (!f) return {};
    std::vector<std::int32_t> samples(static_cast<std::size_t>(info.frames * info.channels));
    sf_read_int(f.get(), samples.data(), static_cast<sf_count_t>(samples.size()));
    return samples;
}

std::optional<ExternalView> ReadWithSox(const std::string& path) {
    // One value a line: rate, channels, precision, frames.
    const std::string quoted = "'" + path + "'";
    std::string out = RunAndRead("sox --i -r " + quoted + " 2>/dev/null; sox --i -c " + quoted +
                                 " 2>/dev/null; sox --i -b " + quoted +
                                 " 2>/dev/null; sox --i -s " + quoted + " 2>/dev/null");
    ExternalView view;
    long long frames = 0;
    if (std::sscanf(out.c_str(), "%d %d %d %lld", &view.rate, &view.channels, &view.bits,
                    &frames) != 4) {
        return std::nullopt;
    }
    view.frames = frames;
    return view;
}

}  // namespace pelmora::test
