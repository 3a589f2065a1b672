#pragma once
// The header-only AIFF reader (open-file panel, pre-open check) and the chunk scan it shares
// with the document reader.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/File.h"
#include "sound/AiffInst.h"

namespace pelmora::aiff {

struct AiffHeaderInfo {
    std::uint16_t bitsPerSample = 0;
    std::uint16_t bytesPerSample = 0;
    std::uint16_t channels = 0;
    std::uint16_t blockAlign = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t frames = 0;
    std::uint64_t dataOffset = 0;  // where the frames start, when there is an SSND chunk
    std::uint16_t loopPlayMode = 0;
    std::uint32_t loopStart = 0;
    std::uint32_t loopEnd = 0;  // exclusive
    bool foundComm = false;
    bool foundSsnd = false;
    bool foundInst = false;
    bool foundMark = false;
};

// What the chunk walk found; the first chunk of each kind counts.
struct ChunkScan {
    bool hasComm = false;
    bool hasSsnd = false;
    bool hasInst = false;
    bool hasMark = false;
    std::uint16_t channels = 0;
    std::uint32_t frames = 0;
    std::uint16_t bits = 0;
    std::uint32_t rate = 0;
    std::uint64_t dataOffset = 0;   // SSND body + 8 + its offset field
    bool dataOffsetInChunk = true;  // the offset field points inside the SSND chunk
    InstBody inst{};
    std::vector<std::uint8_t> markBody;
};

// Walks the chunks of an open FORM/AIFF file. Raises "File read error" when the FORM header
// cannot be read or is not "FORM" … "AIFF".
ChunkScan ScanChunks(const platform::File& file);

// Reads the header of the file at `path` without writing to it. "File read error" when the
// file cannot be opened or read, "Audio data error - cannot open this file." when it is not a
// FORM/AIFF file. Missing chunks show in the found flags (and a rate of 0).
AiffHeaderInfo ReadHeader(const std::string& path);

}  // namespace pelmora::aiff
