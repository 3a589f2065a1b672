// pelmora-cli's conversions and resample: what they make, the rate correction, and the refusals
// (disabled commands fail, arguments that are no dialog step are usage errors).

#include <gtest/gtest.h>

#include "support/CliRunner.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"

using namespace pelmora::test;

namespace {

class ConversionCli : public ::testing::Test {
protected:
    CliRun Pelmora(const std::string& arguments) { return RunCli(PELMORA_CLI_PATH, dir, "--quiet " + arguments); }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
    TempDir dir;
    const std::string mono = "new wav 1 16 44100 sine half 440 44100 ";
};

}  // namespace

TEST_F(ConversionCli, ConversionsAndResample) {
    const std::string out = dir.File("out.aif");
    CliRun run = Pelmora(mono + "loop 1001 3001 on add-channel swap-channels delete-channel 2 convert-bits 24 "
                                "resample 8000 65 -60 to-aiff info save-as '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    // 8000 is below the dialog's limit: it goes on with 11025.
    EXPECT_TRUE(Has(run.out, "rate: 11025")) << run.out;
    EXPECT_TRUE(Has(run.out, "frames: 11025")) << run.out;
    EXPECT_TRUE(Has(run.out, "loop_start: 250")) << run.out;
    EXPECT_TRUE(Has(run.out, "file_type: AIFF")) << run.out;
    const auto view = ReadWithSox(out);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->rate, 11025);
    EXPECT_EQ(view->channels, 1);
    EXPECT_EQ(view->bits, 24);
    // Undo and redo of the last conversion.
    run = Pelmora(mono + "to-aiff undo info undo info");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "file_type: WAV")) << run.out;
}

TEST_F(ConversionCli, Refusals) {
    const struct {
        const char* commands;
        int status;
        const char* says;
    } cases[] = {
        {"add-channel add-channel", 1, "needs a mono sound"},
        {"swap-channels", 1, "needs a stereo sound"},
        {"delete-channel 1", 1, "needs a stereo sound"},
        {"to-wav", 1, "is a WAV already"},
        {"hd-align", 1, "not an AIFF"},
        {"convert-bits 16", 1, "already has that bit size"},
        {"convert-bits 12", 2, "BITS"},
        {"resample 22050 7 -60", 2, "ORDER"},
        {"resample 22050 65 -65", 2, "REJECTION"},
        {"resample 22050 65 10", 2, "REJECTION"},
    };
    for (const auto& c : cases) {
        const CliRun run = Pelmora(mono + c.commands);
        EXPECT_EQ(run.status, c.status) << c.commands;
        EXPECT_TRUE(Has(run.err, c.says)) << c.commands << ": " << run.err;
    }
    // Rejection 0 is one of the steps; the document's own rate does nothing.
    const CliRun run = Pelmora(mono + "resample 22050 5 0 resample 22050 5 0 info");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "frames: 22050")) << run.out;
}
