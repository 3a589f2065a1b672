#pragma once
// An emulated instrument's sample memory: slot-N.wav or slot-N.aif in its folder, with the
// sample's name in slot-N.name. Samples are read and written through the sound-file code and
// travel as SMDI words: big-endian signed, 8 or 16 bits, frames interleaved.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/File.h"
#include "sound/SoundInfo.h"

namespace pelmora::aspi {

struct SlotSample {
    std::string path;
    std::string name;
    SoundInfo info;
};

class SlotStore {
public:
    explicit SlotStore(std::string folder) : folder_(std::move(folder)) {}
    const std::string& Folder() const { return folder_; }
    // The sample in a slot; nullopt when the slot holds none or its file is not a usable sound.
    std::optional<SlotSample> Find(std::uint32_t slot) const;
    std::string PathOf(std::uint32_t slot, const char* extension) const;

private:
    std::string folder_;
};

// The bytes per SMDI word a sample travels in: 1 only for an 8-bit sound to a synthesizer.
int WordBytesFor(const SoundInfo& info, bool synthesizer);

// Reads a slot's frames as SMDI words.
class SlotReader {
public:
    bool Open(const SlotSample& sample, int wordBytes);
    std::uint64_t TotalBytes() const { return total_; }
    // Bytes [offset, offset + count) of the word stream, within TotalBytes(); false on a read error.
    bool Read(std::uint64_t offset, std::size_t count, std::uint8_t* out) const;

private:
    platform::File file_;
    SoundInfo info_;
    int wordBytes_ = 2;
    std::uint64_t total_ = 0;
};

// The format and loop of a sample that arrives, as its Sample Header gave them.
struct IncomingFormat {
    std::uint16_t channels = 1;
    std::uint16_t bits = 16;
    std::uint32_t rate = 44100;
    std::uint32_t frames = 0;
    bool loopOn = false;
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0;  // one past the last looped frame
    std::uint8_t unityNote = 60;
    std::string name;
};

// Writes an arriving sample into a temporary AIFF beside the slots; Finish puts it into the slot
// (replacing what was there), whatever is abandoned leaves the slot as it was.
class SlotWriter {
public:
    ~SlotWriter() { Abandon(); }
    bool Begin(const SlotStore& store, std::uint32_t slot, const IncomingFormat& format);
    bool Append(const std::uint8_t* words, std::size_t count);
    std::uint64_t Received() const { return received_; }
    std::uint64_t Expected() const;
    // Keeps the whole frames received so far.
    bool Finish();
    void Abandon();
    bool Active() const { return file_.IsOpen(); }

private:
    platform::File file_;
    std::string temporary_;
    std::string target_;
    std::string nameFile_;
    std::string otherType_;
    IncomingFormat format_;
    std::uint64_t received_ = 0;
};

}  // namespace pelmora::aspi
