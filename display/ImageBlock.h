#pragma once
// The waveform image as stored in a sound file: a 36-byte header (signature, magic, sizes,
// geometry and a local time stamp) followed by the points, in the file's byte order ("Appl"
// chunks of WAV files little-endian, "APPL" chunks of AIFF files big-endian).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "display/WaveformImage.h"
#include "platform/File.h"
#include "sound/SoundInfo.h"

namespace pelmora {

class COLMDoc;

inline constexpr std::size_t kImageBlockHeaderBytes = 36;
inline constexpr std::size_t kImageReadPieceBytes = 65536;

struct ImageBlockHeader {
    bool magicOk = false;
    std::uint32_t bytesFollowing = 0;
    std::uint16_t bits = 0;
    std::uint16_t channels = 0;
    std::uint32_t frames = 0;
    std::uint32_t framesPerPoint = 0;
    std::uint32_t points = 0;
    std::optional<std::int64_t> stamp;  // nullopt when the date and time are not a valid one

    // Bytes of the points the header announces.
    std::uint64_t ImageBytes() const {
        return std::uint64_t{channels} * points * 2 * ((bits + 7u) / 8u);
    }
};

// Reads the header from the first 36 bytes of a block; nullopt unless it begins with the
// signature "QMV0" (or the older "QMS0").
std::optional<ImageBlockHeader> ParseImageBlockHeader(const std::uint8_t* bytes, std::size_t size,
                                                      FileType type);

// Whether a stored block still describes the sound: magic "WFrm", a time stamp not older than the
// file's modification time, the sound's frame count, bits and channels, and a frames per point
// the image can use (a power of two from 256 to 131072) with the matching number of points.
bool AcceptImageBlock(const ImageBlockHeader& header, const SoundInfo& info,
                      std::int64_t fileModifiedSeconds);

// Takes the stored block of an open sound file into `image` when it passes every check. False
// otherwise; the image's memory may then hold part of the block and must be rebuilt.
bool ReadStoredImage(const platform::File& file, const SoundInfo& info,
                     std::int64_t fileModifiedSeconds, WaveformImage& image);

// Open and Revert: the working file's stored block, or a coarse image of the whole sound.
bool LoadStoredImage(const COLMDoc& doc, WaveformImage& image);

// Points × 2 × block alignment; 0 when the image has neither memory nor a file.
std::uint32_t ImageByteSize(const WaveformImage& image, const SoundInfo& info);

// The block (header and points) for a file of `type`, stamped with `stamp` (local time).
// Empty when the points cannot be had.
std::vector<std::uint8_t> WriteImageBlock(const WaveformImage& image, const SoundInfo& info,
                                          FileType type, std::int64_t stamp);

// Points [first, first + count) of the image from its memory, or from its file when it has no
// memory; false when neither holds them.
bool ReadImagePoints(const WaveformImage& image, const ImageGeometry& g, std::uint64_t first,
                     std::uint64_t count, std::uint8_t* out);

}  // namespace pelmora
