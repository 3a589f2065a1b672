#include "sound/AiffReader.h"

#include <algorithm>

#include "base/Error.h"
#include "sound/AiffChunks.h"
#include "sound/AiffHeader.h"
#include "sound/AiffInst.h"

namespace pelmora::aiff {

namespace {

constexpr std::uint32_t kSectorBytes = 512;

bool UsableFormat(const ChunkScan& scan) {
    if ((scan.channels != 1 && scan.channels != 2) || scan.bits == 0 || scan.bits > 32) return false;
    return std::uint32_t{scan.channels} * BytesPerSampleFor(scan.bits) <= UINT16_MAX;
}

}  // namespace

bool IsHdAligned(const SoundInfo& info) {
    if (info.bytesPerSample != 1 && info.bytesPerSample != 2) return true;
    if (info.blockAlign == 0) return true;
    const std::uint32_t r = info.dataOffset % kSectorBytes;
    return (kSectorBytes - r) % info.blockAlign == 0;
}

ReadResult ReadIntoDocument(const platform::File& file, SoundInfo& info) {
    info.aiffHasInst = false;
    info.aiffHasMark = false;
    info.aiffInstBody.fill(0);
    info.aiffMarkBody.clear();
    info.loopOn = false;
    info.loopStart = 0;
    info.loopEnd = 0;
    info.instrument = WavInstrument{};

    const ChunkScan scan = ScanChunks(file);
    if (!scan.hasComm || !scan.hasSsnd || !UsableFormat(scan) || !scan.dataOffsetInChunk ||
        scan.dataOffset > UINT32_MAX) {
        throw Error(StringId::FileReadError);
    }

    info.fileType = FileType::Aiff;
    info.dataOffset = static_cast<std::uint32_t>(scan.dataOffset);
    info.channels = scan.channels;
    info.bitsPerSample = scan.bits;
    info.sampleRate = scan.rate;
    info.frames = scan.frames;
    UpdateDerivedFormat(info);
    info.channelFirst = 0;
    info.channelEnd = info.channels;

    if (scan.hasMark) {
        info.aiffHasMark = true;
        info.aiffMarkBody = scan.markBody;
    }
    if (scan.hasInst) {
        info.aiffHasInst = true;
        info.aiffInstBody = scan.inst;
        info.instrument = InstrumentFromInst(scan.inst);
        const InstLoop sustain = SustainLoopOf(scan.inst);
        const MarkedLoop loop = ResolveSustainLoop(ParseMarkBody(scan.markBody), sustain);
        if (loop.taken) {
            info.loopStart = loop.start;
            info.loopEnd = loop.end;
            info.loopOn = sustain.playMode != 0;
            ClampLoop(info);
        }
    }
    return ReadResult{!IsHdAligned(info)};
}

}  // namespace pelmora::aiff
