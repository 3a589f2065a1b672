#include <cctype>
#include <sys/stat.h>

#include "../document/DocumentTestBed.h"
#include "support/ExternalReaders.h"
#include "base/Error.h"
#include "edit/ClipboardOps.h"
#include "edit/Selection.h"
#include "sound/SampleCodec.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

// Every sample of the document's working file, channel 0 first, in its own width.
std::vector<std::int32_t> Samples(const COLMDoc& doc) {
    const SoundInfo& s = doc.Info();
    const auto bytes = ReadAll(doc.WorkingPath());
    std::vector<std::int32_t> out;
    for (std::uint64_t i = 0; i < static_cast<std::uint64_t>(s.frames) * s.channels; ++i)
        out.push_back(ReadSample(s.fileType, s.bytesPerSample, bytes.data() + s.dataOffset + i * s.bytesPerSample));
    return out;
}

std::int32_t At(const std::vector<std::int32_t>& samples, const COLMDoc& doc, std::uint32_t frame, int ch) {
    return samples[static_cast<std::size_t>(frame) * doc.Info().channels + ch];
}

class ClipboardOps : public DocumentTestBed {
protected:
    COLMDoc& OpenSound(const std::string& name, const std::string& soxFormat, double seconds = 0.05) {
        return app.Open(MakeSound(name, soxFormat, seconds));
    }
    Clip& clip() { return app.GetClip(); }
};

}  // namespace

TEST_F(ClipboardOps, PasteAtTheEndExtendsWithSilenceOfTheFileType) {
    for (auto [name, silence] : {std::pair{"a.wav", 0x80}, std::pair{"a.aif", 0x00}}) {
        COLMDoc& doc = OpenSound(name, "-r 8000 -b 8 -c 2");
        const std::uint32_t n = doc.Info().frames;
        const auto before = Samples(doc);
        SelectChannels(doc, ChannelChoice::Left);
        SelectFrames(doc, 0, 100);
        ASSERT_TRUE(Copy(doc, clip()));
        SelectFrames(doc, n - 1, n - 1);
        ASSERT_TRUE(Paste(doc, clip()));
        EXPECT_EQ(doc.Info().frames, n - 1 + 100);
        EXPECT_EQ(doc.selectionEnd, n - 1 + 100);
        const auto after = Samples(doc);
        const auto bytes = ReadAll(doc.WorkingPath());
        for (std::uint32_t i = 0; i < 100; ++i) {
            EXPECT_EQ(At(after, doc, n - 1 + i, 0), At(before, doc, i, 0));
            // The right channel of the added frames is silence, in the file type's encoding.
            if (i > 0) {
                EXPECT_EQ(bytes[doc.Info().dataOffset + (n - 1 + i) * 2 + 1], silence) << name;
            }
        }
        const std::vector<std::uint8_t> extended = bytes;
        doc.Undo().UndoOrRedo(doc);
        EXPECT_EQ(doc.Info().frames, n);
        EXPECT_EQ(Samples(doc), before);
        doc.Undo().UndoOrRedo(doc);  // the redo grows the sound again with the same silence
        EXPECT_EQ(ReadAll(doc.WorkingPath()), extended);
        app.Discard(doc);
    }
}

TEST_F(ClipboardOps, MonoClipIntoStereoAndWidthConversion) {
    COLMDoc& mono = OpenSound("m.wav", "-r 8000 -b 16 -c 1");
    SelectFrames(mono, 10, 20);
    ASSERT_TRUE(Copy(mono, clip()));
    EXPECT_EQ(clip().info.channels, 1);
    const auto source = Samples(mono);

    COLMDoc& stereo = OpenSound("s.aif", "-r 8000 -b 24 -c 2");
    const auto before = Samples(stereo);
    SelectFrames(stereo, 5, 5);
    ASSERT_TRUE(Paste(stereo, clip()));
    auto after = Samples(stereo);
    for (std::uint32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(At(after, stereo, 5 + i, 0), source[10 + i] * 256);   // 16 -> 24 bits
        EXPECT_EQ(At(after, stereo, 5 + i, 1), At(before, stereo, 5 + i, 1));  // kept
    }
    // Insert writes every channel: the right one of the inserted frames is 0.
    SelectFrames(stereo, 30, 30);
    ASSERT_TRUE(Insert(stereo, clip()));
    after = Samples(stereo);
    EXPECT_EQ(stereo.Info().frames, before.size() / 2 + 10);
    for (std::uint32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(At(after, stereo, 30 + i, 0), source[10 + i] * 256);
        EXPECT_EQ(At(after, stereo, 30 + i, 1), 0);
    }
    EXPECT_EQ(At(after, stereo, 40, 1), At(before, stereo, 30, 1));  // the tail moved up

    // Into 8 bits: arithmetic right shift.
    COLMDoc& narrow = OpenSound("n.wav", "-r 8000 -b 8 -c 1");
    SelectFrames(narrow, 0, 0);
    ASSERT_TRUE(Paste(narrow, clip()));
    const auto small = Samples(narrow);
    for (std::uint32_t i = 0; i < 10; ++i) EXPECT_EQ(small[i], source[10 + i] >> 8);
}

TEST_F(ClipboardOps, OneChannelOfStereoCopiesAsMonoAndEditsOnlyThatChannel) {
    COLMDoc& doc = OpenSound("s.wav", "-r 8000 -b 16 -c 2");
    const auto before = Samples(doc);
    SelectChannels(doc, ChannelChoice::Right);
    SelectFrames(doc, 0, 50);
    ASSERT_TRUE(Copy(doc, clip()));
    EXPECT_EQ(clip().info.channels, 1);
    EXPECT_EQ(clip().info.frameSize, 2);
    SelectFrames(doc, 100, 100);
    ASSERT_TRUE(Paste(doc, clip()));
    const auto after = Samples(doc);
    for (std::uint32_t i = 0; i < 50; ++i) {
        EXPECT_EQ(At(after, doc, 100 + i, 1), At(before, doc, i, 1));
        EXPECT_EQ(At(after, doc, 100 + i, 0), At(before, doc, 100 + i, 0));
    }
}

TEST_F(ClipboardOps, ClearAndInsertUndoRestoreBothChannelsWithOneSelected) {
    COLMDoc& doc = OpenSound("s.wav", "-r 8000 -b 16 -c 2");
    const auto original = ReadAll(doc.WorkingPath());
    SelectChannels(doc, ChannelChoice::Left);
    SelectFrames(doc, 20, 60);
    ASSERT_TRUE(Clear(doc));
    EXPECT_EQ(doc.Info().frames, original.size() / 4 - 11 - 40);
    doc.Undo().UndoOrRedo(doc);
    EXPECT_EQ(ReadAll(doc.WorkingPath()), original);

    SelectFrames(doc, 0, 5);
    Copy(doc, clip());
    SelectFrames(doc, 20, 60);
    ASSERT_TRUE(Insert(doc, clip()));  // shrinking: 40 frames become 5
    const auto inserted = ReadAll(doc.WorkingPath());
    EXPECT_EQ(inserted.size(), original.size() - 35 * 4);  // no stale bytes at the end
    doc.Undo().UndoOrRedo(doc);
    EXPECT_EQ(ReadAll(doc.WorkingPath()), original);
    doc.Undo().UndoOrRedo(doc);
    EXPECT_EQ(ReadAll(doc.WorkingPath()), inserted);
}

TEST_F(ClipboardOps, NothingHappensWithoutASelectionOrForAWholeTrim) {
    COLMDoc& doc = OpenSound("s.wav", "-r 8000 -b 16 -c 1");
    SelectFrames(doc, 7, 7);
    EXPECT_FALSE(Cut(doc, clip()));
    EXPECT_FALSE(Copy(doc, clip()));
    EXPECT_FALSE(Clear(doc));
    EXPECT_FALSE(Trim(doc));
    SelectAll(doc);
    EXPECT_FALSE(Trim(doc));
    EXPECT_FALSE(doc.Undo().Enabled());
    EXPECT_FALSE(doc.DataChanged());
    EXPECT_FALSE(Paste(doc, clip()));  // no clip yet
}

TEST_F(ClipboardOps, ReadOnlyAndTheClipRateQuestion) {
    COLMDoc& doc = OpenSound("a.wav", "-r 8000 -b 16 -c 1");
    SelectFrames(doc, 0, 10);
    Copy(doc, clip());
    COLMDoc& other = OpenSound("b.wav", "-r 11025 -b 16 -c 1");
    const auto before = ReadAll(other.WorkingPath());
    prompter.Script({Answer::Cancel});
    EXPECT_FALSE(Paste(other, clip()));
    EXPECT_EQ(prompter.questions.back(),
              "Clipfile data has the different sampling rate.\nIf you proceed, the pitch and the "
              "time will be changed.\nAre you sure?");
    EXPECT_EQ(ReadAll(other.WorkingPath()), before);
    prompter.Script({Answer::Ok});
    EXPECT_TRUE(Paste(other, clip()));

    app.fileBackup = false;
    const std::string ro = MakeSound("ro.wav", "-r 8000 -b 16 -c 1");
    ::chmod(ro.c_str(), 0444);
    COLMDoc& locked = app.Open(ro);
    SelectFrames(locked, 0, 10);
    try {
        Clear(locked);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Message(), "This file is read only.");
    }
}

TEST_F(ClipboardOps, AFailedUndoCopyLeavesNoOlderRecordToApply) {
    COLMDoc& doc = OpenSound("s.wav", "-r 8000 -b 16 -c 1", 0.5);
    SelectFrames(doc, 0, 100);
    ASSERT_TRUE(Clear(doc));
    EXPECT_TRUE(doc.Undo().Enabled());
    const auto before = ReadAll(doc.WorkingPath());
    SelectFrames(doc, 0, 3000);
    platform::SetWriteBudget(1000);
    EXPECT_THROW(Clear(doc), Error);
    platform::SetWriteBudget(-1);
    EXPECT_FALSE(doc.Undo().Enabled());
    EXPECT_EQ(ReadAll(doc.WorkingPath()), before);  // the failure came before any change
}

TEST_F(ClipboardOps, SelectionToNewMakesASoundOfTheSelection) {
    COLMDoc& doc = OpenSound("s.aif", "-r 8000 -b 16 -c 2");
    const auto source = Samples(doc);
    SelectChannels(doc, ChannelChoice::Right);
    SelectFrames(doc, 10, 110);
    COLMDoc& made = app.OpenMadeFile(SelectionToNew(doc));
    EXPECT_TRUE(made.MadeFromTempFile());
    EXPECT_EQ(made.Info().fileType, FileType::Aiff);
    EXPECT_EQ(made.Info().channels, 1);
    EXPECT_EQ(made.Info().frames, 100u);
    EXPECT_EQ(made.Info().dataOffset, 512u);
    const auto samples = Samples(made);
    for (std::uint32_t i = 0; i < 100; ++i) EXPECT_EQ(samples[i], At(source, doc, 10 + i, 1));
}

TEST_F(ClipboardOps, OddSizedDataKeepsTheChunksAfterItFindable) {
    for (const char* name : {"odd.aif", "odd.wav"}) {
        // 101 frames of 8-bit mono: odd data, with a pad byte and the loop chunks after it.
        COLMDoc& made = app.OpenMadeFile(MakeSound(name, "-r 8000 -b 8 -c 1", 101 / 8000.0));
        ASSERT_EQ(made.Info().frames, 101u);
        SetLoop(made, 9, 19, true);
        const std::string path = user + "/kept-" + name;
        ASSERT_TRUE(made.SaveAsPath(path));
        app.Discard(made);

        for (std::uint32_t cut : {1u, 2u}) {  // the data becomes even, then odd again
            COLMDoc& doc = app.Open(path);
            SelectFrames(doc, 0, 1);
            ASSERT_TRUE(Clear(doc));
            doc.Save();
            ASSERT_TRUE(app.Close(doc));
            COLMDoc& again = app.Open(path);
            EXPECT_EQ(again.Info().frames, 101u - cut) << name;
            EXPECT_EQ(again.Info().loopStart, 9u - cut) << name;
            EXPECT_EQ(again.Info().loopEnd, 19u - cut) << name;
            EXPECT_TRUE(again.Info().loopOn) << name;
            // Right after the data: a pad byte only when the data is odd, then the next chunk.
            const auto bytes = ReadAll(path);
            const std::size_t next = again.Info().dataOffset + again.Info().frames + ((101 - cut) % 2);
            ASSERT_LT(next + 4, bytes.size());
            EXPECT_TRUE(std::isupper(bytes[next]) || std::islower(bytes[next])) << name << " cut " << cut;
            auto view = ReadWithSox(path);
            ASSERT_TRUE(view);
            EXPECT_EQ(view->frames, 101 - cut);
            app.Discard(again);
        }
    }
}
