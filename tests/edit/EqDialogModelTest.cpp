// The equaliser dialog without widgets: commit rules and limits of the nine edits, "EQ" and
// what it remembers, "Reset", and the graph drag.

#include <gtest/gtest.h>

#include "edit/EqDialogModel.h"

using namespace pelmora;

TEST(EqDialogModel, EditsKeepTheirCommitRules) {
    struct Case {
        std::uint32_t rate;
        int band;
        EqField field;
        const char* typed;
        bool taken;
        const char* shown;  // the edit's text afterwards
    };
    const Case cases[] = {
        {44100, kEqLow, EqField::Gain, "25", true, "20.0"},       // limited
        {44100, kEqLow, EqField::Gain, "-30", true, "-20.0"},     //
        {44100, kEqLow, EqField::Gain, "3.14", true, "3.1"},      // the value shown is the value used
        {44100, kEqLow, EqField::Gain, "-0.04", true, "0.0"},     // never "-0.0"
        {44100, kEqLow, EqField::Gain, "loud", false, "0.0"},     // refused: the old value comes back
        {44100, kEqMid, EqField::Gain, "-12.34", false, "0.0"},   // more than five characters
        {44100, kEqLow, EqField::Q, "0", true, "LSF"},            // a low shelf
        {44100, kEqLow, EqField::Q, "lsf", true, "LSF"},          //
        {44100, kEqMid, EqField::Q, "0", true, "1"},              // the mid band stays a peak
        {44100, kEqMid, EqField::Q, "LSF", false, "1"},           // no shelf there
        {44100, kEqHigh, EqField::Q, "0", true, "HSF"},           // a high shelf
        {44100, kEqHigh, EqField::Q, "HSF", true, "HSF"},         //
        {44100, kEqHigh, EqField::Q, "LSF", false, "1"},          //
        {44100, kEqHigh, EqField::Q, "12", true, "10"},           // limited
        {44100, kEqLow, EqField::Q, "2.7", true, "2"},            // whole numbers only: cut
        {44100, kEqLow, EqField::Frequency, "50", true, "100"},   // at least 100
        {44100, kEqLow, EqField::Frequency, "5000", true, "1000"},  // not above the mid band
        {44100, kEqMid, EqField::Frequency, "20", true, "100"},   // not below the low band
        {44100, kEqMid, EqField::Frequency, "20000", true, "10000"},  // not above the high band
        {44100, kEqHigh, EqField::Frequency, "30000", true, "22049"},  // below half the rate
        {44100, kEqHigh, EqField::Frequency, "22050", true, "22049"},  //
        {48000, kEqHigh, EqField::Frequency, "30000", true, "23999"},  //
        {96000, kEqHigh, EqField::Frequency, "30000", true, "24000"},  // at most 24000
        {96000, kEqHigh, EqField::Frequency, "500", true, "1000"},     // not below the mid band
        {8000, kEqHigh, EqField::Frequency, "5000", true, "3999"},     //
    };
    for (const Case& c : cases) {
        EqDialogModel model;
        model.Open(c.rate);
        EXPECT_EQ(model.Commit(c.band, c.field, c.typed), c.taken) << c.typed;
        EXPECT_EQ(model.Text(c.band, c.field), c.shown) << c.typed << " at " << c.rate;
    }
}

TEST(EqDialogModel, EqValidatesRemembersAndReset) {
    EqDialogModel model;
    model.Open(44100);
    EXPECT_EQ(model.Texts(), (EqTexts{{{"0.0", "100", "1"}, {"0.0", "1000", "1"}, {"0.0", "10000", "1"}}}));

    // "EQ" takes all nine texts before any limit, so the low band may move above the old mid.
    EqDialogModel::Edit rejected;
    EXPECT_EQ(model.Ok({{{"6", "5000", "LSF"}, {"-4", "6000", "2"}, {"3", "8000", "HSF"}}}, &rejected),
              DialogVerdict::Accepted);
    EXPECT_EQ(model.Bands()[kEqLow], (EqBand{EqBandType::LowShelf, 6.0, 5000, 0}));
    EXPECT_EQ(model.Bands()[kEqHigh], (EqBand{EqBandType::HighShelf, 3.0, 8000, 0}));
    EXPECT_EQ(model.Remembered(), model.Bands());

    // A correction is written back and keeps the dialog open; the second press goes on.
    EXPECT_EQ(model.Ok({{{"6", "5000", "LSF"}, {"-4", "6000", "22"}, {"3", "8000", "HSF"}}}),
              DialogVerdict::CorrectedStayOpen);
    EXPECT_EQ(model.Text(kEqMid, EqField::Q), "10");
    EXPECT_EQ(model.Remembered()[kEqMid].q, 2);
    EXPECT_EQ(model.Ok(model.Texts()), DialogVerdict::Accepted);
    EXPECT_EQ(model.Remembered()[kEqMid].q, 10);

    // A text no edit takes changes nothing and names its edit.
    EXPECT_EQ(model.Ok({{{"1", "200", "1"}, {"1", "x", "1"}, {"1", "300", "1"}}}, &rejected), DialogVerdict::Rejected);
    EXPECT_EQ(rejected.band, kEqMid);
    EXPECT_EQ(rejected.field, EqField::Frequency);
    EXPECT_EQ(model.Bands(), model.Remembered());

    // Editing and not pressing "EQ" is forgotten at the next opening; opening on a slower sound
    // brings the remembered bands within its limits.
    model.Commit(kEqLow, EqField::Gain, "-9");
    model.Open(8000);
    EXPECT_EQ(model.Text(kEqLow, EqField::Gain), "6.0");
    EXPECT_EQ(model.Text(kEqHigh, EqField::Frequency), "3999");
    EXPECT_EQ(model.Text(kEqMid, EqField::Frequency), "3999");
    EXPECT_EQ(model.Text(kEqLow, EqField::Frequency), "3999");

    model.Reset();
    EXPECT_EQ(model.Texts(), (EqTexts{{{"0.0", "100", "1"}, {"0.0", "1000", "1"}, {"0.0", "3999", "1"}}}));
    model.Open(44100);
    EXPECT_EQ(model.Text(kEqHigh, EqField::Frequency), "8000");  // Reset alone is not remembered
}

TEST(EqDialogModel, DraggingTheGraph) {
    const EqGraphScale scale(400, 200, 44100);
    // 10 Hz at the left, the highest band frequency at the right, ±20 dB top to bottom.
    EXPECT_NEAR(scale.XOf(10), 0, 1e-9);
    EXPECT_NEAR(scale.XOf(22049), 400, 1e-9);
    EXPECT_NEAR(scale.FrequencyAt(scale.XOf(1000)), 1000, 1e-6);
    EXPECT_NEAR(scale.YOf(20), 0, 1e-9);
    EXPECT_NEAR(scale.YOf(-20), 200, 1e-9);

    struct Case {
        int band;
        EqDragKind kind;
        double dx, dy;     // from the press to the tenth move
        const char* gain;  // texts afterwards
        const char* frequency;
        const char* q;
    };
    const double octave = scale.XOf(2000) - scale.XOf(1000);
    const Case cases[] = {
        {kEqMid, EqDragKind::GainAndFrequency, octave, -50, "10.0", "2000", "3"},  // both follow
        {kEqMid, EqDragKind::GainOnly, octave, -50, "10.0", "1000", "3"},          // SHIFT
        {kEqMid, EqDragKind::FrequencyOnly, octave, -50, "0.0", "2000", "3"},      // ALT
        {kEqMid, EqDragKind::QOnly, octave, -40, "0.0", "1000", "5"},              // CTRL: 40 px = 2
        {kEqMid, EqDragKind::QOnly, 0, 200, "0.0", "1000", "1"},                   // the mid band stays a peak
        {kEqLow, EqDragKind::QOnly, 0, 60, "0.0", "100", "LSF"},                   // below 1: a shelf
        {kEqLow, EqDragKind::GainAndFrequency, 10 * octave, -400, "20.0", "1000", "3"},  // held by the limits
        {kEqHigh, EqDragKind::GainAndFrequency, 4 * octave, 10, "-2.0", "22049", "3"},   //
    };
    for (const Case& c : cases) {
        EqDialogModel model;
        model.Open(44100);
        for (int band = kEqLow; band <= kEqHigh; ++band) model.Commit(band, EqField::Q, "3");
        model.SelectBand(c.band);
        model.Press(100, 100);
        for (int i = 1; i <= 9; ++i) EXPECT_FALSE(model.Move(100 + c.dx * i / 10, 100 + c.dy * i / 10, c.kind, scale));
        EXPECT_EQ(model.Text(c.band, EqField::Gain), "0.0");  // only every tenth move is applied
        EXPECT_TRUE(model.Move(100 + c.dx, 100 + c.dy, c.kind, scale));
        EXPECT_EQ(model.Text(c.band, EqField::Gain), c.gain) << c.band << " " << static_cast<int>(c.kind);
        EXPECT_EQ(model.Text(c.band, EqField::Frequency), c.frequency) << c.band << " " << static_cast<int>(c.kind);
        EXPECT_EQ(model.Text(c.band, EqField::Q), c.q) << c.band << " " << static_cast<int>(c.kind);
        model.Release();
        EXPECT_FALSE(model.Move(0, 0, c.kind, scale));
    }

    // Small steps add up instead of being lost to rounding.
    EqDialogModel model;
    model.Open(44100);
    model.SelectBand(kEqMid);
    model.Press(0, 100);
    for (int step = 1; step <= 100; ++step) model.Move(0, 100 - step * 0.1, EqDragKind::GainOnly, scale);
    EXPECT_EQ(model.Text(kEqMid, EqField::Gain), "2.0");  // 10 px of 200 for 40 dB
}
