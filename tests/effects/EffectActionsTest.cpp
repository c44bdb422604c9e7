#include "effects/Transforms.h"
#include "plugin/Random.h"
#include "tests/draw/ActionFixture.h"

#include <gtest/gtest.h>

namespace zenvas {
namespace {

using namespace fixture;

enum Action { kChangeRGB = 35, kGamma, kNegative, kMonochrome, kBlock, kFrostGlass, kMonoPixel, kAddNoise };

bool Same(const gdi::Bitmap& a, const gdi::Bitmap& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

class EffectActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = EffectReseed();
        EffectReseed() = [] { SetRandomSeed(777); };
        canvas_ = &MakeCanvas("Fx", 9, 7);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x)
                picture().setPixel(x, y, gdi::Rgb(x * 25, y * 30, 100 + x + y));
        before_ = picture();
    }
    void TearDown() override
    {
        EffectReseed() = saved_;
        DeleteCanvas("Fx");
    }

    gdi::Bitmap& picture() { return Picture(*canvas_); }
    bool unchanged() { return Same(picture(), before_); }
    int repaints() { return canvas_->WSImageBox1->repaintCount(); }

    TZenvas* canvas_ = nullptr;
    gdi::Bitmap before_;

private:
    ReseedRoutine saved_ = nullptr;
};

TEST_F(EffectActions, UnknownCanvasesAnswerFalse)
{
    const Params four{"Nowhere", "1", "1", "1"};
    for (int action = kChangeRGB; action <= kAddNoise; ++action)
        EXPECT_FALSE(RunAction(action, four)) << action;
    EXPECT_TRUE(unchanged());
}

TEST_F(EffectActions, ColourAdjustmentsFailOnTextsThatAreNoIntegers)
{
    EXPECT_FALSE(RunAction(kChangeRGB, {"Fx", "10", "x", "0"}));
    EXPECT_FALSE(RunAction(kGamma, {"Fx", ""}));
    EXPECT_TRUE(unchanged());
    EXPECT_EQ(repaints(), 0);
}

TEST_F(EffectActions, NoChangeStillAnswersTrueAndRepaints)
{
    EXPECT_TRUE(RunAction(kChangeRGB, {"fx", "0", "0", "0"}));
    EXPECT_TRUE(RunAction(kGamma, {"Fx", "10"}));
    EXPECT_TRUE(unchanged());
    EXPECT_EQ(repaints(), 2);
}

TEST_F(EffectActions, GammaNumberIsTenths)
{
    EXPECT_TRUE(RunAction(kGamma, {"Fx", "7"}));
    gdi::Bitmap expected = before_;
    BitmapChangeGamma(expected, 0.7);
    EXPECT_TRUE(Same(picture(), expected));
    EXPECT_TRUE(RunAction(kGamma, {"Fx", "-5"}));
    EXPECT_EQ(picture().pixel(8, 6), gdi::Rgb(255, 255, 255));
}

TEST_F(EffectActions, MonochromeNeedsAColourTextButNotAGoodOne)
{
    EXPECT_FALSE(RunAction(kMonochrome, {"Fx", ""}));
    EXPECT_TRUE(RunAction(kMonochrome, {"Fx", "255,0"}));
    EXPECT_TRUE(unchanged());
    EXPECT_TRUE(RunAction(kMonochrome, {"Fx", "100,100,100"}));
    EXPECT_EQ(picture().pixel(0, 0), gdi::Rgb(85, 85, 85));
}

TEST_F(EffectActions, BlockCountsWithoutWholeBlocksLeaveThePicture)
{
    for (auto count : {"0", "-2", "8", "10", "x"})
        EXPECT_TRUE(RunAction(kBlock, {"Fx", "0,0,255", count, "2"})) << count;
    EXPECT_TRUE(RunAction(kBlock, {"Fx", "", "2", "2"}));
    EXPECT_TRUE(unchanged());
    EXPECT_EQ(repaints(), 0);
    // Seven rows make blocks of height 1 at count 7; seam 1 keeps them.
    EXPECT_TRUE(RunAction(kBlock, {"Fx", "0,0,255", "7", "1"}));
    EXPECT_TRUE(unchanged());
    EXPECT_EQ(repaints(), 1);
}

TEST_F(EffectActions, BlocksUseWidthAndHeightDividedByTheCount)
{
    EXPECT_TRUE(RunAction(kBlock, {"Fx", "0,0,255", "3", "2"}));
    gdi::Bitmap expected = before_;
    BitmapBlock(expected, 3, 2, 2, gdi::Rgb(0, 0, 255));
    EXPECT_TRUE(Same(picture(), expected));
}

TEST_F(EffectActions, FrostAnswersTrueOnceTheCanvasIsFound)
{
    EXPECT_TRUE(RunAction(kFrostGlass, {"Fx", "", "3"}));
    EXPECT_TRUE(RunAction(kFrostGlass, {"Fx", "0,0,0", "three"}));
    EXPECT_TRUE(unchanged());
    EXPECT_TRUE(RunAction(kFrostGlass, {"Fx", "1,2,3", "-4"}));
    EXPECT_EQ(picture().pixel(8, 0), gdi::Rgb(1, 2, 3));
    EXPECT_EQ(picture().pixel(7, 5), before_.pixel(7, 5));
}

TEST_F(EffectActions, CellSizesBelowOneFailAndHugeOnesAreLimited)
{
    for (auto size : {"", "0", "-2", "two"})
        EXPECT_FALSE(RunAction(kMonoPixel, {"Fx", size})) << size;
    EXPECT_TRUE(unchanged());
    EXPECT_TRUE(RunAction(kMonoPixel, {"Fx", "1"}));
    EXPECT_TRUE(unchanged());
    EXPECT_TRUE(RunAction(kMonoPixel, {"Fx", "65537"}));
    gdi::Bitmap expected = before_;
    BitmapMonoPixel(expected, 65535, 65535);
    EXPECT_TRUE(Same(picture(), expected));
    EXPECT_EQ(picture().pixel(0, 0), picture().pixel(8, 6));
}

TEST_F(EffectActions, NoiseModeFalseInAnyCaseIsColoured)
{
    gdi::Bitmap coloured = before_, blackAndWhite = before_;
    BitmapAddNoise(coloured, 60, false);
    BitmapAddNoise(blackAndWhite, 60, true);
    EXPECT_TRUE(RunAction(kAddNoise, {"Fx", "FALSE", "60"}));
    EXPECT_TRUE(Same(picture(), coloured));
    for (auto mode : {"", "True", "maybe"}) {
        picture() = before_;
        EXPECT_TRUE(RunAction(kAddNoise, {"Fx", mode, "60"}));
        EXPECT_TRUE(Same(picture(), blackAndWhite)) << mode;
    }
    picture() = before_;
    EXPECT_FALSE(RunAction(kAddNoise, {"Fx", "false", "lots"}));
    EXPECT_TRUE(RunAction(kAddNoise, {"Fx", "false", "-9"}));
    EXPECT_TRUE(unchanged());
}

} // namespace
} // namespace zenvas
