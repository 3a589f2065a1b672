#pragma once
// The MP3 decoder over mpg123, fed block by block: the stream header check, then decoding to
// 16-bit interleaved PCM with gapless trimming (the encoder's delay and padding removed when
// the stream says how long it is).

#include <cstddef>
#include <cstdint>
#include <memory>

struct mpg123_handle_struct;

namespace pelmora::codec {

struct StreamInfo {
    int channels = 0;
    std::uint32_t sampleRate = 0;
    int bitsPerSample = 16;
    std::size_t inputGranularity = 1;  // input may come in pieces of any size
    std::size_t outputBufferSize = 0;  // bytes the decoder may produce in one step
};

// Looks for an MPEG Layer-3 stream at the start of `data` (the bytes after any ID3v2 tag) and
// fills `info` from its first frame; -1 when there is none, 0 otherwise.
int ParseStreamHeader(const std::uint8_t* data, std::size_t length, StreamInfo& info);

class Mp3Decoder {
public:
    // A decoder for the stream `info` describes, ready for input; null when it cannot be made.
    static std::unique_ptr<Mp3Decoder> Open(const StreamInfo& info);
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Produces up to `capacity` bytes of PCM into `output`. It takes input only when what it
    // holds is decoded, so it keeps at most one piece of input: `consumed` is 0 or `available`.
    // Returns 0 to go on (with nothing consumed or produced the input is finished), 1 when the
    // stream reached its declared end, -1 on a failure.
    int Step(const std::uint8_t* input, std::size_t available, std::size_t& consumed,
             std::uint8_t* output, std::size_t capacity, std::size_t& produced);

    // false when the decoder failed on the way.
    bool End();

private:
    explicit Mp3Decoder(const StreamInfo& info) : info_(info) {}

    StreamInfo info_;
    mpg123_handle_struct* handle_ = nullptr;
    bool failed_ = false;
};

}  // namespace pelmora::codec
