#include "sound/WavWriter.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "base/Error.h"
#include "sound/AiffMarkers.h"
#include "sound/WavChunks.h"

namespace pelmora::wav {

namespace {

bool WriteChunk(riff::RiffWriter& writer, FourCC id, const std::uint8_t* body, std::size_t size) {
    riff::Chunk chunk;
    return writer.CreateChunk(id, chunk) && writer.Write(body, size) && writer.Ascend(chunk);
}

// The markers that become cue points: all but the two the AIFF sustain loop points at.
std::vector<AiffMarker> CueMarkers(const SoundInfo& info) {
    std::vector<AiffMarker> markers = ParseMarkBody(info.aiffMarkBody);
    if (!info.aiffHasInst) return markers;
    const std::uint16_t loopBegin = LoadBE16(info.aiffInstBody.data() + 10);
    const std::uint16_t loopEnd = LoadBE16(info.aiffInstBody.data() + 12);
    std::erase_if(markers, [&](const AiffMarker& m) { return m.id == loopBegin || m.id == loopEnd; });
    return markers;
}

bool WriteCuePoints(riff::RiffWriter& writer, const std::vector<AiffMarker>& markers) {
    std::vector<std::uint8_t> cue(4 + markers.size() * kCuePointBytes);
    StoreLE32(cue.data(), static_cast<std::uint32_t>(markers.size()));
    for (std::size_t i = 0; i < markers.size(); ++i) {
        std::uint8_t* p = cue.data() + 4 + i * kCuePointBytes;
        StoreLE32(p, static_cast<std::uint32_t>(i + 1));
        StoreLE32(p + 4, markers[i].position);
        StoreFourCC(p + 8, kDataId);
        StoreLE32(p + 12, 0);
        StoreLE32(p + 16, 0);
        StoreLE32(p + 20, markers[i].position);
    }
    if (!WriteChunk(writer, kCueId, cue.data(), cue.size())) return false;

    riff::Chunk list;
    if (!writer.CreateList(riff::kListId, kAdtlType, list)) return false;
    for (std::size_t i = 0; i < markers.size(); ++i) {
        std::vector<std::uint8_t> label(4 + markers[i].name.size() + 1, 0);
        StoreLE32(label.data(), static_cast<std::uint32_t>(i + 1));
        std::copy(markers[i].name.begin(), markers[i].name.end(), label.begin() + 4);
        if (!WriteChunk(writer, kLablId, label.data(), label.size())) return false;
    }
    return writer.Ascend(list);
}

void ForgetAiffMarkers(SoundInfo& info) {
    info.aiffHasInst = false;
    info.aiffHasMark = false;
    std::vector<std::uint8_t>().swap(info.aiffMarkBody);
}

}  // namespace

bool WriteNewSampleLoop(riff::RiffWriter& writer, SoundInfo& info) {
    const WavSmplHeader header = NewSmplHeader(info);
    const WavLoopRecord record = LoopRecordFor(info);
    std::uint8_t body[kSmplHeaderBytes + kLoopRecordBytes];
    EncodeSmplHeader(body, header);
    EncodeLoopRecord(body + kSmplHeaderBytes, record);
    if (!WriteChunk(writer, kSmplId, body, sizeof body)) return false;
    info.wavSmplHeader = header;
    info.wavSmplLoops.assign(1, record);
    info.wavFirstLoop = SampleLoopOf(record);
    info.wavHasSmpl = true;
    return true;
}

std::uint32_t WriteNewHeader(platform::File& target, SoundInfo& info,
                             std::uint16_t channelOverride) {
    riff::RiffWriter writer(target);
    riff::Chunk form;
    if (!writer.IsOpen() || !writer.CreateForm(kWaveForm, form)) {
        throw Error(StringId::FileCreatingError);
    }

    std::uint8_t fmt[kFmtBytes];
    EncodeFmt(fmt, PcmFmt(channelOverride != 0 ? channelOverride : info.channels, info.sampleRate,
                          info.bitsPerSample));
    std::uint8_t inst[kInstBytes];
    EncodeInst(inst, info.instrument);
    if (!WriteChunk(writer, kFmtId, fmt, sizeof fmt) ||
        !WriteChunk(writer, kInstId, inst, sizeof inst)) {
        throw Error(StringId::FileCreatingError);
    }
    info.wavHasInst = true;

    if (info.loopStart != info.loopEnd && !WriteNewSampleLoop(writer, info)) {
        throw Error(StringId::FileCreatingError);
    }

    if (info.aiffHasMark) {
        const std::vector<AiffMarker> markers = CueMarkers(info);
        if (!markers.empty() && !WriteCuePoints(writer, markers)) {
            throw Error(StringId::FileCreatingError);
        }
        ForgetAiffMarkers(info);
    }

    riff::Chunk data;
    if (!writer.CreateChunk(kDataId, data) || !target.SetSize(writer.Position()) ||
        writer.Position() > std::numeric_limits<std::uint32_t>::max()) {
        throw Error(StringId::FileCreatingError);
    }
    return static_cast<std::uint32_t>(writer.Position());
}

}  // namespace pelmora::wav
