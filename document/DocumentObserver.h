#pragma once
// What follows a document's frames (the waveform image) learns of each change from these calls,
// so that the code changing the frames need not know who follows them.

#include <cstdint>

namespace pelmora {

class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    // Frames [first, first + count) hold new values; the frame count is unchanged.
    virtual void FramesChanged(std::uint32_t first, std::uint32_t count) = 0;
    // Frames [first, first + count) were taken out; later frames moved down.
    virtual void FramesRemoved(std::uint32_t first, std::uint32_t count) = 0;
    // `count` frames were put in at `first`; later frames moved up.
    virtual void FramesInserted(std::uint32_t first, std::uint32_t count) = 0;
    // The format or the whole content changed: start again from the file.
    virtual void SoundReplaced() = 0;
};

}  // namespace pelmora
