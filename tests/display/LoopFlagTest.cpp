// The file's loop flag: a loop made where there was none is switched on by every way of making
// it, an existing loop keeps its flag, "Loop On" flips it, and samplers' readers see the result.

#include <cstdio>
#include <functional>

#include <sndfile.h>

#include "ImageTestBed.h"
#include "display/ParameterButtons.h"
#include "display/ParameterFields.h"
#include "display/SelectionGesture.h"
#include "document/LoopFlag.h"
#include "edit/Selection.h"
#include "support/ExternalReaders.h"

using namespace pelmora;
using namespace pelmora::test;

namespace {

const FieldCommitContext kIdle{SnapMode::None, Transport::Idle};

void TypeField(COLMDoc& doc, FieldGroup group, const char* value) {
    CommitField(doc, FieldOf(group, FieldKind::Frames), value, kIdle);
}

// A right-button drag on the time ruler from `from` to `to` (the loop end marker).
void DragEndMarker(COLMDoc& doc, std::uint32_t from, std::uint32_t to) {
    auto gesture = LoopMarkerGesture::Press(doc, LoopMarker::End, from, 0, 0, Transport::Idle);
    ASSERT_TRUE(gesture);
    gesture->Drag(doc, to);
}

// What `sox -V4` reports of an AIFF file's loop: its type line, or "" without one.
std::string SoxLoopType(const std::string& path) {
    const std::string command = "sox -V4 '" + path + "' -n 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "?";
    std::string all;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) all += buffer;
    pclose(pipe);
    if (all.find("AIFF Loop markers") == std::string::npos) return "";
    return all.find("forward") != std::string::npos ? "forward" : "other";
}

}  // namespace

using LoopFlag = ImageTestBed;

TEST_F(LoopFlag, ALoopMadeWhereThereWasNoneIsOn) {
    struct Case {
        const char* name;
        std::function<void(COLMDoc&)> make;
        std::uint32_t start, end;
    };
    const Case cases[] = {
        {"selection to loop", [](COLMDoc& d) { SelectFrames(d, 100, 900); SelectionToLoop(d); }, 100, 900},
        {"typed end", [](COLMDoc& d) { TypeField(d, FieldGroup::LoopEnd, "700"); }, 0, 700},
        {"typed start, then end", [](COLMDoc& d) {
             TypeField(d, FieldGroup::LoopStart, "200");
             TypeField(d, FieldGroup::LoopEnd, "600");
         }, 200, 600},
        {"typed length", [](COLMDoc& d) { TypeField(d, FieldGroup::LoopLength, "300"); }, 0, 300},
        {"catch start, then end", [](COLMDoc& d) {
             d.playCursor = 150;
             CatchLoopStart(d, SnapMode::None, Transport::Idle);
             d.playCursor = 650;
             CatchLoopEnd(d, SnapMode::None, Transport::Idle);
         }, 150, 650},
        {"end marker dragged", [](COLMDoc& d) { DragEndMarker(d, 300, 800); }, 300, 800},
    };
    const std::string path = MakeSound("plain.wav", "-r 8000 -b 16 -c 1");
    for (const Case& c : cases) {
        COLMDoc& doc = app.Open(path);
        ASSERT_FALSE(doc.Info().loopOn) << c.name;
        c.make(doc);
        EXPECT_EQ(doc.Info().loopStart, c.start) << c.name;
        EXPECT_EQ(doc.Info().loopEnd, c.end) << c.name;
        EXPECT_TRUE(doc.Info().loopOn) << c.name;
        EXPECT_TRUE(doc.LoopChanged() && doc.CanSave()) << c.name;
        app.Discard(doc);
    }
}

TEST_F(LoopFlag, AnExistingLoopKeepsItsFlag) {
    // A file whose loop plays once: moving it by any way leaves it playing once.
    const std::string path = MakeSound("once.wav", "-r 8000 -b 16 -c 1");
    {
        COLMDoc& doc = app.Open(path);
        ASSERT_TRUE(SetLoop(doc, 100, 900, false));
        doc.Save();
        app.Discard(doc);
    }
    const std::function<void(COLMDoc&)> moves[] = {
        [](COLMDoc& d) { SelectFrames(d, 10, 20); SelectionToLoop(d); },
        [](COLMDoc& d) { TypeField(d, FieldGroup::LoopEnd, "500"); },
        [](COLMDoc& d) { DragEndMarker(d, 900, 400); },
        // Dragged through empty and out again within one gesture.
        [](COLMDoc& d) {
            auto g = LoopMarkerGesture::Press(d, LoopMarker::End, 900, 0, 0, Transport::Idle);
            g->Drag(d, 100);
            g->Drag(d, 300);
        },
    };
    for (const auto& move : moves) {
        COLMDoc& doc = app.Open(path);
        ASSERT_EQ(doc.Info().loopEnd, 900u);
        ASSERT_FALSE(doc.Info().loopOn);
        move(doc);
        EXPECT_NE(doc.Info().loopEnd, 900u);
        EXPECT_FALSE(doc.Info().loopOn);
        app.Discard(doc);
    }
}

TEST_F(LoopFlag, LoopOnFlipsTheFlagAndRevertUndoesIt) {
    const std::string path = MakeSound("flip.wav", "-r 8000 -b 16 -c 1");
    COLMDoc& doc = app.Open(path);
    EXPECT_FALSE(ToggleLoopOn(doc.Info()));  // no loop: nothing to switch
    EXPECT_FALSE(doc.CanSave());
    ASSERT_TRUE(SetLoop(doc, 100, 900, false));
    doc.Save();
    ASSERT_FALSE(doc.CanSave());

    EXPECT_TRUE(ToggleLoopOn(doc.Info()));
    EXPECT_TRUE(doc.Info().loopOn);
    EXPECT_TRUE(doc.CanSave());
    EXPECT_TRUE(doc.CanRevert());
    prompter.Script({Answer::Yes});
    EXPECT_TRUE(doc.Revert());
    EXPECT_FALSE(doc.Info().loopOn);
    EXPECT_FALSE(doc.CanSave());

    // Flipped twice is no change at all.
    ToggleLoopOn(doc.Info());
    ToggleLoopOn(doc.Info());
    EXPECT_FALSE(doc.CanSave());
    app.Discard(doc);
}

TEST_F(LoopFlag, AMarkerLoopIsSavedAsLoopingForSamplers) {
    struct Case {
        const char* name;
        const char* sox;
    };
    for (const Case c : {Case{"m.wav", "-r 8000 -b 16 -c 2"}, Case{"m.aif", "-r 8000 -b 16 -c 2"}}) {
        const std::string path = MakeSound(c.name, c.sox);
        COLMDoc& doc = app.Open(path);
        DragEndMarker(doc, 200, 1200);
        doc.Save();
        app.Discard(doc);

        const auto inst = SndfileInstrumentOf(path);
        ASSERT_TRUE(inst && !inst->loops.empty()) << c.name;
        EXPECT_EQ(inst->loops[0].start, 200u) << c.name;
        EXPECT_EQ(inst->loops[0].mode, SF_LOOP_FORWARD) << c.name;
        if (std::string(c.name).ends_with(".wav")) {
            EXPECT_EQ(inst->loops[0].count, 0u) << c.name;  // play count 0: endless
            EXPECT_TRUE(ReadWithSox(path)) << c.name;
        } else {
            EXPECT_EQ(SoxLoopType(path), "forward") << c.name;  // sustain mode 1
        }
        COLMDoc& again = app.Open(path);
        EXPECT_TRUE(again.Info().loopOn) << c.name;
        EXPECT_EQ(again.Info().loopEnd, 1200u) << c.name;
        app.Discard(again);
    }
}
