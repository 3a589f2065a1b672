// The readers of an MP3 file's own bytes: the ID3v2 skip, the stream header check, the first
// decoding steps and the ID3 v1 tag. Refusals are fine, crashes and overreads not.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/Mp3Decoder.h"
#include "mp3/Id3Tag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint64_t start = pelmora::AudioStartAfterId3v2(data, size);
    if (size >= pelmora::kId3v1Bytes) {
        const auto tag = pelmora::DecodeId3v1(data + size - pelmora::kId3v1Bytes, pelmora::kId3v1Bytes);
        if (tag && (tag->title.size() > 30 || tag->comment.size() > 28)) __builtin_trap();
    }
    if (start >= size) return 0;
    const std::size_t probe = std::min<std::size_t>(4096, size - start);
    pelmora::codec::StreamInfo info;
    if (pelmora::codec::ParseStreamHeader(data + start, probe, info) != 0) return 0;
    if (info.channels < 1 || info.channels > 2 || info.sampleRate == 0) __builtin_trap();
    auto decoder = pelmora::codec::Mp3Decoder::Open(info);
    if (!decoder) return 0;
    std::vector<std::uint8_t> out(info.outputBufferSize);
    std::size_t at = start, have = 0;
    for (int step = 0; step < 256; ++step) {
        if (have == 0) have = std::min<std::size_t>(4096, size - at);
        const std::size_t available = have;
        std::size_t consumed = 0, produced = 0;
        const int result =
            decoder->Step(data + at, have, consumed, out.data(), out.size(), produced);
        if (produced > out.size() || (consumed != 0 && consumed != available)) __builtin_trap();
        at += consumed;
        have -= consumed;
        if (result != 0 || (available == 0 && produced == 0)) break;
    }
    return 0;
}
