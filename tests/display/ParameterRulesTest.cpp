// The parameter pane's rules: Tab order past locks, typed selection and loop values, the lock and
// catch buttons, and the texts of the status bar and the file-information pane.

#include "ImageTestBed.h"
#include "display/DocumentTexts.h"
#include "display/ParameterButtons.h"
#include "display/ParameterFields.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

const int kPlayFrames = FieldOf(FieldGroup::PlayLocation, FieldKind::Frames);
const int kSelStart = FieldOf(FieldGroup::SelectionStart, FieldKind::Frames);
const int kSelEnd = FieldOf(FieldGroup::SelectionEnd, FieldKind::Frames);
const int kSelLength = FieldOf(FieldGroup::SelectionLength, FieldKind::Frames);
const int kLoopStart = FieldOf(FieldGroup::LoopStart, FieldKind::Frames);
const int kLoopEnd = FieldOf(FieldGroup::LoopEnd, FieldKind::Frames);
const int kLoopLength = FieldOf(FieldGroup::LoopLength, FieldKind::Frames);

const FieldCommitContext kIdle{SnapMode::None, Transport::Idle};

struct Range {
    std::uint32_t start, end;
    bool operator==(const Range&) const = default;
};
Range Selection(const COLMDoc& doc) { return {doc.selectionStart, doc.selectionEnd}; }
Range Loop(const COLMDoc& doc) { return {doc.Info().loopStart, doc.Info().loopEnd}; }

std::string Group(const COLMDoc& doc, FieldGroup group) {
    std::string text;
    for (FieldKind kind : {FieldKind::Frames, FieldKind::Hours, FieldKind::Minutes, FieldKind::Seconds,
                           FieldKind::Milliseconds})
        text += FieldText(doc, FieldOf(group, kind)) + " ";
    return text;
}

}  // namespace

TEST(ParameterFieldOrder, TabSkipsLockedGroupsAndWraps) {
    EXPECT_EQ(kPlayFrames, 4);
    EXPECT_EQ(kSelStart, 5);
    EXPECT_EQ(NextField(34, false, 0, 0), 0);
    EXPECT_EQ(NextField(0, true, 0, 0), 34);
    // With Lock Sel Position on, Tab from the play location frames jumps straight to the loop start.
    EXPECT_EQ(NextField(kPlayFrames, false, 1, 0), kLoopStart);
    EXPECT_EQ(NextField(kLoopStart, true, 1, 0), kPlayFrames);
    // A length lock skips only the length.
    EXPECT_EQ(NextField(kSelLength - 1, false, 2, 0), kLoopStart);
    EXPECT_EQ(NextField(kLoopLength - 1, false, 0, 2), 0);
    // A locked loop: after the selection length comes the play location again.
    EXPECT_EQ(NextField(kLoopStart - 1, false, 0, 1), 0);
    EXPECT_EQ(NextField(0, true, 1, 1), kPlayFrames);
    EXPECT_TRUE(IsFieldLocked(kSelEnd, 1, 0));
    EXPECT_FALSE(IsFieldLocked(kSelEnd, 2, 0));
    EXPECT_FALSE(IsFieldLocked(kPlayFrames, 1, 1));
}

TEST(ParameterFieldOrder, TypedTextIsReadAsAnInteger) {
    EXPECT_EQ(ReadTypedInteger(" 1234"), 1234);
    EXPECT_EQ(ReadTypedInteger("-7"), -7);
    EXPECT_EQ(ReadTypedInteger("12ab"), 12);
    EXPECT_EQ(ReadTypedInteger("abc"), 0);
    EXPECT_EQ(ReadTypedInteger("99999999999999999999999"), 1'000'000'000'000);
}

class ParameterPane : public ImageTestBed {
protected:
    // A mono sound of one second at 44100 Hz; positive up to `crossing`, negative after it.
    COLMDoc& OpenSecond(std::uint32_t crossing = 600) {
        std::vector<std::int32_t> samples(44100);
        for (std::uint32_t f = 0; f < samples.size(); ++f) samples[f] = f < crossing ? 1000 : -1000;
        return app.Open(WriteWav("second.wav", 1, 16, samples, 44100));
    }
};

TEST_F(ParameterPane, FieldsShowFramesAndTime) {
    COLMDoc& doc = OpenSecond();
    doc.selectionStart = 0;
    doc.selectionEnd = 44100;
    doc.playCursor = 66150;
    doc.Info().loopStart = 22050;
    doc.Info().loopEnd = 44100;
    // A 44100 Hz sound of 44100 frames shows a length of 00 hours, 00 minutes, 01 seconds and 000 milliseconds.
    EXPECT_EQ(Group(doc, FieldGroup::SelectionLength), "44100 00 00 01 000 ");
    EXPECT_EQ(Group(doc, FieldGroup::LoopStart), "22050 00 00 00 500 ");
    EXPECT_EQ(Group(doc, FieldGroup::PlayLocation), "66150 00 00 01 500 ");
}

TEST_F(ParameterPane, TypedPlayLocationMovesThePlayPositionWithinTheSound) {
    COLMDoc& doc = OpenSecond();
    const int seconds = FieldOf(FieldGroup::PlayLocation, FieldKind::Seconds);
    const int hours = FieldOf(FieldGroup::PlayLocation, FieldKind::Hours);
    EXPECT_EQ(CommitField(doc, kPlayFrames, "1000", kIdle), FieldCommit::PlayLocation);
    EXPECT_EQ(doc.playCursor, 1000u);
    EXPECT_EQ(doc.view.currentPosition, 1000u);
    EXPECT_EQ(CommitField(doc, seconds, "5", kIdle), FieldCommit::PlayLocation);
    EXPECT_EQ(doc.playCursor, 44100u) << "limited to the frame count";
    CommitField(doc, hours, "99999999", kIdle);
    EXPECT_EQ(doc.playCursor, 44100u) << "still the end";
    EXPECT_EQ(CommitField(doc, kPlayFrames, "-5", kIdle), FieldCommit::PlayLocation);
    EXPECT_EQ(doc.playCursor, 0u);
    EXPECT_EQ(CommitField(doc, kPlayFrames, "7", {SnapMode::None, Transport::Playing}), FieldCommit::FieldsOnly);
    EXPECT_EQ(doc.playCursor, 0u);
}

TEST_F(ParameterPane, TypedSelectionEdges) {
    COLMDoc& doc = OpenSecond();
    doc.selectionStart = 100;
    doc.selectionEnd = 300;
    EXPECT_EQ(CommitField(doc, kSelEnd, "300", kIdle), FieldCommit::Nothing);
    EXPECT_EQ(CommitField(doc, kSelEnd, "400", kIdle), FieldCommit::Selection);
    EXPECT_EQ(Selection(doc), (Range{100, 400}));
    EXPECT_EQ(CommitField(doc, kSelLength, "50", kIdle), FieldCommit::Selection);
    EXPECT_EQ(Selection(doc), (Range{100, 150}));
    EXPECT_EQ(CommitField(doc, kSelLength, "90000", kIdle), FieldCommit::Selection);
    EXPECT_EQ(Selection(doc), (Range{100, 44100}));
    // A start past the end pushes the end; an end before the start pulls the start.
    doc.selectionEnd = 300;
    CommitField(doc, kSelStart, "500", kIdle);
    EXPECT_EQ(Selection(doc), (Range{500, 500}));
    CommitField(doc, kSelEnd, "20", kIdle);
    EXPECT_EQ(Selection(doc), (Range{20, 20}));
    // Negative and oversized values are limited to the sound.
    CommitField(doc, kSelEnd, "-5", kIdle);
    EXPECT_EQ(Selection(doc), (Range{0, 0}));
    CommitField(doc, kSelStart, "123456789", kIdle);
    EXPECT_EQ(Selection(doc), (Range{44100, 44100}));
}

TEST_F(ParameterPane, TypedSelectionUnderLocks) {
    COLMDoc& doc = OpenSecond();
    doc.selectionStart = 100;
    doc.selectionEnd = 300;
    doc.selectionLock = kLockLength;
    CommitField(doc, kSelStart, "1000", kIdle);
    EXPECT_EQ(Selection(doc), (Range{1000, 1200}));
    CommitField(doc, kSelStart, "44000", kIdle);
    EXPECT_EQ(Selection(doc), (Range{43900, 44100}));
    CommitField(doc, kSelEnd, "50", kIdle);
    EXPECT_EQ(Selection(doc), (Range{0, 200}));
    // An end typed past the sound keeps the length and ends at the frame count.
    CommitField(doc, kSelEnd, "50000", kIdle);
    EXPECT_EQ(Selection(doc), (Range{43900, 44100}));
    EXPECT_EQ(CommitField(doc, kSelLength, "10", kIdle), FieldCommit::FieldsOnly);
    doc.selectionLock = kLockPosition;
    EXPECT_EQ(CommitField(doc, kSelStart, "10", kIdle), FieldCommit::FieldsOnly);
    EXPECT_EQ(Selection(doc), (Range{43900, 44100}));
}

TEST_F(ParameterPane, TypedTimesReadBackAsTyped) {
    COLMDoc& doc = OpenSecond();
    doc.Info().channelFirst = doc.Info().channelEnd = 0;  // no channel chosen yet
    const int endMs = FieldOf(FieldGroup::SelectionEnd, FieldKind::Milliseconds);
    EXPECT_EQ(CommitField(doc, endMs, "1", kIdle), FieldCommit::Selection);
    EXPECT_EQ(FieldText(doc, endMs), "001");
    EXPECT_EQ(doc.Info().channelEnd, 1);
    for (int ms = 2; ms < 1000; ms += 7) {
        CommitField(doc, endMs, std::to_string(ms), kIdle);
        ASSERT_EQ(ReadTypedInteger(FieldText(doc, endMs)), ms);
    }
    CommitField(doc, endMs, "0", kIdle);
    CommitField(doc, FieldOf(FieldGroup::SelectionEnd, FieldKind::Seconds), "1", kIdle);
    EXPECT_EQ(doc.selectionEnd, 44100u);
    const int loopLengthSeconds = FieldOf(FieldGroup::LoopLength, FieldKind::Seconds);
    CommitField(doc, FieldOf(FieldGroup::LoopStart, FieldKind::Milliseconds), "250", kIdle);
    CommitField(doc, loopLengthSeconds, "7", kIdle);
    EXPECT_EQ(Loop(doc), (Range{11025, 44100}));
}

TEST_F(ParameterPane, TypedLoopPoints) {
    COLMDoc& doc = OpenSecond();
    // Without a loop a typed start takes the end along; with one, the start stops at the end.
    CommitField(doc, kLoopStart, "500", kIdle);
    EXPECT_EQ(Loop(doc), (Range{500, 500}));
    CommitField(doc, kLoopEnd, "900", kIdle);
    CommitField(doc, kLoopStart, "1000", kIdle);
    EXPECT_EQ(Loop(doc), (Range{900, 900}));
    doc.Info().loopStart = 100;
    doc.Info().loopEnd = 200;
    CommitField(doc, kLoopEnd, "50", kIdle);
    EXPECT_EQ(Loop(doc), (Range{100, 100}));
    CommitField(doc, kLoopLength, "90000", kIdle);
    EXPECT_EQ(Loop(doc), (Range{100, 44100}));

    doc.Info().loopEnd = 300;
    doc.loopLock = kLockLength;
    CommitField(doc, kLoopStart, "44000", kIdle);
    EXPECT_EQ(Loop(doc), (Range{43900, 44100}));
    CommitField(doc, kLoopEnd, "150", kIdle);
    EXPECT_EQ(Loop(doc), (Range{0, 200}));
    CommitField(doc, kLoopEnd, "1000", kIdle);
    EXPECT_EQ(Loop(doc), (Range{800, 1000}));
    doc.loopLock = kLockPosition;
    EXPECT_EQ(CommitField(doc, kLoopEnd, "5000", kIdle), FieldCommit::FieldsOnly);
    EXPECT_EQ(CommitField(doc, kPlayFrames, "5000", kIdle), FieldCommit::PlayLocation) << "not a loop field";
}

TEST_F(ParameterPane, TypedEdgesSnapOnlyWhenFree) {
    COLMDoc& doc = OpenSecond(600);
    const FieldCommitContext zero{SnapMode::ZeroCross, Transport::Idle};
    doc.selectionStart = 0;
    doc.selectionEnd = 2000;
    CommitField(doc, kSelStart, "100", zero);
    EXPECT_EQ(Selection(doc), (Range{600, 2000}));
    doc.Info().loopStart = 0;
    doc.Info().loopEnd = 10;
    CommitField(doc, kLoopEnd, "1000", zero);
    EXPECT_EQ(Loop(doc), (Range{0, 600}));
    CommitField(doc, kLoopEnd, "1000", {SnapMode::ZeroCross, Transport::Playing});
    EXPECT_EQ(Loop(doc), (Range{0, 1000}));
    doc.selectionLock = kLockLength;
    CommitField(doc, kSelStart, "100", zero);
    EXPECT_EQ(Selection(doc), (Range{100, 1500}));
}

TEST_F(ParameterPane, CatchLoopStart) {
    COLMDoc& doc = OpenSecond();
    // "Catch Loop Start" with the cursor after the loop end sets the loop start to the loop end.
    doc.Info().loopStart = 100;
    doc.Info().loopEnd = 200;
    doc.playCursor = 500;
    EXPECT_TRUE(CatchLoopStart(doc, SnapMode::None, Transport::Idle).changed);
    EXPECT_EQ(Loop(doc), (Range{200, 200}));
    EXPECT_FALSE(CatchLoopStart(doc, SnapMode::None, Transport::Idle).changed);  // nothing to move

    doc.Info().loopStart = doc.Info().loopEnd = 0;
    CatchLoopStart(doc, SnapMode::None, Transport::Idle);
    EXPECT_EQ(Loop(doc), (Range{500, 500}));

    doc.Info().loopStart = 100;
    doc.Info().loopEnd = 1100;
    doc.loopLock = kLockLength;
    CatchLoopStart(doc, SnapMode::None, Transport::Idle);
    EXPECT_EQ(Loop(doc), (Range{500, 1500}));
    doc.playCursor = 44000;
    CatchLoopStart(doc, SnapMode::None, Transport::Idle);
    EXPECT_EQ(Loop(doc), (Range{43100, 44100}));
    doc.loopLock = kLockPosition;
    doc.playCursor = 10;
    EXPECT_FALSE(CatchLoopStart(doc, SnapMode::None, Transport::Idle).changed);
    EXPECT_FALSE(LoopCatchEnabled(doc));

    // Playing on inside the new loop restarts from the cursor; a start snaps only while idle.
    doc.loopLock = kLockNone;
    doc.Info().loopStart = 0;
    doc.Info().loopEnd = 2000;
    doc.playCursor = 100;
    EXPECT_TRUE(CatchLoopStart(doc, SnapMode::ZeroCross, Transport::Playing).restartPlayback);
    EXPECT_EQ(Loop(doc), (Range{100, 2000}));
    doc.playCursor = 50;
    EXPECT_FALSE(CatchLoopStart(doc, SnapMode::ZeroCross, Transport::Idle).restartPlayback);
    EXPECT_EQ(Loop(doc), (Range{600, 2000}));
}

TEST_F(ParameterPane, CatchLoopEnd) {
    COLMDoc& doc = OpenSecond();
    doc.Info().loopStart = 1000;
    doc.Info().loopEnd = 2000;
    doc.playCursor = 500;
    CatchLoopEnd(doc, SnapMode::None, Transport::Idle);
    EXPECT_EQ(Loop(doc), (Range{1000, 1000}));

    doc.Info().loopEnd = 2000;
    doc.loopLock = kLockLength;
    CatchLoopEnd(doc, SnapMode::None, Transport::Idle);
    EXPECT_EQ(Loop(doc), (Range{0, 1000}));
    doc.playCursor = 3000;
    EXPECT_TRUE(CatchLoopEnd(doc, SnapMode::None, Transport::Playing).restartPlayback);
    EXPECT_EQ(Loop(doc), (Range{2000, 3000}));
    doc.loopLock = kLockPosition;
    doc.playCursor = 10;
    EXPECT_FALSE(CatchLoopEnd(doc, SnapMode::None, Transport::Idle).changed);
}

TEST_F(ParameterPane, LockButtons) {
    COLMDoc& doc = OpenSecond();
    EXPECT_FALSE(ToggleSelectionPositionLock(doc, Transport::Idle));  // no selection
    EXPECT_FALSE(ToggleLoopLengthLock(doc));                        // no loop
    doc.selectionEnd = 100;
    EXPECT_FALSE(ToggleSelectionLengthLock(doc, Transport::Playing));
    EXPECT_TRUE(ToggleSelectionLengthLock(doc, Transport::Idle));
    EXPECT_EQ(doc.selectionLock, kLockLength);
    EXPECT_TRUE(ToggleSelectionPositionLock(doc, Transport::Idle));
    EXPECT_EQ(doc.selectionLock, kLockPosition);
    EXPECT_TRUE(PositionLockPressed(doc.selectionLock));
    EXPECT_TRUE(LengthLockPressed(doc.selectionLock));
    EXPECT_FALSE(ToggleSelectionLengthLock(doc, Transport::Idle));  // held by the position lock
    EXPECT_TRUE(ToggleSelectionPositionLock(doc, Transport::Idle));
    EXPECT_EQ(doc.selectionLock, kLockNone);
    EXPECT_FALSE(LengthLockPressed(doc.selectionLock));

    doc.Info().loopEnd = 100;
    EXPECT_TRUE(ToggleLoopPositionLock(doc));
    EXPECT_EQ(doc.loopLock, kLockPosition);
    EXPECT_FALSE(ToggleLoopLengthLock(doc));
    EXPECT_TRUE(ToggleLoopPositionLock(doc));
    EXPECT_TRUE(ToggleLoopLengthLock(doc));
    EXPECT_EQ(doc.loopLock, kLockLength);
    EXPECT_TRUE(ToggleLoopLengthLock(doc));
    EXPECT_EQ(doc.loopLock, kLockNone);
}

TEST_F(ParameterPane, ZoomStepFields) {
    COLMDoc& doc = OpenSecond();
    const PaneContext pane{400, Transport::Idle, false};
    EXPECT_EQ(HorizontalStepOf(doc), 11);  // 128 frames per column
    EXPECT_TRUE(SetHorizontalStep(doc, 22, pane));
    EXPECT_EQ(doc.view.horizontalZoom, kMinHorizontalZoom);
    // The horizontal zoom-in button at zoom 0.0625 does nothing.
    EXPECT_FALSE(ZoomHorizontalBy(doc, 0.5, pane));
    EXPECT_TRUE(SetVerticalStep(doc, 10, pane));
    EXPECT_EQ(VerticalStepOf(doc.view.verticalZoom), 10);
}

TEST_F(ParameterPane, StatusPanes) {
    COLMDoc& doc = OpenSecond();
    doc.view.currentPosition = 44100;
    doc.selectionStart = doc.selectionEnd = 22050;
    const auto texts = StatusPaneTexts(doc);
    EXPECT_EQ(texts[0], "N 00:00:01.000(44100)");
    EXPECT_EQ(texts[1], "S 00:00:00.500(22050)");
    EXPECT_EQ(texts[2], "E 00:00:00.500(22050)");
    // An empty selection shows a duration of zero and a frame count of 0 in the fourth status pane.
    EXPECT_EQ(texts[3], "D 00:00:00.000(0)");
    EXPECT_EQ(StatusPaneText(StringId::StatusSelectionStartFormat, 8000, 3600u * 8000 + 61 * 8000), "S 01:01:01.000(29288000)");
}

TEST(FileInfoTexts, OneFactALine) {
    SoundInfo info;
    info.fileType = FileType::Aiff;
    info.sampleRate = 44100;
    info.bitsPerSample = 24;
    info.bytesPerSample = 3;
    info.channels = 2;
    info.frames = 88200;
    std::tm modified{};
    modified.tm_year = 2024 - 1900;
    modified.tm_mon = 2;
    modified.tm_mday = 5;
    modified.tm_hour = 9;
    modified.tm_min = 7;
    modified.tm_sec = 30;
    EXPECT_EQ(FileInfoText(info, modified),
              "Creator       QMV0\n"
              "File type:AIFF\n"
              "     Rate:44100\n"
              "     Size:24\n"
              " Channels:2\n"
              "  Samples:88200\n"
              "   Length:00:00:02.000\n"
              "Data size:529200\n"
              "     Loop:None\n"
              " Modified:2024.3.5\n"
              "          9:7:30\n");
}
