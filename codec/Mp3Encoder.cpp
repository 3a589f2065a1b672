#include "codec/Mp3Encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstring>

namespace pelmora::codec {

namespace {

// LAME's own worst case for one call: 1.25 bytes per frame plus 7200.
constexpr std::size_t kWorstCaseFixedBytes = 7200;

// LAME reports through callbacks that print by default; the caller reports failures itself.
void Quiet(const char*, va_list) {}

struct LameCloser {
    void operator()(lame_global_flags* gf) const { lame_close(gf); }
};
using LameHandle = std::unique_ptr<lame_global_flags, LameCloser>;

// A LAME instance initialised for one format; null when LAME refuses it.
LameHandle Configure(std::uint32_t inputRate, int channels, int quality,
                     const EncoderFormat& format) {
    LameHandle gf(lame_init());
    if (!gf) return nullptr;
    lame_set_errorf(gf.get(), Quiet);
    lame_set_debugf(gf.get(), Quiet);
    lame_set_msgf(gf.get(), Quiet);
    lame_set_in_samplerate(gf.get(), static_cast<int>(inputRate));
    lame_set_num_channels(gf.get(), channels);
    lame_set_out_samplerate(gf.get(), static_cast<int>(format.sampleRate));
    lame_set_mode(gf.get(), format.channelMode == 1 ? MONO : JOINT_STEREO);
    lame_set_VBR(gf.get(), vbr_off);
    lame_set_brate(gf.get(), static_cast<int>(format.bitRate / 1000));
    lame_set_quality(gf.get(), LameQuality(quality));
    // Our caller appends its own ID3 v1.1 tag; LAME's Info frame carries the exact length.
    lame_set_write_id3tag_automatic(gf.get(), 0);
    lame_set_bWriteVbrTag(gf.get(), 1);
    if (lame_init_params(gf.get()) < 0) return nullptr;
    return gf;
}

// What LAME actually chose after initialisation.
EncoderFormat ReadBack(lame_global_flags* gf) {
    EncoderFormat chosen;
    chosen.sampleRate = static_cast<std::uint32_t>(lame_get_out_samplerate(gf));
    chosen.channelMode = lame_get_mode(gf) == MONO ? 1u : 2u;
    chosen.bitRate = static_cast<std::uint32_t>(lame_get_brate(gf)) * 1000u;
    return chosen;
}

// LAME's rate tables: index 0 MPEG-2, 1 MPEG-1, 2 MPEG-2.5.
constexpr int kMpegVersions = 3;
constexpr int kRatesPerVersion = 3;
constexpr int kBitRateIndexes = 15;  // 1 … 14 are the constant rates; 0 is free format

int VersionOfRate(std::uint32_t rate) {
    for (int v = 0; v < kMpegVersions; ++v)
        for (int i = 0; i < kRatesPerVersion; ++i)
            if (lame_get_samplerate(v, i) == static_cast<int>(rate)) return v;
    return -1;
}

}  // namespace

int LameQuality(int quality) {
    // LAME's -f, its default, and -h.
    static constexpr int kLame[kQualityCount] = {7, 3, 2};
    return kLame[std::clamp(quality, 0, kQualityCount - 1)];
}

std::uint32_t MpegRateFor(std::uint32_t inputRate) {
    std::uint32_t best = 0;
    for (int v = 0; v < kMpegVersions; ++v) {
        for (int i = 0; i < kRatesPerVersion; ++i) {
            const int rate = lame_get_samplerate(v, i);
            if (rate > 0 && static_cast<std::uint32_t>(rate) <= inputRate)
                best = std::max(best, static_cast<std::uint32_t>(rate));
        }
    }
    return best;
}

Mp3Encoder::Mp3Encoder(std::uint32_t sampleRate, int channels, int quality)
    : inputRate_(sampleRate), channels_(channels), quality_(quality) {}

Mp3Encoder::~Mp3Encoder() {
    if (lame_) lame_close(lame_);
}

std::unique_ptr<Mp3Encoder> Mp3Encoder::Open(std::uint32_t sampleRate, int channels, int quality) {
    if (channels < 1 || channels > 2 || quality < 0 || quality >= kQualityCount) return nullptr;
    const std::uint32_t outRate = MpegRateFor(sampleRate);
    const int version = VersionOfRate(outRate);
    if (outRate == 0 || version < 0) return nullptr;
    std::unique_ptr<Mp3Encoder> encoder(new Mp3Encoder(sampleRate, channels, quality));
    const std::uint32_t modes[] = {static_cast<std::uint32_t>(channels), 1};
    for (int m = 0; m < channels; ++m) {
        for (int index = kBitRateIndexes - 1; index >= 1; --index) {
            const int kbps = lame_get_bitrate(version, index);
            if (kbps <= 0) continue;
            const EncoderFormat wanted{outRate, modes[m], static_cast<std::uint32_t>(kbps) * 1000u};
            LameHandle probe = Configure(sampleRate, channels, quality, wanted);
            if (!probe) continue;
            const EncoderFormat chosen = ReadBack(probe.get());
            auto& list = encoder->formats_;
            if (std::find(list.begin(), list.end(), chosen) == list.end()) list.push_back(chosen);
        }
    }
    if (encoder->formats_.empty()) return nullptr;
    return encoder;
}

bool Mp3Encoder::SetFormat(const EncoderFormat& format) {
    if (std::find(formats_.begin(), formats_.end(), format) == formats_.end()) return false;
    if (lame_ && current_ == format && !flushed_) return true;
    LameHandle configured = Configure(inputRate_, channels_, quality_, format);
    if (!configured || !(ReadBack(configured.get()) == format)) return false;
    if (lame_) lame_close(lame_);
    lame_ = configured.release();
    current_ = format;
    flushed_ = false;
    return true;
}

int Mp3Encoder::Encode(const std::uint8_t* input, std::size_t length, std::size_t& consumed,
                       std::uint8_t* output, std::size_t capacity) {
    consumed = 0;
    if (!lame_ || capacity > INT_MAX) return -1;
    if (length == 0) {
        if (flushed_) return 0;
        flushed_ = true;
        return lame_encode_flush(lame_, output, static_cast<int>(capacity));
    }
    if (flushed_) return -1;
    const std::size_t frameBytes = 2u * static_cast<std::size_t>(channels_);
    std::size_t frames = length / frameBytes;
    if (frames == 0) {
        consumed = length;  // not a whole frame: nothing LAME could take
        return 0;
    }
    if (capacity <= kWorstCaseFixedBytes) return -1;
    frames = std::min(frames, (capacity - kWorstCaseFixedBytes) * 4 / 5);
    // The bytes may sit at any address; LAME wants aligned samples.
    pcm_.resize(frames * static_cast<std::size_t>(channels_));
    std::memcpy(pcm_.data(), input, frames * frameBytes);
    const int n = static_cast<int>(frames);
    const int written =
        channels_ == 2
            ? lame_encode_buffer_interleaved(lame_, pcm_.data(), n, output, static_cast<int>(capacity))
            : lame_encode_buffer(lame_, pcm_.data(), nullptr, n, output, static_cast<int>(capacity));
    if (written < 0) return written;
    consumed = frames * frameBytes;
    return written;
}

std::vector<std::uint8_t> Mp3Encoder::InfoFrame() const {
    if (!lame_ || !flushed_) return {};
    std::vector<std::uint8_t> frame(4096);
    std::size_t size = lame_get_lametag_frame(lame_, frame.data(), frame.size());
    if (size > frame.size()) {
        frame.resize(size);
        size = lame_get_lametag_frame(lame_, frame.data(), frame.size());
        if (size > frame.size()) return {};
    }
    frame.resize(size);
    return frame;
}

}  // namespace pelmora::codec
