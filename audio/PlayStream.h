#pragma once
// The stream of a playback: which bytes of the working file go into the next device buffer,
// with the loop repeated while loop mode holds it, and a record per buffer of the source frames
// it carries, from which the play cursor is computed.

#include <cstdint>

#include "platform/File.h"

namespace pelmora {

// A run of a buffer's frames: frame k of it is source frame `source` + k, folded back into
// [wrapStart, wrapStart + wrapLength) when wrapLength is not 0 (a repeated loop).
struct StreamSegment {
    std::uint32_t frames = 0;
    std::uint32_t source = 0;
    std::uint32_t wrapStart = 0;
    std::uint32_t wrapLength = 0;

    std::uint32_t SourceAt(std::uint64_t k) const;
};

// The frames one buffer carries: at most a read, a repeated loop and the silence after the end.
struct BufferRecord {
    std::uint64_t outStart = 0;  // frames played before this buffer since the run started
    std::uint32_t frames = 0;
    StreamSegment segments[3];
    int count = 0;

    void Add(const StreamSegment& s);
    // The source frame at `offset` frames into the buffer (past its end: the last run goes on).
    std::uint32_t SourceAt(std::uint64_t offset) const;
};

struct StreamLayout {
    std::uint32_t dataStart = 0;
    std::uint16_t blockAlign = 2;
    std::uint16_t bitsPerSample = 16;
    std::uint32_t frames = 0;
    bool aiff = false;
};

// The document's loop as it stands at a fill.
struct LoopNow {
    bool mode = false;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

class PlayStream {
public:
    // Play from `frame`; the loop is captured and the stream ends at its end while loop mode is
    // on, the loop is not empty and `frame` lies before its end.
    void StartPlay(const StreamLayout& layout, std::uint32_t frame, const LoopNow& loop);
    // Region play of [first, end): never loops.
    void StartRegion(const StreamLayout& layout, std::uint32_t first, std::uint32_t end);

    // Fills `buffer` (capacity bytes, a whole number of frames) and records its frames.
    // False when the file cannot be read.
    bool Fill(const platform::File& file, std::uint8_t* buffer, std::uint32_t capacity, BufferRecord& record,
              const LoopNow& loop);

    // Loop mode switched during play.
    void LoopModeOff();
    // Loop mode switched on: `cursor` is the play cursor now. True when the run must restart
    // from the (changed) loop start.
    bool LoopModeOn(const LoopNow& loop, std::uint32_t cursor, std::uint32_t playStartFrame);

    bool Ended() const { return pos_ < 0; }
    std::int64_t Position() const { return pos_; }
    std::uint64_t End() const { return end_; }
    std::uint32_t LoopStart() const { return loopStart_; }
    std::uint32_t LoopEnd() const { return loopEnd_; }
    std::uint32_t LoopPasses() const { return passes_; }

private:
    std::uint64_t Bytes(std::uint32_t frame) const {
        return layout_.dataStart + static_cast<std::uint64_t>(frame) * layout_.blockAlign;
    }
    std::uint32_t FrameOf(std::uint64_t bytes) const {
        return static_cast<std::uint32_t>((bytes - layout_.dataStart) / layout_.blockAlign);
    }
    bool Looping(const LoopNow& loop) const;
    void Capture(const LoopNow& loop);
    // Where the stream ends with the loop captured now.
    void SetEndForLoop(bool mode);

    StreamLayout layout_;
    std::int64_t pos_ = -1;      // byte offset of the next frame, −1 at the end
    std::uint64_t end_ = 0;      // where the transfer ends: the loop end or the data end
    bool region_ = false;
    std::uint32_t endFrame_ = 0;  // the frame the stream ended at; silence stands for it
    std::uint32_t loopStart_ = 0, loopEnd_ = 0, passes_ = 0;
};

// Byte order of AIFF data on its way to or from the device: 8-bit samples have their top bit
// flipped, 16-bit samples are swapped.
void ConvertAiffBytes(std::uint8_t* data, std::size_t bytes, int bitsPerSample);

}  // namespace pelmora
