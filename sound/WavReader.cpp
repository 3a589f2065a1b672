#include "sound/WavReader.h"

#include <algorithm>
#include <limits>

#include "base/Error.h"
#include "sound/Riff.h"
#include "sound/WavChunks.h"
#include "sound/WavLayout.h"

namespace pelmora::wav {


ChunkRead ReadSampleLoop(const platform::File& file, SampleLoopChunk& out) {
    riff::RiffReader reader(file);
    if (!reader.IsOpen()) return ChunkRead::ReadError;
    const std::optional<riff::Chunk> found = FindInForm(file, kSmplId);
    if (!found) return ChunkRead::Absent;
    const riff::Chunk& chunk = *found;

    std::uint8_t header[kSmplHeaderBytes];
    if (!reader.ReadBody(chunk, 0, header, sizeof header)) return ChunkRead::ReadError;
    out = SampleLoopChunk{};
    out.header = DecodeSmplHeader(header);

    const std::uint64_t held = (chunk.held - kSmplHeaderBytes) / kLoopRecordBytes;
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(out.header.loopCount, held));
    if (count == 0) return ChunkRead::Present;  // no loop: play count 1

    std::vector<std::uint8_t> records(count * kLoopRecordBytes);
    if (!reader.ReadBody(chunk, kSmplHeaderBytes, records.data(), records.size())) {
        return ChunkRead::ReadError;
    }
    out.loops.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        out.loops.push_back(DecodeLoopRecord(records.data() + i * kLoopRecordBytes));
    }
    out.firstLoop = SampleLoopOf(out.loops.front());
    out.loopOn = LoopIsOn(out.loops.front());
    return ChunkRead::Present;
}

ChunkRead ReadInstrument(const platform::File& file, WavInstrument& instrument) {
    riff::RiffReader reader(file);
    if (!reader.IsOpen()) return ChunkRead::ReadError;
    const std::optional<riff::Chunk> found = FindInForm(file, kInstId);
    if (!found) return ChunkRead::Absent;
    std::uint8_t body[kInstBytes];
    if (!reader.ReadBody(*found, 0, body, sizeof body)) return ChunkRead::ReadError;
    instrument = DecodeInst(body);
    return ChunkRead::Present;
}

std::vector<WavCuePoint> ReadCuePoints(const platform::File& file) {
    std::vector<WavCuePoint> cues;
    riff::RiffReader reader(file);
    if (!reader.IsOpen()) return cues;
    const std::optional<riff::Chunk> found = FindInForm(file, kCueId);
    std::uint8_t countField[4];
    if (!found || !reader.ReadBody(*found, 0, countField, sizeof countField)) return cues;
    const std::uint64_t held = (found->held - sizeof countField) / kCuePointBytes;
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(LoadLE32(countField), held));
    std::vector<std::uint8_t> bytes(count * kCuePointBytes);
    if (count == 0 || !reader.ReadBody(*found, sizeof countField, bytes.data(), bytes.size())) return cues;
    cues.reserve(count);
    for (std::size_t i = 0; i < count; ++i) cues.push_back(DecodeCuePoint(bytes.data() + i * kCuePointBytes));
    return cues;
}

void ReadIntoDocument(const platform::File& file, SoundInfo& info) {
    info.wavHasInst = false;
    info.wavHasSmpl = false;
    info.wavSmplHeader = WavSmplHeader{};
    info.wavSmplLoops.clear();
    info.wavCuePoints.clear();
    info.wavFirstLoop = WavSampleLoop{};
    info.instrument = WavInstrument{};
    info.loopOn = false;
    info.loopStart = info.loopEnd = 0;

    const FormatAndData layout = LocateFormatAndData(file, StringId::DataError);

    SampleLoopChunk smpl;
    switch (ReadSampleLoop(file, smpl)) {
    case ChunkRead::ReadError: throw Error(StringId::DataError);
    case ChunkRead::Absent: break;
    case ChunkRead::Present:
        info.wavHasSmpl = true;
        info.wavSmplHeader = smpl.header;
        info.wavSmplLoops = std::move(smpl.loops);
        info.wavFirstLoop = smpl.firstLoop;
        info.loopOn = smpl.loopOn;
        info.loopStart = smpl.firstLoop.start;
        info.loopEnd = smpl.firstLoop.endPlusOne;
        break;
    }

    switch (ReadInstrument(file, info.instrument)) {
    case ChunkRead::ReadError: throw Error(StringId::DataError);
    case ChunkRead::Present: info.wavHasInst = true; break;
    case ChunkRead::Absent:
        if (info.wavHasSmpl) TuningFromSmpl(info.wavSmplHeader, info.instrument);
        break;
    }

    info.wavCuePoints = ReadCuePoints(file);

    info.fileType = FileType::Wav;
    info.channels = layout.fmt.channels;
    info.bitsPerSample = layout.fmt.bitsPerSample;
    info.sampleRate = layout.fmt.sampleRate;
    info.dataOffset = static_cast<std::uint32_t>(layout.data.dataOffset);
    info.bytesPerSample = BytesPerSampleFor(info.bitsPerSample);
    info.blockAlign = static_cast<std::uint16_t>(info.channels * info.bytesPerSample);
    // Only the frames the file holds: a cut-short file opens with what survived.
    const std::uint64_t held = std::min<std::uint64_t>(
        layout.data.held, std::numeric_limits<std::uint32_t>::max() - info.dataOffset);
    info.frames = static_cast<std::uint32_t>(held / info.blockAlign);
    UpdateDerivedFormat(info);
    info.workingFileLength = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(layout.fileLength, std::numeric_limits<std::uint32_t>::max()));
    ClampLoop(info);
}

}  // namespace pelmora::wav
