// The check before a sound opens: only regular files, only mono and stereo, and data that lies
// inside the file for both types, at the exact boundary too.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "base/Error.h"
#include "sound/Bytes.h"
#include "sound/SoundFileCheck.h"
#include "support/TempDir.h"
#include "AiffTestFiles.h"
#include "WavTestFiles.h"

namespace pelmora {
namespace {

using test::AiffBuilder;
using test::WavBuilder;

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t drop) {
    bytes.resize(bytes.size() - drop);
    return bytes;
}

// An AIFF whose SSND offset field says the frames start `lead` bytes into the chunk, while the
// chunk holds no such bytes.
std::vector<std::uint8_t> AiffWithOffsetField(std::uint32_t lead) {
    auto bytes = AiffBuilder().Comm(1, 100, 16, 44100).Ssnd(std::vector<std::uint8_t>(200, 0x11)).Bytes();
    const auto ssnd = std::search(bytes.begin(), bytes.end(), std::begin("SSND"), std::end("SSND") - 1);
    StoreBE32(&*(ssnd + 8), lead);
    return bytes;
}

TEST(SoundFileCheck, RefusalsAndWhatStillOpens) {
    test::TempDir dir;
    const StringId opens = StringId::FileNotFound;  // ErrorOf's answer when nothing is raised
    struct Case {
        const char* what;
        const char* name;
        std::vector<std::uint8_t> bytes;
        StringId expected;
    };
    const auto wav = WavBuilder().Fmt(2, 44100, 16).Data(400).Build();
    const std::vector<Case> cases = {
        {"stereo WAV", "a.wav", wav, opens},
        {"three-channel WAV", "b.wav", WavBuilder().Fmt(3, 44100, 16).Data(600).Build(),
         StringId::UnknownWavePcmFormat},
        {"WAV data one byte past the end", "c.wav", Cut(wav, 1), StringId::AudioDataError},
        {"WAV data a frame past the end", "d.wav", Cut(wav, 4), StringId::AudioDataError},
        {"mono AIFF", "e.aif", AiffWithOffsetField(0), opens},
        {"three-channel AIFF", "f.aif",
         AiffBuilder().Comm(3, 10, 16, 44100).Ssnd(std::vector<std::uint8_t>(60)).Bytes(),
         StringId::UnknownSoundFileFormat},
        // The frames would start past the end of the file, though their size alone fits.
        {"AIFF data offset past the end", "g.aif", AiffWithOffsetField(1000), StringId::AudioDataError},
        {"AIFF data offset one byte too far", "h.aif", AiffWithOffsetField(1), StringId::AudioDataError},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File(c.name);
        test::WriteAll(path, c.bytes);
        EXPECT_EQ(test::ErrorOf([&] { PreCheckSoundFile(path); }), c.expected) << c.what;
    }
}

TEST(SoundFileCheck, OnlyRegularFilesAreOpened) {
    test::TempDir dir;
    // A FIFO would block the open for ever if it were opened to be read.
    const std::string fifo = dir.File("pipe.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(test::ErrorOf([&] { PreCheckSoundFile(fifo); }), StringId::UnknownSoundFileFormat);
    const std::string folder = dir.File("folder.wav");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(test::ErrorOf([&] { PreCheckSoundFile(folder); }), StringId::UnknownSoundFileFormat);

    // A link to a sound is followed.
    const std::string sound = dir.File("s.wav");
    test::WriteAll(sound, WavBuilder().Fmt(1, 8000, 16).Data(20).Build());
    std::filesystem::create_symlink(sound, dir.File("link.wav"));
    EXPECT_EQ(PreCheckSoundFile(dir.File("link.wav")), FileType::Wav);
}

}  // namespace
}  // namespace pelmora
