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

bool WriteCueChunk(riff::RiffWriter& writer, const std::vector<WavCuePoint>& points) {
    std::vector<std::uint8_t> cue(4 + points.size() * kCuePointBytes);
    StoreLE32(cue.data(), static_cast<std::uint32_t>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) EncodeCuePoint(cue.data() + 4 + i * kCuePointBytes, points[i]);
    return WriteChunk(writer, kCueId, cue.data(), cue.size());
}

bool WriteCuePoints(riff::RiffWriter& writer, const std::vector<AiffMarker>& markers) {
    std::uint8_t dataId[4];
    StoreFourCC(dataId, kDataId);
    std::vector<WavCuePoint> points;
    for (std::size_t i = 0; i < markers.size(); ++i) {
        const std::uint32_t id = static_cast<std::uint32_t>(i + 1);
        points.push_back({id, markers[i].position, LoadLE32(dataId), 0, 0, markers[i].position});
    }
    if (!WriteCueChunk(writer, points)) return false;

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
    WavSmplHeader header = NewSmplHeader(info);
    std::vector<WavLoopRecord> records = info.wavSmplLoops;
    if (records.empty()) records.push_back(LoopRecordFor(info));
    else if (info.loopStart != info.loopEnd) records.front() = LoopRecordFor(info, records.front());
    header.loopCount = static_cast<std::uint32_t>(records.size());
    std::vector<std::uint8_t> body(kSmplHeaderBytes + records.size() * kLoopRecordBytes);
    EncodeSmplHeader(body.data(), header);
    for (std::size_t i = 0; i < records.size(); ++i)
        EncodeLoopRecord(body.data() + kSmplHeaderBytes + i * kLoopRecordBytes, records[i]);
    if (!WriteChunk(writer, kSmplId, body.data(), body.size())) return false;
    info.wavSmplHeader = header;
    info.wavFirstLoop = SampleLoopOf(records.front());
    info.wavSmplLoops = std::move(records);
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

    const bool loops = info.loopStart != info.loopEnd || !info.wavSmplLoops.empty();
    if (loops && !WriteNewSampleLoop(writer, info)) throw Error(StringId::FileCreatingError);

    if (info.aiffHasMark) {
        const std::vector<AiffMarker> markers = CueMarkers(info);
        if (!markers.empty() && !WriteCuePoints(writer, markers)) {
            throw Error(StringId::FileCreatingError);
        }
        ForgetAiffMarkers(info);
        info.wavCuePoints.clear();
    } else if (!info.wavCuePoints.empty() && !WriteCueChunk(writer, info.wavCuePoints)) {
        throw Error(StringId::FileCreatingError);
    }

    riff::Chunk data;
    if (!writer.CreateChunk(kDataId, data) || !target.SetSize(writer.Position()) ||
        writer.Position() > std::numeric_limits<std::uint32_t>::max()) {
        throw Error(StringId::FileCreatingError);
    }
    return static_cast<std::uint32_t>(writer.Position());
}

}  // namespace pelmora::wav
