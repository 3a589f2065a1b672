#include <gtest/gtest.h>

#include "edit/LoopAdjust.h"

using namespace pelmora;

namespace {

LoopPoints Apply(LoopEditRule rule, std::uint32_t s, std::uint32_t e, std::uint32_t k = 0) {
    return AdjustLoopForEdit(rule, {100, 200, 1}, s, e, k);
}

void ExpectLoop(LoopPoints got, std::uint32_t start, std::uint32_t end, std::uint32_t lock) {
    EXPECT_EQ(got.start, start);
    EXPECT_EQ(got.end, end);
    EXPECT_EQ(got.lock, lock);
}

}  // namespace

TEST(AdjustLoopForEdit, ClearAndCut) {
    ExpectLoop(Apply(LoopEditRule::Clear, 10, 60), 50, 150, 1);     // before the loop: both move
    ExpectLoop(Apply(LoopEditRule::Clear, 10, 100), 10, 110, 1);    // e = L still counts as before
    ExpectLoop(Apply(LoopEditRule::Clear, 50, 150), 50, 100, 0);    // ends inside: end pulled back
    ExpectLoop(Apply(LoopEditRule::Clear, 120, 150), 100, 170, 0);  // inside the loop
    ExpectLoop(Apply(LoopEditRule::Clear, 150, 250), 100, 150, 0);  // over the loop end
    ExpectLoop(Apply(LoopEditRule::Clear, 50, 250), 50, 50, 0);     // over the whole loop
    ExpectLoop(Apply(LoopEditRule::Clear, 200, 300), 100, 200, 1);  // after the loop
}

TEST(AdjustLoopForEdit, InsertMovesByTheNetChange) {
    ExpectLoop(Apply(LoopEditRule::Insert, 10, 10, 30), 130, 230, 1);  // pure insertion before
    ExpectLoop(Apply(LoopEditRule::Insert, 10, 60, 20), 70, 170, 1);    // shrinking replace
    ExpectLoop(Apply(LoopEditRule::Insert, 150, 150, 40), 100, 240, 0); // inside: end moves
    ExpectLoop(Apply(LoopEditRule::Insert, 50, 150, 10), 50, 110, 0);
    ExpectLoop(Apply(LoopEditRule::Insert, 150, 250, 500), 100, 150, 0);
    ExpectLoop(Apply(LoopEditRule::Insert, 200, 200, 5), 100, 205, 0);  // at the end: e = E is inside
    ExpectLoop(Apply(LoopEditRule::Insert, 201, 201, 5), 100, 200, 1);
}

TEST(AdjustLoopForEdit, TrimKeepsOnlyTheSelection) {
    ExpectLoop(Apply(LoopEditRule::Trim, 10, 50), 40, 40, 0);     // kept part ends before the loop
    ExpectLoop(Apply(LoopEditRule::Trim, 50, 150), 50, 100, 0);   // ends inside, starts before
    ExpectLoop(Apply(LoopEditRule::Trim, 120, 150), 0, 30, 0);    // ends inside, starts inside
    ExpectLoop(Apply(LoopEditRule::Trim, 50, 250), 50, 150, 1);   // covers the loop
    ExpectLoop(Apply(LoopEditRule::Trim, 120, 250), 0, 80, 0);    // starts inside
    ExpectLoop(Apply(LoopEditRule::Trim, 200, 300), 0, 0, 0);     // after the loop
}
