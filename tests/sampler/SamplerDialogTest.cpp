// The sampler dialog's rules without a window: the listings of both families, the lazy fetch of
// a synthesizer's slots, the information text and what OK accepts.

#include <gtest/gtest.h>

#include <filesystem>

#include "SamplerTestBed.h"
#include "sampler/SamplerDialogModel.h"

using namespace pelmora;
using namespace pelmora::smdi;
using namespace pelmora::test;

namespace {

using Model = SamplerDialogModel;

SlotSound Short(int channels, bool loop) {
    SlotSound s;
    s.channels = channels;
    s.rate = 22050;
    s.samples = NoiseSamples(22050u * static_cast<unsigned>(channels), 16, 1);
    s.loop = loop;
    s.loopStart = 100;
    s.loopEnd = 200;
    return s;
}

void Name(SamplerBed& bed, int slot, const std::string& name) {
    std::ofstream(bed.Folder() + "/slot-" + std::to_string(slot) + ".name") << name << "\n";
}

}  // namespace

TEST(SamplerDialog, SynthesizerListingIsLazy) {
    SamplerBed bed;
    bed.AddInstrument(true);
    WriteSlot(bed.SlotPath(1, false), Short(2, true));
    Name(bed, 1, "Pad");
    WriteSlot(bed.SlotPath(12, true), Short(1, false));
    Name(bed, 12, "Bass");
    bed.Connect();
    Model model(Model::Mode::Import, *bed.link, bed.prompter, bed.work.Path());
    ASSERT_TRUE(model.List());
    ASSERT_EQ(model.LineCount(), 1024u);
    // The first ten slots are read before the dialog shows; slot 13 only when it comes into view.
    EXPECT_EQ(model.Line(0), "   1 --- No Sample ---");
    EXPECT_EQ(model.Line(1), "   2 Pad");
    EXPECT_EQ(model.Line(12), "  13 --- No Sample ---");
    EXPECT_EQ(model.Line(1023), "1024 --- No Sample ---");
    EXPECT_EQ(model.Information(1), "22050Hz / 16bit / Stereo / Loop\n00:00:01:000 / 22050 sample / 88200 byte");
    EXPECT_EQ(model.Information(0), "no information");
    EXPECT_TRUE(model.FetchVisible(11, 10));
    EXPECT_EQ(model.Line(12), "  13 Bass");
    EXPECT_EQ(model.Information(12), "22050Hz / 16bit / Mono / No Loop\n00:00:01:000 / 22050 sample / 44100 byte");
    // Lines already read are not asked for again.
    EXPECT_FALSE(model.FetchVisible(11, 10));
    EXPECT_TRUE(bed.prompter.messages.empty());

    // OK on an empty slot: the message, and no result.
    std::string corrected;
    EXPECT_EQ(model.Ok(0, "", corrected), Model::Verdict::CloseWithoutResult);
    EXPECT_EQ(bed.prompter.messages, std::vector<std::string>{"Sample data not exists !"});
    EXPECT_EQ(model.ImportResult(), nullptr);
}

TEST(SamplerDialog, SamplerListingAndItsFailures) {
    struct Case {
        const char* what;
        bool withSample;
        const char* faults;
        bool listed;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"one sample", true, "", true, {}},
        {"empty: a silent reject", false, "", false, {"Sample data not exists !"}},
        {"a reject with a text", true, "faults = reject-request:5\n", false, {"Device is busy."}},
        {"an unknown reject", true, "faults = reject-request:48\n", false, {"11b=0, 12b=48, 13b=0, 14b=0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SamplerBed bed;
        bed.AddInstrument(false, c.faults);
        if (c.withSample) {
            WriteSlot(bed.SlotPath(0, false), Short(1, true));
            Name(bed, 0, "Piano C3");
        }
        bed.Connect();
        Model model(Model::Mode::Import, *bed.link, bed.prompter, bed.work.Path());
        EXPECT_EQ(model.List(), c.listed);
        EXPECT_EQ(bed.prompter.messages, c.messages);
        if (c.listed) {
            ASSERT_EQ(model.LineCount(), 1u);
            EXPECT_EQ(model.Line(0), "Piano C3");
        }
    }
}

TEST(SamplerDialog, ImportOkPreparesTheTargetFile) {
    SamplerBed bed;
    bed.AddInstrument(false);
    WriteSlot(bed.SlotPath(0, false), Short(1, true));
    Name(bed, 0, "a/b:c");
    bed.Connect();
    bed.SetFaults("crossed-loop");  // a loop start past the loop end: both go to 0
    std::string target;
    {
        Model model(Model::Mode::Import, *bed.link, bed.prompter, bed.work.Path());
        ASSERT_TRUE(model.List());
        std::string corrected;
        ASSERT_EQ(model.Ok(0, "", corrected), Model::Verdict::Close);
        const SampleHeaderRecord* r = model.ImportResult();
        ASSERT_NE(r, nullptr);
        target = r->targetPath;
        const std::string name = std::filesystem::path(target).filename().string();
        EXPECT_EQ(name.rfind("a-b-c_", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".aif");
        EXPECT_EQ(std::filesystem::path(target).parent_path(), std::filesystem::path(bed.work.Path()));
        EXPECT_EQ(r->loopStart, 0u);
        EXPECT_EQ(r->loopEnd, 0u);
        EXPECT_TRUE(std::filesystem::exists(target));
    }
    // A dialog whose result was not taken leaves no file.
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(ImportFilePrefix("\\/:,;*?\"<>|x"), "-----------x_");
}
