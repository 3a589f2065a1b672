// The files an operation writes in the working directory are named in the recovery manifest
// while they are written, so that a crash part way leaves nothing unnamed, and only then.

#include <filesystem>

#include "DocumentTestBed.h"
#include "app/Mp3Documents.h"
#include "base/Error.h"
#include "document/Conversions.h"
#include "document/TempFiles.h"
#include "edit/ClipboardOps.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

class InFlightFiles : public DocumentTestBed {
protected:
    InFlightFiles() {
        appListener = SetFilesInFlightListener([this] {
            appListener();
            for (const std::string& path : FilesInFlight()) {
                const std::string name = std::filesystem::path(path).filename();
                if (ManifestText().find("removal " + path + "\n") != std::string::npos) named.push_back(name);
            }
        });
    }
    ~InFlightFiles() override { SetFilesInFlightListener(std::move(appListener)); }

    std::string ManifestText() const {
        for (const auto& entry : std::filesystem::directory_iterator(work)) {
            if (!entry.path().filename().string().starts_with("OLM_MANIFEST_")) continue;
            const auto bytes = ReadAll(entry.path());
            return {bytes.begin(), bytes.end()};
        }
        return {};
    }

    bool Named(std::string_view prefix) const {
        return std::any_of(named.begin(), named.end(), [&](const std::string& n) { return n.starts_with(prefix); });
    }

    std::function<void()> appListener;
    std::vector<std::string> named;  // files the manifest named while they were written
};

}  // namespace

TEST_F(InFlightFiles, TheManifestNamesWhatIsBeingWrittenUntilItIsPlaced) {
    const std::string wav = MakeSound("s.wav", "-r 22050 -b 16 -c 1");
    COLMDoc& doc = app.Open(wav);
    EXPECT_TRUE(Named(kBackupPrefix)) << "the editing copy";
    ConvertBitSize(doc, 3);
    EXPECT_TRUE(Named(kTempPrefix)) << "the converted file";
    doc.selectionStart = 0;
    doc.selectionEnd = 100;
    app.OpenMadeFile(SelectionToNew(doc));
    EXPECT_TRUE(Named(kNewPrefix));

    const std::string mp3 = user + "/s.mp3";
    ASSERT_EQ(std::system(("lame --quiet '" + wav + "' '" + mp3 + "'").c_str()), 0);
    ImportMp3(app, mp3);
    EXPECT_TRUE(Named(kMp3TempPrefix));

    EXPECT_TRUE(FilesInFlight().empty());
    const std::string manifest = ManifestText();
    EXPECT_EQ(manifest.find("removal "), std::string::npos) << manifest;
}

TEST_F(InFlightFiles, AFailedConversionRemovesItsFileAndItsName) {
    const std::string wav = MakeSound("s.wav", "-r 22050 -b 16 -c 1", 5.0);
    COLMDoc& doc = app.Open(wav);
    progress.PressEscapeAtStep(progress.Steps() + 2);
    EXPECT_THROW(ConvertBitSize(doc, 3), Cancelled);
    EXPECT_TRUE(Named(kTempPrefix));
    EXPECT_TRUE(FilesInFlight().empty());
    EXPECT_EQ(ManifestText().find("removal "), std::string::npos);
    for (const auto& entry : std::filesystem::directory_iterator(work))
        EXPECT_FALSE(entry.path().filename().string().starts_with(kTempPrefix));
}
