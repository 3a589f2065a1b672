#pragma once
// The waveform image of one document: it follows every change of the document's frames, takes
// over the block stored in the file at open, and stores its own block when the file is saved.

#include <cstdint>
#include <optional>
#include <string>

#include "display/ImageBuild.h"
#include "display/WaveformImage.h"
#include "document/DocumentImage.h"

namespace pelmora {

class COLMDoc;

class DocumentWaveform : public DocumentImage {
public:
    explicit DocumentWaveform(COLMDoc& doc);
    ~DocumentWaveform() override;
    DocumentWaveform(const DocumentWaveform&) = delete;
    DocumentWaveform& operator=(const DocumentWaveform&) = delete;

    // DocumentObserver: changed ranges are recomputed; removed and inserted frames shift the
    // points after them; a replaced sound gets a new image.
    void FramesChanged(std::uint32_t first, std::uint32_t count) override;
    void FramesRemoved(std::uint32_t first, std::uint32_t count) override;
    void FramesInserted(std::uint32_t first, std::uint32_t count) override;
    void SoundReplaced() override;

    // DocumentImage
    void FileOpened() override;
    std::uint64_t StoredBlockBytes() override;
    std::optional<std::int64_t> StoreBlock(const std::string& path, SoundInfo& info) override;
    std::uint64_t WorkingFileBytes() const override;
    std::string WorkingFilePath() const override { return image_.imageFileName; }
    void MoveWorkingFile(const std::string& workDir) override;

    // The image, in line with the document's frames.
    WaveformImage& Image();
    // Computes every point not yet exact, as the pane's zoom-out does.
    BuildOutcome CompleteImage();
    // The pane's one-second timer; true when a run of points was computed.
    bool RefineStep();
    // The "Waveform" command: showing it again rebuilds an image that is not exact.
    void ShowWaveform(bool shown);
    // The pane's horizontal zoom; zooming out to the image's resolution builds the image.
    void SetZoom(double framesPerColumn);

private:
    // Brings the image in line with the frames once every notification of an edit has arrived
    // (the frame count it follows matches the document's). `force` settles in any case, starting
    // again from the file when the notifications did not add up.
    void Settle(bool force);
    void MarkDirty(std::uint64_t from, std::uint64_t to);
    void MoveDirty(std::uint32_t first, std::uint32_t count, bool removed);
    // Frames removed or inserted at `first`: the points after them move with them.
    void ShiftPoints(std::uint32_t first, std::uint32_t count, bool removed);
    // The notifications did not add up: start again from the file.
    void FollowUnaccountedChange();

    COLMDoc& doc_;
    WaveformImage image_;
    std::uint32_t followedFrames_ = 0;
    bool replaced_ = false;
    bool dirty_ = false;
    std::uint32_t dirtyStart_ = 0, dirtyEnd_ = 0;
};

// The document's waveform image, when the application attached one.
DocumentWaveform* WaveformOf(COLMDoc& doc);

}  // namespace pelmora
