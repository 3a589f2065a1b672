#include "support/AudioFiles.h"

#include <cstdlib>
#include <cstring>

#include "support/TempDir.h"

namespace pelmora::test {

namespace {
void Put(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
// One byte at a time: GCC 12 at -O3 warns falsely about inserting a list after a short vector.
void PutText(std::vector<std::uint8_t>& out, const char* text) {
    for (; *text != '\0'; ++text) out.push_back(static_cast<std::uint8_t>(*text));
}
std::uint32_t Get32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
}  // namespace

void WriteIndexWav(const std::string& path, std::uint32_t rate, int channels, std::uint32_t frames, int offset) {
    const std::uint32_t align = 2u * static_cast<std::uint32_t>(channels);
    const std::uint32_t bytes = frames * align;
    std::vector<std::uint8_t> out;
    PutText(out, "RIFF");
    Put(out, 36 + bytes, 4);
    PutText(out, "WAVEfmt ");
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(channels), 2);
    Put(out, rate, 4);
    Put(out, rate * align, 4);
    Put(out, align, 2);
    Put(out, 16, 2);
    PutText(out, "data");
    Put(out, bytes, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        Put(out, static_cast<std::uint16_t>(i % 30000 + static_cast<std::uint32_t>(offset)), 2);
        if (channels == 2) Put(out, static_cast<std::uint16_t>(i / 30000 + static_cast<std::uint32_t>(offset)), 2);
    }
    WriteAll(path, out);
}

std::vector<std::uint8_t> WavData(const std::string& path) {
    const std::vector<std::uint8_t> all = ReadAll(path);
    std::size_t at = 12;
    while (at + 8 <= all.size()) {
        const std::uint32_t size = Get32(&all[at + 4]);
        if (!std::memcmp(&all[at], "data", 4)) {
            const std::size_t end = std::min<std::size_t>(all.size(), at + 8 + size);
            return {all.begin() + static_cast<std::ptrdiff_t>(at + 8), all.begin() + static_cast<std::ptrdiff_t>(end)};
        }
        at += 8 + size + (size % 2);
    }
    return {};
}

std::vector<std::int16_t> Samples16(const std::vector<std::uint8_t>& data) {
    std::vector<std::int16_t> s(data.size() / 2);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    return s;
}

NullAudio::NullAudio(const std::string& in, const std::string& out) {
    const std::string value = "null:" + in + ":" + out;
    ::setenv("PELMORA_AUDIO", value.c_str(), 1);
}

NullAudio::~NullAudio() { ::unsetenv("PELMORA_AUDIO"); }

}  // namespace pelmora::test
