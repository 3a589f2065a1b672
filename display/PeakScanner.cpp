#include "display/PeakScanner.h"

#include <algorithm>
#include <limits>

#include "display/WaveformImage.h"
#include "sound/SampleCodec.h"

namespace pelmora {

PeakScanner::PeakScanner(const SoundInfo& info, std::uint32_t framesPerPoint)
    : type_(info.fileType), channels_(info.channels), width_(info.bytesPerSample),
      framesPerPoint_(framesPerPoint == 0 ? 1 : framesPerPoint),
      high_(info.channels), low_(info.channels) {}

void PeakScanner::WritePoint(std::uint8_t* out) {
    for (int c = 0; c < channels_; ++c) {
        StoreImageValue(out + 2 * c * width_, width_, high_[static_cast<std::size_t>(c)]);
        StoreImageValue(out + (2 * c + 1) * width_, width_, low_[static_cast<std::size_t>(c)]);
    }
    inPoint_ = 0;
}

// The channel count is a template parameter for mono and stereo (0: any), so the inner loop is a
// plain strided reduction the compiler can unroll.
template <class Codec, int Channels>
std::size_t PeakScanner::ScanWith(const std::uint8_t* frames, std::size_t count, std::uint8_t* out) {
    const int channels = Channels != 0 ? Channels : channels_;
    const std::size_t frameBytes = static_cast<std::size_t>(channels) * Codec::kBytes;
    const std::size_t pointBytes = 2 * frameBytes;
    std::size_t written = 0;
    while (count > 0) {
        const std::size_t take = std::min<std::size_t>(count, framesPerPoint_ - inPoint_);
        for (int c = 0; c < channels; ++c) {
            const auto ch = static_cast<std::size_t>(c);
            std::int32_t high = inPoint_ == 0 ? std::numeric_limits<std::int32_t>::min() : high_[ch];
            std::int32_t low = inPoint_ == 0 ? std::numeric_limits<std::int32_t>::max() : low_[ch];
            const std::uint8_t* p = frames + ch * Codec::kBytes;
            for (std::size_t f = 0; f < take; ++f, p += frameBytes) {
                const std::int32_t v = Codec::Read(p);
                high = std::max(high, v);
                low = std::min(low, v);
            }
            high_[ch] = high;
            low_[ch] = low;
        }
        inPoint_ += static_cast<std::uint32_t>(take);
        frames += take * frameBytes;
        count -= take;
        if (inPoint_ == framesPerPoint_) {
            WritePoint(out + written * pointBytes);
            ++written;
        }
    }
    return written;
}

std::size_t PeakScanner::Scan(const std::uint8_t* frames, std::size_t count, std::uint8_t* out) {
    return WithSampleCodec(type_, width_, [&](auto codec) -> std::size_t {
        using Codec = decltype(codec);
        if (channels_ == 1) return ScanWith<Codec, 1>(frames, count, out);
        if (channels_ == 2) return ScanWith<Codec, 2>(frames, count, out);
        return ScanWith<Codec, 0>(frames, count, out);
    });
}

std::size_t PeakScanner::Finish(std::uint8_t* out) {
    if (inPoint_ == 0) return 0;
    WritePoint(out);
    return 1;
}

}  // namespace pelmora
