#include "sound/AiffWriter.h"

#include <algorithm>
#include <vector>

#include "base/Error.h"
#include "sound/AiffChunks.h"
#include "sound/AiffInst.h"
#include "sound/AiffTemplates.h"
#include "sound/Bytes.h"
#include "sound/FileRead.h"
#include "sound/SampleConvert.h"

namespace pelmora::aiff {

namespace {

constexpr std::uint64_t kSectorBytes = 512;
constexpr std::uint64_t kSsndHeaderBytes = 16;
constexpr std::uint32_t kBlockBytes = 32768;

std::uint64_t RoundUpToSector(std::uint64_t value) {
    return (value + kSectorBytes - 1) / kSectorBytes * kSectorBytes;
}

void WriteHeaderBytes(platform::File& file, std::uint64_t at, const std::uint8_t* data,
                      std::size_t n) {
    if (!file.WriteAt(at, data, n)) throw Error(StringId::FileCreatingError);
}

void AppendChunkBytes(std::vector<std::uint8_t>& out, FourCC id, const std::uint8_t* body,
                      std::size_t n) {
    const std::size_t at = out.size();
    out.resize(at + kChunkHeaderBytes + n);
    StoreFourCC(out.data() + at, id);
    StoreBE32(out.data() + at + 4, static_cast<std::uint32_t>(n));
    std::copy_n(body, n, out.data() + at + kChunkHeaderBytes);
}

// The markers and sustain loop a document is written with. The current loop stands in for the
// first 'smpl' loop; the other loops of a WAV sound get markers of their own.
struct MarkerPlan {
    LoopMarkerSet markers;
    InstLoop sustain;
    bool withMark = false;
};

MarkerPlan PlanMarkers(const SoundInfo& info) {
    static const std::vector<WavLoopRecord> kNone;
    const std::vector<WavLoopRecord>& wavLoops =
        info.fileType == FileType::Wav ? info.wavSmplLoops : kNone;
    const bool loopEmpty = info.loopStart == info.loopEnd;
    MarkerPlan plan;
    if (wavLoops.size() <= 1 && loopEmpty) return plan;
    plan.withMark = true;
    if (!loopEmpty) {
        const std::string& beginName = wavLoops.empty() ? kTemplateBeginName : kWavLoopBeginName;
        const std::uint16_t begin = plan.markers.FindOrAdd(info.loopStart, beginName);
        const std::uint16_t end = plan.markers.FindOrAdd(info.loopEnd, kLoopEndName);
        plan.sustain = {static_cast<std::uint16_t>(info.loopOn ? 1 : 0), begin, end};
    }
    for (std::size_t i = 1; i < wavLoops.size(); ++i) {
        const WavLoopRecord& loop = wavLoops[i];
        plan.markers.FindOrAdd(loop.start, kWavLoopBeginName);
        plan.markers.FindOrAdd(loop.end == UINT32_MAX ? loop.end : loop.end + 1, kLoopEndName);
    }
    return plan;
}

// Closes the display however the writer leaves.
struct ProgressEnd {
    ProgressTask& progress;
    ~ProgressEnd() { progress.End(); }
};

void CopyData(const platform::File& source, const SoundInfo& info, platform::File& target,
              std::uint64_t targetOffset, ProgressTask& progress, StringId status,
              bool cancellable) {
    const std::uint64_t total = DataBytes(info);
    const std::uint32_t align = std::max<std::uint32_t>(info.blockAlign, 1);
    const std::uint32_t blockBytes = std::max<std::uint32_t>(kBlockBytes / align, 1) * align;
    const std::uint64_t blocks = (total + blockBytes - 1) / blockBytes;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, total)));

    progress.Start(status);
    ProgressEnd ender{progress};
    progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(blocks, UINT32_MAX)));
    std::uint64_t done = 0;
    for (std::uint64_t block = 0; block < blocks; ++block) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, total - done));
        if (!ReadHeld(source, info.dataOffset + done, buffer.data(), n))
            throw Error(StringId::FileReadError);
        if (info.fileType == FileType::Wav)
            ConvertBufferType(FileType::Wav, info.bytesPerSample, buffer.data(), n);
        if (!target.WriteAt(targetOffset + done, buffer.data(), n))
            throw Error(WriteFailure());
        done += n;
        progress.Step(block + 1, blocks);
        if (cancellable && progress.CancelRequested()) throw Cancelled();
    }
}

}  // namespace

std::uint32_t PadChunkLength(std::uint64_t headerLength) {
    const std::uint64_t p = headerLength;
    if ((p + kSsndHeaderBytes) % kSectorBytes == 0) return 0;
    std::uint64_t n = RoundUpToSector(p + kSsndHeaderBytes) - p - kSsndHeaderBytes;
    if (n < kChunkHeaderBytes) n = RoundUpToSector(p + 24) - p - 24;
    return static_cast<std::uint32_t>(n);
}

std::uint64_t AlignDataStart(platform::File& file, std::uint32_t dataBytes) {
    const std::uint64_t p = LengthOf(file);
    const std::uint32_t n = PadChunkLength(p);
    std::vector<std::uint8_t> bytes(n + kSsndHeaderBytes, 0);
    if (n != 0) {
        // A comment count of 0; the size stays odd when n is, since the data position counts on it.
        StoreFourCC(bytes.data(), kComt);
        StoreBE32(bytes.data() + 4, n - static_cast<std::uint32_t>(kChunkHeaderBytes));
    }
    StoreFourCC(bytes.data() + n, kSsnd);
    StoreBE32(bytes.data() + n + 4, dataBytes + 8);
    if (!file.WriteAt(p, bytes.data(), bytes.size())) throw Error(WriteFailure());
    return p + bytes.size();
}

std::uint64_t WriteMarkedHeader(platform::File& target, const TemplateFields& fields,
                                const std::vector<AiffMarker>& markers, const InstLoop& sustain) {
    std::vector<std::uint8_t> header(kFormHeaderBytes, 0);
    StoreFourCC(header.data(), kForm);
    StoreFourCC(header.data() + 8, kAiff);
    const auto comm = BuildCommChunk(fields);
    header.insert(header.end(), comm.begin(), comm.end());
    if (!markers.empty()) {
        const auto mark = BuildMarkBody(markers);
        AppendChunkBytes(header, kMark, mark.data(), mark.size());
    }
    const InstBody inst = BuildInstBody(fields.instrument, sustain);
    AppendChunkBytes(header, kInst, inst.data(), inst.size());
    if (!target.SetSize(0)) throw Error(StringId::FileCreatingError);
    WriteHeaderBytes(target, 0, header.data(), header.size());
    return AlignDataStart(target, fields.dataBytes);
}

void WriteNewFile(platform::File& target, SoundInfo& info) {
    info.fileType = FileType::Aiff;
    info.dataOffset = kTemplateBytes;
    UpdateDerivedFormat(info);
    const HeaderImage image = FillTemplate(HeaderTemplate::WithoutMarkers, FieldsOf(info));
    WriteHeaderBytes(target, 0, image.data(), image.size());
}

std::uint32_t WriteWithMarkers(const platform::File& source, const SoundInfo& sourceInfo,
                               platform::File& target, ProgressTask& progress, StringId status,
                               bool cancellable) {
    const TemplateFields fields = FieldsOf(sourceInfo);
    const MarkerPlan plan = PlanMarkers(sourceInfo);
    const auto& markers = plan.markers.Markers();
    std::uint64_t dataOffset = 0;
    if (plan.withMark && markers.size() == 2 && sourceInfo.loopStart != sourceInfo.loopEnd) {
        // The usual single loop: exactly the layout of a marker template.
        const HeaderTemplate kind = markers[0].name == kTemplateBeginName
                                        ? HeaderTemplate::WithMarkers
                                        : HeaderTemplate::WavLoopMarkers;
        const HeaderImage image = FillTemplate(kind, fields);
        WriteHeaderBytes(target, 0, image.data(), image.size());
        dataOffset = kTemplateBytes;
    } else {
        static const std::vector<AiffMarker> kNoMarkers;
        dataOffset = WriteMarkedHeader(target, fields, plan.withMark ? markers : kNoMarkers, plan.sustain);
    }
    CopyData(source, sourceInfo, target, dataOffset, progress, status, cancellable);
    if (!target.SetSize(dataOffset + DataBytes(sourceInfo))) throw Error(WriteFailure());
    SetFormSizeToLength(target);
    return static_cast<std::uint32_t>(dataOffset);
}

}  // namespace pelmora::aiff
