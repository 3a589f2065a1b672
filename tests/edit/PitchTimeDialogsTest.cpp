// The Pitch Shift and Time Comp/Exp dialog models: conversions, limits and what is written back.

#include <gtest/gtest.h>

#include "edit/PitchDialogModel.h"
#include "edit/TimeDialogModel.h"

using namespace pelmora;

TEST(PitchDialogModel, RatesAndCentsFollowEachOther) {
    struct Case {
        PitchField field;
        const char* text;
        DialogVerdict verdict;
        const char* rateText;
        int cents, slider;
    };
    const Case cases[] = {
        {PitchField::Rate, "110", DialogVerdict::Accepted, "110", 165, 110},       // 1200 × log2 1.1 = 165.004
        {PitchField::Rate, "90.5", DialogVerdict::Accepted, "90.5", -173, 90},     // −172.9, half away from zero
        {PitchField::Rate, "130", DialogVerdict::CorrectedStayOpen, "125.0", 386, 125},
        {PitchField::Rate, "70", DialogVerdict::CorrectedStayOpen, "75.0", -498, 75},
        {PitchField::Rate, "12o", DialogVerdict::Rejected, "75.0", -498, 75},      // not a number: nothing changes
        {PitchField::Rate, "100.00001", DialogVerdict::Rejected, "75.0", -498, 75}, // more than 8 characters
        {PitchField::Cents, "1200", DialogVerdict::CorrectedStayOpen, "125.0000", 386, 125},
        {PitchField::Cents, "386", DialogVerdict::Accepted, "125.0000", 386, 125},
        {PitchField::Cents, "-600", DialogVerdict::CorrectedStayOpen, "75.00000", -498, 75},
        {PitchField::Cents, "-497", DialogVerdict::Accepted, "75.04528", -497, 75},
        {PitchField::Cents, "0", DialogVerdict::Accepted, "100.0", 0, 100},
        {PitchField::Cents, "100", DialogVerdict::Accepted, "105.9463", 100, 105},
        {PitchField::Cents, "1.5", DialogVerdict::Rejected, "105.9463", 100, 105},
    };
    PitchDialogModel model;
    model.Open();
    EXPECT_EQ(model.RateText(), "100.0");
    EXPECT_EQ(model.Cents(), 0);
    for (const Case& c : cases) {
        EXPECT_EQ(model.Ok(c.field, c.text), c.verdict) << c.text;
        EXPECT_EQ(model.RateText(), c.rateText) << c.text;
        EXPECT_EQ(model.Cents(), c.cents) << c.text;
        EXPECT_EQ(model.SliderPosition(), c.slider) << c.text;
    }
    model.MoveSlider(90);
    EXPECT_EQ(model.RateText(), "90.0");
    EXPECT_EQ(model.Cents(), -182);
    EXPECT_DOUBLE_EQ(model.Rate(), 90.0);
    // The remembered text comes back at the next opening.
    model.Ok(PitchField::Rate, "112.25");
    model.Open();
    EXPECT_EQ(model.RateText(), "112.25");
    EXPECT_DOUBLE_EQ(model.Rate(), 112.25);
    EXPECT_EQ(model.SliderPosition(), 112);
}

TEST(TimeDialogModel, PercentAndModifiedLength) {
    struct Case {
        TimeField field;
        const char* text;
        DialogVerdict verdict;
        std::uint32_t modified;
        int percent;
    };
    const Case cases[] = {
        {TimeField::Percent, "80", DialogVerdict::Accepted, 80000, 80},
        {TimeField::Percent, "130", DialogVerdict::CorrectedStayOpen, 125000, 125},
        {TimeField::Percent, "1000", DialogVerdict::Rejected, 125000, 125},  // more than 3 characters
        {TimeField::Modified, "80001", DialogVerdict::Accepted, 80001, 80},
        {TimeField::Modified, "87654", DialogVerdict::Accepted, 87654, 88},
        {TimeField::Modified, "130000", DialogVerdict::CorrectedStayOpen, 125000, 125},
        {TimeField::Modified, "1", DialogVerdict::CorrectedStayOpen, 75000, 75},
        {TimeField::Modified, "x", DialogVerdict::Rejected, 75000, 75},
    };
    TimeDialogModel model;
    model.Open(100000);
    EXPECT_EQ(model.Modified(), 100000u);
    EXPECT_EQ(model.Percent(), 100);
    for (const Case& c : cases) {
        EXPECT_EQ(model.Ok(c.field, c.text), c.verdict) << c.text;
        EXPECT_EQ(model.Modified(), c.modified) << c.text;
        EXPECT_EQ(model.Percent(), c.percent) << c.text;
    }
    model.MoveSlider(99);
    EXPECT_EQ(model.Modified(), 99000u);
    model.Open(7);  // opens at 100 % again
    EXPECT_EQ(model.Percent(), 100);
    EXPECT_EQ(model.Modified(), 7u);
    EXPECT_EQ(model.Ok(TimeField::Modified, "9"), DialogVerdict::CorrectedStayOpen);  // limits 5 … 8
    EXPECT_EQ(model.Modified(), 8u);
}
