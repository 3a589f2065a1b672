#pragma once
// The common frame of a whole-file conversion: the estimate, the "OLM_TEMP_" file, and the
// swap-in with whole-file undo and redo, the header rewrite and the refresh. A conversion only
// says what the new file's format is and how its bytes are made.

#include <cstdint>
#include <functional>
#include <string>

#include "base/ProgressTask.h"
#include "document/COLMDoc.h"
#include "platform/File.h"

namespace pelmora {

struct WholeFileChange {
    // The sound after the change: type, format, frames, loop. Data offset, data end and working
    // length come from the new file.
    SoundInfo after;
    // Size of the new file, for the estimate and the 4 GiB limit.
    std::uint64_t newFileBytes = 0;
    // Fills the new, empty file and leaves it complete with its header rewritten for `after`;
    // raises Cancelled on ESC, Error on a failure.
    std::function<void(platform::File& target, SoundInfo& after)> build;
    // Where the new working file goes; empty: the working file's own path.
    std::string newWorkingPath;
    // The document's title afterwards; empty: unchanged.
    std::string newTitle;
    // Whether the document counts as changed afterwards (the HD Play rewrite of a file edited in
    // place leaves nothing to save).
    bool marksChanged = true;
};

// Runs the frame. On success the document describes the new working file, the undo and redo
// records hold the files before and after, and the document is marked changed. Failures raise
// Error, ESC raises Cancelled; either way the document and its files stay as they were.
void RunWholeFileChange(COLMDoc& doc, const WholeFileChange& change);

// The largest whole number of frames whose source and target bytes both fit in 32768 bytes.
std::uint32_t ConversionBlockFrames(std::uint32_t sourceFrameBytes, std::uint32_t targetFrameBytes);

// Progress over the blocks of one conversion, ESC polled after each block.
class ConversionSteps {
public:
    ConversionSteps(ProgressTask& progress, StringId status, std::uint64_t total);
    ~ConversionSteps();
    ConversionSteps(const ConversionSteps&) = delete;
    ConversionSteps& operator=(const ConversionSteps&) = delete;
    // One block done; raises Cancelled when ESC was pressed.
    void Step();

private:
    ProgressTask& progress_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
};

// Where a working file's sample data sits among its chunks.
struct DataLayout {
    std::uint64_t headerBytes = 0;    // everything before the first sample byte
    std::uint64_t ssndHeader = 0;     // AIFF: where the SSND chunk's own header starts
    std::uint64_t trailingStart = 0;  // first byte of the chunks that follow the data chunk
    std::uint64_t length = 0;         // of the file
    std::uint64_t TrailingBytes() const { return length - trailingStart; }
};
DataLayout LayoutOfData(const platform::File& file, const SoundInfo& info);

// Size of a converted file: the header, `dataBytes`, its pad byte and the trailing chunks.
std::uint64_t ConvertedFileBytes(const DataLayout& layout, std::uint64_t dataBytes);

// The pieces of a converted file around its data. First the source's header bytes, unchanged.
// After the data (which starts at after.dataOffset): the pad byte when the data size is odd,
// the chunks that followed the source's data chunk (stepping `steps` per `blockBytes`), then
// the data chunk's size and the header brought up to date for `after`.
void CopyHeaderBytes(const platform::File& source, std::uint64_t count, platform::File& target);
void FinishConvertedFile(const platform::File& source, const DataLayout& layout, platform::File& target,
                         SoundInfo& after, std::size_t blockBytes, ConversionSteps& steps);

// Reads `from`'s frames block by block, `transform` turns each block into the target's frames,
// which are written from after.dataOffset. One step per block.
using FrameTransform = std::function<void(const std::uint8_t* source, std::uint8_t* target, std::size_t frames)>;
void StreamFrames(const platform::File& source, const SoundInfo& from, platform::File& target,
                  const SoundInfo& after, ConversionSteps& steps, const FrameTransform& transform);

// A converted file with the same header, frames and trailing chunks as the working file and
// each frame passed through `transform`: the whole build step of the channel and width
// conversions.
WholeFileChange FrameConversion(COLMDoc& doc, const SoundInfo& after, StringId status, FrameTransform transform);
// Blocks FinishConvertedFile steps for the trailing chunks.
std::uint64_t TrailingBlocks(const DataLayout& layout, std::size_t blockBytes);

}  // namespace pelmora
