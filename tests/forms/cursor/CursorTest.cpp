#include "platform/forms/Cursor.h"

#include <gtest/gtest.h>

namespace forms {
namespace {

std::shared_ptr<const CursorShape> Shape(int width, int height, int hotspotX, int hotspotY, int frameCount)
{
    std::vector<CursorFrame> frames(static_cast<std::size_t>(frameCount));
    std::vector<CursorStep> steps;
    for (int i = 0; i < frameCount; ++i)
        steps.push_back({i, 6});
    return std::make_shared<const CursorShape>(width, height, hotspotX, hotspotY, std::move(frames),
                                               std::move(steps));
}

TEST(DescribeCursor, DefaultOrSizeHotspotAndFrames)
{
    EXPECT_EQ(DescribeCursor(nullptr), "default");
    EXPECT_EQ(DescribeCursor(Shape(32, 32, 5, 17, 1).get()), "32x32 hotspot 5,17 frames 1");
    EXPECT_EQ(DescribeCursor(Shape(48, 24, 0, 0, 3).get()), "48x24 hotspot 0,0 frames 3");
}

class ScreenCursors : public ::testing::Test {
protected:
    void SetUp() override { Screen::instance().clearCursors(); }
    void TearDown() override { Screen::instance().clearCursors(); }
    Screen& screen = Screen::instance();
};

TEST_F(ScreenCursors, EntriesAreSharedPerIndexAndAbsentOnesAreTheArrow)
{
    EXPECT_EQ(screen.cursor(0), nullptr);
    EXPECT_EQ(screen.cursor(-21), nullptr);
    auto shape = Shape(32, 32, 1, 2, 1);
    screen.setCursor(1, shape);
    EXPECT_EQ(screen.cursor(1), shape);
    EXPECT_EQ(screen.cursor(0), nullptr);
    EXPECT_EQ(screen.cursor(2), nullptr);
    // A shape at 0 stands in for the arrow until removed.
    screen.setCursor(0, shape);
    EXPECT_EQ(screen.cursor(0), shape);
    screen.setCursor(0, nullptr);
    EXPECT_EQ(screen.cursor(0), nullptr);
}

TEST_F(ScreenCursors, ReplacingOrRemovingReleasesTheTablesHold)
{
    auto shape = Shape(32, 32, 0, 0, 1);
    std::weak_ptr<const CursorShape> first = shape;
    screen.setCursor(1, std::move(shape));
    EXPECT_FALSE(first.expired());
    auto second = Shape(16, 16, 3, 3, 2);
    screen.setCursor(1, second);
    EXPECT_TRUE(first.expired());
    EXPECT_EQ(DescribeCursor(screen.cursor(1).get()), "16x16 hotspot 3,3 frames 2");

    // Whoever still shows the old shape keeps it alive.
    std::shared_ptr<const CursorShape> shown = screen.cursor(1);
    std::weak_ptr<const CursorShape> weak = second;
    second.reset();
    screen.setCursor(1, nullptr);
    EXPECT_EQ(screen.cursor(1), nullptr);
    EXPECT_FALSE(weak.expired());
    shown.reset();
    EXPECT_TRUE(weak.expired());
}

} // namespace
} // namespace forms
