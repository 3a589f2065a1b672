#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/Error.h"
#include "document/OpenDialogModel.h"
#include "support/TempDir.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

std::string Sox(const TempDir& dir, const std::string& name, const std::string& format) {
    const std::string path = dir.File(name);
    const std::string command = "sox -n " + format + " '" + path + "' synth 1 sine 200 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return path;
}

std::string CheckMessage(const std::string& path) {
    try {
        CheckChosenSoundFile(path);
        return {};
    } catch (const Error& e) {
        return e.Message();
    }
}

}  // namespace

TEST(OpenDialogModel, PanelShowsTheSummaryOfEitherType) {
    TempDir dir;
    EXPECT_EQ(OpenPanelText(Sox(dir, "s.wav", "-r 8000 -b 16 -c 2 -t wavpcm")),
              "8000Hz / 16bit / Stereo / No Loop / WAV\n00:00:01:000 / 8000 sample / 32000 byte");
    EXPECT_EQ(OpenPanelText(Sox(dir, "m.aif", "-r 22050 -b 8 -c 1")),
              "22050Hz / 8bit / Mono / No Loop / AIFF\n00:00:01:000 / 22050 sample / 22050 byte");

    // Nothing to summarise: a folder, a file of another kind, a name that is gone.
    WriteAll(dir.File("notes.txt"), std::vector<std::uint8_t>(64, 'x'));
    EXPECT_EQ(OpenPanelText(dir.Path()), "");
    EXPECT_EQ(OpenPanelText(dir.File("notes.txt")), "");
    EXPECT_EQ(OpenPanelText(dir.File("gone.wav")), "");
}

TEST(OpenDialogModel, OpenRefusesAHeaderTheFileCannotHold) {
    TempDir dir;
    const std::string wav = Sox(dir, "s.wav", "-r 8000 -b 16 -c 1 -t wavpcm");
    const std::string aiff = Sox(dir, "s.aiff", "-r 8000 -b 16 -c 1");
    EXPECT_EQ(CheckMessage(wav), "");
    EXPECT_EQ(CheckMessage(aiff), "");

    // Data cut short: the declared frames no longer fit in the file.
    for (const std::string& path : {wav, aiff}) {
        std::filesystem::resize_file(path, std::filesystem::file_size(path) - 100);
        EXPECT_EQ(CheckMessage(path), "Audio data error - cannot open this file.") << path;
    }

    // A rate of 0 in 'fmt ' (the canonical 44-byte header keeps it at offset 24).
    const std::string zeroRate = Sox(dir, "z.wav", "-r 8000 -b 16 -c 1 -t wavpcm");
    auto bytes = ReadAll(zeroRate);
    ASSERT_EQ(bytes[24] | bytes[25] << 8, 8000);
    std::fill(bytes.begin() + 24, bytes.begin() + 28, 0);
    WriteAll(zeroRate, bytes);
    EXPECT_EQ(CheckMessage(zeroRate), "Audio data error - cannot open this file.");

    // A header that cannot be read gives no rate either.
    WriteAll(dir.File("notes.wav"), std::vector<std::uint8_t>(64, 'x'));
    EXPECT_EQ(CheckMessage(dir.File("notes.wav")), "Audio data error - cannot open this file.");
}
