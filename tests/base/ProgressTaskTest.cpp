#include <gtest/gtest.h>

#include "base/SilentProgress.h"

using namespace pelmora;

TEST(ProgressTask, PercentRuleAndRedrawOnlyOnChange) {
    EXPECT_EQ(ProgressPercent(0, 7), 0);
    EXPECT_EQ(ProgressPercent(7, 7), 100);
    EXPECT_EQ(ProgressPercent(2, 3), 66);  // truncated, not rounded
    EXPECT_EQ(ProgressPercent(5, 0), 100);

    SilentProgress p;
    p.Start(StringId::CreatingCopyFile);
    p.SetRange(400);
    for (std::uint64_t i = 1; i <= 400; ++i) p.Step(i, 400);
    // "  0%" at Start, then each integer percent once.
    ASSERT_EQ(p.PercentsShown().size(), 101u);
    EXPECT_EQ(p.PercentsShown().front(), 0);
    EXPECT_EQ(p.PercentsShown().back(), 100);
    EXPECT_EQ(FormatText(StringId::PercentFormat, 0), "  0%");
    EXPECT_EQ(FormatText(StringId::PercentFormat, 100), "100%");
}

TEST(ProgressTask, OnePressCancelsOneOperation) {
    SilentProgress p;
    p.Start(StringId::CreatingCopyFile);
    p.PressEscapeAtStep(2);
    EXPECT_FALSE(p.Step(1, 10));
    EXPECT_FALSE(p.CancelRequested());
    EXPECT_TRUE(p.Step(2, 10));
    EXPECT_TRUE(p.CancelRequested());
    EXPECT_FALSE(p.IsActive());  // cancelling ends the display
    EXPECT_FALSE(p.CancelRequested());

    // The press was consumed: the next operation runs through.
    p.Start(StringId::CreatingCopyFile);
    EXPECT_FALSE(p.Step(1, 10));
    EXPECT_FALSE(p.CancelRequested());
    p.End();
    EXPECT_EQ(p.Starts(), p.Ends());
}

TEST(ProgressTask, StartForgetsAnEscapeSeenByAnOperationWithoutCancel) {
    SilentProgress p;
    p.Start(StringId::ConvertingWavToAiff);
    p.PressEscapeAtStep(1);
    EXPECT_TRUE(p.Step(1, 2));  // sampled, but this operation never asks
    p.End();
    p.Start(StringId::CreatingCopyFile);
    // The sampled state was reset; only a new Step would see a key that is still down.
    EXPECT_FALSE(p.CancelRequested());
}
