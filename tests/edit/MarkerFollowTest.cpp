// Files shaped like those of sample libraries go through every edit that changes the length,
// then Undo and Redo: every loop record, cue point and marker must land where a model written
// here from the editing rules puts it, with every other byte of its chunk as it was, and
// libsndfile must read the same loops.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <tuple>

#include "LibraryFiles.h"
#include "app/ApplicationState.h"
#include "document/SoundFileIo.h"
#include "base/SilentProgress.h"
#include "edit/ClipboardOps.h"
#include "edit/Selection.h"
#include "sound/AiffMarkers.h"
#include "support/ExternalReaders.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

namespace pelmora::test {
namespace {

constexpr std::uint32_t kFrames = 6000;
constexpr std::uint32_t kClipFrames = 700;

// The model: frames s .. e give way to k new ones (Clear and Cut: k = 0), or only s .. e stay
// (Trim). A frame inside the removed ones goes to where they were.
struct EditModel {
    enum Kind { Replace, Keep } kind = Replace;
    std::uint32_t s = 0, e = 0, k = 0;

    std::uint32_t Map(std::uint32_t p) const {
        if (kind == Keep) return p < s ? 0 : p - s > e - s ? e - s : p - s;
        if (p < s) return p;
        if (p >= e) return p - (e - s) + k;
        return s;
    }

    LibraryPositions Apply(const LibraryPositions& before, std::uint32_t frames) const {
        const std::uint32_t last = frames - 1;
        LibraryPositions after;
        for (auto [start, end] : before.loops) {
            // The loop holds frames start .. end; its end moves as the frame after it does.
            const std::uint32_t newStart = std::min(Map(start), last);
            const std::uint32_t after1 = Map(end + 1);
            std::uint32_t newEnd = std::min(after1 == 0 ? 0 : after1 - 1, last);
            if (after1 <= Map(start)) newEnd = newStart;  // nothing of it left: kept, empty
            after.loops.emplace_back(newStart, std::max(newEnd, newStart));
        }
        for (auto [position, offset] : before.cues) {
            // A field that is 0 while the other holds the frame holds nothing.
            const bool positionHoldsNothing = position == 0 && offset != 0;
            const bool offsetHoldsNothing = offset == 0 && position != 0;
            after.cues.emplace_back(positionHoldsNothing ? 0 : std::min(Map(position), last),
                                    offsetHoldsNothing ? 0 : std::min(Map(offset), last));
        }
        for (std::uint32_t m : before.markers) after.markers.push_back(std::min(Map(m), frames));
        return after;
    }
};

struct EditCase {
    const char* name;
    std::function<bool(COLMDoc&, Clip&)> run;
    EditModel model;
    std::uint32_t framesAfter;
};

std::vector<EditCase> Edits() {
    return {
        {"cut 1000 frames at the start",
         [](COLMDoc& d, Clip& c) { return SelectFrames(d, 0, 1000) && Cut(d, c); },
         {EditModel::Replace, 0, 1000, 0}, kFrames - 1000},
        {"clear through loops and cue points",
         [](COLMDoc& d, Clip&) { return SelectFrames(d, 1200, 2950) && Clear(d); },
         {EditModel::Replace, 1200, 2950, 0}, kFrames - 1750},
        {"clear to the end",
         [](COLMDoc& d, Clip&) { return SelectFrames(d, 3300, kFrames) && Clear(d); },
         {EditModel::Replace, 3300, kFrames, 0}, 3300},
        {"trim",
         [](COLMDoc& d, Clip&) { return SelectFrames(d, 1100, 3000) && Trim(d); },
         {EditModel::Keep, 1100, 3000, 0}, 1900},
        {"insert at the very start",
         [](COLMDoc& d, Clip& c) { return SelectFrames(d, 0, 0) && Insert(d, c); },
         {EditModel::Replace, 0, 0, kClipFrames}, kFrames + kClipFrames},
        {"shrinking insert over loops",
         [](COLMDoc& d, Clip& c) { return SelectFrames(d, 1500, 3600) && Insert(d, c); },
         {EditModel::Replace, 1500, 3600, kClipFrames}, kFrames - 2100 + kClipFrames},
        {"paste past the end",
         [](COLMDoc& d, Clip& c) { return SelectFrames(d, kFrames - 100, kFrames - 100) && Paste(d, c); },
         {EditModel::Replace, kFrames, kFrames, 0}, kFrames - 100 + kClipFrames},
        {"mix past the end",
         [](COLMDoc& d, Clip& c) { return SelectFrames(d, kFrames - 10, kFrames) && Mix(d, c); },
         {EditModel::Replace, kFrames, kFrames, 0}, kFrames - 10 + kClipFrames},
    };
}

std::vector<LibraryShape> Shapes() {
    return {
        {"one loop before the data", FileType::Wav, true, 1, 0, false, false, 0, 1},
        {"two loops after the data", FileType::Wav, false, 2, 0, false, false, 0, 2},
        {"four loops and organ cues before the data", FileType::Wav, true, 4, 5, true, false, 0, 2},
        {"four loops, labelled cues after the data", FileType::Wav, false, 4, 5, false, true, 0, 1},
        {"labelled organ cues, no loop", FileType::Wav, true, 0, 3, true, true, 0, 1},
        {"AIFF with 2 markers", FileType::Aiff, true, 0, 0, false, false, 2, 1},
        {"AIFF with 4 markers after the data", FileType::Aiff, false, 0, 0, false, false, 4, 2},
        {"AIFF with 6 markers", FileType::Aiff, true, 0, 0, false, false, 6, 1},
    };
}

std::vector<std::uint8_t> Samples(std::uint32_t frames, int channels) {
    std::vector<std::uint8_t> data(static_cast<std::size_t>(frames) * 2 * channels);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 13 + i / 7);
    return data;
}

// The positions as the file holds them, through our own reader.
LibraryPositions PositionsOf(const SoundInfo& info) {
    LibraryPositions p;
    for (const WavLoopRecord& r : info.wavSmplLoops) p.loops.emplace_back(r.start, r.end);
    for (const WavCuePoint& c : info.wavCuePoints) p.cues.emplace_back(c.position, c.sampleOffset);
    for (const AiffMarker& m : ParseMarkBody(info.aiffMarkBody)) p.markers.push_back(m.position);
    return p;
}

class MarkerFollowTest : public ::testing::Test {
protected:
    MarkerFollowTest() : work(root.File("work")), user(root.File("user")), app(prompter, progress) {
        std::filesystem::create_directories(work);
        std::filesystem::create_directories(user);
        app.SetWorkDirAtStartup(work);
        EXPECT_TRUE(app.CreateClipFile());
        prompter.fallback = Answer::Ok;
    }

    COLMDoc& OpenShape(const LibraryShape& shape, const LibraryPositions& p, const std::string& name) {
        const std::string path = user + "/" + name + (shape.type == FileType::Wav ? ".wav" : ".aif");
        WriteAll(path, BuildLibraryFile(shape, p, Samples(kFrames, shape.channels)));
        return app.Open(path);
    }

    // The file expected for these positions around the sample data the document holds now.
    std::vector<std::uint8_t> Expected(const LibraryShape& shape, const LibraryPositions& p, COLMDoc& doc) {
        const std::vector<std::uint8_t> now = ReadAll(doc.WorkingPath());
        const SoundInfo& info = doc.Info();
        const auto from = now.begin() + info.dataOffset;
        return BuildLibraryFile(shape, p, std::vector<std::uint8_t>(from, from + static_cast<long>(DataBytes(info))));
    }

    TempDir root;
    std::string work, user;
    ScriptedPrompter prompter;
    SilentProgress progress;
    ApplicationState app;
};

void ExpectSndfileSees(const std::string& path, const LibraryShape& shape, const LibraryPositions& p) {
    if (shape.type == FileType::Wav) {
        const auto inst = SndfileInstrumentOf(path);
        if (p.loops.empty()) return;
        ASSERT_TRUE(inst.has_value());
        ASSERT_EQ(inst->loops.size(), p.loops.size());
        for (std::size_t i = 0; i < p.loops.size(); ++i) {
            EXPECT_EQ(inst->loops[i].start, p.loops[i].first) << "loop " << i;
            EXPECT_EQ(inst->loops[i].end, p.loops[i].second + 1) << "loop " << i;
        }
        EXPECT_EQ(SndfileCuesOf(path), p.cues);
        return;
    }
    // libsndfile reads AIFF markers through the INST loops: the sustain loop on the first two,
    // the release loop on the next two.
    const auto inst = SndfileInstrumentOf(path);
    ASSERT_TRUE(inst.has_value());
    std::vector<std::pair<std::uint32_t, std::uint32_t>> seen, wanted;
    for (const SndfileLoop& loop : inst->loops) seen.emplace_back(loop.start, loop.end);
    for (std::size_t m = 0; m + 1 < p.markers.size() && m < 4; m += 2) wanted.emplace_back(p.markers[m], p.markers[m + 1]);
    EXPECT_EQ(seen, wanted);
}

TEST_F(MarkerFollowTest, EveryLoopCuePointAndMarkerFollowsEveryLengthChangeAndItsUndo) {
    int made = 0;
    for (const LibraryShape& shape : Shapes()) {
        const LibraryPositions initial = InitialPositions(shape);
        for (const EditCase& edit : Edits()) {
            SCOPED_TRACE(shape.name + ", " + edit.name);
            COLMDoc& doc = OpenShape(shape, initial, "lib" + std::to_string(made++));
            ASSERT_EQ(PositionsOf(doc.Info()), initial);
            const std::vector<std::uint8_t> original = ReadAll(doc.WorkingPath());
            ASSERT_TRUE(SelectFrames(doc, 100, 100 + kClipFrames) && Copy(doc, app.GetClip()));

            ASSERT_TRUE(edit.run(doc, app.GetClip()));
            ASSERT_EQ(doc.Info().frames, edit.framesAfter);
            const LibraryPositions expected = edit.model.Apply(initial, edit.framesAfter);
            EXPECT_EQ(PositionsOf(doc.Info()), expected);
            const std::vector<std::uint8_t> changed = ReadAll(doc.WorkingPath());
            EXPECT_EQ(changed, Expected(shape, expected, doc)) << "only positions change in the chunks";
            ExpectSndfileSees(doc.WorkingPath(), shape, expected);

            for (int step = 0; step < 4; ++step) {
                const bool undoing = step % 2 == 0;
                doc.Undo().UndoOrRedo(doc);
                EXPECT_EQ(ReadAll(doc.WorkingPath()), undoing ? original : changed) << "step " << step;
                EXPECT_EQ(PositionsOf(doc.Info()), undoing ? initial : expected) << "step " << step;
            }
            app.Discard(doc);
            if (HasFatalFailure()) return;
        }
    }
}

// Saving writes the document's loop into its own record or markers and leaves the others and
// the finer-than-cents tuning alone, however often it is done.
TEST_F(MarkerFollowTest, SavingKeepsThePitchFractionAndTheNumberOfMarkers) {
    app.fileBackup = true;
    const LibraryShape wavShape = Shapes()[2];
    COLMDoc& wav = OpenShape(wavShape, InitialPositions(wavShape), "save");
    ASSERT_TRUE(SelectFrames(wav, 0, 1000) && Cut(wav, app.GetClip()));
    LibraryPositions expected = EditModel{EditModel::Replace, 0, 1000, 0}.Apply(InitialPositions(wavShape), kFrames - 1000);
    ASSERT_TRUE(SetLoop(wav, 40, 400, true));
    wav.Save();
    SoundInfo saved;
    ReadSoundFile(wav.OriginalPath(), FileType::Wav, saved);
    EXPECT_EQ(saved.wavSmplHeader.midiPitchFraction, kOrganPitchFraction);
    EXPECT_EQ(saved.instrument.fineTune, 7);
    expected.loops[0] = {40, 399};
    EXPECT_EQ(PositionsOf(saved), expected);
    ExpectSndfileSees(wav.OriginalPath(), wavShape, expected);

    const LibraryShape aiffShape = Shapes()[7];
    COLMDoc& aiff = OpenShape(aiffShape, InitialPositions(aiffShape), "saveaiff");
    std::size_t length = 0;
    for (std::uint32_t i = 0; i < 10; ++i) {
        ASSERT_TRUE(SetLoop(aiff, 100 + 10 * i, 2000 + 10 * i, true));
        aiff.Save();
        if (i == 0) length = ReadAll(aiff.OriginalPath()).size();
    }
    EXPECT_EQ(ReadAll(aiff.OriginalPath()).size(), length) << "the markers were moved in place";
    ReadSoundFile(aiff.OriginalPath(), FileType::Aiff, saved);
    LibraryPositions moved = InitialPositions(aiffShape);
    moved.markers[0] = 190;
    moved.markers[1] = 2090;
    EXPECT_EQ(PositionsOf(saved), moved);
    EXPECT_EQ(std::pair(saved.loopStart, saved.loopEnd), std::pair(190u, 2090u));
}

// Selection to New keeps the loops, cue points and markers that lie inside the selection.
TEST_F(MarkerFollowTest, SelectionToNewKeepsWhatLiesInsideMovedToTheStart) {
    const LibraryShape wavShape = Shapes()[3];  // four loops, five cue points
    COLMDoc& wav = OpenShape(wavShape, InitialPositions(wavShape), "selwav");
    ASSERT_TRUE(SelectFrames(wav, 1800, 4500));
    SoundInfo made;
    ReadSoundFile(SelectionToNew(wav), FileType::Wav, made);
    // The first loop (the document's) lies before; loops at 1900, 2800, 3700 and the cue
    // points at 2700 and 3800 are inside.
    LibraryPositions inside;
    inside.loops = {{100, 599}, {1000, 1599}, {1900, 2599}};
    inside.cues = {{900, 900}, {2000, 2000}};
    EXPECT_EQ(PositionsOf(made), inside);
    EXPECT_EQ(made.wavCuePoints[0].id, 3u);
    EXPECT_EQ(made.wavSmplLoops[0].cuePointId, 0x10001u);

    // With the document's loop inside, it comes first.
    ASSERT_TRUE(SelectFrames(wav, 900, 2500));
    ReadSoundFile(SelectionToNew(wav), FileType::Wav, made);
    EXPECT_EQ(std::tuple(made.loopStart, made.loopEnd, made.loopOn), std::tuple(100u, 500u, true));
    ASSERT_EQ(made.wavSmplLoops.size(), 2u);
    EXPECT_EQ(std::pair(made.wavSmplLoops[1].start, made.wavSmplLoops[1].end), std::pair(1000u, 1499u));

    const LibraryShape aiffShape = Shapes()[7];  // markers at 700, 1700, ... 5700; the loop on the first two
    COLMDoc& aiff = OpenShape(aiffShape, InitialPositions(aiffShape), "selaiff");
    ASSERT_TRUE(SelectFrames(aiff, 500, 3000));
    ReadSoundFile(SelectionToNew(aiff), FileType::Aiff, made);
    EXPECT_EQ(std::tuple(made.loopStart, made.loopEnd, made.loopOn), std::tuple(200u, 1200u, true));
    std::vector<AiffMarker> markers = ParseMarkBody(made.aiffMarkBody);
    ASSERT_EQ(markers.size(), 3u);
    EXPECT_EQ(markers[0], (AiffMarker{3, 2200, "rel xx"}));
    EXPECT_EQ(markers[1].position, 200u);
    EXPECT_EQ(markers[2].position, 1200u);

    // Nothing inside: the marker template as ever.
    ASSERT_TRUE(SelectFrames(aiff, 5800, 5900));
    const std::string empty = SelectionToNew(aiff);
    ReadSoundFile(empty, FileType::Aiff, made);
    EXPECT_EQ(made.dataOffset, 512u);
    EXPECT_EQ(made.loopStart, made.loopEnd);
}

}  // namespace
}  // namespace pelmora::test
