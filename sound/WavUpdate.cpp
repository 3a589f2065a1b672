#include "sound/WavUpdate.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "base/BlockMoves.h"
#include "base/Error.h"
#include "sound/FileRead.h"
#include "sound/Riff.h"
#include "sound/RiffEdit.h"
#include "sound/WavChunks.h"
#include "sound/WavLayout.h"
#include "sound/WavWriter.h"

namespace pelmora::wav {

namespace {

void WriteOrFail(platform::File& file, std::uint64_t offset, const void* bytes, std::size_t count,
                 StringId failure = StringId::FileWriteError) {
    if (!file.WriteAt(offset, bytes, count)) throw Error(WriteFailure(failure));
}

void WriteLE32At(platform::File& file, std::uint64_t offset, std::uint32_t value) {
    std::uint8_t bytes[4];
    StoreLE32(bytes, value);
    WriteOrFail(file, offset, bytes, sizeof bytes);
}

// How many bytes after the data end belong to the old 'data' chunk (a partial frame and the
// pad byte) before the trailing chunks begin. The trailing bytes moved along with the data
// end, so they still start with what followed the last whole frame of the old size.
std::uint64_t OldTailGap(const platform::File& file, std::uint64_t dataEnd, std::uint64_t length,
                         std::uint32_t oldSize, std::uint32_t oldBlockAlign) {
    std::uint64_t gap = oldBlockAlign != 0 ? oldSize % oldBlockAlign : 0;
    if (oldSize & 1u) {
        const std::uint64_t at = dataEnd + gap;
        std::uint8_t pad = 0;
        const bool padMissing = at < length && ReadHeld(file, at, &pad, 1) && pad != 0 &&
                                riff::LooksLikeHeader(file, at, length);
        if (!padMissing) ++gap;
    }
    return std::min(gap, length - dataEnd);
}

void AppendChunk(platform::File& file, FourCC id, const std::uint8_t* body, std::size_t size) {
    riff::RiffWriter writer(file);
    writer.Seek(riff::EvenEnd(file));
    riff::Chunk chunk;
    if (!writer.CreateChunk(id, chunk) || !writer.Write(body, size) || !writer.Ascend(chunk)) {
        throw Error(WriteFailure());
    }
}

void UpdateSampleLoop(platform::File& file, SoundInfo& info) {
    const bool hasLoop = info.loopStart != info.loopEnd;
    const std::optional<riff::Chunk> smpl = FindInForm(file, kSmplId);
    if (!smpl) {
        if (hasLoop) {
            riff::RiffWriter writer(file);
            writer.Seek(riff::EvenEnd(file));
            if (!WriteNewSampleLoop(writer, info)) throw Error(WriteFailure());
        }
        return;
    }
    if (smpl->size < kSmplHeaderBytes || smpl->held < smpl->size) throw Error(StringId::DataError);

    std::uint8_t headerBytes[kSmplHeaderBytes];
    if (!ReadHeld(file, smpl->dataOffset, headerBytes, sizeof headerBytes)) {
        throw Error(StringId::FileReadError);
    }
    WavSmplHeader header = DecodeSmplHeader(headerBytes);
    const std::size_t records = static_cast<std::size_t>(std::min<std::uint64_t>(
        header.loopCount, (smpl->size - kSmplHeaderBytes) / kLoopRecordBytes));

    if (!hasLoop && records <= 1) {
        riff::RemoveChunk(file, *smpl);
        info.wavHasSmpl = false;
        info.wavSmplHeader = WavSmplHeader{};
        info.wavSmplLoops.clear();
        info.wavFirstLoop = WavSampleLoop{};
        return;
    }

    std::vector<WavLoopRecord> loops;
    if (records == 0) {
        // No loop record yet: one goes in right after the header, before any sampler data.
        riff::InsertGap(file, smpl->dataOffset + kSmplHeaderBytes, kLoopRecordBytes);
        WriteLE32At(file, smpl->dataOffset - 4,
                    static_cast<std::uint32_t>(smpl->size + kLoopRecordBytes));
        loops.push_back(WavLoopRecord{0, 0, 0, 0, 0, 1});
    } else {
        std::vector<std::uint8_t> bytes(records * kLoopRecordBytes);
        if (!ReadHeld(file, smpl->dataOffset + kSmplHeaderBytes, bytes.data(), bytes.size())) {
            throw Error(StringId::FileReadError);
        }
        for (std::size_t i = 0; i < records; ++i) {
            loops.push_back(DecodeLoopRecord(bytes.data() + i * kLoopRecordBytes));
        }
    }

    header.loopCount = static_cast<std::uint32_t>(loops.size());
    header.samplePeriod = SamplePeriod(info.sampleRate);
    SetTuningKeepingFraction(header, info.instrument);
    loops.front() = LoopRecordFor(info, loops.front());

    std::uint8_t body[kSmplHeaderBytes + kLoopRecordBytes];
    EncodeSmplHeader(body, header);
    EncodeLoopRecord(body + kSmplHeaderBytes, loops.front());
    WriteOrFail(file, smpl->dataOffset, body, sizeof body);

    info.wavSmplHeader = header;
    info.wavFirstLoop = SampleLoopOf(loops.front());
    info.wavSmplLoops = std::move(loops);
    info.wavHasSmpl = true;
}

// The loop records' start and end and the cue points' two frame fields, in place, for the
// records the chunks and `info` both hold; every other byte stays.
void WriteMarkerPositions(platform::File& file, const SoundInfo& info) {
    if (const std::optional<riff::Chunk> smpl = FindInForm(file, kSmplId);
        smpl && smpl->held >= kSmplHeaderBytes && !info.wavSmplLoops.empty()) {
        std::uint8_t countField[4];
        if (!ReadHeld(file, smpl->dataOffset + 28, countField, sizeof countField)) throw Error(StringId::FileReadError);
        const std::uint64_t records = std::min<std::uint64_t>(
            {LoadLE32(countField), (smpl->held - kSmplHeaderBytes) / kLoopRecordBytes, info.wavSmplLoops.size()});
        for (std::uint64_t i = 0; i < records; ++i) {
            const WavLoopRecord& loop = info.wavSmplLoops[i];
            std::uint8_t fields[8];
            StoreLE32(fields, loop.start);
            StoreLE32(fields + 4, loop.end);
            WriteOrFail(file, smpl->dataOffset + kSmplHeaderBytes + i * kLoopRecordBytes + 8, fields, sizeof fields);
        }
    }
    if (info.wavCuePoints.empty()) return;
    const std::optional<riff::Chunk> cue = FindInForm(file, kCueId);
    if (!cue || cue->held < 4) return;
    const std::uint64_t held = (cue->held - 4) / kCuePointBytes;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(held, info.wavCuePoints.size())) *
                                    kCuePointBytes);
    if (!ReadHeld(file, cue->dataOffset + 4, bytes.data(), bytes.size())) throw Error(StringId::FileReadError);
    for (std::size_t i = 0; i * kCuePointBytes < bytes.size(); ++i) {
        std::uint8_t* p = bytes.data() + i * kCuePointBytes;
        const WavCuePoint& point = info.wavCuePoints[i];
        if (LoadLE32(p) != point.id) continue;  // not the point we hold
        StoreLE32(p + 4, point.position);
        StoreLE32(p + 20, point.sampleOffset);
    }
    WriteOrFail(file, cue->dataOffset + 4, bytes.data(), bytes.size());
}

void ReplaceInstrument(platform::File& file, SoundInfo& info) {
    // Every old one goes, so that none of them can shadow the new one for a reader.
    while (const std::optional<riff::Chunk> inst = FindInForm(file, kInstId)) {
        riff::RemoveChunk(file, *inst);
    }
    std::uint8_t body[kInstBytes];
    EncodeInst(body, info.instrument);
    AppendChunk(file, kInstId, body, sizeof body);
    info.wavHasInst = true;
}

}  // namespace

void RefreshHeader(platform::File& file, SoundInfo& info) {
    riff::RiffReader reader(file);
    riff::Chunk form;
    riff::Chunk fmtChunk;
    riff::Chunk data;
    if (!reader.IsOpen()) throw Error(StringId::FileReadError);
    if (!reader.DescendForm(kWaveForm, form) || !reader.Descend(form, kFmtId, fmtChunk)) {
        throw Error(StringId::DataError);
    }
    std::uint8_t fmtBytes[kFmtBytes];
    if (!reader.ReadBody(fmtChunk, 0, fmtBytes, sizeof fmtBytes)) {
        throw Error(StringId::FileReadError);
    }
    const FmtFields old = DecodeFmt(fmtBytes);
    reader.Ascend(fmtChunk);
    if (!reader.Descend(form, kDataId, data) ||
        data.dataOffset > std::numeric_limits<std::uint32_t>::max()) {
        throw Error(StringId::DataError);
    }

    FmtFields fmt = PcmFmt(info.channels, info.sampleRate, info.bitsPerSample);
    fmt.formatTag = old.formatTag;
    EncodeFmt(fmtBytes, fmt);
    WriteOrFail(file, fmtChunk.dataOffset, fmtBytes, sizeof fmtBytes, StringId::FileReadError);

    const std::uint64_t dataBytes = static_cast<std::uint64_t>(info.frames) * fmt.blockAlign;
    const std::uint64_t dataEnd = data.dataOffset + dataBytes;
    const std::uint64_t length = riff::LengthOf(file);
    if (dataEnd > length) throw Error(StringId::DataError);
    if (dataEnd + 1 > std::numeric_limits<std::uint32_t>::max()) {
        throw Error(WriteFailure());
    }

    const std::uint64_t oldGap =
        OldTailGap(file, dataEnd, length, data.size,
                   static_cast<std::uint32_t>(old.channels * BytesPerSampleFor(old.bitsPerSample)));
    const std::uint64_t newGap = dataBytes & 1u;
    if (oldGap != newGap) {
        MoveBytesQuiet(file, dataEnd + oldGap, dataEnd + newGap, length - dataEnd - oldGap);
        if (oldGap > newGap && !file.SetSize(length - oldGap + newGap)) {
            throw Error(WriteFailure());
        }
    }
    if (newGap != 0) {
        const std::uint8_t pad = 0;
        WriteOrFail(file, dataEnd, &pad, 1);
    }

    WriteLE32At(file, data.dataOffset - 4, static_cast<std::uint32_t>(dataBytes));
    riff::SetFormSize(file);
    TakeDataPosition(file, info);
    WriteMarkerPositions(file, info);
}

void UpdateLoopAndInstrument(platform::File& file, SoundInfo& info) {
    EnsureDataPad(file);
    UpdateSampleLoop(file, info);
    riff::SetFormSize(file);
    ReplaceInstrument(file, info);
    riff::SetFormSize(file);
    TakeDataPosition(file, info);
}

}  // namespace pelmora::wav
