// The effect dialogs without widgets: conversions, limits, corrections and what they remember.

#include <gtest/gtest.h>

#include "edit/EffectDialogs.h"

using namespace pelmora;

TEST(AmplitudeDialogs, GainSliderRateAndLevelStayInStep) {
    GainDialogModel gain;
    EXPECT_EQ(gain.Rate(), 100);
    EXPECT_EQ(gain.LevelText(), "0.00");

    gain.MoveSlider(50);
    EXPECT_EQ(gain.RateText(), "50");
    EXPECT_EQ(gain.LevelText(), "-6.02");
    gain.MoveSlider(0);
    EXPECT_EQ(gain.Level(), -100.0);
    EXPECT_EQ(gain.LevelText(), "");  // below −40 dB the edit is empty
    gain.MoveSlider(1);
    EXPECT_EQ(gain.LevelText(), "-40.00");  // −40 dB itself is still shown
    gain.MoveSlider(2);
    EXPECT_EQ(gain.LevelText(), "-33.98");

    ASSERT_TRUE(gain.CommitRateText("-5"));
    EXPECT_EQ(gain.Rate(), 0);
    EXPECT_EQ(gain.Level(), -100.0);
    ASSERT_TRUE(gain.CommitRateText("999"));
    EXPECT_EQ(gain.Rate(), 200);
    EXPECT_EQ(gain.LevelText(), "6.02");
    EXPECT_FALSE(gain.CommitRateText("12a"));
    EXPECT_EQ(gain.Rate(), 200);

    ASSERT_TRUE(gain.CommitLevelText("3"));
    EXPECT_EQ(gain.Rate(), 141);
    EXPECT_EQ(gain.LevelText(), "3.00");
    ASSERT_TRUE(gain.CommitLevelText("6.5"));
    EXPECT_EQ(gain.Rate(), 200);
    EXPECT_EQ(gain.Level(), 6.0206);
    ASSERT_TRUE(gain.CommitLevelText("-6"));
    EXPECT_EQ(gain.Rate(), 50);
    ASSERT_TRUE(gain.CommitLevelText(""));
    EXPECT_EQ(gain.Rate(), 0);
    EXPECT_EQ(gain.Level(), -100.0);
    EXPECT_FALSE(gain.CommitLevelText("loud"));

    // OK commits the focused edit first; a bad level keeps the dialog open.
    EXPECT_EQ(gain.Ok(GainField::Rate, "75"), 75);
    EXPECT_EQ(gain.Ok(GainField::Level, "x"), std::nullopt);
    EXPECT_EQ(gain.Ok(GainField::None, "ignored"), 75);
}

TEST(AmplitudeDialogs, NormalizeLimitsAndDcOffsetValues) {
    NormalizeDialogModel normalize;
    EXPECT_EQ(normalize.Rate(), 100);
    EXPECT_EQ(normalize.Ok("120"), DialogVerdict::CorrectedStayOpen);
    EXPECT_EQ(normalize.Rate(), 110);
    EXPECT_EQ(normalize.Ok("5"), DialogVerdict::CorrectedStayOpen);
    EXPECT_EQ(normalize.SliderPosition(), 70);
    EXPECT_EQ(normalize.Ok("95"), DialogVerdict::Accepted);
    EXPECT_EQ(normalize.Rate(), 95);
    EXPECT_EQ(normalize.Ok("ninety"), DialogVerdict::Rejected);
    EXPECT_EQ(normalize.Rate(), 95);
    // A typed rate moves the slider only when OK would take it as it stands.
    struct Typed {
        const char* text;
        bool taken;
        int rate;
    };
    for (const Typed t : {Typed{"85", true, 85}, Typed{"110", true, 110}, Typed{"70", true, 70},
                          Typed{"111", false, 70}, Typed{"69", false, 70}, Typed{"", false, 70},
                          Typed{"8x", false, 70}}) {
        EXPECT_EQ(normalize.CommitRateText(t.text), t.taken) << t.text;
        EXPECT_EQ(normalize.SliderPosition(), t.rate) << t.text;
    }

    DcOffsetDialogModel dc;
    EXPECT_EQ(dc.Mode(), DcOffsetMode::Auto);
    EXPECT_FALSE(dc.ValueEnabled());
    EXPECT_EQ(dc.Ok("not looked at"), DialogVerdict::Accepted);
    dc.SetMode(DcOffsetMode::Specify);
    EXPECT_TRUE(dc.ValueEnabled());
    EXPECT_EQ(dc.Ok("-1234567"), DialogVerdict::Accepted);
    EXPECT_EQ(dc.Value(), -1234567);
    EXPECT_EQ(dc.Ok("123456789"), DialogVerdict::Rejected);  // longer than the edit holds
    EXPECT_EQ(dc.Ok("1.5"), DialogVerdict::Rejected);
    EXPECT_EQ(dc.Value(), -1234567);
}

TEST(AmplitudeDialogs, CrossfadeRemembersMaximaAndResetsPercentagesWhenTheyChange) {
    SoundInfo info;
    info.frames = 10000;
    info.loopStart = 1000;
    info.loopEnd = 5000;
    CrossfadeDialogModel dialog;
    EXPECT_EQ(dialog.Type(), CrossfadeType::Sustain);
    EXPECT_FALSE(dialog.ReleaseControlsEnabled());
    EXPECT_EQ(dialog.Curve(), CrossfadeCurve::Linear);

    dialog.Open(info);  // the maxima differ from the initial 0: both start at their maximum
    EXPECT_EQ(dialog.SustainPercent(), 25);
    EXPECT_EQ(dialog.ReleasePercent(), 100);
    EXPECT_EQ(CrossfadeDialogModel::SliderPage(25), 3);
    ASSERT_TRUE(dialog.CommitSustainText("90"));
    EXPECT_EQ(dialog.SustainPercent(), 25);  // above the maximum: the maximum
    dialog.SetSustainPercent(10);
    dialog.SetReleasePercent(-4);
    EXPECT_EQ(dialog.ReleasePercent(), 0);
    EXPECT_FALSE(dialog.CommitReleaseText("lots"));
    dialog.SetType(CrossfadeType::SustainRelease);
    EXPECT_TRUE(dialog.ReleaseControlsEnabled());

    dialog.Open(info);  // same maxima: the percentages stay
    EXPECT_EQ(dialog.SustainPercent(), 10);
    EXPECT_EQ(dialog.ReleasePercent(), 0);
    EXPECT_EQ(dialog.Type(), CrossfadeType::SustainRelease);

    info.loopStart = 2000;  // sustain maximum 66, release maximum unchanged (5000 / 3000 > 1)
    info.loopEnd = 5000;
    dialog.Open(info);
    EXPECT_EQ(dialog.Maxima(), (CrossfadeMaxima{66, 100}));
    EXPECT_EQ(dialog.SustainPercent(), 66);
    EXPECT_EQ(dialog.ReleasePercent(), 0);

    info.loopStart = 0;  // a maximum of 0 forces 0
    dialog.Open(info);
    EXPECT_EQ(dialog.SustainPercent(), 0);
}
