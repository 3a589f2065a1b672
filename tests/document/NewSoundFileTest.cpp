#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "base/Error.h"
#include "base/SilentProgress.h"
#include "document/NewSoundFile.h"
#include "platform/File.h"
#include "sound/AiffHeader.h"
#include "sound/Bytes.h"
#include "sound/SampleCodec.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"

using namespace pelmora;
using test::ReadAll;
using test::TempDir;

namespace {

NewSoundRequest Request(FileType type, std::uint16_t channels, std::uint16_t bits, std::uint32_t rate,
                  InitialData data, std::uint32_t amplitude, std::uint32_t frequency,
                  std::uint32_t frames) {
    return {type, channels, bits, rate, data, amplitude, frequency, frames};
}

// 48000 Hz, 16-bit, stereo, Full, 1000 Hz: the first frame is -1, the extremes are the full range.
NewSoundRequest Example(InitialData data, FileType type = FileType::Wav) {
    return Request(type, 2, 16, 48000, data, 32767, 1000, 48000);
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    return names;
}

// Channel `channel` of every frame, read with the file's own codec from `dataOffset`.
std::vector<std::int32_t> Channel(const std::vector<std::uint8_t>& bytes, std::size_t dataOffset,
                                  const NewSoundRequest& s, int channel) {
    const int width = (s.bits + 7) / 8;
    std::vector<std::int32_t> out;
    for (std::uint32_t i = 0; i < s.frames; ++i) {
        const std::size_t at = dataOffset + (std::size_t{i} * s.channels + channel) * width;
        out.push_back(ReadSample(s.fileType, width, &bytes.at(at)));
    }
    return out;
}

struct Shape {
    std::int32_t first, min, max;
};

Shape ShapeOf(const std::vector<std::int32_t>& v) {
    return {v.front(), *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end())};
}

}  // namespace

TEST(NewSoundWaveforms, FirstFrameAndExtremesAtTheExample) {
    TempDir dir;
    SilentProgress progress;
    struct Row {
        InitialData data;
        Shape shape;
    };
    // Sawtooth falls just short of lo: past the middle it restarts at v − span, truncated.
    for (const Row& r : {Row{InitialData::Sine, {-1, -32768, 32767}},
                         Row{InitialData::Triangle, {-32768, -32768, 32767}},
                         Row{InitialData::Sawtooth, {0, -31402, 32767}},
                         Row{InitialData::Square, {32767, -32768, 32767}}}) {
        SCOPED_TRACE(static_cast<int>(r.data));
        const NewSoundRequest s = Example(r.data);
        const std::string path = CreateNewSoundFile(s, dir.Path(), progress);
        const auto bytes = ReadAll(path);
        const auto left = Channel(bytes, 44, s, 0);
        EXPECT_EQ(left, Channel(bytes, 44, s, 1));
        const Shape got = ShapeOf(left);
        EXPECT_EQ(got.first, r.shape.first);
        EXPECT_EQ(got.min, r.shape.min);
        EXPECT_EQ(got.max, r.shape.max);
    }
    // The same in an AIFF, big-endian after its 512-byte header.
    const NewSoundRequest aiff = Example(InitialData::Sine, FileType::Aiff);
    const auto aiffBytes = ReadAll(CreateNewSoundFile(aiff, dir.Path(), progress));
    ASSERT_EQ(aiffBytes.size(), 512u + 48000u * 4u);
    const Shape aiffShape = ShapeOf(Channel(aiffBytes, 512, aiff, 1));
    EXPECT_EQ(aiffShape.first, -1);
    EXPECT_EQ(aiffShape.min, -32768);
    EXPECT_EQ(aiffShape.max, 32767);

    // 32-bit spans need 64 bits: the extremes still land on the full range.
    EXPECT_EQ(WaveformValue(InitialData::Sine, 0, 48000, 2147483647), -1);
    EXPECT_EQ(WaveformValue(InitialData::Sine, 12000, 48000, 2147483647), 2147483647);
    EXPECT_EQ(WaveformValue(InitialData::Sine, 36000, 48000, 2147483647), -2147483647 - 1);
    EXPECT_EQ(WaveformValue(InitialData::Triangle, 24000, 48000, 2147483647), 2147483647);
    EXPECT_EQ(WaveformValue(InitialData::Triangle, 0, 48000, 2147483647), -2147483647 - 1);
    EXPECT_EQ(WaveformValue(InitialData::Sawtooth, 24000, 48000, 2147483647), 2147483647);
    // Half an odd rate is 2000.5: phase 2000 still belongs to the first half.
    EXPECT_EQ(WaveformValue(InitialData::Square, 2000, 4001, 100), 100);
    EXPECT_EQ(WaveformValue(InitialData::Square, 2001, 4001, 100), -101);
    EXPECT_EQ(WaveformValue(InitialData::Triangle, 2000, 4001, 100), 99);  // rising: 99.95
    EXPECT_EQ(WaveformValue(InitialData::Triangle, 2001, 4001, 100), 99);
}

TEST(NewSoundWaveforms, PhaseRunsOnAcrossBlocks) {
    EXPECT_EQ(PhaseOfFrame(4294967295u, 199999, 200000), 32705u);
    EXPECT_EQ(PhaseOfFrame(std::uint64_t{1} << 32, std::uint64_t{1} << 40, 48000), 13696u);

    // 24-bit stereo: 5461 frames a block; a frequency that does not divide the rate.
    TempDir dir;
    SilentProgress progress;
    const NewSoundRequest s = Request(FileType::Wav, 2, 24, 44100, InitialData::Sine, 8000000, 997, 20000);
    const auto bytes = ReadAll(CreateNewSoundFile(s, dir.Path(), progress));
    const auto right = Channel(bytes, 44, s, 1);
    for (std::uint32_t i : {0u, 5460u, 5461u, 5462u, 10922u, 19999u})
        EXPECT_EQ(right[i], WaveformValue(s.data, PhaseOfFrame(i, 997, 44100), 44100, 8000000)) << i;
    EXPECT_EQ(progress.StatusesShown().back(), StringId::CreatingNewFile);
    EXPECT_EQ(progress.Range(), 4u);  // 20000 frames in blocks of 5461
    EXPECT_EQ(progress.Steps(), 4u);
    EXPECT_FALSE(progress.IsActive());
}

TEST(NewSoundFile, WavHeaderAndSilence) {
    TempDir dir;
    SilentProgress progress;
    // 12-bit data takes two bytes a sample: block align 4 in stereo.
    NewSoundRequest s = Request(FileType::Wav, 2, 12, 22050, InitialData::Silence, 0, 0, 1000);
    std::string path = CreateNewSoundFile(s, dir.Path(), progress);
    EXPECT_EQ(platform::FileNameOf(path).rfind("OLM_NEW_", 0), 0u);
    EXPECT_EQ(path.substr(path.size() - 4), ".WAV");
    auto b = ReadAll(path);
    ASSERT_EQ(b.size(), 44u + 4000u);
    EXPECT_EQ(LoadFourCC(&b[0]), MakeFourCC("RIFF"));
    EXPECT_EQ(LoadLE32(&b[4]), 36u + 4000u);
    EXPECT_EQ(LoadFourCC(&b[8]), MakeFourCC("WAVE"));
    EXPECT_EQ(LoadFourCC(&b[12]), MakeFourCC("fmt "));
    EXPECT_EQ(LoadLE32(&b[16]), 16u);
    EXPECT_EQ(LoadLE16(&b[20]), 1);
    EXPECT_EQ(LoadLE16(&b[22]), 2);
    EXPECT_EQ(LoadLE32(&b[24]), 22050u);
    EXPECT_EQ(LoadLE32(&b[28]), 4u * 22050u);
    EXPECT_EQ(LoadLE16(&b[32]), 4);
    EXPECT_EQ(LoadLE16(&b[34]), 12);
    EXPECT_EQ(LoadFourCC(&b[36]), MakeFourCC("data"));
    EXPECT_EQ(LoadLE32(&b[40]), 4000u);
    EXPECT_TRUE(std::all_of(b.begin() + 44, b.end(), [](std::uint8_t x) { return x == 0; }));

    // 8-bit WAV silence is 0x80; an odd data chunk is closed with a pad byte.
    s = Request(FileType::Wav, 1, 8, 8000, InitialData::Silence, 0, 0, 333);
    b = ReadAll(CreateNewSoundFile(s, dir.Path(), progress));
    ASSERT_EQ(b.size(), 44u + 334u);
    EXPECT_EQ(LoadLE32(&b[4]), 36u + 334u);
    EXPECT_EQ(LoadLE32(&b[40]), 333u);
    EXPECT_TRUE(std::all_of(b.begin() + 44, b.end() - 1, [](std::uint8_t x) { return x == 0x80; }));
    EXPECT_EQ(b.back(), 0);

    // An AIFF: the header without markers, signed 8-bit silence, no pad after odd data.
    s = Request(FileType::Aiff, 1, 8, 8000, InitialData::Silence, 0, 0, 333);
    path = CreateNewSoundFile(s, dir.Path(), progress);
    EXPECT_EQ(path.substr(path.size() - 4), ".AIF");
    b = ReadAll(path);
    ASSERT_EQ(b.size(), 512u + 333u);
    EXPECT_EQ(LoadFourCC(&b[0]), MakeFourCC("FORM"));
    EXPECT_EQ(LoadBE32(&b[4]), b.size() - 8);
    EXPECT_EQ(LoadFourCC(&b[8]), MakeFourCC("AIFF"));
    EXPECT_TRUE(std::all_of(b.begin() + 512, b.end(), [](std::uint8_t x) { return x == 0; }));
    const aiff::AiffHeaderInfo header = aiff::ReadHeader(path);
    EXPECT_EQ(header.frames, 333u);
    EXPECT_EQ(header.sampleRate, 8000u);
    EXPECT_EQ(header.bitsPerSample, 8);
    EXPECT_EQ(header.channels, 1);
}

TEST(NewSoundFile, DiskGarbageOnlyReservesTheData) {
    TempDir dir;
    SilentProgress progress;
    const NewSoundRequest s = Request(FileType::Wav, 2, 16, 44100, InitialData::DiskGarbage, 0, 0, 100000);
    const std::string path = CreateNewSoundFile(s, dir.Path(), progress);
    EXPECT_EQ(platform::FileSize(path), 44 + 400000);
    EXPECT_EQ(progress.Starts(), 0);
    ASSERT_TRUE(test::ReadWithSndfile(path));
    EXPECT_EQ(test::ReadWithSndfile(path)->frames, 100000);
    const NewSoundRequest a = Request(FileType::Aiff, 1, 24, 44100, InitialData::DiskGarbage, 0, 0, 1001);
    EXPECT_EQ(platform::FileSize(CreateNewSoundFile(a, dir.Path(), progress)), 512 + 3003);
}

TEST(NewSoundFile, ExternalReadersAgree) {
    TempDir dir;
    SilentProgress progress;
    for (FileType type : {FileType::Wav, FileType::Aiff}) {
        for (std::uint16_t bits : {8, 16, 24, 32}) {
            for (std::uint16_t channels : {1, 2}) {
                SCOPED_TRACE(testing::Message() << static_cast<int>(type) << " " << bits << " " << channels);
                const std::uint32_t full = (std::uint32_t{1} << (((bits + 7) / 8) * 8 - 1)) - 1;
                const NewSoundRequest s =
                    Request(type, channels, bits, 32000, InitialData::Square, full, 500, 12345);
                const std::string path = CreateNewSoundFile(s, dir.Path(), progress);
                const auto viaSndfile = test::ReadWithSndfile(path);
                ASSERT_TRUE(viaSndfile);
                EXPECT_EQ(viaSndfile->rate, 32000);
                EXPECT_EQ(viaSndfile->channels, channels);
                EXPECT_EQ(viaSndfile->bits, bits);
                EXPECT_EQ(viaSndfile->frames, 12345);
                // libsndfile scales every width to 32 bits: a full square reaches both rails.
                const auto samples = test::SndfileSamples(path);
                ASSERT_EQ(samples.size(), 12345u * channels);
                EXPECT_EQ(samples.front() >> (32 - 8 * ((bits + 7) / 8)), static_cast<std::int32_t>(full));
                EXPECT_EQ(*std::min_element(samples.begin(), samples.end()), INT32_MIN);
                const auto viaSox = test::ReadWithSox(path);
                ASSERT_TRUE(viaSox);
                EXPECT_EQ(viaSox->rate, 32000);
                EXPECT_EQ(viaSox->channels, channels);
                EXPECT_EQ(viaSox->frames, 12345);
            }
        }
    }
}

TEST(NewSoundFile, EscapeAndFailuresLeaveNoFile) {
    TempDir dir;
    const NewSoundRequest s = Example(InitialData::Triangle);  // 192000 bytes: 6 blocks
    {
        SilentProgress progress;
        progress.PressEscapeAtStep(3);
        EXPECT_THROW(CreateNewSoundFile(s, dir.Path(), progress), Cancelled);
        EXPECT_EQ(progress.Steps(), 3u);
        EXPECT_FALSE(progress.IsActive());
    }
    EXPECT_TRUE(FilesIn(dir.Path()).empty());

    // A full disk half-way through.
    {
        SilentProgress progress;
        platform::SetWriteBudget(100000);
        try {
            CreateNewSoundFile(s, dir.Path(), progress);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.Id(), StringId::FileCreatingError);
        }
        platform::SetWriteBudget(-1);
        EXPECT_FALSE(progress.IsActive());
    }
    EXPECT_TRUE(FilesIn(dir.Path()).empty());

    // A request the dialog would never accept, and a folder that does not exist.
    SilentProgress progress;
    NewSoundRequest bad = s;
    bad.bits = 0;
    EXPECT_THROW(CreateNewSoundFile(bad, dir.Path(), progress), Error);
    bad = s;
    bad.frequency = 0;
    EXPECT_THROW(CreateNewSoundFile(bad, dir.Path(), progress), Error);
    EXPECT_TRUE(FilesIn(dir.Path()).empty());
    EXPECT_THROW(CreateNewSoundFile(s, dir.File("missing"), progress), Error);

    // Two files asked for within one second get different names.
    const std::string a = CreateNewSoundFile(s, dir.Path(), progress);
    const std::string b = CreateNewSoundFile(s, dir.Path(), progress);
    EXPECT_NE(a, b);
    EXPECT_EQ(FilesIn(dir.Path()).size(), 2u);
}
