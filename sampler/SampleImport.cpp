#include "sampler/SampleImport.h"

#include <algorithm>
#include <limits>

#include "base/Error.h"
#include "document/TempFiles.h"
#include "platform/File.h"
#include "sampler/SmdiMessage.h"
#include "sound/AiffInst.h"

namespace pelmora::smdi {

namespace {

constexpr std::uint32_t kBlockBytes = 32768;
constexpr std::uint32_t kPacketHead = 14;
constexpr std::size_t kSustainAt = aiff::kInstBodyAt + 8;

// The file being written: deleted unless the transfer completes.
class TargetFile {
public:
    explicit TargetFile(const std::string& path) : path_(path), inFlight_(path) {}
    ~TargetFile() {
        if (kept_) return;
        file_.Close();
        RemoveTemporary(path_);
    }
    bool Open() { return file_.Open(path_, platform::OpenMode::CreateTruncate); }
    bool Write(std::uint64_t at, const void* data, std::size_t count) { return file_.WriteAt(at, data, count); }
    void Keep() {
        file_.Close();
        kept_ = true;
    }

private:
    std::string path_;
    InFlightFile inFlight_;
    platform::File file_;
    bool kept_ = false;
};

// Ends the progress display on every way out.
struct ProgressEnd {
    ProgressTask& progress;
    ~ProgressEnd() { progress.End(); }
};

}  // namespace

aiff::HeaderImage ImportHeader(const SampleHeaderRecord& entry, std::uint32_t dataBytes) {
    aiff::TemplateFields fields;
    fields.channels = entry.channels;
    fields.frames = entry.frames;
    fields.bits = entry.bits;
    fields.rate = entry.rate;
    fields.dataBytes = dataBytes;
    fields.loopStart = entry.loopStart;
    fields.loopEnd = entry.loopEnd;
    aiff::HeaderImage image = aiff::FillTemplate(aiff::HeaderTemplate::WithMarkers, fields);
    // The instrument chunk always names both markers, with the loop's play mode.
    WavInstrument instrument;
    instrument.unityNote = static_cast<std::uint8_t>(entry.pitchInteger);
    const aiff::InstBody inst =
        aiff::BuildInstBody(instrument, aiff::InstLoop{entry.loopOn ? std::uint16_t{1} : std::uint16_t{0}, 1, 2});
    std::copy(inst.begin(), inst.end(), image.begin() + aiff::kInstBodyAt);
    static_assert(kSustainAt == 96);
    return image;
}

std::uint32_t RequestedPacketLength(const SampleHeaderRecord& entry) {
    const std::uint32_t b = std::max<std::uint32_t>(entry.FrameBytes(), 1);
    return (kBlockBytes / b) * b + kPacketHead;
}

bool ImportTransfer(SmdiLink& link, const SampleHeaderRecord& entry, ProgressTask& progress) {
    TargetFile target(entry.targetPath);
    const std::uint64_t total = entry.TotalBytes();
    const std::uint64_t fileBytes = total + aiff::kTemplateBytes;
    // Values the file and the loop below cannot work with end the import before any traffic.
    if (!entry.Transferable() || fileBytes > std::numeric_limits<std::uint32_t>::max()) {
        link.ShowCommunicationError();
        return false;
    }
    const std::uint32_t requested = RequestedPacketLength(entry);
    const auto answered = link.BeginReceiveTransfer(entry.sampleNumber, requested);
    if (!answered) return false;
    // No packets at all, or larger ones than the buffer asked for.
    const std::uint32_t accepted = *answered;
    if (accepted == 0 || accepted > requested) {
        link.AbortProcedure();
        link.ShowCommunicationError();
        return false;
    }
    if (!target.Open()) {
        link.AbortProcedure();
        throw Error(StringId::FileCreatingError);
    }
    AlignedBuffer packet;
    if (!packet.Allocate(accepted + kPacketHead, link.Device().BufferAlignment())) {
        link.AbortProcedure();
        throw Error(StringId::MemoryError);
    }
    const aiff::HeaderImage header = ImportHeader(entry, static_cast<std::uint32_t>(total));
    if (!target.Write(0, header.data(), header.size())) {
        link.AbortProcedure();
        throw Error(WriteFailure());
    }
    const bool vz = link.Family() == DeviceFamily::Synthesizer;
    progress.Start(vz ? StringId::ImportingSampleVz : StringId::ImportingSample);
    ProgressEnd end{progress};
    const std::uint64_t packets = (total + accepted - 1) / accepted;
    progress.SetRange(static_cast<std::uint32_t>(std::min<std::uint64_t>(packets, UINT32_MAX)));
    std::uint32_t number = 0;
    std::uint64_t remaining = total;
    std::uint64_t written = 0;
    while (remaining > 0) {
        if (!link.RequestDataPacket(number, accepted + kPacketHead, packet)) {
            if (IsReject(packet.Data(), accepted + kPacketHead)) link.AbortProcedure();
            return false;
        }
        const std::uint8_t* data = packet.Data();
        if (IsEndOfProcedure(data, kHeaderBytes)) {
            // The instrument ended while data remains: the file would be short.
            link.ShowCommunicationError();
            return false;
        }
        const std::uint32_t length = BigEndianAt(data, kHeaderBytes, 8, 3);
        if (length < 3 || length - 3 == 0) {
            link.ShowCommunicationError();
            link.AbortProcedure();
            return false;
        }
        const std::uint32_t d = length - 3;
        // More than the sample holds, or than the packet buffer took in.
        if (d > remaining || d > accepted) {
            link.ShowMessage(StringId::RejectPacketLength);
            return false;
        }
        if (!target.Write(aiff::kTemplateBytes + written, data + kPacketHead, d)) {
            const StringId failure = WriteFailure();
            link.AbortProcedure();
            throw Error(failure);
        }
        written += d;
        remaining -= d;
        ++number;
        progress.Step(number, packets);
        if (progress.CancelRequested()) {
            link.AbortProcedure();
            return false;
        }
    }
    progress.Step(packets, packets);
    target.Keep();
    return true;
}

}  // namespace pelmora::smdi
