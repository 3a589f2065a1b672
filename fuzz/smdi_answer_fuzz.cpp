// The master's side of SMDI on whatever an instrument answers: the input is a run of answers
// (a length byte pair, then that many bytes), handed out one per RECEIVE while an import and an
// export run. Nothing crashes, loops for ever or touches memory outside its buffers, and the
// answer readers (Sample Header, rejects, acknowledgements) see the same bytes alone too.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/Error.h"
#include "base/Prompter.h"
#include "base/SilentProgress.h"
#include "platform/Aspi.h"
#include "sampler/InstrumentList.h"
#include "sampler/SampleExport.h"
#include "sampler/SampleImport.h"
#include "sampler/SmdiMessage.h"

namespace {

using namespace pelmora;

const std::uint8_t* gData = nullptr;
std::size_t gSize = 0, gAt = 0;

std::uint32_t SupportInfo() { return std::uint32_t{aspi::SS_COMP} << 8 | 1; }

// Adapter 0 with own id 7 and target 1; every RECEIVE takes the next answer, every SEND works.
std::uint32_t Send(void* request) {
    auto* header = static_cast<std::uint8_t*>(request);
    if (header[0] == aspi::SC_HA_INQUIRY) {
        auto& srb = *static_cast<aspi::SRB_HAInquiry*>(request);
        srb.HA_SCSI_ID = 7;
        srb.SRB_Status = aspi::SS_COMP;
        return srb.SRB_Status;
    }
    auto& srb = *static_cast<aspi::SRB_ExecSCSICmd*>(request);
    srb.SRB_Status = aspi::SS_COMP;
    srb.SRB_HaStat = 0;
    srb.SRB_TargStat = 0;
    if (srb.CDBByte[0] == 0x08) {
        if (gAt + 2 > gSize) {
            srb.SRB_TargStat = aspi::STATUS_CHKCOND;
            srb.SRB_Status = aspi::SS_ERR;
            return srb.SRB_Status;
        }
        const std::size_t length = std::min<std::size_t>(std::size_t{gData[gAt]} << 8 | gData[gAt + 1], gSize - gAt - 2);
        gAt += 2;
        std::memcpy(srb.SRB_BufPointer, gData + gAt, std::min<std::size_t>(length, srb.SRB_BufLen));
        gAt += length;
    } else if (srb.CDBByte[0] == 0x12) {
        static const char inquiry[] = "\x03\x00\x02\x02\x1f\x00\x00\x00ORBECK  Synthesizer VZ5 1.00";
        std::memcpy(srb.SRB_BufPointer, inquiry, std::min<std::size_t>(36, srb.SRB_BufLen));
    }
    return srb.SRB_Status;
}

class Quiet : public Prompter {
public:
    void Message(const std::string&) override {}
    Answer Ask(const std::string&, Buttons) override { return Answer::Cancel; }
};

struct Setup {
    AspiEntryPoints entry{SupportInfo, Send};
    InstrumentList list;
    std::string dir;
    std::string source;
    SoundInfo sound;
    Setup() {
        list.Scan(entry);
        char pattern[] = "/tmp/pelmora-smdi-answer-XXXXXX";
        dir = mkdtemp(pattern);
        // 64 frames of 16-bit stereo WAV data after a 44-byte header.
        source = dir + "/source.wav";
        std::vector<std::uint8_t> bytes(44 + 256, 0x11);
        FILE* f = std::fopen(source.c_str(), "wb");
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        sound.channels = 2;
        sound.bitsPerSample = 16;
        sound.frames = 64;
        sound.dataOffset = 44;
        UpdateDerivedFormat(sound);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Setup setup;
    using namespace pelmora::smdi;
    gData = data;
    gSize = size;
    gAt = 0;
    for (DeviceFamily family : {DeviceFamily::Sampler, DeviceFamily::Synthesizer}) {
        const SampleHeaderRecord record = ParseSampleHeader(data, size, family);
        (void)IsKnownReply(data, size);
        (void)ClassifyRejectMessage(data, size);
        (void)record.TotalBytes();
    }
    if (setup.list.Empty()) return 0;
    Quiet quiet;
    SilentProgress progress;
    const ScsiDeviceEntry& instrument = *setup.list.CurrentInstrument();
    SmdiLink link(*instrument.device, instrument.family, quiet);
    AlignedBuffer answer(kSampleHeaderReceiveBytes, 4);
    if (link.RequestSampleHeader(0, answer)) {
        SampleHeaderRecord entry = ParseSampleHeader(answer.Data(), answer.Size(), instrument.family);
        entry.targetPath = setup.dir + "/import.aif";
        try {
            ImportTransfer(link, entry, progress);
        } catch (const Error&) {
        }
    }
    try {
        ExportTransfer(link, setup.sound, setup.source, "fuzz", 1, progress);
    } catch (const Error&) {
    }
    return 0;
}
