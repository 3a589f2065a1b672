#include <gtest/gtest.h>

#include "app/FramePlacement.h"
#include "app/WindowLayout.h"
#include "support/TempDir.h"

using namespace pelmora;

namespace {

const FrameRect kDesktop{0, 0, 1280, 1000};
const FrameRect kCurrent{10, 20, 1000, 700};

}  // namespace

TEST(FramePlacement, AStoredRectangleIsKeptOnTheDesktop) {
    // Inside: unchanged.
    EXPECT_EQ(LimitToDesktop({100, 50, 800, 600}, kDesktop, kCurrent), (FrameRect{100, 50, 800, 600}));
    // Larger than the desktop: cut to it.
    EXPECT_EQ(LimitToDesktop({-50, -20, 3000, 2000}, kDesktop, kCurrent), kDesktop);
    // Hanging over the right and bottom edges: moved back in, size kept.
    EXPECT_EQ(LimitToDesktop({900, 800, 800, 600}, kDesktop, kCurrent), (FrameRect{480, 400, 800, 600}));
    // A desktop that does not start at the origin (a panel on the left).
    EXPECT_EQ(LimitToDesktop({0, 0, 400, 300}, {64, 0, 1216, 1000}, kCurrent), (FrameRect{64, 0, 400, 300}));
    // A damaged size falls back to the current one.
    EXPECT_EQ(LimitToDesktop({0, 0, 0, -5}, kDesktop, kCurrent), (FrameRect{0, 0, 1000, 700}));
}

TEST(FramePlacement, ThePlacementAndBarStateGoThroughTheProfileFile) {
    test::TempDir dir;
    const std::string path = dir.File("Pelmora.ini");
    {
        Profile empty(path);
        EXPECT_FALSE(HasStoredPlacement(empty));
        EXPECT_EQ(LoadPlacement(empty, {kCurrent, kShowNormal}, kDesktop).rect, kCurrent);

        SavePlacement(empty, {{30, 40, 5000, 500}, kShowMaximized});
        SaveBarState(empty, "AAAA/w==");
        ASSERT_TRUE(empty.Save());
    }
    Profile saved(path);
    saved.Load();
    EXPECT_EQ(saved.GetInt("OLM MainFrame", "cx", 0), 5000);  // stored as it was
    EXPECT_TRUE(HasStoredPlacement(saved));
    const FramePlacement loaded = LoadPlacement(saved, {kCurrent, kShowNormal}, kDesktop);
    EXPECT_EQ(loaded.rect, (FrameRect{0, 40, 1280, 500}));  // limited when read
    EXPECT_EQ(loaded.state, kShowMaximized);
    EXPECT_EQ(LoadBarState(saved), "AAAA/w==");
}

TEST(WindowLayout, TilesFillTheAreaInTheChosenDirection) {
    const FrameRect area{0, 0, 900, 600};
    EXPECT_EQ(TileRects(area, 2, TileDirection::Horizontally),
              (std::vector<FrameRect>{{0, 0, 900, 300}, {0, 300, 900, 300}}));
    EXPECT_EQ(TileRects(area, 2, TileDirection::Vertically),
              (std::vector<FrameRect>{{0, 0, 450, 600}, {450, 0, 450, 600}}));
    EXPECT_EQ(TileRects(area, 1, TileDirection::Vertically), (std::vector<FrameRect>{area}));
    EXPECT_TRUE(TileRects(area, 0, TileDirection::Vertically).empty());

    // Five side by side would be too thin: two columns, the last holding the three left over.
    const std::vector<FrameRect> five = TileRects(area, 5, TileDirection::Vertically);
    ASSERT_EQ(five.size(), 5u);
    EXPECT_EQ(five[0], (FrameRect{0, 0, 450, 300}));
    EXPECT_EQ(five[2], (FrameRect{450, 0, 450, 200}));
    EXPECT_EQ(five[4], (FrameRect{450, 400, 450, 200}));
}

TEST(WindowLayout, IconsLineTheBottomAndWrapUpwards) {
    const std::vector<FrameRect> icons = IconRects({0, 0, 350, 600}, 4, 160, 30);
    EXPECT_EQ(icons, (std::vector<FrameRect>{{0, 570, 160, 30}, {160, 570, 160, 30}, {0, 540, 160, 30},
                                             {160, 540, 160, 30}}));
}
