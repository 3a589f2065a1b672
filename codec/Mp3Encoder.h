#pragma once
// The MP3 encoder over LAME: the formats it can make of a sound (each one read back from LAME,
// which snaps values it cannot use), and the encoding of 16-bit interleaved PCM block by block.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct lame_global_struct;

namespace pelmora::codec {

struct EncoderFormat {
    std::uint32_t sampleRate = 0;   // of the MP3 stream, Hz
    std::uint32_t channelMode = 0;  // 1 mono, 2 stereo
    std::uint32_t bitRate = 0;      // bits per second, constant
    bool operator==(const EncoderFormat&) const = default;
};

// Quality index 0, 1, 2: LAME's fast, standard and high quality.
inline constexpr int kQualityCount = 3;
// The LAME quality (0 best … 9 fastest) behind a quality index.
int LameQuality(int quality);

// The MPEG sample rate an input rate is encoded at: the input's own, or the highest below it;
// 0 when the input is below every MPEG rate.
std::uint32_t MpegRateFor(std::uint32_t inputRate);

class Mp3Encoder {
public:
    // Null when the input cannot be encoded: a rate below every MPEG rate, not 1 or 2
    // channels, a quality outside 0 … 2, or LAME taking none of the formats.
    static std::unique_ptr<Mp3Encoder> Open(std::uint32_t sampleRate, int channels, int quality);
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder&) = delete;
    Mp3Encoder& operator=(const Mp3Encoder&) = delete;

    // The formats this input can be encoded to: the input's channel mode first (stereo, then
    // mono for stereo input), each by falling bit rate.
    const std::vector<EncoderFormat>& Formats() const { return formats_; }

    // Prepares LAME for one record of Formats(); false when it is not one of them or LAME
    // refuses it. Setting the format already set changes nothing and succeeds again.
    bool SetFormat(const EncoderFormat& format);

    // Encodes from `input` (16-bit interleaved PCM, `length` bytes) as much as fits into
    // `capacity` bytes of output, sets `consumed` and returns the MP3 bytes written; negative on
    // error. A trailing piece shorter than one frame is consumed without being encoded. With
    // `length` 0 it flushes: the last frames once, then 0 for finished.
    int Encode(const std::uint8_t* input, std::size_t length, std::size_t& consumed,
               std::uint8_t* output, std::size_t capacity);

    // After the flush: the stream's first frame as it must finally read (LAME's Info frame
    // with the real length, delay and padding); it replaces the placeholder LAME wrote first.
    std::vector<std::uint8_t> InfoFrame() const;

    std::uint32_t InputRate() const { return inputRate_; }
    int Channels() const { return channels_; }

private:
    Mp3Encoder(std::uint32_t sampleRate, int channels, int quality);

    std::uint32_t inputRate_;
    int channels_;
    int quality_;
    std::vector<EncoderFormat> formats_;
    lame_global_struct* lame_ = nullptr;  // configured for `current_`
    EncoderFormat current_{};
    bool flushed_ = false;
    std::vector<std::int16_t> pcm_;
};

}  // namespace pelmora::codec
