#include "display/DocumentWaveform.h"

#include <algorithm>

#include "base/Error.h"
#include "display/ImageBlock.h"
#include "display/ImageShift.h"
#include "document/COLMDoc.h"
#include "document/FileCopy.h"
#include "document/TempFiles.h"
#include "sound/AiffChunks.h"
#include "sound/AiffUpdate.h"
#include "sound/RiffEdit.h"
#include "sound/WavImageChunk.h"

namespace pelmora {

namespace {

// Stands in the file while the real block is written: it can never pass the checks at open.
const std::vector<std::uint8_t> kPlaceholderBlock = [] {
    std::vector<std::uint8_t> block(kImageBlockHeaderBytes, 0);
    const char head[] = "QMV0WFrm";
    std::copy(head, head + 8, block.begin());
    return block;
}();

void StoreChunk(platform::File& file, SoundInfo& info, const std::vector<std::uint8_t>& body) {
    if (info.fileType == FileType::Aiff) aiff::StoreImageChunk(file, info, body);
    else wav::StoreImageChunk(file, info, body);
}

// Where the image chunk of the file begins (its header).
std::optional<std::uint64_t> ImageChunkStart(const platform::File& file, FileType type) {
    if (type == FileType::Aiff) {
        const auto chunk = aiff::FindImageChunk(file);
        if (chunk) return chunk->position;
        return std::nullopt;
    }
    const auto place = wav::FindImageChunk(file);
    if (place) return place->bodyOffset - 8;
    return std::nullopt;
}

void CutBack(platform::File& file, FileType type, std::uint64_t length) {
    if (!file.SetSize(length)) return;
    try {
        if (type == FileType::Aiff) aiff::SetFormSizeToLength(file);
        else riff::SetFormSize(file);
    } catch (const Error&) {
    }
}

}  // namespace

DocumentWaveform::DocumentWaveform(COLMDoc& doc) : doc_(doc), followedFrames_(doc.Info().frames) {}

DocumentWaveform::~DocumentWaveform() {
    if (!image_.imageFileName.empty()) RemoveTemporary(image_.imageFileName);
}

void DocumentWaveform::MarkDirty(std::uint64_t from, std::uint64_t to) {
    if (to <= from) return;
    const auto f = static_cast<std::uint32_t>(std::min<std::uint64_t>(from, UINT32_MAX));
    const auto t = static_cast<std::uint32_t>(std::min<std::uint64_t>(to, UINT32_MAX));
    dirtyStart_ = dirty_ ? std::min(dirtyStart_, f) : f;
    dirtyEnd_ = dirty_ ? std::max(dirtyEnd_, t) : t;
    dirty_ = true;
}

// A range waiting to be recomputed follows the frames it covers.
void DocumentWaveform::MoveDirty(std::uint32_t first, std::uint32_t count, bool removed) {
    if (!dirty_) return;
    auto move = [&](std::uint32_t x) -> std::uint32_t {
        if (x < first) return x;
        if (!removed) return x + count;
        return x < first + count ? first : x - count;
    };
    dirtyStart_ = move(dirtyStart_);
    dirtyEnd_ = std::max(move(dirtyEnd_), dirtyStart_);
}

void DocumentWaveform::FramesChanged(std::uint32_t first, std::uint32_t count) {
    MarkDirty(first, std::uint64_t{first} + count);
    Settle(false);
}

void DocumentWaveform::FramesRemoved(std::uint32_t first, std::uint32_t count) {
    if (count == 0) return;
    if (first > followedFrames_ || count > followedFrames_ - first) {
        FollowUnaccountedChange();
        return;
    }
    ShiftPoints(first, count, true);
    // The point that now joins the frames on both sides of the cut.
    if (first % image_.framesPerPoint != 0)
        MarkDirty(first - 1, std::min<std::uint64_t>(std::uint64_t{first} + 1, followedFrames_));
    Settle(false);
}

void DocumentWaveform::FramesInserted(std::uint32_t first, std::uint32_t count) {
    if (count == 0) return;
    if (first > followedFrames_ || std::uint64_t{followedFrames_} + count > UINT32_MAX) {
        FollowUnaccountedChange();
        return;
    }
    ShiftPoints(first, count, false);
    MarkDirty(first, std::uint64_t{first} + count);
    Settle(false);
}

void DocumentWaveform::FollowUnaccountedChange() {
    replaced_ = true;
    followedFrames_ = doc_.Info().frames;
    Settle(false);
}

void DocumentWaveform::ShiftPoints(std::uint32_t first, std::uint32_t count, bool removed) {
    ImageGeometry before = GeometryOf(doc_.Info(), image_.framesPerPoint);
    before.frames = followedFrames_;
    ImageGeometry after = before;
    after.frames = removed ? followedFrames_ - count : followedFrames_ + count;
    MoveDirty(first, count, removed);
    followedFrames_ = after.frames;
    if (image_.HasMemory() && !replaced_) {
        if (image_.Size() != before.Bytes() || !ShiftImage(image_, before, after, first, count, removed))
            replaced_ = true;
    }
    // The points after the change now hold estimates.
    if (count % image_.framesPerPoint != 0 && image_.state == ImageState::Exact) image_.state = ImageState::Partial;
}

void DocumentWaveform::SoundReplaced() {
    replaced_ = true;
    followedFrames_ = doc_.Info().frames;
    Settle(false);
}

void DocumentWaveform::Settle(bool force) {
    const SoundInfo& info = doc_.Info();
    if (followedFrames_ != info.frames) {
        if (!force) return;  // more notifications of the same edit are on their way
        replaced_ = true;
        followedFrames_ = info.frames;
    }
    if (image_.HasMemory() && image_.Size() != GeometryOf(info, image_.framesPerPoint).Bytes())
        replaced_ = true;
    if (replaced_) {
        replaced_ = false;
        dirty_ = false;
        image_.state = ImageState::Stale;
        PrepareImage(doc_, image_, true, 0, info.frames);
        return;
    }
    if (dirty_) {
        dirty_ = false;
        image_.state = ImageState::Stale;
        PrepareImage(doc_, image_, false, dirtyStart_, dirtyEnd_);
    }
}

void DocumentWaveform::FileOpened() {
    followedFrames_ = doc_.Info().frames;
    replaced_ = false;
    dirty_ = false;
    image_.imageTime.reset();
    image_.storedImageTime.reset();
    LoadStoredImage(doc_, image_);
}

std::uint64_t DocumentWaveform::StoredBlockBytes() {
    Settle(true);
    const std::uint32_t bytes = ImageByteSize(image_, doc_.Info());
    return bytes == 0 ? 0 : bytes + kImageBlockHeaderBytes + 8 + 1;
}

std::optional<std::int64_t> DocumentWaveform::StoreBlock(const std::string& path, SoundInfo& info) {
    Settle(true);
    const std::uint32_t bytes = ImageByteSize(image_, doc_.Info());
    if (bytes == 0 || InsufficientSpaceOnDrive(path, bytes)) return std::nullopt;
    const std::int64_t stamp = CurrentTimeSeconds();
    const std::vector<std::uint8_t> block = WriteImageBlock(image_, doc_.Info(), info.fileType, stamp);
    if (block.empty()) return std::nullopt;
    platform::File file;
    if (!file.Open(path, platform::OpenMode::ReadWrite)) throw Error(WriteFailure());
    // The old block goes first and a placeholder marks where the new one begins, so that a
    // failed write can be cut back to the file as it was without it.
    StoreChunk(file, info, kPlaceholderBlock);
    const std::optional<std::uint64_t> start = ImageChunkStart(file, info.fileType);
    if (!start) throw Error(WriteFailure());
    try {
        StoreChunk(file, info, block);
    } catch (const Error&) {
        CutBack(file, info.fileType, *start);
        info.workingFileLength = static_cast<std::uint32_t>(std::min<std::uint64_t>(*start, UINT32_MAX));
        return std::nullopt;
    }
    image_.imageTime = stamp;
    image_.storedImageTime = stamp;
    return stamp;
}

std::uint64_t DocumentWaveform::WorkingFileBytes() const {
    if (image_.imageFileName.empty()) return 0;
    const std::int64_t size = platform::FileSize(image_.imageFileName);
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

void DocumentWaveform::MoveWorkingFile(const std::string& workDir) {
    if (image_.imageFileName.empty()) return;
    auto moved = UniqueTempName(workDir, kImagePrefix);
    if (!moved) throw Error(StringId::FileCreatingError);
    try {
        RelocateFile(image_.imageFileName, *moved, StringId::ChangingWorkingVolume, doc_.Host().Progress());
    } catch (...) {
        RemoveTemporary(*moved);
        throw;
    }
    image_.imageFileName = *moved;
}

WaveformImage& DocumentWaveform::Image() {
    Settle(true);
    return image_;
}

BuildOutcome DocumentWaveform::CompleteImage() {
    Settle(true);
    const SoundInfo& info = doc_.Info();
    if (!image_.HasMemory()) {
        const ImageGeometry g = GeometryOf(info, image_.framesPerPoint);
        if (!image_.Resize(g.Bytes())) return BuildOutcome::Failed;
        CoarseImagePass(doc_, image_, 0, g.Bytes());
    }
    if (image_.state == ImageState::Exact) return BuildOutcome::Done;
    return BuildImage(doc_, image_, 0, info.frames);
}

bool DocumentWaveform::RefineStep() {
    Settle(true);
    if (!image_.HasMemory() || image_.state == ImageState::Exact) return false;
    return RefineImageStep(doc_, image_);
}

void DocumentWaveform::ShowWaveform(bool shown) {
    Settle(true);
    image_.waveformShown = shown;
    if (shown && image_.state != ImageState::Exact) PrepareImage(doc_, image_, true, 0, doc_.Info().frames);
}

void DocumentWaveform::SetZoom(double framesPerColumn) {
    Settle(true);
    image_.horizontalZoom = framesPerColumn;
    if (image_.state != ImageState::Exact && image_.waveformShown && framesPerColumn >= image_.framesPerPoint)
        PrepareImage(doc_, image_, true, 0, doc_.Info().frames);
}

DocumentWaveform* WaveformOf(COLMDoc& doc) { return dynamic_cast<DocumentWaveform*>(doc.Image()); }

}  // namespace pelmora
