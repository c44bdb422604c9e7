#include "platform/forms/Cursor.h"

#include <gtest/gtest.h>

namespace forms {
namespace {

std::shared_ptr<const CursorShape> Shape(int width, int height, int hotspotX, int hotspotY, int frameCount)
{
    std::vector<CursorStep> steps;
    for (int i = 0; i < frameCount; ++i)
        steps.push_back({i, 6});
    return std::make_shared<const CursorShape>(width, height, hotspotX, hotspotY,
                                               std::vector<CursorFrame>(std::size_t(frameCount)), std::move(steps));
}

TEST(DescribeCursor, DefaultOrSizeHotspotAndFrames)
{
    EXPECT_EQ(DescribeCursor(nullptr), "default");
    EXPECT_EQ(DescribeCursor(Shape(48, 24, 5, 17, 3).get()), "48x24 hotspot 5,17 frames 3");
}

TEST(ScreenCursors, EntriesAreSharedPerIndexAbsentOnesAreTheArrowAndOnlyHoldersKeepThemAlive)
{
    Screen& screen = Screen::instance();
    screen.clearCursors();
    EXPECT_EQ(screen.cursor(0), nullptr);
    EXPECT_EQ(screen.cursor(-21), nullptr);
    auto first = Shape(32, 32, 1, 2, 1);
    std::weak_ptr<const CursorShape> weakFirst = first;
    screen.setCursor(1, std::move(first));
    EXPECT_EQ(DescribeCursor(screen.cursor(1).get()), "32x32 hotspot 1,2 frames 1");
    EXPECT_EQ(screen.cursor(2), nullptr);
    // A shape at 0 stands in for the arrow until removed.
    screen.setCursor(0, screen.cursor(1));
    EXPECT_EQ(screen.cursor(0), screen.cursor(1));
    screen.setCursor(0, nullptr);
    EXPECT_EQ(screen.cursor(0), nullptr);
    // Replacing releases the table's hold; whoever shows a shape keeps it.
    screen.setCursor(1, Shape(16, 16, 3, 3, 2));
    EXPECT_TRUE(weakFirst.expired());
    std::shared_ptr<const CursorShape> shown = screen.cursor(1);
    std::weak_ptr<const CursorShape> weakShown = shown;
    screen.setCursor(1, nullptr);
    EXPECT_EQ(screen.cursor(1), nullptr);
    EXPECT_FALSE(weakShown.expired());
    shown.reset();
    EXPECT_TRUE(weakShown.expired());
    screen.clearCursors();
}

} // namespace
} // namespace forms
