#pragma once
// Reduces sample frames, in the file's own encoding, to image points: per channel the largest
// and the smallest value of every framesPerPoint frames. Frames may arrive in pieces of any
// size; a point in progress carries over to the next piece.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/SoundInfo.h"

namespace pelmora {

class PeakScanner {
public:
    PeakScanner(const SoundInfo& info, std::uint32_t framesPerPoint);

    // Scans `count` whole frames; every point completed is written at `out` onward in the image
    // layout. Returns the number of points written.
    std::size_t Scan(const std::uint8_t* frames, std::size_t count, std::uint8_t* out);
    // Writes the point in progress (the sound's last, shorter one); returns 0 when there is none.
    std::size_t Finish(std::uint8_t* out);
    // Forgets the point in progress.
    void Reset() { inPoint_ = 0; }

private:
    template <class Codec, int Channels>
    std::size_t ScanWith(const std::uint8_t* frames, std::size_t count, std::uint8_t* out);
    void WritePoint(std::uint8_t* out);

    FileType type_;
    int channels_;
    int width_;
    std::uint32_t framesPerPoint_;
    std::uint32_t inPoint_ = 0;  // frames of the point in progress
    std::vector<std::int32_t> high_, low_;
};

}  // namespace pelmora
