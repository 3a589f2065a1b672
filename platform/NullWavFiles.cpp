#include "platform/NullWavFiles.h"

#include <cstring>

namespace pelmora::platform {

namespace {

void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
std::uint32_t Get32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

bool NullWavWriter::Open(const std::string& path, const WaveFormat& format) {
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    std::uint8_t h[44] = {};
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, 36);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1);
    Put16(h + 22, format.channels);
    Put32(h + 24, format.sampleRate);
    Put32(h + 28, format.sampleRate * format.blockAlign);
    Put16(h + 32, format.blockAlign);
    Put16(h + 34, format.bitsPerSample);
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, 0);
    std::fwrite(h, 1, sizeof h, file_);
    dataBytes_ = 0;
    return true;
}

void NullWavWriter::Append(const std::uint8_t* data, std::size_t bytes) {
    if (!file_) return;
    dataBytes_ += std::fwrite(data, 1, bytes, file_);
}

void NullWavWriter::Close() {
    if (!file_) return;
    if (dataBytes_ % 2) std::fputc(0, file_);  // chunks are even-sized
    std::uint8_t size[4];
    const auto data = static_cast<std::uint32_t>(std::min<std::uint64_t>(dataBytes_, 0xFFFFFFF0u));
    Put32(size, 36 + data + data % 2);
    std::fseek(file_, 4, SEEK_SET);
    std::fwrite(size, 1, 4, file_);
    Put32(size, data);
    std::fseek(file_, 40, SEEK_SET);
    std::fwrite(size, 1, 4, file_);
    std::fclose(file_);
    file_ = nullptr;
}

NullWavReader::~NullWavReader() {
    if (file_) std::fclose(file_);
}

bool NullWavReader::Open(const std::string& path, const WaveFormat& format) {
    frames_ = 0;
    blockAlign_ = format.blockAlign;
    if (path.empty()) return true;
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return true;
    std::uint8_t head[12];
    if (std::fread(head, 1, 12, file_) != 12 || std::memcmp(head, "RIFF", 4) || std::memcmp(head + 8, "WAVE", 4))
        return true;
    bool formatSeen = false;
    for (;;) {
        std::uint8_t chunk[8];
        if (std::fread(chunk, 1, 8, file_) != 8) return true;
        const std::uint32_t size = Get32(chunk + 4);
        const long start = std::ftell(file_);
        if (!std::memcmp(chunk, "fmt ", 4) && size >= 16) {
            std::uint8_t fmt[16];
            if (std::fread(fmt, 1, 16, file_) != 16) return true;
            if (Get16(fmt) != 1 || Get16(fmt + 2) != format.channels || Get16(fmt + 14) != format.bitsPerSample)
                return false;
            formatSeen = true;
        } else if (!std::memcmp(chunk, "data", 4)) {
            if (!formatSeen) return true;
            dataOffset_ = static_cast<std::uint64_t>(start);
            std::fseek(file_, 0, SEEK_END);
            const std::uint64_t available = static_cast<std::uint64_t>(std::ftell(file_)) - dataOffset_;
            frames_ = std::min<std::uint64_t>(size, available) / blockAlign_;
            return true;
        }
        if (std::fseek(file_, start + size + (size % 2), SEEK_SET) != 0) return true;
    }
}

void NullWavReader::Read(std::uint64_t firstFrame, std::uint64_t frames, std::uint8_t* out) {
    if (!file_ || firstFrame >= frames_) return;
    const std::uint64_t count = std::min(frames, frames_ - firstFrame);
    std::fseek(file_, static_cast<long>(dataOffset_ + firstFrame * blockAlign_), SEEK_SET);
    const std::size_t got = std::fread(out, 1, count * blockAlign_, file_);
    (void)got;  // a short read leaves the rest as silence
}

}  // namespace pelmora::platform
