#include <gtest/gtest.h>

#include <cstring>

#include "base/Error.h"
#include "base/SilentProgress.h"
#include "platform/File.h"
#include "sound/AiffHeader.h"
#include "sound/AiffMarkers.h"
#include "sound/AiffReader.h"
#include "sound/AiffUpdate.h"
#include "sound/AiffWriter.h"
#include "sound/Bytes.h"
#include "sound/SampleCodec.h"
#include "support/ExternalReaders.h"
#include "support/TempDir.h"
#include "AiffTestFiles.h"

namespace pelmora {
namespace {

using test::AiffBuilder;

// A plain WAV working file with a ramp, described by the returned SoundInfo.
SoundInfo MakeWav(const std::string& path, std::uint16_t channels, std::uint16_t bits,
                  std::uint32_t frames) {
    SoundInfo info;
    info.fileType = FileType::Wav;
    info.channels = channels;
    info.bitsPerSample = bits;
    info.sampleRate = 22050;
    info.frames = frames;
    info.dataOffset = 44;
    UpdateDerivedFormat(info);
    std::vector<std::uint8_t> bytes(44 + DataBytes(info));
    std::memcpy(bytes.data(), "RIFF", 4);
    StoreLE32(bytes.data() + 4, static_cast<std::uint32_t>(bytes.size() - 8));
    std::memcpy(bytes.data() + 8, "WAVEfmt ", 8);
    StoreLE32(bytes.data() + 16, 16);
    StoreLE16(bytes.data() + 20, 1);
    StoreLE16(bytes.data() + 22, channels);
    StoreLE32(bytes.data() + 24, info.sampleRate);
    StoreLE32(bytes.data() + 28, info.sampleRate * info.blockAlign);
    StoreLE16(bytes.data() + 32, info.blockAlign);
    StoreLE16(bytes.data() + 34, bits);
    std::memcpy(bytes.data() + 36, "data", 4);
    StoreLE32(bytes.data() + 40, static_cast<std::uint32_t>(DataBytes(info)));
    for (std::uint32_t i = 0; i < frames * channels; ++i) {
        WriteSample(FileType::Wav, info.bytesPerSample, bytes.data() + 44 + i * info.bytesPerSample,
                    static_cast<std::int32_t>(i % 200) - 100);
    }
    test::WriteAll(path, bytes);
    return info;
}

SoundInfo ReadBack(const std::string& path) {
    platform::File file(path, platform::OpenMode::Read);
    SoundInfo info;
    aiff::ReadIntoDocument(file, info);
    return info;
}

void ExpectExternalFormat(const std::string& path, int rate, int channels, int bits,
                          std::int64_t frames) {
    const auto sf = test::ReadWithSndfile(path);
    ASSERT_TRUE(sf) << "libsndfile refused " << path;
    EXPECT_EQ(sf->rate, rate);
    EXPECT_EQ(sf->channels, channels);
    EXPECT_EQ(sf->bits, bits);
    EXPECT_EQ(sf->frames, frames);
    const auto sox = test::ReadWithSox(path);
    ASSERT_TRUE(sox) << "sox refused " << path;
    EXPECT_EQ(sox->rate, rate);
    EXPECT_EQ(sox->channels, channels);
    EXPECT_EQ(sox->bits, bits);
    EXPECT_EQ(sox->frames, frames);
}

std::vector<AiffMarker> MarkersOf(const SoundInfo& info) { return ParseMarkBody(info.aiffMarkBody); }

TEST(AiffWriteNew, TemplateWithoutMarkersThenData) {
    test::TempDir dir;
    for (std::uint16_t bits : {8, 16, 24, 32}) {
        const std::string path = dir.File("new" + std::to_string(bits) + ".aif");
        SoundInfo info;
        info.channels = 2;
        info.bitsPerSample = bits;
        info.sampleRate = 44100;
        info.frames = 1001;
        platform::File file(path, platform::OpenMode::CreateTruncate);
        aiff::WriteNewFile(file, info);
        EXPECT_EQ(info.dataOffset, 512u);
        EXPECT_EQ(info.fileType, FileType::Aiff);
        std::vector<std::uint8_t> data(DataBytes(info), 0);
        ASSERT_TRUE(file.WriteAt(512, data.data(), data.size()));
        file.Close();

        const auto bytes = test::ReadAll(path);
        EXPECT_EQ(test::BE32At(bytes, 4), bytes.size() - 8);
        EXPECT_EQ(test::IdAt(bytes, 38), "COMT");
        const SoundInfo back = ReadBack(path);
        EXPECT_EQ(back.dataOffset, 512u);
        EXPECT_EQ(back.frames, 1001u);
        EXPECT_EQ(back.sampleRate, 44100u);
        ExpectExternalFormat(path, 44100, 2, bits, 1001);
    }
}

TEST(AiffWriteWithMarkers, WavLoopConvertedAtTemplateLayout) {
    test::TempDir dir;
    SoundInfo wav = MakeWav(dir.File("src.wav"), 2, 16, 10000);  // three blocks of data
    wav.loopStart = 100;
    wav.loopEnd = 5000;
    wav.loopOn = true;
    wav.instrument.unityNote = 64;
    wav.wavSmplLoops = {WavLoopRecord{0, 0, 100, 4999, 0, 0}};
    const std::string out = dir.File("out.aif");
    {
        platform::File source(dir.File("src.wav"), platform::OpenMode::Read);
        platform::File target(out, platform::OpenMode::CreateTruncate);
        SilentProgress progress;
        EXPECT_EQ(aiff::WriteWithMarkers(source, wav, target, progress,
                                         StringId::ConvertingWavToAiff, false),
                  512u);
        EXPECT_EQ(progress.StatusesShown(), std::vector<StringId>{StringId::ConvertingWavToAiff});
        EXPECT_FALSE(progress.IsActive());
    }
    const auto bytes = test::ReadAll(out);
    EXPECT_EQ(bytes.size(), 512u + 40000);
    EXPECT_EQ(test::BE32At(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(std::string(bytes.begin() + 55, bytes.begin() + 63), "big loop");
    EXPECT_EQ(std::string(bytes.begin() + 71, bytes.begin() + 79), "end loop");
    EXPECT_EQ(test::IdAt(bytes, 108), "COMT");

    const SoundInfo back = ReadBack(out);
    EXPECT_TRUE(back.loopOn);
    EXPECT_EQ(back.loopStart, 100u);
    EXPECT_EQ(back.loopEnd, 5000u);
    EXPECT_EQ(back.instrument.unityNote, 64);
    ExpectExternalFormat(out, 22050, 2, 16, 10000);
    const auto samples = test::SndfileSamples(out);
    ASSERT_EQ(samples.size(), 20000u);
    for (std::size_t i = 0; i < samples.size(); i += 997)
        EXPECT_EQ(samples[i], (static_cast<std::int32_t>(i % 200) - 100) * 65536) << i;
    const auto inst = test::SndfileInstrumentOf(out);
    ASSERT_TRUE(inst);
    EXPECT_EQ(inst->basenote, 64);
    ASSERT_GE(inst->loops.size(), 1u);
    EXPECT_EQ(inst->loops[0].start, 100u);
    EXPECT_EQ(inst->loops[0].end, 5000u);
}

TEST(AiffWriteWithMarkers, SeveralLoopsShareMarkersAndAlignData) {
    test::TempDir dir;
    SoundInfo wav = MakeWav(dir.File("src.wav"), 1, 8, 301);
    // The current loop stands in for the first record; record 3 starts where record 2 ends.
    wav.loopStart = 10;
    wav.loopEnd = 20;
    wav.loopOn = false;
    wav.wavSmplLoops = {WavLoopRecord{0, 0, 1, 2, 0, 0}, WavLoopRecord{0, 0, 20, 29, 0, 0},
                        WavLoopRecord{0, 0, 30, 99, 0, 0}};
    const std::string out = dir.File("out.aif");
    platform::File source(dir.File("src.wav"), platform::OpenMode::Read);
    platform::File target(out, platform::OpenMode::CreateTruncate);
    SilentProgress progress;
    const std::uint32_t offset = aiff::WriteWithMarkers(source, wav, target, progress,
                                                        StringId::ConvertingWavToAiff, false);
    target.Close();
    EXPECT_EQ(offset % 512, 0u);

    const SoundInfo back = ReadBack(out);
    EXPECT_EQ(back.dataOffset, offset);
    const auto markers = MarkersOf(back);
    ASSERT_EQ(markers.size(), 4u);  // 10, 20, 30, 100
    EXPECT_EQ(markers[0], (AiffMarker{1, 10, "big loop"}));
    EXPECT_EQ(markers[1], (AiffMarker{2, 20, "end loop"}));
    EXPECT_EQ(markers[2], (AiffMarker{3, 30, "end loop"}));
    EXPECT_EQ(markers[3], (AiffMarker{4, 100, "end loop"}));
    EXPECT_FALSE(back.loopOn);
    EXPECT_EQ(back.loopStart, 10u);
    EXPECT_EQ(back.loopEnd, 20u);
    ExpectExternalFormat(out, 22050, 1, 8, 301);
    // 8-bit WAV bytes become signed AIFF bytes.
    const auto bytes = test::ReadAll(out);
    ASSERT_EQ(bytes.size(), offset + 301u);
    EXPECT_EQ(static_cast<std::int8_t>(bytes[offset]), -100);
    EXPECT_EQ(static_cast<std::int8_t>(bytes[offset + 150]), 50);
}

TEST(AiffWriteWithMarkers, NoLoopNoMarkAndCancel) {
    test::TempDir dir;
    SoundInfo wav = MakeWav(dir.File("src.wav"), 2, 24, 20000);
    platform::File source(dir.File("src.wav"), platform::OpenMode::Read);
    {
        platform::File target(dir.File("plain.aif"), platform::OpenMode::CreateTruncate);
        SilentProgress progress;
        progress.PressEscapeAtStep(1);  // not cancellable: ESC is ignored
        EXPECT_EQ(aiff::WriteWithMarkers(source, wav, target, progress,
                                         StringId::ConvertingWavToAiff, false),
                  512u);
    }
    const SoundInfo plain = ReadBack(dir.File("plain.aif"));
    EXPECT_FALSE(plain.aiffHasMark);
    EXPECT_TRUE(plain.aiffHasInst);
    ExpectExternalFormat(dir.File("plain.aif"), 22050, 2, 24, 20000);

    platform::File target(dir.File("cancel.aif"), platform::OpenMode::CreateTruncate);
    SilentProgress progress;
    progress.PressEscapeAtStep(2);
    EXPECT_THROW(aiff::WriteWithMarkers(source, wav, target, progress,
                                        StringId::ConvertingWaveToAiffCancel, true),
                 Cancelled);
    EXPECT_FALSE(progress.IsActive());
}

TEST(AiffRefresh, SsndOffsetKeepsDataWhole) {
    test::TempDir dir;
    const std::string path = dir.File("off.aif");
    // SSND with an offset field of 4, then an image chunk after the data.
    test::WriteAll(path, AiffBuilder()
                             .Comm(1, 4, 16, 8000)
                             .Ssnd(std::vector<std::uint8_t>(8, 1), 4)
                             .Chunk("APPL", {'Q', 'M', 'V', '0', 'W', 'F', 'r', 'm'})
                             .Bytes());
    platform::File file(path, platform::OpenMode::ReadWrite);
    SoundInfo info;
    aiff::ReadIntoDocument(file, info);
    EXPECT_EQ(info.dataOffset, 12u + 26 + 16 + 4);
    // The edit engine grew the data by 6 frames, moving the trailing chunk up.
    auto bytes = test::ReadAll(path);
    bytes.insert(bytes.begin() + info.dataEnd, 12, 0x33);
    test::WriteAll(path, bytes);
    info.frames = 10;
    info.channels = 1;
    info.sampleRate = 11025;
    aiff::RefreshHeader(file, info);
    file.Close();

    bytes = test::ReadAll(path);
    EXPECT_EQ(test::BE32At(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(test::BE32At(bytes, 38 + 4), 4u + 8 + 20);
    EXPECT_EQ(info.workingFileLength, bytes.size());
    const SoundInfo back = ReadBack(path);
    EXPECT_EQ(back.frames, 10u);
    EXPECT_EQ(back.sampleRate, 11025u);
    ExpectExternalFormat(path, 11025, 1, 16, 10);
    platform::File reread(path, platform::OpenMode::Read);
    EXPECT_TRUE(aiff::FindImageChunk(reread)) << "the chunk after the data is still found";
}

// A looped 16-bit mono AIFF written as the document writer does.
std::string WriteLooped(const test::TempDir& dir, std::uint32_t start, std::uint32_t end) {
    SoundInfo wav = MakeWav(dir.File("src.wav"), 1, 16, 1000);
    wav.loopStart = start;
    wav.loopEnd = end;
    wav.loopOn = true;
    platform::File source(dir.File("src.wav"), platform::OpenMode::Read);
    platform::File target(dir.File("looped.aif"), platform::OpenMode::CreateTruncate);
    SilentProgress progress;
    aiff::WriteWithMarkers(source, wav, target, progress, StringId::ConvertingWavToAiff, false);
    return dir.File("looped.aif");
}

TEST(AiffUpdateLoop, MovedLoopMovesItsMarkersInPlaceAndAddsOnlyWhenNoneAreNamed) {
    test::TempDir dir;
    const std::string path = WriteLooped(dir, 100, 500);
    const auto before = test::SndfileSamples(path);
    const std::size_t length = test::ReadAll(path).size();
    platform::File file(path, platform::OpenMode::ReadWrite);
    SoundInfo info;
    aiff::ReadIntoDocument(file, info);
    EXPECT_EQ(MarkersOf(info)[0].name, "beg loop");

    info.loopStart = 200;
    info.loopEnd = 700;
    info.instrument.unityNote = 50;
    aiff::UpdateLoopAndInstrument(file, info);
    EXPECT_EQ(info.dataOffset, 512u) << "nothing grew";
    file.Close();

    const SoundInfo back = ReadBack(path);
    EXPECT_TRUE(back.loopOn);
    EXPECT_EQ(back.loopStart, 200u);
    EXPECT_EQ(back.loopEnd, 700u);
    EXPECT_EQ(back.instrument.unityNote, 50);
    EXPECT_EQ(MarkersOf(back), (std::vector<AiffMarker>{{1, 200, "beg loop"}, {2, 700, "end loop"}}));
    const auto bytes = test::ReadAll(path);
    EXPECT_EQ(bytes.size(), length);
    EXPECT_EQ(test::BE32At(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(test::SndfileSamples(path), before);
    const auto inst = test::SndfileInstrumentOf(path);
    ASSERT_TRUE(inst && !inst->loops.empty());
    EXPECT_EQ(inst->loops[0].start, 200u);
    EXPECT_EQ(inst->loops[0].end, 700u);

    // An empty loop names no markers; the next loop reuses a marker at its start and adds
    // one for its end.
    platform::File again(path, platform::OpenMode::ReadWrite);
    SoundInfo second = ReadBack(path);
    second.loopStart = second.loopEnd = 0;
    aiff::UpdateLoopAndInstrument(again, second);
    second.loopStart = 200;
    second.loopEnd = 900;
    second.loopOn = false;
    aiff::UpdateLoopAndInstrument(again, second);
    again.Close();
    const SoundInfo third = ReadBack(path);
    EXPECT_EQ(MarkersOf(third),
              (std::vector<AiffMarker>{{1, 200, "beg loop"}, {2, 700, "end loop"}, {3, 900, "end loop"}}));
    EXPECT_FALSE(third.loopOn);
    EXPECT_EQ(third.loopStart, 200u);
    EXPECT_EQ(third.loopEnd, 900u);
}

TEST(AiffUpdateLoop, AppendsChunksAfterOddDataWithPadByte) {
    test::TempDir dir;
    const std::string path = dir.File("odd.aif");
    SoundInfo info;
    info.channels = 1;
    info.bitsPerSample = 8;
    info.sampleRate = 8000;
    info.frames = 333;
    {
        platform::File file(path, platform::OpenMode::CreateTruncate);
        aiff::WriteNewFile(file, info);
        std::vector<std::uint8_t> data(333, 5);
        ASSERT_TRUE(file.WriteAt(512, data.data(), data.size()));
    }
    platform::File file(path, platform::OpenMode::ReadWrite);
    info.loopStart = 10;
    info.loopEnd = 300;
    info.loopOn = true;
    aiff::UpdateLoopAndInstrument(file, info);
    aiff::StoreImageChunk(file, info, {'Q', 'M', 'V', '0', 'W', 'F', 'r', 'm', 1});
    aiff::StoreImageChunk(file, info, {'Q', 'M', 'S', '0', 'W', 'F', 'r', 'm', 2, 3, 4});
    file.Close();

    const auto bytes = test::ReadAll(path);
    EXPECT_EQ(bytes[512 + 333], 0) << "pad byte after the odd SSND";
    EXPECT_EQ(test::IdAt(bytes, 512 + 334), "MARK");
    EXPECT_EQ(test::BE32At(bytes, 4), bytes.size() - 8);
    std::size_t appl = 0;
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i) appl += test::IdAt(bytes, i) == "APPL";
    EXPECT_EQ(appl, 1u) << "the old image chunk is replaced";
    EXPECT_EQ(bytes[bytes.size() - 1], 4);

    const SoundInfo back = ReadBack(path);
    EXPECT_EQ(back.loopStart, 10u);
    EXPECT_EQ(back.loopEnd, 300u);
    EXPECT_TRUE(back.loopOn);
    ExpectExternalFormat(path, 8000, 1, 8, 333);
    const auto inst = test::SndfileInstrumentOf(path);
    ASSERT_TRUE(inst && !inst->loops.empty());
    EXPECT_EQ(inst->loops[0].start, 10u);
    EXPECT_EQ(inst->loops[0].end, 300u);

    // An empty loop range leaves no sustain loop.
    platform::File again(path, platform::OpenMode::ReadWrite);
    SoundInfo cleared = back;
    cleared.loopStart = cleared.loopEnd = 0;
    aiff::UpdateLoopAndInstrument(again, cleared);
    again.Close();
    EXPECT_EQ(aiff::ReadHeader(path).loopPlayMode, 0);
    EXPECT_FALSE(ReadBack(path).loopOn);
}

}  // namespace
}  // namespace pelmora
