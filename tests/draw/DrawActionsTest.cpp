#include "tests/draw/ActionFixture.h"

#include <gtest/gtest.h>

namespace zenvas {
namespace {

using namespace fixture;

enum Action { kGetPixel = 43, kSetPixel, kLine, kRectangle, kCircle, kRoundRect, kPie, kPolygon, kText, kFill };

class DrawActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        CatchVariables();
        canvas_ = &MakeCanvas("Draw", 30, 20);
    }
    void TearDown() override { DeleteCanvas("Draw"); }
    gdi::Bitmap& picture() { return Picture(*canvas_); }
    gdi::Canvas& surface() { return canvas_->WSImageBox1->Canvas(); }

    TZenvas* canvas_ = nullptr;
};

TEST_F(DrawActions, PixelColoursReachTheVariable)
{
    EXPECT_TRUE(RunAction(kGetPixel, {"draw", "[C]", "0", "0"}));
    EXPECT_EQ(Variables()["[C]"], "255,255,255");
    EXPECT_TRUE(RunAction(kSetPixel, {"Draw", "255,0,0", "0", "0"}));
    EXPECT_TRUE(RunAction(kGetPixel, {"Draw", "[C]", "0", "0"}));
    EXPECT_EQ(Variables()["[C]"], "255,0,0");
    EXPECT_TRUE(RunAction(kGetPixel, {"Draw", "[C]", "99", "0"}));
    EXPECT_EQ(Variables()["[C]"], "255,255,255");

    Variables().clear();
    EXPECT_FALSE(RunAction(kGetPixel, {"Draw", "", "0", "0"}));
    EXPECT_FALSE(RunAction(kGetPixel, {"Draw", "[C]", "-1", "0"}));
    EXPECT_FALSE(RunAction(kGetPixel, {"Draw", "[C]", "0", "9999999999"}));
    EXPECT_FALSE(RunAction(kGetPixel, {"Nowhere", "[C]", "0", "0"}));
    EXPECT_TRUE(Variables().empty());
}

TEST_F(DrawActions, SetPixelFailsOnlyOnUnreadableCoordinates)
{
    EXPECT_TRUE(RunAction(kSetPixel, {"Draw", "red", "1", "1"}));
    EXPECT_TRUE(RunAction(kSetPixel, {"Draw", "0,0,255", "-3", "1"}));
    EXPECT_FALSE(RunAction(kSetPixel, {"Draw", "0,0,255", "x", "1"}));
    EXPECT_TRUE(RunAction(kSetPixel, {"Draw", "0,0,255", " 2", "1"}));
    EXPECT_EQ(picture().pixel(2, 1), 0u);
    EXPECT_EQ(picture().pixel(1, 1), 0xFFFFFFu);
}

TEST_F(DrawActions, FiguresAnswerTrueEvenWhenNothingIsDrawn)
{
    for (int action = kRectangle; action <= kPolygon; ++action)
        EXPECT_TRUE(RunAction(action, {"Draw", "", "", "", "", "", "1|2|3"})) << action;
    EXPECT_FALSE(RunAction(kRectangle, {"Draw", "2147483648", "", "", "", "", "1|1|5|5"}));
    EXPECT_FALSE(RunAction(kRectangle, {"Nowhere", "", "", "", "", "", "1|1|5|5"}));
    EXPECT_TRUE(RunAction(kLine, {"Draw", "", "", "", "-5", "1", "5", "1"}));
    EXPECT_EQ(picture().pixel(0, 1), 0xFFFFFFu);
}

TEST_F(DrawActions, SettingsStayOnTheCanvasForLaterActions)
{
    EXPECT_TRUE(RunAction(kRectangle, {"Draw", "3", "0,0,255", "Dot", "Clear", "255,0,0", "1|1|10|10"}));
    EXPECT_EQ(surface().brush().style(), gdi::BrushStyle::Clear);
    EXPECT_EQ(surface().pen().width(), 3);
    EXPECT_EQ(picture().pixel(5, 5), 0xFFFFFFu);
    EXPECT_EQ(picture().pixel(1, 5), gdi::Rgb(0, 0, 255));
}

TEST_F(DrawActions, TextAndFillFailOnlyOnTheirCoordinates)
{
    EXPECT_TRUE(RunAction(kText, {"Draw", "Arial|clRed|9||1", "A B", "1|1|7"}));
    EXPECT_FALSE(RunAction(kText, {"Draw", "Arial|clRed|9||1", "A", "1"}));
    EXPECT_FALSE(RunAction(kText, {"Draw", "Arial|clRed", "A", "1|1"}));
    EXPECT_EQ(surface().brush().style(), gdi::BrushStyle::Clear);
    EXPECT_TRUE(RunAction(kFill, {"Draw", "", "", "25|15"}));
    EXPECT_EQ(picture().pixel(29, 19), 0u);
    EXPECT_FALSE(RunAction(kFill, {"Draw", "", "", ""}));
}

} // namespace
} // namespace zenvas
