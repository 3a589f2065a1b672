#pragma once
// Test support for the emulated bus: instrument folders with slot files written by libsndfile,
// SMDI messages built byte by byte from the published layout, and a scripted master that sends
// them through the manager's entry point.

#include <cstdint>
#include <string>
#include <vector>

#include "aspi/Backend.h"

namespace pelmora::test {

using Bytes = std::vector<std::uint8_t>;

// A message: "SMDI", id, sub-id, 3-byte length, payload.
Bytes Smdi(std::uint16_t id, std::uint16_t sub, const Bytes& payload = {});
Bytes Be(std::uint32_t value, int bytes);
Bytes operator+(Bytes a, const Bytes& b);
std::uint32_t BeAt(const Bytes& message, std::size_t offset, int bytes);
std::uint32_t IdOf(const Bytes& message);  // id << 16 | sub-id

// Writes DIR/FOLDER/instrument.txt.
void MakeInstrument(const std::string& dir, const std::string& folder, const std::string& description);

struct SlotSound {
    bool aiff = false;
    int channels = 1;
    int bits = 16;
    int rate = 44100;
    std::vector<std::int32_t> samples;  // interleaved, in the width's own range
    bool loop = false;
    std::uint32_t loopStart = 0, loopEnd = 0;  // end one past the last looped frame
    int unityNote = 60;
};
// Writes the slot file through libsndfile, so the emulator reads a file it did not make.
void WriteSlot(const std::string& path, const SlotSound& sound);
// Samples of `count` values in the width's range, from a fixed seed.
std::vector<std::int32_t> NoiseSamples(std::size_t count, int bits, unsigned seed);

struct Outcome {
    std::uint8_t status = 0, host = 0, target = 0;
    bool Good() const { return status == 1 && host == 0 && target == 0; }
};

class Master {
public:
    Master(aspi::Backend& bus, std::uint8_t adapter, std::uint8_t target)
        : bus_(bus), adapter_(adapter), target_(target) {}
    Outcome Send(const Bytes& message);
    Outcome Receive(std::uint32_t allocation, Bytes& reply);
    Outcome Command(const Bytes& cdb, std::uint32_t dataIn, Bytes& data);
    // SEND then RECEIVE, both expected to succeed; the reply.
    Bytes Exchange(const Bytes& message, std::uint32_t allocation = 1 << 17);

private:
    aspi::Backend& bus_;
    std::uint8_t adapter_, target_;
};

}  // namespace pelmora::test
