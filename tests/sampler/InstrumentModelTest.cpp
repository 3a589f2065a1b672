// A model of a synthesizer's sample memory written from the transfer rules alone (what each
// export leaves in a slot: the sound's upper 16 bits, or its 8 bits for an 8-bit sound), checked
// against the emulated instrument after random runs of exports and imports.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "SamplerTestBed.h"
#include "document/SoundFileIo.h"
#include "sampler/SampleExport.h"
#include "sampler/SampleImport.h"
#include "sampler/SmdiMessage.h"

using namespace pelmora;
using namespace pelmora::smdi;
using namespace pelmora::test;

namespace {

struct ModelSample {
    int channels = 1;
    int wireBits = 16;
    std::vector<std::int32_t> upper16;  // every sample's upper 16 bits (as libsndfile reads them)
};

}  // namespace

TEST(InstrumentModel, RandomExportsAndImportsAgreeWithTheModel) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        SamplerBed bed;
        bed.AddInstrument(true);
        bed.Connect();
        std::map<std::uint32_t, ModelSample> model;
        for (int step = 0; step < 10; ++step) {
            const auto slot = static_cast<std::uint32_t>(random() % 4);
            if (random() % 2 == 0) {
                SlotSound s;
                s.aiff = random() % 2 == 0;
                s.channels = 1 + static_cast<int>(random() % 2);
                s.bits = 8 * (1 + static_cast<int>(random() % 4));
                // From one frame to several packets, odd counts included.
                const auto frames = static_cast<std::size_t>(1 + random() % 40000);
                s.samples = NoiseSamples(frames * static_cast<std::size_t>(s.channels), s.bits, random());
                const std::string path = bed.work.File(s.aiff ? "s.aif" : "s.wav");
                WriteSlot(path, s);
                SoundInfo info;
                ReadSoundFile(path, s.aiff ? FileType::Aiff : FileType::Wav, info);
                ASSERT_TRUE(ExportTransfer(*bed.link, info, path, "step", slot, bed.progress));
                model[slot] = {s.channels, s.bits == 8 ? 8 : 16, Upper16(path)};
            } else {
                AlignedBuffer answer(kSampleHeaderReceiveBytes, bed.link->Device().BufferAlignment());
                const bool listed = bed.link->RequestSampleHeader(slot, answer);
                ASSERT_EQ(listed, model.count(slot) == 1) << "slot " << slot;
                if (!listed) {
                    EXPECT_FALSE(IsKnownReply(answer.Data(), answer.Size()));  // an empty slot is silent
                    continue;
                }
                SampleHeaderRecord entry = ParseSampleHeader(answer.Data(), answer.Size(), DeviceFamily::Synthesizer);
                EXPECT_EQ(entry.name, "step");
                EXPECT_EQ(entry.bits, model[slot].wireBits);
                EXPECT_EQ(entry.channels, model[slot].channels);
                entry.targetPath = bed.work.File("in.aif");
                ASSERT_TRUE(ImportTransfer(*bed.link, entry, bed.progress));
                EXPECT_EQ(Upper16(entry.targetPath), model[slot].upper16);
            }
        }
        EXPECT_TRUE(bed.prompter.messages.empty());
    }
}
