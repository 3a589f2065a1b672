#include "sound/AiffUpdate.h"

#include <algorithm>
#include <cstring>

#include "base/BlockMoves.h"
#include "base/Error.h"
#include "sound/AiffInst.h"
#include "sound/AiffMarkers.h"
#include "sound/AiffRate.h"
#include "sound/Bytes.h"
#include "sound/FileRead.h"

namespace pelmora::aiff {

namespace {

constexpr std::uint64_t kMaxMarkBody = 2 + 65535ull * (6 + 1 + 255 + 1);

std::vector<ChunkRef> WalkForUpdate(const platform::File& file) {
    std::uint32_t formSize = 0;
    if (!ReadFormHeader(file, formSize)) throw Error(StringId::DataError);
    const std::uint64_t length = LengthOf(file);
    return WalkChunks(file, ReaderListEnd(formSize, length), length);
}

std::optional<ChunkRef> FindUsable(const std::vector<ChunkRef>& chunks, FourCC id,
                                   std::uint64_t minBody) {
    for (const ChunkRef& c : chunks) {
        if (c.id == id && c.available >= minBody) return c;
    }
    return std::nullopt;
}

void WriteOrThrow(platform::File& file, std::uint64_t at, const std::uint8_t* data,
                  std::size_t n) {
    if (!file.WriteAt(at, data, n)) throw Error(WriteFailure());
}

// The chunks after the sample data moved along with its end, led by the pad byte an odd SSND
// had. An odd SSND needs that pad before a following chunk, an even one must lose it, or the
// chunks after it would sit where no reader looks. Returns the file length.
std::uint64_t KeepPadAfterData(platform::File& file, std::uint64_t dataEnd, std::uint32_t oldSize,
                               std::uint64_t newSize, std::uint64_t length) {
    if (dataEnd >= length) return length;
    std::uint8_t look[5] = {1, 0, 0, 0, 0};
    const std::int64_t got = ReadUpTo(file, dataEnd, look, sizeof look);
    const bool idFollows = got == 5 && look[1] != ' ' &&
                           std::all_of(look + 1, look + 5, [](std::uint8_t c) { return c >= 0x20 && c <= 0x7E; });
    const bool hadPad = (oldSize & 1u) && look[0] == 0 && (got == 1 || idFollows);
    const bool wantPad = (newSize & 1u) != 0;
    if (hadPad && !wantPad) {
        MoveBytesQuiet(file, dataEnd + 1, dataEnd, length - dataEnd - 1);
        if (!file.SetSize(length - 1)) throw Error(WriteFailure());
    } else if (!hadPad && wantPad) {
        MoveBytesQuiet(file, dataEnd, dataEnd + 1, length - dataEnd);
        const std::uint8_t pad = 0;
        WriteOrThrow(file, dataEnd, &pad, 1);
    } else {
        return length;
    }
    return SetFormSizeToLength(file);
}

std::uint32_t SsndOffsetField(const platform::File& file, const ChunkRef& ssnd) {
    std::uint8_t field[4];
    if (!ReadHeld(file, ssnd.BodyPosition(), field, sizeof field)) throw Error(StringId::FileReadError);
    return LoadBE32(field);
}

// The data offset, length and data end after chunks before the data changed size.
void TakeLayout(const platform::File& file, SoundInfo& info) {
    const auto ssnd = FindUsable(WalkForUpdate(file), kSsnd, 8);
    if (!ssnd) throw Error(StringId::DataError);
    info.dataOffset = static_cast<std::uint32_t>(ssnd->BodyPosition() + 8 + SsndOffsetField(file, *ssnd));
    info.workingFileLength = static_cast<std::uint32_t>(LengthOf(file));
    UpdateDerivedFormat(info);
}

// The sustain loop for the current loop. Two markers the INST already names are moved to the
// loop in place, so that saving again and again keeps the list as long as it is; markers are
// added only when the INST names none for the loop.
InstLoop SustainFor(const SoundInfo& info, const InstLoop& current, LoopMarkerSet& markers) {
    if (info.loopStart == info.loopEnd) return {};
    const std::uint16_t mode = info.loopOn ? 1 : 0;
    const bool named = current.beginId != current.endId && MarkerById(markers.Markers(), current.beginId) &&
                       MarkerById(markers.Markers(), current.endId);
    if (named) {
        markers.Move(current.beginId, info.loopStart);
        markers.Move(current.endId, info.loopEnd);
        return {mode, current.beginId, current.endId};
    }
    const std::uint16_t beginId = markers.FindOrAdd(info.loopStart, kWavLoopBeginName);
    const std::uint16_t endId = markers.FindOrAdd(info.loopEnd, kLoopEndName);
    return {mode, beginId, endId};
}

// The positions of `markers` (the body's own markers, in its order) into the body's fields.
void PatchPositions(std::vector<std::uint8_t>& body, const std::vector<AiffMarker>& markers) {
    const std::vector<std::size_t> offsets = MarkerPositionOffsets(body);
    for (std::size_t i = 0; i < std::min(offsets.size(), markers.size()); ++i)
        StoreBE32(body.data() + offsets[i], markers[i].position);
}

// The markers' positions from `info`, in place in MARK, for the markers the chunk and `info`
// both hold with the same id; every other byte stays.
void WriteMarkerPositions(platform::File& file, const SoundInfo& info, std::uint64_t length) {
    if (info.aiffMarkBody.empty()) return;
    const auto mark = FindChunk(WalkChunks(file, length, length), kMark);
    if (!mark) return;
    const std::vector<std::uint8_t> stored = ReadBody(file, *mark, kMaxMarkBody);
    const std::vector<std::size_t> at = MarkerPositionOffsets(stored);
    const std::vector<std::size_t> from = MarkerPositionOffsets(info.aiffMarkBody);
    for (std::size_t i = 0; i < std::min(at.size(), from.size()); ++i) {
        const std::uint8_t* wanted = info.aiffMarkBody.data() + from[i];
        if (LoadBE16(stored.data() + at[i] - 2) != LoadBE16(wanted - 2)) continue;  // another marker
        WriteOrThrow(file, mark->BodyPosition() + at[i], wanted, 4);
    }
}

}  // namespace

void RefreshHeader(platform::File& file, SoundInfo& info) {
    std::uint32_t formSize = 0;
    if (!ReadFormHeader(file, formSize)) throw Error(StringId::DataError);
    std::uint64_t length = SetFormSizeToLength(file);

    // The SSND size first: the chunks after the data are found through it.
    const auto ssnd = FindUsable(WalkChunks(file, length, length), kSsnd, 8);
    if (!ssnd) throw Error(StringId::DataError);
    const std::uint64_t size = std::uint64_t{SsndOffsetField(file, *ssnd)} + 8 + DataBytes(info);
    length = KeepPadAfterData(file, ssnd->BodyPosition() + size, ssnd->size, size, length);
    std::uint8_t field[4];
    StoreBE32(field, static_cast<std::uint32_t>(std::min<std::uint64_t>(size, UINT32_MAX)));
    WriteOrThrow(file, ssnd->position + 4, field, sizeof field);

    const auto comm = FindUsable(WalkChunks(file, length, length), kComm, 18);
    if (!comm) throw Error(StringId::DataError);
    std::uint8_t body[18];
    StoreBE16(body, info.channels);
    StoreBE32(body + 2, info.frames);
    StoreBE16(body + 6, info.bitsPerSample);
    EncodeRate(info.sampleRate, body + 8);
    WriteOrThrow(file, comm->BodyPosition(), body, sizeof body);
    WriteMarkerPositions(file, info, length);

    info.workingFileLength = static_cast<std::uint32_t>(length);
    UpdateDerivedFormat(info);
}

void UpdateLoopAndInstrument(platform::File& file, SoundInfo& info) {
    auto chunks = WalkForUpdate(file);
    const auto mark = FindChunk(chunks, kMark);
    std::vector<std::uint8_t> markBody;
    if (mark) markBody = ReadBody(file, *mark, kMaxMarkBody);
    std::vector<AiffMarker> existing = ParseMarkBody(markBody);

    InstBody oldInst{};
    const auto inst = FindChunk(chunks, kInst);
    const bool instReadable = inst && inst->available >= kAiffInstBodyBytes;
    if (instReadable) {
        const auto body = ReadBody(file, *inst, kAiffInstBodyBytes);
        std::copy(body.begin(), body.end(), oldInst.begin());
    }

    LoopMarkerSet markers(std::move(existing));
    const InstLoop sustain = SustainFor(info, instReadable ? SustainLoopOf(oldInst) : InstLoop{}, markers);
    const InstLoop release = instReadable ? ReleaseLoopOf(oldInst) : InstLoop{};
    const InstBody newInst = BuildInstBody(info.instrument, sustain, release);

    if (markers.Added()) {
        const auto body = BuildMarkBody(markers.Markers());
        if (mark) ReplaceChunkBody(file, *mark, body);
        else AppendChunk(file, kMark, body);
        // The walk ends at the FORM size: it must count the grown chunk before INST is sought.
        SetFormSizeToLength(file);
        chunks = WalkForUpdate(file);
    } else if (mark) {
        PatchPositions(markBody, markers.Markers());
        WriteOrThrow(file, mark->BodyPosition(), markBody.data(), markBody.size());
    }
    const std::vector<std::uint8_t> instBytes(newInst.begin(), newInst.end());
    if (const auto where = FindChunk(chunks, kInst)) ReplaceChunkBody(file, *where, instBytes);
    else AppendChunk(file, kInst, instBytes);
    SetFormSizeToLength(file);

    info.aiffHasInst = true;
    info.aiffInstBody = newInst;
    if (markers.Added()) {
        info.aiffHasMark = true;
        info.aiffMarkBody = BuildMarkBody(markers.Markers());
    } else if (mark) {
        info.aiffHasMark = true;
        info.aiffMarkBody = std::move(markBody);
    }
    TakeLayout(file, info);
}

std::optional<ChunkRef> FindImageChunk(const platform::File& file) {
    for (const ChunkRef& chunk : WalkForUpdate(file)) {
        if (!(chunk.id == kAppl) || chunk.available < 8) continue;
        const auto head = ReadBody(file, chunk, 8);
        const bool signature = std::memcmp(head.data(), "QMV0", 4) == 0 ||
                               std::memcmp(head.data(), "QMS0", 4) == 0;
        if (signature && std::memcmp(head.data() + 4, "WFrm", 4) == 0) return chunk;
    }
    return std::nullopt;
}

void StoreImageChunk(platform::File& file, SoundInfo& info, const std::vector<std::uint8_t>& body) {
    if (const auto old = FindImageChunk(file)) RemoveChunk(file, *old);
    AppendChunk(file, kAppl, body);
    SetFormSizeToLength(file);
    TakeLayout(file, info);
}

}  // namespace pelmora::aiff
