#include "display/ImageBlock.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "display/ImageBuild.h"
#include "document/COLMDoc.h"
#include "sound/AiffUpdate.h"
#include "sound/Bytes.h"
#include "sound/WavImageChunk.h"

namespace pelmora {

namespace {

constexpr std::uint32_t kHeaderFieldBytes = 24;  // from offset 12 to the points

struct Fields {
    FileType type;
    std::uint16_t Load16(const std::uint8_t* p) const {
        return type == FileType::Aiff ? LoadBE16(p) : LoadLE16(p);
    }
    std::uint32_t Load32(const std::uint8_t* p) const {
        return type == FileType::Aiff ? LoadBE32(p) : LoadLE32(p);
    }
    void Store16(std::uint8_t* p, std::uint16_t v) const {
        type == FileType::Aiff ? StoreBE16(p, v) : StoreLE16(p, v);
    }
    void Store32(std::uint8_t* p, std::uint32_t v) const {
        type == FileType::Aiff ? StoreBE32(p, v) : StoreLE32(p, v);
    }
};

std::optional<std::int64_t> StampFrom(int year, int month, int day, int hour, int minute, int second) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&t);
    if (seconds == static_cast<std::time_t>(-1) || t.tm_mday != day) return std::nullopt;
    return static_cast<std::int64_t>(seconds);
}

// Values of the points in a file of the other byte order: each one reversed in place.
void SwapValues(std::uint8_t* bytes, std::size_t count, int width) {
    if (width < 2) return;
    const auto w = static_cast<std::size_t>(width);
    for (std::size_t at = 0; at + w <= count; at += w) std::reverse(bytes + at, bytes + at + w);
}

bool PowerOfTwoInRange(std::uint32_t n) {
    return n >= kMinFramesPerPoint && n <= kMaxFramesPerPoint && (n & (n - 1)) == 0;
}

struct BlockPlace {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;  // body bytes the file holds
};

std::optional<BlockPlace> FindBlock(const platform::File& file, FileType type) {
    if (type == FileType::Aiff) {
        const auto chunk = aiff::FindImageChunk(file);
        if (!chunk) return std::nullopt;
        return BlockPlace{chunk->BodyPosition(), std::min<std::uint64_t>(chunk->available, chunk->size)};
    }
    const auto place = wav::FindImageChunk(file);
    if (!place) return std::nullopt;
    return BlockPlace{place->bodyOffset, place->bodySize};
}

}  // namespace

std::optional<ImageBlockHeader> ParseImageBlockHeader(const std::uint8_t* bytes, std::size_t size,
                                                      FileType type) {
    if (size < kImageBlockHeaderBytes) return std::nullopt;
    if (std::memcmp(bytes, "QMV0", 4) != 0 && std::memcmp(bytes, "QMS0", 4) != 0) return std::nullopt;
    const Fields f{type};
    ImageBlockHeader h;
    h.magicOk = std::memcmp(bytes + 4, "WFrm", 4) == 0;
    h.bytesFollowing = f.Load32(bytes + 8);
    h.bits = f.Load16(bytes + 12);
    h.channels = f.Load16(bytes + 14);
    h.frames = f.Load32(bytes + 16);
    h.framesPerPoint = f.Load32(bytes + 20);
    h.points = f.Load32(bytes + 24);
    const auto year = static_cast<std::int16_t>(f.Load16(bytes + 28));
    h.stamp = StampFrom(year, bytes[30], bytes[31], bytes[32], bytes[33], bytes[34]);
    return h;
}

bool AcceptImageBlock(const ImageBlockHeader& h, const SoundInfo& info,
                      std::int64_t fileModifiedSeconds) {
    if (!h.magicOk || !h.stamp || *h.stamp < fileModifiedSeconds) return false;
    if (h.frames != info.frames || h.bits != info.bitsPerSample || h.channels != info.channels)
        return false;
    // A frames per point of 0 would divide by zero and odd ones would not fit the build's blocks.
    if (!PowerOfTwoInRange(h.framesPerPoint)) return false;
    const std::uint64_t points = (std::uint64_t{h.frames} + h.framesPerPoint - 1) / h.framesPerPoint;
    return h.points == points;
}

bool ReadStoredImage(const platform::File& file, const SoundInfo& info,
                     std::int64_t fileModifiedSeconds, WaveformImage& image) {
    const auto place = FindBlock(file, info.fileType);
    if (!place || place->size < kImageBlockHeaderBytes) return false;
    std::uint8_t head[kImageBlockHeaderBytes];
    if (!file.ReadAt(place->offset, head, sizeof head)) return false;
    const auto header = ParseImageBlockHeader(head, sizeof head, info.fileType);
    if (!header || !AcceptImageBlock(*header, info, fileModifiedSeconds)) return false;
    const std::uint64_t bytes = header->ImageBytes();
    if (bytes > place->size - kImageBlockHeaderBytes) return false;
    if (!image.Resize(bytes)) return false;
    const int width = BytesPerSampleFor(header->bits);
    for (std::uint64_t done = 0; done < bytes;) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(bytes - done, kImageReadPieceBytes));
        if (!file.ReadAt(place->offset + kImageBlockHeaderBytes + done, image.Data() + done, n))
            return false;
        if (info.fileType == FileType::Aiff) SwapValues(image.Data() + done, n, width);
        done += n;
    }
    image.framesPerPoint = header->framesPerPoint;
    image.storedImageTime = header->stamp;
    image.imageTime.reset();
    image.state = ImageState::Partial;
    return true;
}

bool LoadStoredImage(const COLMDoc& doc, WaveformImage& image) {
    const SoundInfo& info = doc.Info();
    {
        platform::File file;
        if (file.Open(doc.WorkingPath(), platform::OpenMode::Read) &&
            ReadStoredImage(file, info, doc.OriginalStatus().modifiedSeconds, image)) {
            return true;
        }
    }
    const ImageGeometry g = GeometryOf(info, image.framesPerPoint);
    if (!image.Resize(g.Bytes())) {
        image.Free();
        image.state = ImageState::Stale;
        return false;
    }
    CoarseImagePass(doc, image, 0, g.Bytes());
    return false;
}

std::uint32_t ImageByteSize(const WaveformImage& image, const SoundInfo& info) {
    if (!image.HasMemory() && image.imageFileName.empty()) return 0;
    const std::uint64_t bytes = GeometryOf(info, image.framesPerPoint).Bytes();
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, UINT32_MAX));
}

bool ReadImagePoints(const WaveformImage& image, const ImageGeometry& g, std::uint64_t first,
                     std::uint64_t count, std::uint8_t* out) {
    const std::uint64_t pb = g.PointBytes();
    if (image.HasMemory()) {
        if ((first + count) * pb > image.Size()) return false;
        std::memcpy(out, image.Data() + first * pb, count * pb);
        return true;
    }
    if (image.imageFileName.empty()) return false;
    platform::File file;
    return file.Open(image.imageFileName, platform::OpenMode::Read) &&
           file.ReadAt(first * pb, out, count * pb);
}

std::vector<std::uint8_t> WriteImageBlock(const WaveformImage& image, const SoundInfo& info,
                                          FileType type, std::int64_t stamp) {
    const ImageGeometry g = GeometryOf(info, image.framesPerPoint);
    const std::uint64_t bytes = g.Bytes();
    if (bytes > UINT32_MAX - kImageBlockHeaderBytes) return {};
    std::vector<std::uint8_t> block(kImageBlockHeaderBytes + bytes);
    if (!ReadImagePoints(image, g, 0, g.Points(), block.data() + kImageBlockHeaderBytes)) return {};
    if (type == FileType::Aiff) SwapValues(block.data() + kImageBlockHeaderBytes, bytes, g.width);

    const Fields f{type};
    std::uint8_t* h = block.data();
    std::memcpy(h, "QMV0", 4);
    std::memcpy(h + 4, "WFrm", 4);
    f.Store32(h + 8, static_cast<std::uint32_t>(kHeaderFieldBytes + bytes));
    f.Store16(h + 12, info.bitsPerSample);
    f.Store16(h + 14, info.channels);
    f.Store32(h + 16, info.frames);
    f.Store32(h + 20, g.framesPerPoint);
    f.Store32(h + 24, static_cast<std::uint32_t>(g.Points()));
    const std::time_t seconds = static_cast<std::time_t>(stamp);
    std::tm t{};
    localtime_r(&seconds, &t);
    f.Store16(h + 28, static_cast<std::uint16_t>(t.tm_year + 1900));
    h[30] = static_cast<std::uint8_t>(t.tm_mon + 1);
    h[31] = static_cast<std::uint8_t>(t.tm_mday);
    h[32] = static_cast<std::uint8_t>(t.tm_hour);
    h[33] = static_cast<std::uint8_t>(t.tm_min);
    h[34] = static_cast<std::uint8_t>(t.tm_sec);
    h[35] = 0;
    return block;
}

}  // namespace pelmora
