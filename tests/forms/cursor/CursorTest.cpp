#include "platform/forms/Cursor.h"

#include <gtest/gtest.h>

namespace forms {
namespace {

std::shared_ptr<const CursorShape> Shape(int width, int height, int hotspotX, int hotspotY, int frameCount)
{
    std::vector<CursorFrame> frames(static_cast<std::size_t>(frameCount));
    for (CursorFrame& f : frames) {
        f.image = gdi::Bitmap(width, height);
        f.opacity.assign(std::size_t(width) * std::size_t(height), 255);
    }
    std::vector<CursorStep> steps;
    for (int i = 0; i < frameCount; ++i)
        steps.push_back({i, 6});
    return std::make_shared<const CursorShape>(width, height, hotspotX, hotspotY, std::move(frames),
                                               std::move(steps));
}

class ScreenCursors : public ::testing::Test {
protected:
    void SetUp() override { Screen::instance().clearCursors(); }
    void TearDown() override { Screen::instance().clearCursors(); }
};

TEST(DescribeCursor, NullIsTheDefaultArrow)
{
    EXPECT_EQ(DescribeCursor(nullptr), "default");
}

TEST(DescribeCursor, GivesSizeHotspotAndFrameCount)
{
    EXPECT_EQ(DescribeCursor(Shape(32, 32, 5, 17, 1).get()), "32x32 hotspot 5,17 frames 1");
    EXPECT_EQ(DescribeCursor(Shape(48, 24, 0, 0, 3).get()), "48x24 hotspot 0,0 frames 3");
}

TEST(CursorShapeTest, OneFrameAndOneStepIsStatic)
{
    EXPECT_FALSE(Shape(4, 4, 0, 0, 1)->isAnimated());
    EXPECT_TRUE(Shape(4, 4, 0, 0, 2)->isAnimated());
}

TEST_F(ScreenCursors, EveryIndexStartsAsTheDefaultArrow)
{
    EXPECT_EQ(Screen::instance().cursor(0), nullptr);
    EXPECT_EQ(Screen::instance().cursor(1), nullptr);
    EXPECT_EQ(Screen::instance().cursor(-21), nullptr);
}

TEST_F(ScreenCursors, AnEntryIsSharedAndLeavesOtherIndicesAlone)
{
    auto shape = Shape(32, 32, 1, 2, 1);
    Screen::instance().setCursor(1, shape);
    EXPECT_EQ(Screen::instance().cursor(1), shape);
    EXPECT_EQ(Screen::instance().cursor(1), Screen::instance().cursor(1));
    EXPECT_EQ(Screen::instance().cursor(0), nullptr);
    EXPECT_EQ(Screen::instance().cursor(2), nullptr);
}

TEST_F(ScreenCursors, ReplacingAnEntryReleasesThePreviousShape)
{
    std::weak_ptr<const CursorShape> first;
    {
        auto shape = Shape(32, 32, 0, 0, 1);
        first = shape;
        Screen::instance().setCursor(1, std::move(shape));
    }
    EXPECT_FALSE(first.expired());
    auto second = Shape(16, 16, 3, 3, 2);
    Screen::instance().setCursor(1, second);
    EXPECT_TRUE(first.expired());
    EXPECT_EQ(DescribeCursor(Screen::instance().cursor(1).get()), "16x16 hotspot 3,3 frames 2");
}

TEST_F(ScreenCursors, ANullShapeRemovesTheEntryAndReleasesIt)
{
    std::weak_ptr<const CursorShape> held;
    {
        auto shape = Shape(32, 32, 0, 0, 1);
        held = shape;
        Screen::instance().setCursor(1, std::move(shape));
    }
    Screen::instance().setCursor(1, nullptr);
    EXPECT_TRUE(held.expired());
    EXPECT_EQ(Screen::instance().cursor(1), nullptr);
    Screen::instance().setCursor(7, nullptr); // removing what is not there is harmless
    EXPECT_EQ(Screen::instance().cursor(7), nullptr);
}

TEST_F(ScreenCursors, AShapeInstalledAtZeroReplacesTheArrowUntilRemoved)
{
    auto shape = Shape(8, 8, 4, 4, 1);
    Screen::instance().setCursor(0, shape);
    EXPECT_EQ(Screen::instance().cursor(0), shape);
    Screen::instance().setCursor(0, nullptr);
    EXPECT_EQ(Screen::instance().cursor(0), nullptr);
}

TEST_F(ScreenCursors, AHolderKeepsAReplacedShapeAlive)
{
    auto first = Shape(32, 32, 0, 0, 1);
    Screen::instance().setCursor(1, first);
    std::shared_ptr<const CursorShape> shown = Screen::instance().cursor(1);
    Screen::instance().setCursor(1, Shape(16, 16, 0, 0, 1));
    EXPECT_EQ(shown, first);
    EXPECT_EQ(shown->width(), 32);
}

} // namespace
} // namespace forms
