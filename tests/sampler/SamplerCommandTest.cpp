// The two commands at the application's level: no instrument before a rescan, the import's
// document made from a temporary file, the rename check, the document limit, and the export's
// sample number.

#include <gtest/gtest.h>

#include <filesystem>

#include "SamplerTestBed.h"
#include "app/SamplerDocuments.h"
#include "base/Error.h"
#include "document/DocumentTestBed.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::smdi;
using namespace pelmora::test;

namespace {

using Model = SamplerDialogModel;

class SamplerCommands : public DocumentTestBed {
protected:
    // A synthesizer with "Pad" in slot 2 (shown as line 1), scanned into the application.
    void Instrument(bool synthesizer = true, const std::string& extra = "") {
        bed.AddInstrument(synthesizer, extra);
        SlotSound s;
        s.channels = 2;
        s.samples = NoiseSamples(2 * 30000, 16, 2);
        s.loop = true;
        s.loopStart = 10;
        s.loopEnd = 20;
        WriteSlot(bed.SlotPath(synthesizer ? 1 : 0, false), s);
        std::ofstream(bed.Folder() + (synthesizer ? "/slot-1.name" : "/slot-0.name")) << "Pad\n";
        bed.Connect();
        app.RescanScsi(bed.entry);
    }
    // A runner that picks `line` and presses OK once.
    SamplerDialogRunner Pick(std::size_t line, std::string number = "1",
                             std::function<void()> beforeOk = {}) {
        return [=, this](Model& model) {
            if (beforeOk) beforeOk();
            std::string corrected;
            verdict = model.Ok(line, number, corrected);
            correctedTo = corrected;
            return verdict == Model::Verdict::Close;
        };
    }

    SamplerBed bed;
    Model::Verdict verdict = Model::Verdict::StayOpen;
    std::string correctedTo;
};

}  // namespace

TEST_F(SamplerCommands, WithoutRescanThereIsNoDevice) {
    EXPECT_FALSE(ImportFromSamplerEnabled(app));
    EXPECT_EQ(ImportFromSampler(app, Pick(0)), nullptr);
    EXPECT_FALSE(ExportToSampler(app, Pick(0)));
    EXPECT_EQ(prompter.messages, (std::vector<std::string>{"Device is not found"}));
}

TEST_F(SamplerCommands, ImportOpensADocumentMadeFromATemporaryFile) {
    Instrument();
    EXPECT_TRUE(ImportFromSamplerEnabled(app));
    EXPECT_FALSE(ExportToSamplerEnabled(app));  // nothing open to send
    COLMDoc* doc = ImportFromSampler(app, Pick(1));
    ASSERT_NE(doc, nullptr) << (prompter.messages.empty() ? "" : prompter.messages[0]);
    EXPECT_TRUE(doc->MadeFromTempFile());
    EXPECT_TRUE(doc->DataChanged());
    EXPECT_FALSE(doc->FileBackup());
    EXPECT_EQ(doc->Info().fileType, FileType::Aiff);
    EXPECT_EQ(doc->Info().frames, 30000u);
    EXPECT_EQ(doc->Info().channels, 2);
    EXPECT_TRUE(doc->Info().loopOn);
    EXPECT_EQ(doc->Info().loopEnd, 20u);
    EXPECT_EQ(std::filesystem::path(doc->WorkingPath()).parent_path(), std::filesystem::path(work));
    EXPECT_EQ(std::filesystem::path(doc->WorkingPath()).filename().string().rfind("Pad_", 0), 0u);
    EXPECT_EQ(Upper16(doc->WorkingPath()), Upper16(bed.SlotPath(1, false)));
    EXPECT_TRUE(ExportToSamplerEnabled(app));
}

TEST_F(SamplerCommands, RenamedMeanwhileStopsTheImport) {
    Instrument(false);
    const auto before = FilesIn(work);
    const auto rename = [this] { std::ofstream(bed.Folder() + "/slot-0.name") << "Strings\n"; };
    EXPECT_EQ(ImportFromSampler(app, Pick(0, "1", rename)), nullptr);
    EXPECT_EQ(prompter.messages, (std::vector<std::string>{"A designated file is not found to K3100."}));
    EXPECT_EQ(FilesIn(work), before);
    EXPECT_TRUE(app.Documents().empty());
}

TEST_F(SamplerCommands, RemovedMeanwhileStopsTheImport) {
    Instrument(false);
    const auto before = FilesIn(work);
    const auto remove = [this] { std::filesystem::remove(bed.SlotPath(0, false)); };
    EXPECT_EQ(ImportFromSampler(app, Pick(0, "1", remove)), nullptr);
    EXPECT_EQ(prompter.messages, (std::vector<std::string>{"A designated file is not found to K3100."}));
    EXPECT_EQ(FilesIn(work), before);
}

TEST_F(SamplerCommands, InstrumentThatDoesNotIdentify) {
    Instrument(true, "faults = reject-identify\n");
    EXPECT_EQ(ImportFromSampler(app, Pick(0)), nullptr);
    EXPECT_EQ(prompter.messages,
              (std::vector<std::string>{"- message/procedure is not supported.", "VZ is not found."}));
}

TEST_F(SamplerCommands, ImportIsRefusedAtTheDocumentLimit) {
    Instrument();
    const std::string sound = MakeSound("s.wav", "-r 8000 -b 16 -c 1", 0.01);
    for (std::size_t i = 0; i < kMaxDocuments; ++i) app.OpenMadeFile([&] {
        const std::string copy = work + "/copy" + std::to_string(i) + ".wav";
        std::filesystem::copy_file(sound, copy);
        return copy;
    }());
    EXPECT_FALSE(ImportFromSamplerEnabled(app));
    EXPECT_THROW(ImportFromSampler(app, Pick(1)), Error);
}

TEST_F(SamplerCommands, ExportSampleNumber) {
    struct Case {
        const char* text;
        Model::Verdict verdict;
        const char* corrected;
        int slotFile;  // the slot that gets the sound, -1 none
    };
    const Case cases[] = {
        {"1", Model::Verdict::Close, "", 0},         {"1024", Model::Verdict::Close, "", 1023},
        {"0", Model::Verdict::StayOpen, "1", -1},    {"1025", Model::Verdict::StayOpen, "1024", -1},
        {"", Model::Verdict::StayOpen, "1", -1},     {"-3", Model::Verdict::StayOpen, "1", -1},
    };
    Instrument();
    app.Open(MakeSound("tone.wav", "-r 44100 -b 16 -c 1", 0.1));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        prompter.messages.clear();
        correctedTo.clear();
        EXPECT_EQ(ExportToSampler(app, Pick(0, c.text)), c.slotFile >= 0);
        EXPECT_EQ(verdict, c.verdict);
        EXPECT_EQ(correctedTo, c.corrected);
        if (c.slotFile >= 0) {
            EXPECT_TRUE(prompter.messages.empty());
            EXPECT_EQ(Upper16(bed.SlotPath(c.slotFile, true)), Upper16(user + "/tone.wav"));
        } else {
            EXPECT_EQ(prompter.messages, (std::vector<std::string>{"sample number is wrong.Set it up again."}));
        }
    }
}
