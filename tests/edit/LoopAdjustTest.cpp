#include <gtest/gtest.h>

#include <tuple>

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

// One position by each rule; the loop's two ends are such positions.
TEST(MovePositionForEdit, OnePositionByEachRule) {
    struct Case {
        LoopEditRule rule;
        std::uint32_t p, s, e, k, expected;
    };
    const Case cases[] = {
        {LoopEditRule::Clear, 300, 100, 200, 0, 200},   // after the removed frames: moves down
        {LoopEditRule::Clear, 200, 100, 200, 0, 100},   // right after them
        {LoopEditRule::Clear, 150, 100, 200, 0, 100},   // inside: to the range's start
        {LoopEditRule::Clear, 100, 100, 200, 0, 100},   // at its start
        {LoopEditRule::Clear, 99, 100, 200, 0, 99},     // before: stays
        {LoopEditRule::Insert, 0, 0, 0, 1000, 1000},    // insertion at the very start
        {LoopEditRule::Insert, 300, 100, 200, 20, 220}, // a shrinking replace
        {LoopEditRule::Insert, 150, 100, 200, 20, 100}, // inside the replaced frames
        {LoopEditRule::Trim, 50, 100, 200, 0, 0},       // before the kept frames: the new start
        {LoopEditRule::Trim, 150, 100, 200, 0, 50},
        {LoopEditRule::Trim, 200, 100, 200, 0, 100},    // at the kept end
        {LoopEditRule::Trim, 900, 100, 200, 0, 100},    // after: the new end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MovePositionForEdit(c.rule, c.p, c.s, c.e, c.k), c.expected)
            << "rule " << static_cast<int>(c.rule) << ", position " << c.p << ", " << c.s << ".." << c.e;
    }
}

// Time Comp/Exp: after the selection by the change of length, inside it scaled from its start.
TEST(AdjustLoopForTimeChange, ScalesInsideAndShiftsAfter) {
    EXPECT_EQ(MovePositionForTimeChange(500, 100, 300, 250), 550u);  // after: + 50
    EXPECT_EQ(MovePositionForTimeChange(200, 100, 300, 250), 225u);  // inside: 100 × 1.25
    EXPECT_EQ(MovePositionForTimeChange(300, 100, 300, 150), 250u);  // the selection's end
    EXPECT_EQ(MovePositionForTimeChange(100, 100, 300, 150), 100u);  // its start stays
    EXPECT_EQ(MovePositionForTimeChange(100099, 99, 100099, 80000), 80099u);  // end of a 100000-frame selection
    EXPECT_EQ(MovePositionForTimeChange(3, 0, 10, 7), 2u);  // 3 × 0.7, exactly
    const auto expect = [](LoopPoints got, std::uint32_t start, std::uint32_t end, std::uint32_t lock) {
        EXPECT_EQ(std::tuple(got.start, got.end, got.lock), std::tuple(start, end, lock));
    };
    expect(AdjustLoopForTimeChange({400, 600, 1}, 100, 300, 150), 350, 550, 1);  // loop after: moves
    expect(AdjustLoopForTimeChange({300, 600, 2}, 100, 300, 150), 250, 550, 2);  // starts at e: moves too
    expect(AdjustLoopForTimeChange({300, 300, 1}, 100, 300, 150), 250, 250, 1);  // empty, at e
    expect(AdjustLoopForTimeChange({200, 600, 1}, 100, 300, 150), 175, 550, 0);  // starts inside
    expect(AdjustLoopForTimeChange({50, 200, 2}, 100, 300, 150), 50, 175, 0);    // ends inside
    expect(AdjustLoopForTimeChange({10, 90, 2}, 100, 300, 150), 10, 90, 2);      // before: stays
}
