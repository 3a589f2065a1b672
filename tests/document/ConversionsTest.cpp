// The whole-file conversions against a model of their samples, read back by libsndfile and sox,
// with Undo and Redo compared byte for byte.

#include <filesystem>
#include <functional>

#include "DocumentTestBed.h"
#include "base/Error.h"
#include "document/Conversions.h"
#include "platform/FreeSpace.h"
#include "sound/Bytes.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

// What a conversion does to the samples as libsndfile reads them (32-bit scaled, interleaved).
using SampleModel = std::function<std::vector<std::int32_t>(const std::vector<std::int32_t>&, int channels)>;

std::vector<std::int32_t> KeepTopBytes(const std::vector<std::int32_t>& in, int bytes) {
    std::vector<std::int32_t> out(in.size());
    const int shift = 32 - 8 * bytes;
    for (std::size_t i = 0; i < in.size(); ++i)
        out[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(in[i] >> shift) << shift);
    return out;
}

struct ConversionCase {
    const char* name;
    const char* file;  // made by sox: extension and format
    const char* sox;
    std::function<void(COLMDoc&)> run;
    int channels, bits;  // afterwards
    SampleModel model;
};

std::vector<ConversionCase> Cases() {
    const auto same = [](const std::vector<std::int32_t>& in, int) { return in; };
    const auto widths = [](int bytes) {
        return [bytes](const std::vector<std::int32_t>& in, int) { return KeepTopBytes(in, bytes); };
    };
    const auto addRight = [](const std::vector<std::int32_t>& in, int) {
        std::vector<std::int32_t> out(2 * in.size(), 0);
        for (std::size_t i = 0; i < in.size(); ++i) out[2 * i] = in[i];
        return out;
    };
    const auto keep = [](int channel) {
        return [channel](const std::vector<std::int32_t>& in, int) {
            std::vector<std::int32_t> out;
            for (std::size_t i = static_cast<std::size_t>(channel); i < in.size(); i += 2) out.push_back(in[i]);
            return out;
        };
    };
    const auto swap = [](const std::vector<std::int32_t>& in, int) {
        std::vector<std::int32_t> out(in.size());
        for (std::size_t i = 0; i + 1 < in.size(); i += 2) {
            out[i] = in[i + 1];
            out[i + 1] = in[i];
        }
        return out;
    };
    return {
        // name, file, format, command, channels and bits after, model
        {"wav 16 to 8", "a.wav", "-r 8000 -b 16 -c 2", [](COLMDoc& d) { ConvertBitSize(d, 1); }, 2, 8, widths(1)},
        {"wav 16 to 24", "a.wav", "-r 8000 -b 16 -c 1", [](COLMDoc& d) { ConvertBitSize(d, 3); }, 1, 24, same},
        {"wav 8 to 32", "a.wav", "-r 8000 -b 8 -c 1", [](COLMDoc& d) { ConvertBitSize(d, 4); }, 1, 32, same},
        {"wav 32 to 16", "a.wav", "-r 8000 -b 32 -c 2", [](COLMDoc& d) { ConvertBitSize(d, 2); }, 2, 16, widths(2)},
        {"aiff 24 to 8", "a.aif", "-r 8000 -b 24 -c 1", [](COLMDoc& d) { ConvertBitSize(d, 1); }, 1, 8, widths(1)},
        {"aiff 8 to 24", "a.aif", "-r 8000 -b 8 -c 2", [](COLMDoc& d) { ConvertBitSize(d, 3); }, 2, 24, same},
        {"wav 8 add channel", "a.wav", "-r 8000 -b 8 -c 1", AddChannel, 2, 8, addRight},
        {"aiff 24 add channel", "a.aif", "-r 8000 -b 24 -c 1", AddChannel, 2, 24, addRight},
        {"wav delete ch1", "a.wav", "-r 8000 -b 16 -c 2", [](COLMDoc& d) { DeleteChannel(d, 0); }, 1, 16, keep(1)},
        {"aiff delete ch2", "a.aif", "-r 8000 -b 32 -c 2", [](COLMDoc& d) { DeleteChannel(d, 1); }, 1, 32, keep(0)},
        {"wav swap", "a.wav", "-r 8000 -b 24 -c 2", SwapChannels, 2, 24, swap},
        {"aiff swap", "a.aif", "-r 8000 -b 8 -c 2", SwapChannels, 2, 8, swap},
    };
}

}  // namespace

using Conversions = DocumentTestBed;

// Every transform on both types: the samples, the format, the loop that rides along, and Undo
// and Redo alternating between the two files byte for byte.
TEST_F(Conversions, TransformsUndoAndRedo) {
    for (const ConversionCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        // Stereo and mono sines of different lengths per channel count, with a left/right difference.
        const std::string path = MakeSound(c.file, c.sox, 0.13);
        {
            // The loop saved into the file, so that its working copy holds it.
            COLMDoc& saved = app.Open(path);
            saved.Info().loopOn = true;
            saved.Info().loopStart = 101;
            saved.Info().loopEnd = 733;
            saved.Save();
            ASSERT_TRUE(app.Close(saved));
        }
        COLMDoc& doc = app.Open(path);
        const std::uint16_t channelsBefore = doc.Info().channels;
        const auto samples = SndfileSamples(doc.WorkingPath());
        const auto before = ReadAll(doc.WorkingPath());
        const std::uint32_t frames = doc.Info().frames;
        const auto files = FilesIn(work);
        c.run(doc);
        EXPECT_EQ(doc.Info().channels, c.channels);
        EXPECT_EQ(doc.Info().bitsPerSample, c.bits);
        EXPECT_EQ(doc.Info().frames, frames);
        EXPECT_EQ(doc.Info().channelEnd, c.channels);
        EXPECT_TRUE(doc.DataChanged());
        EXPECT_EQ(SndfileSamples(doc.WorkingPath()), c.model(samples, c.channels));
        auto sox = ReadWithSox(doc.WorkingPath());
        ASSERT_TRUE(sox);
        EXPECT_EQ(sox->frames, frames);
        EXPECT_EQ(sox->channels, c.channels);
        const auto instrument = SndfileInstrumentOf(doc.WorkingPath());
        ASSERT_TRUE(instrument);
        ASSERT_FALSE(instrument->loops.empty());
        EXPECT_EQ(instrument->loops[0].start, 101u);
        const auto after = ReadAll(doc.WorkingPath());
        EXPECT_EQ(FilesIn(work), files);  // no temporary file left

        for (int step = 0; step < 4; ++step) {
            doc.Undo().UndoOrRedo(doc);
            const bool undone = step % 2 == 0;
            EXPECT_EQ(ReadAll(doc.WorkingPath()), undone ? before : after) << "step " << step;
            EXPECT_EQ(doc.Info().channels, undone ? channelsBefore : c.channels);
            EXPECT_EQ(doc.Info().loopStart, 101u);
            EXPECT_EQ(doc.Info().loopEnd, 733u);
        }
        app.Discard(doc);
        std::filesystem::remove(path);
    }
}

// The pad byte after odd-sized data: a conversion that changes the data size between odd and
// even keeps the chunks after the data readable ('smpl' with its loop, 'inst').
TEST_F(Conversions, ChunksAfterTheDataSurviveAnOddEvenChange) {
    struct Case {
        const char* name;
        const char* sox;
        double seconds;  // 8000 Hz: 0.125 s is 1000 frames, 0.000125 more makes it odd
        std::uint16_t toBytes;
    } cases[] = {
        {"odd 8-bit mono to 16", "-r 8000 -b 8 -c 1", 0.125125, 2},
        {"16-bit mono to odd 8", "-r 8000 -b 16 -c 1", 0.125125, 1},
        {"odd 8-bit mono to 24", "-r 8000 -b 8 -c 1", 0.125125, 3},
        {"24-bit odd to 8", "-r 8000 -b 24 -c 1", 0.125125, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = MakeSound("p.wav", c.sox, c.seconds);
        {
            // The loop and instrument saved into the file, so that its working copy holds them.
            COLMDoc& saved = app.Open(path);
            saved.Info().loopOn = true;
            saved.Info().loopStart = 10;
            saved.Info().loopEnd = 500;
            saved.Info().instrument.unityNote = 48;
            saved.Save();
            ASSERT_TRUE(app.Close(saved));
        }
        COLMDoc& doc = app.Open(path);
        ASSERT_EQ(doc.Info().frames % 2, 1u);
        ConvertBitSize(doc, c.toBytes);
        const auto instrument = SndfileInstrumentOf(doc.WorkingPath());
        ASSERT_TRUE(instrument);
        EXPECT_EQ(instrument->basenote, 48);
        ASSERT_EQ(instrument->loops.size(), 1u);
        EXPECT_EQ(instrument->loops[0].start, 10u);
        EXPECT_EQ(instrument->loops[0].end, 500u);
        EXPECT_EQ(ReadWithSox(doc.WorkingPath())->frames, doc.Info().frames);
        EXPECT_EQ(ReadAll(doc.WorkingPath()).size(), doc.Info().workingFileLength);
        app.Discard(doc);
        std::filesystem::remove(path);
    }
}

// ESC at any block leaves the document, its file and the working directory as they were.
TEST_F(Conversions, EscapeLeavesEverythingAsItWas) {
    const std::string path = MakeSound("long.wav", "-r 44100 -b 16 -c 2", 1.0);  // 176400 bytes: 6 blocks
    COLMDoc& doc = app.Open(path);
    const auto before = ReadAll(doc.WorkingPath());
    const auto files = FilesIn(work);
    for (std::uint64_t at : {1, 3, 6}) {
        progress.PressEscapeAtStep(progress.Steps() + at);
        EXPECT_THROW(ConvertBitSize(doc, 3), Cancelled);
        EXPECT_EQ(ReadAll(doc.WorkingPath()), before);
        EXPECT_EQ(doc.Info().bitsPerSample, 16);
        EXPECT_FALSE(doc.DataChanged());
        EXPECT_EQ(FilesIn(work), files);
        EXPECT_FALSE(progress.IsActive());
    }
    progress.PressEscapeAtStep(0);
}

// A file edited in place on another filesystem than the working directory: the swap copies
// across, and a failed copy puts the user's sound back.
TEST_F(Conversions, SwapInAcrossFilesystems) {
    char folder[] = "/dev/shm/pelmora-conv-XXXXXX";
    if (!mkdtemp(folder) || platform::SameFilesystem(folder, work)) GTEST_SKIP() << "no second filesystem";
    struct Remove {
        std::string path;
        ~Remove() { std::filesystem::remove_all(path); }
    } remove{folder};
    app.fileBackup = false;
    const std::string path = std::string(folder) + "/x.wav";
    std::filesystem::copy_file(MakeSound("x.wav", "-r 8000 -b 16 -c 1", 0.5), path);
    COLMDoc& doc = app.Open(path);
    const auto before = ReadAll(path);
    platform::SetWriteBudget(20000);  // the new file is written, its copy across fails
    EXPECT_THROW(AddChannel(doc), Error);
    platform::SetWriteBudget(-1);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(doc.Info().channels, 1);
    EXPECT_FALSE(doc.Undo().Enabled());

    AddChannel(doc);
    EXPECT_EQ(ReadWithSndfile(path)->channels, 2);
    doc.Undo().UndoOrRedo(doc);
    EXPECT_EQ(ReadAll(path), before);
    app.Discard(doc);
}

// Conversions that would pass 4 GiB are refused before anything is written.
TEST_F(Conversions, PassingFourGibIsRefused) {
    // A sparse 8-bit mono WAV of 1.5 billion frames: 24 bits would need 4.5 GB.
    const std::string path = user + "/big.wav";
    {
        const std::string small = MakeSound("s.wav", "-r 8000 -b 8 -c 1", 0.01);
        auto bytes = ReadAll(small);
        const std::uint32_t frames = 1500000000;
        StoreLE32(bytes.data() + 4, frames + 36);
        StoreLE32(bytes.data() + 40, frames);
        bytes.resize(44);
        WriteAll(path, bytes);
        std::filesystem::resize_file(path, 44 + std::uint64_t{frames});
    }
    app.fileBackup = false;
    COLMDoc& doc = app.Open(path);
    ASSERT_EQ(doc.Info().frames, 1500000000u);
    const auto files = FilesIn(work);
    for (std::uint16_t bytes : {3, 4}) {
        try {
            ConvertBitSize(doc, bytes);
            ADD_FAILURE() << "no refusal";
        } catch (const Error& e) {
            EXPECT_EQ(e.Id(), StringId::ConversionTooLarge);
        }
    }
    EXPECT_EQ(FilesIn(work), files);  // nothing was written
    EXPECT_EQ(doc.Info().bitsPerSample, 8);
    app.Discard(doc);
}
