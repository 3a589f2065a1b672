// Every fault the emulated instrument can show, once, in an import and in an export: the
// transfer ends with the exact sample or fails cleanly, with no file left behind and the slot
// as it was, and the user is told (a transfer that failed never looks like one that worked).

#include <gtest/gtest.h>

#include <filesystem>

#include "SamplerTestBed.h"
#include "document/SoundFileIo.h"
#include "sampler/SampleExport.h"
#include "sampler/SampleImport.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::smdi;
using namespace pelmora::test;

namespace {

constexpr std::uint32_t kFrames = 40000;  // three packets of 16-bit mono

SlotSound Mono16(unsigned seed) {
    SlotSound s;
    s.samples = NoiseSamples(kFrames, 16, seed);
    return s;
}

struct FaultCase {
    const char* faults;
    bool succeeds;
    const char* message;  // the one message shown, or nullptr for none
};

std::vector<std::string> Shown(const char* message) {
    return message ? std::vector<std::string>{message} : std::vector<std::string>{};
}

}  // namespace

TEST(TransferFaults, Import) {
    const FaultCase cases[] = {
        {"wait:2", true, nullptr},
        {"busy:1", false, "SCSI communication error."},
        {"selection-timeout:1", false, "SCSI communication error."},
        {"reject-begin:2", false, "- can't accommodate Data Packet Length."},
        {"abort:1", false, nullptr},  // the instrument aborted: the document simply does not open
        {"eop-early:2", false, "SCSI communication error."},
        {"zero-period", false, "SCSI communication error."},
        {"zero-packet", false, "SCSI communication error."},
        {"long-data", false, "- can't accommodate Data Packet Length."},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.faults);
        for (bool synthesizer : {false, true}) {
            SamplerBed bed;
            bed.AddInstrument(synthesizer);
            WriteSlot(bed.SlotPath(0, false), Mono16(3));
            bed.Connect();
            AlignedBuffer answer(kSampleHeaderReceiveBytes, bed.link->Device().BufferAlignment());
            ASSERT_TRUE(bed.link->RequestSampleHeader(0, answer));
            // The faults start once the header is read, as they would mid-session.
            bed.SetFaults(c.faults);
            SampleHeaderRecord entry = ParseSampleHeader(answer.Data(), answer.Size(), bed.link->Family());
            if (std::string(c.faults) == "zero-period") entry.rate = 0;  // as a header with period 0 gives
            entry.targetPath = bed.work.File("imported.aif");
            const bool done = ImportTransfer(*bed.link, entry, bed.progress);
            EXPECT_EQ(done, c.succeeds);
            EXPECT_EQ(bed.prompter.messages, Shown(c.message));
            EXPECT_FALSE(bed.progress.IsActive());
            if (c.succeeds) {
                EXPECT_EQ(Upper16(entry.targetPath), Upper16(bed.SlotPath(0, false)));
            } else {
                EXPECT_FALSE(std::filesystem::exists(entry.targetPath));
            }
        }
    }
}

TEST(TransferFaults, ImportCancelledWithEscAborts) {
    SamplerBed bed;
    bed.AddInstrument(true);
    WriteSlot(bed.SlotPath(0, false), Mono16(4));
    bed.Connect();
    AlignedBuffer answer(kSampleHeaderReceiveBytes, bed.link->Device().BufferAlignment());
    ASSERT_TRUE(bed.link->RequestSampleHeader(0, answer));
    SampleHeaderRecord entry = ParseSampleHeader(answer.Data(), answer.Size(), DeviceFamily::Synthesizer);
    entry.targetPath = bed.work.File("imported.aif");
    bed.progress.PressEscapeAtStep(2);
    EXPECT_FALSE(ImportTransfer(*bed.link, entry, bed.progress));
    EXPECT_FALSE(std::filesystem::exists(entry.targetPath));
    EXPECT_TRUE(bed.prompter.messages.empty());
    EXPECT_NE(bed.Log().find("< Abort Procedure"), std::string::npos) << bed.Log();
}

TEST(TransferFaults, Export) {
    const FaultCase cases[] = {
        {"wait:3", true, nullptr},
        {"double-wait", false, "SCSI communication error."},  // only one Wait is honoured
        {"busy:1", false, "SCSI communication error."},
        {"selection-timeout:1", false, "SCSI communication error."},
        {"reject-header:4", false, "- insufficient sample memory available."},
        {"reject-begin:1", false, "- Sample Number does not match that of previously transferred Sample Header."},
        {"abort:2", false, "SCSI communication error."},
        {"zero-packet", false, "SCSI communication error."},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.faults);
        for (bool synthesizer : {false, true}) {
            SamplerBed bed;
            bed.AddInstrument(synthesizer);
            // What the slot held before must survive a failed export.
            const std::string before = bed.SlotPath(0, true);
            SlotSound old = Mono16(5);
            old.aiff = true;
            WriteSlot(before, old);
            const auto oldBytes = ReadAll(before);
            bed.Connect();
            bed.SetFaults(c.faults);
            const std::string source = bed.work.File("source.wav");
            WriteSlot(source, Mono16(6));
            SoundInfo info;
            ReadSoundFile(source, FileType::Wav, info);
            const bool done = ExportTransfer(*bed.link, info, source, "exported", 0, bed.progress);
            EXPECT_EQ(done, c.succeeds);
            EXPECT_EQ(bed.prompter.messages, Shown(c.message));
            EXPECT_FALSE(bed.progress.IsActive());
            if (c.succeeds) {
                EXPECT_EQ(Upper16(before), Upper16(source));
            } else {
                EXPECT_EQ(ReadAll(before), oldBytes);
            }
        }
    }
}

TEST(TransferFaults, ExportEndedEarlyByTheInstrumentCountsAsDone) {
    SamplerBed bed;
    bed.AddInstrument(true);
    bed.Connect();
    bed.SetFaults("eop-early:2");
    const std::string source = bed.work.File("source.wav");
    WriteSlot(source, Mono16(8));
    SoundInfo info;
    ReadSoundFile(source, FileType::Wav, info);
    EXPECT_TRUE(ExportTransfer(*bed.link, info, source, "exported", 1, bed.progress));
    // The instrument kept the two packets it took.
    const auto kept = ReadWithSndfile(bed.SlotPath(1, true));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->frames, 2 * 16384);
}

TEST(TransferFaults, ExportCancelledWithEscLeavesTheSlot) {
    SamplerBed bed;
    bed.AddInstrument(true);
    bed.Connect();
    const std::string source = bed.work.File("source.wav");
    WriteSlot(source, Mono16(9));
    SoundInfo info;
    ReadSoundFile(source, FileType::Wav, info);
    bed.progress.PressEscapeAtStep(1);
    EXPECT_FALSE(ExportTransfer(*bed.link, info, source, "exported", 1, bed.progress));
    EXPECT_FALSE(std::filesystem::exists(bed.SlotPath(1, true)));
    EXPECT_TRUE(bed.prompter.messages.empty());
}
