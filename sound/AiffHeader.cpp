#include "sound/AiffHeader.h"

#include <algorithm>

#include "base/Error.h"
#include "sound/AiffChunks.h"
#include "sound/AiffRate.h"
#include "sound/Bytes.h"
#include "sound/SoundInfo.h"

namespace pelmora::aiff {

namespace {

constexpr std::uint64_t kCommBodyBytes = 18;
constexpr std::uint64_t kSsndFieldBytes = 8;
// A count of 65535 markers with the longest names: more is never part of a MARK body.
constexpr std::uint64_t kMaxMarkBody = 2 + 65535ull * (6 + 1 + 255 + 1);

void TakeComm(const platform::File& file, const ChunkRef& chunk, ChunkScan& scan) {
    if (chunk.available < kCommBodyBytes) return;
    const auto body = ReadBody(file, chunk, kCommBodyBytes);
    scan.hasComm = true;
    scan.channels = LoadBE16(body.data());
    scan.frames = LoadBE32(body.data() + 2);
    scan.bits = LoadBE16(body.data() + 6);
    scan.rate = DecodeRate(body.data() + 8);
}

void TakeSsnd(const platform::File& file, const ChunkRef& chunk, ChunkScan& scan) {
    if (chunk.available < kSsndFieldBytes) return;
    const auto body = ReadBody(file, chunk, kSsndFieldBytes);
    const std::uint32_t offset = LoadBE32(body.data());
    scan.hasSsnd = true;
    scan.dataOffset = chunk.BodyPosition() + kSsndFieldBytes + offset;
    scan.dataOffsetInChunk = offset <= chunk.size - kSsndFieldBytes;
}

}  // namespace

ChunkScan ScanChunks(const platform::File& file) {
    std::uint32_t formSize = 0;
    if (!ReadFormHeader(file, formSize)) throw Error(StringId::FileReadError);
    const std::uint64_t length = LengthOf(file);
    ChunkScan scan;
    for (const ChunkRef& chunk : WalkChunks(file, ReaderListEnd(formSize, length), length)) {
        if (chunk.id == kComm && !scan.hasComm) {
            TakeComm(file, chunk, scan);
        } else if (chunk.id == kSsnd && !scan.hasSsnd) {
            TakeSsnd(file, chunk, scan);
        } else if (chunk.id == kInst && !scan.hasInst && chunk.available >= kAiffInstBodyBytes) {
            const auto body = ReadBody(file, chunk, kAiffInstBodyBytes);
            std::copy(body.begin(), body.end(), scan.inst.begin());
            scan.hasInst = true;
        } else if (chunk.id == kMark && !scan.hasMark) {
            scan.markBody = ReadBody(file, chunk, kMaxMarkBody);
            scan.hasMark = true;
        }
    }
    return scan;
}

AiffHeaderInfo ReadHeader(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::OpenMode::Read)) throw Error(StringId::FileReadError);
    std::uint32_t formSize = 0;
    if (!ReadFormHeader(file, formSize)) throw Error(StringId::AudioDataError);
    const ChunkScan scan = ScanChunks(file);

    AiffHeaderInfo info;
    info.foundComm = scan.hasComm;
    info.foundSsnd = scan.hasSsnd;
    info.foundInst = scan.hasInst;
    info.foundMark = scan.hasMark;
    if (scan.hasComm) {
        info.bitsPerSample = scan.bits;
        info.bytesPerSample = BytesPerSampleFor(scan.bits);
        info.channels = scan.channels;
        info.blockAlign = static_cast<std::uint16_t>(scan.channels * info.bytesPerSample);
        info.sampleRate = scan.rate;
        info.frames = scan.frames;
    }
    if (scan.hasSsnd) info.dataOffset = scan.dataOffset;
    if (scan.hasInst) {
        const InstLoop sustain = SustainLoopOf(scan.inst);
        info.loopPlayMode = sustain.playMode;
        const auto markers = ParseMarkBody(scan.markBody);
        const AiffMarker* begin = MarkerById(markers, sustain.beginId);
        const AiffMarker* end = MarkerById(markers, sustain.endId);
        if (begin && end) {
            info.loopStart = begin->position;
            info.loopEnd = end->position;
        }
    }
    return info;
}

}  // namespace pelmora::aiff
