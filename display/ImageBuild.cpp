#include "display/ImageBuild.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

#include "display/PeakScanner.h"
#include "document/COLMDoc.h"

namespace pelmora {

namespace {

constexpr std::size_t kReadPieceBytes = 32768;

// Reads sample frames of the working file in pieces of whole frames of at most 32768 bytes and
// reduces them straight into image points.
class FrameSource {
public:
    explicit FrameSource(const COLMDoc& doc) : info_(doc.Info()) {
        open_ = file_.Open(doc.WorkingPath(), platform::OpenMode::Read);
        const std::size_t align = std::max<std::size_t>(info_.blockAlign, 1);
        pieceFrames_ = std::max<std::size_t>(kReadPieceBytes / align, 1);
        buffer_.resize(pieceFrames_ * align);
    }
    bool IsOpen() const { return open_; }

    // Frames [first, first + count) reduced into points written from `out`; false when the file
    // cannot supply them.
    bool Reduce(PeakScanner& scanner, std::uint64_t first, std::uint64_t count, std::uint8_t* out,
                std::uint32_t pointBytes) {
        if (!open_) return false;
        scanner.Reset();
        std::size_t written = 0;
        while (count > 0) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, pieceFrames_));
            const std::uint64_t offset = info_.dataOffset + first * info_.blockAlign;
            if (!file_.ReadAt(offset, buffer_.data(), n * info_.blockAlign)) return false;
            written += scanner.Scan(buffer_.data(), n, out + written * pointBytes);
            first += n;
            count -= n;
        }
        scanner.Finish(out + written * pointBytes);
        return true;
    }

private:
    const SoundInfo& info_;
    platform::File file_;
    bool open_ = false;
    std::size_t pieceFrames_ = 1;
    std::vector<std::uint8_t> buffer_;
};

// The end of the run of points that starts at p and ends before `limit`: an exact run goes on
// over exact points; a run that is not exact goes on over points that are not exact or flat.
std::uint64_t RunEnd(const WaveformImage& image, const ImageGeometry& g, std::uint64_t p,
                     std::uint64_t limit, bool& exact) {
    const std::uint8_t* data = image.Data();
    const std::uint32_t pb = g.PointBytes();
    exact = PointExact(data + p * pb, g);
    std::uint64_t q = p + 1;
    if (exact) {
        while (q < limit && PointExact(data + q * pb, g)) ++q;
    } else {
        while (q < limit && (!PointExact(data + q * pb, g) || PointFlat(data + q * pb, g))) ++q;
    }
    return q;
}

std::uint32_t BlockFrames(std::uint32_t framesPerPoint) {
    return std::max(framesPerPoint, kImageBlockFrames / framesPerPoint * framesPerPoint);
}

void DropImage(WaveformImage& image) {
    image.Free();
    image.state = ImageState::Stale;
}

}  // namespace

std::int64_t CurrentTimeSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

bool AllPointsExact(const WaveformImage& image, const ImageGeometry& g) {
    const std::uint64_t points = std::min<std::uint64_t>(g.Points(), image.Size() / g.PointBytes());
    for (std::uint64_t p = 0; p < points; ++p) {
        if (!PointExact(image.Data() + p * g.PointBytes(), g)) return false;
    }
    return points == g.Points();
}

std::uint32_t CoarseStride(std::uint64_t points, std::uint32_t framesPerPoint, std::uint32_t rate) {
    const std::uint64_t frames = points * framesPerPoint;
    const std::uint64_t perSecond = std::max<std::uint32_t>(rate, 1);
    const std::uint64_t seconds = (frames + perSecond - 1) / perSecond;
    const std::uint64_t minutes = seconds / 60;
    std::uint64_t n = minutes * 1024 / 60;
    if (n > 2048) n = 2048;
    if (n < 8) n = 32;
    return static_cast<std::uint32_t>(n);
}

void CoarseImagePass(const COLMDoc& doc, WaveformImage& image, std::uint64_t firstPoint,
                     std::uint64_t byteCount) {
    const SoundInfo& info = doc.Info();
    const ImageGeometry g = GeometryOf(info, image.framesPerPoint);
    const std::uint32_t pb = g.PointBytes();
    const std::uint64_t count = byteCount / pb;
    const std::uint64_t end = std::min(firstPoint + count, image.Size() / pb);
    if (count == 0 || firstPoint >= end) {
        image.state = ImageState::Partial;
        return;
    }
    const std::uint32_t stride = CoarseStride(count, g.framesPerPoint, info.sampleRate);
    PeakScanner scanner(info, g.framesPerPoint);
    FrameSource source(doc);
    std::vector<std::uint8_t> estimate(pb);
    std::uint8_t* data = image.Data();
    std::uint64_t p = firstPoint;
    for (; p < end; p += stride) {
        const std::uint32_t frames = g.FramesOfPoint(p);
        std::uint8_t* point = data + p * pb;
        if (frames == 0 ||
            !source.Reduce(scanner, p * g.framesPerPoint, frames, point, pb)) {
            break;
        }
        std::memcpy(estimate.data(), point, pb);
        for (int c = 0; c < g.channels; ++c) MakeEstimate(estimate.data() + 2 * c * g.width, g.width);
        const std::uint64_t groupEnd = std::min<std::uint64_t>(p + stride, end);
        if (p + 1 < groupEnd) {
            // One copy of the estimate, then doubling copies of what is already filled.
            std::uint8_t* fill = data + (p + 1) * pb;
            const std::uint64_t total = (groupEnd - p - 1) * pb;
            std::memcpy(fill, estimate.data(), pb);
            for (std::uint64_t done = pb; done < total;) {
                const std::uint64_t n = std::min(done, total - done);
                std::memcpy(fill + done, fill, static_cast<std::size_t>(n));
                done += n;
            }
        }
    }
    for (; p < end; ++p) {
        for (int c = 0; c < g.channels; ++c) StoreEmptyPair(data + p * pb + 2 * c * g.width, g.width);
    }
    image.state = ImageState::Partial;
}

void PrepareImage(COLMDoc& doc, WaveformImage& image, bool whole, std::uint32_t start,
                  std::uint32_t end) {
    const SoundInfo& info = doc.Info();
    const ImageGeometry g = GeometryOf(info, image.framesPerPoint);
    const std::uint32_t fpp = g.framesPerPoint;
    start = std::min(start, info.frames);
    end = std::min(end, info.frames);
    const std::uint64_t pb = g.PointBytes();
    const std::uint64_t needed = g.Bytes();
    std::uint64_t from = 0, to = 0;
    if (image.HasMemory()) {
        const std::uint64_t previous = image.Size();
        if (!image.Resize(needed)) return;
        if (image.state != ImageState::Partial) {
            from = start / fpp * pb;
            to = (static_cast<std::uint64_t>(end) + fpp - 1) / fpp * pb;
            // Points the sound gained are computed too, whatever range the caller named.
            if (previous < needed) {
                from = std::min(from, previous);
                to = needed;
            }
        } else if (whole && previous != needed) {
            to = needed;
        } else if (previous < needed) {
            from = previous;
            to = needed;
        }
    } else {
        if (!image.Resize(needed)) return;
        to = needed;
    }
    CoarseImagePass(doc, image, from / pb, to > from ? to - from : 0);

    const std::uint32_t alignedStart = start / fpp * fpp;
    const std::uint32_t alignedEnd = static_cast<std::uint32_t>(std::min<std::uint64_t>(
        (static_cast<std::uint64_t>(end) + fpp - 1) / fpp * fpp, info.frames));
    if (image.waveformShown && fpp <= image.horizontalZoom && image.state != ImageState::Exact)
        BuildImage(doc, image, alignedStart, alignedEnd);
}

BuildOutcome BuildImage(COLMDoc& doc, WaveformImage& image, std::uint32_t start, std::uint32_t end) {
    ProgressTask& progress = doc.Host().Progress();
    progress.Start(StringId::CreatingWaveformImage);
    const SoundInfo& info = doc.Info();
    const ImageGeometry g = GeometryOf(info, image.framesPerPoint);
    const std::uint32_t pb = g.PointBytes();
    end = std::min(end, info.frames);
    start = std::min(start, end) / g.framesPerPoint * g.framesPerPoint;
    if (!image.HasMemory() || image.Size() != g.Bytes()) {
        progress.End();
        DropImage(image);
        return BuildOutcome::Failed;
    }
    const std::uint32_t blockFrames = BlockFrames(g.framesPerPoint);
    const std::uint64_t blocks = (static_cast<std::uint64_t>(end - start) + blockFrames - 1) / blockFrames;
    progress.SetRange(static_cast<std::uint32_t>(blocks));
    PeakScanner scanner(info, g.framesPerPoint);
    FrameSource source(doc);
    bool computed = false;
    for (std::uint64_t b = 0; b < blocks; ++b) {
        const std::uint64_t blockStart = start + b * blockFrames;
        const std::uint64_t blockEnd = std::min<std::uint64_t>(blockStart + blockFrames, end);
        const std::uint64_t lastPoint = (blockEnd + g.framesPerPoint - 1) / g.framesPerPoint;
        for (std::uint64_t p = blockStart / g.framesPerPoint; p < lastPoint;) {
            bool exact = false;
            const std::uint64_t q = RunEnd(image, g, p, lastPoint, exact);
            if (!exact) {
                const std::uint64_t first = p * g.framesPerPoint;
                const std::uint64_t last = std::min<std::uint64_t>(q * g.framesPerPoint, info.frames);
                if (!source.Reduce(scanner, first, last - first, image.Data() + p * pb, pb)) {
                    progress.End();
                    DropImage(image);
                    return BuildOutcome::Failed;
                }
                computed = true;
            }
            p = q;
        }
        progress.Step(b + 1, blocks);
        if (progress.CancelRequested()) {
            image.waveformShown = false;
            if (image.state != ImageState::Partial) DropImage(image);
            return BuildOutcome::Cancelled;
        }
    }
    if (image.state == ImageState::Partial && !computed && image.storedImageTime)
        image.imageTime = image.storedImageTime;
    else
        image.imageTime = CurrentTimeSeconds();
    // A build over part of the sound leaves the image Partial while estimates remain elsewhere.
    image.state = AllPointsExact(image, g) ? ImageState::Exact : ImageState::Partial;
    progress.End();
    return BuildOutcome::Done;
}

bool RefineImageStep(const COLMDoc& doc, WaveformImage& image) {
    if (!image.HasMemory()) return false;
    const SoundInfo& info = doc.Info();
    const ImageGeometry g = GeometryOf(info, image.framesPerPoint);
    const std::uint32_t pb = g.PointBytes();
    if (image.Size() != g.Bytes()) return false;
    const std::uint64_t points = g.Points();
    const std::uint64_t pointsPerBlock = BlockFrames(g.framesPerPoint) / g.framesPerPoint;
    std::uint64_t p = 0;
    while (p < points && PointExact(image.Data() + p * pb, g)) ++p;
    if (p == points) {
        if (image.state == ImageState::Partial) {
            image.state = ImageState::Exact;
            image.imageTime = !image.imageTime && image.storedImageTime ? image.storedImageTime
                                                                      : CurrentTimeSeconds();
        }
        return false;
    }
    const std::uint64_t blockEnd = std::min(points, (p / pointsPerBlock + 1) * pointsPerBlock);
    bool exact = false;
    const std::uint64_t q = RunEnd(image, g, p, blockEnd, exact);
    PeakScanner scanner(info, g.framesPerPoint);
    FrameSource source(doc);
    const std::uint64_t first = p * g.framesPerPoint;
    const std::uint64_t last = std::min<std::uint64_t>(q * g.framesPerPoint, info.frames);
    if (!source.Reduce(scanner, first, last - first, image.Data() + p * pb, pb)) return false;
    if (image.state == ImageState::Partial) image.imageTime = CurrentTimeSeconds();
    return true;
}

}  // namespace pelmora
