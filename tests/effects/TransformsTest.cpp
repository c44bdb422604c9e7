#include "effects/Transforms.h"
#include "platform/gdi/Error.h"
#include "plugin/Random.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace zenvas {
namespace {

constexpr std::uint32_t kSeed = 12345;

// Pixels are given and read back as colour values.
gdi::Bitmap Picture(int width, int height, const std::function<gdi::Color(int, int)>& colour)
{
    gdi::Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y, colour(x, y));
    return bitmap;
}

// The red channel of every pixel, rows from the top; -1 where the pixel is
// exactly `marker`.
std::vector<std::vector<int>> Reds(const gdi::Bitmap& bitmap, gdi::Color marker)
{
    std::vector<std::vector<int>> rows;
    for (int y = 0; y < bitmap.height(); ++y) {
        rows.emplace_back();
        for (int x = 0; x < bitmap.width(); ++x) {
            const gdi::Color c = bitmap.pixel(x, y);
            rows.back().push_back(c == marker ? -1 : gdi::RedOf(c));
        }
    }
    return rows;
}

gdi::Bitmap Numbered(int width, int height)
{
    return Picture(width, height, [](int x, int y) { return gdi::Rgb(y * 10 + x, 7, 9); });
}

bool SameBitmap(const gdi::Bitmap& a, const gdi::Bitmap& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

class FixedSeed : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = EffectReseed();
        EffectReseed() = [] { SetRandomSeed(kSeed); };
    }
    void TearDown() override { EffectReseed() = saved_; }

private:
    ReseedRoutine saved_ = nullptr;
};

TEST(RandomShift, DrawsTheCoinFirstThenTheAmount)
{
    // From this seed the draws run coin 0 (add), then 289 of 1000.
    SetRandomSeed(kSeed);
    EXPECT_EQ(Random(1000), 385);
    EXPECT_EQ(Random(1000), 289);
    SetRandomSeed(kSeed);
    EXPECT_EQ(RandomShift(100, 1000), 389);
}

TEST(RandomShift, SizesZeroAndOneKeepTheValueButStillDraw)
{
    SetRandomSeed(0);
    EXPECT_EQ(RandomShift(10, 0), 10);
    EXPECT_EQ(RandomShift(10, 1), 10);
    SetRandomSeed(0);
    for (int i = 0; i < 4; ++i)
        Random(7);
    const std::uint32_t afterFourDraws = RandomSeed();
    SetRandomSeed(0);
    RandomShift(10, 0);
    RandomShift(10, 1);
    EXPECT_EQ(RandomSeed(), afterFourDraws);
}

TEST(ChangeRGB, ChannelsLeavingTheRangeKeepTheirValue)
{
    gdi::Bitmap bitmap = Picture(2, 1, [](int x, int) { return x == 0 ? gdi::Rgb(100, 20, 250) : gdi::Rgb(255, 10, 255); });
    EXPECT_TRUE(BitmapChangeRGB(bitmap, 10, 0, 10));
    EXPECT_EQ(bitmap.pixel(0, 0), gdi::Rgb(110, 20, 250));
    EXPECT_EQ(bitmap.pixel(1, 0), gdi::Rgb(255, 10, 255));

    gdi::Bitmap other = Picture(2, 1, [](int x, int) { return x == 0 ? gdi::Rgb(255, 10, 255) : gdi::Rgb(15, 254, 0); });
    BitmapChangeRGB(other, -255, -255, -255);
    EXPECT_EQ(other.pixel(0, 0), gdi::Rgb(0, 10, 0));
    EXPECT_EQ(other.pixel(1, 0), gdi::Rgb(15, 254, 0));
}

TEST(ChangeRGB, ExtremeChangesDoNotOverflow)
{
    gdi::Bitmap bitmap = Picture(1, 1, [](int, int) { return gdi::Rgb(1, 2, 3); });
    BitmapChangeRGB(bitmap, 2147483647, -2147483647 - 1, 0);
    EXPECT_EQ(bitmap.pixel(0, 0), gdi::Rgb(1, 2, 3));
}

TEST(ChangeRGB, NoChangeAnswersFalseAndLeavesThePicture)
{
    gdi::Bitmap bitmap = Numbered(3, 2);
    const gdi::Bitmap before = bitmap;
    EXPECT_FALSE(BitmapChangeRGB(bitmap, 0, 0, 0));
    EXPECT_TRUE(SameBitmap(bitmap, before));
}

TEST(Gamma, TableMatchesTheKnownCurvePoints)
{
    const auto seven = GammaTable(0.7);
    const int at[] = {16, 32, 64, 128, 192, 254, 255};
    const int sevenValues[] = {5, 13, 35, 95, 170, 254, 255};
    const auto five = GammaTable(0.5);
    const int fiveValues[] = {1, 4, 16, 64, 145, 253, 255};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(seven[at[k]], sevenValues[k]) << "entry " << at[k];
        EXPECT_EQ(five[at[k]], fiveValues[k]) << "entry " << at[k];
    }
    EXPECT_EQ(seven[0], 0);
}

TEST(Gamma, ZeroActsAsOneHundredth)
{
    const auto table = GammaTable(0.0);
    for (int i = 0; i <= 239; ++i)
        ASSERT_EQ(table[i], 0) << "entry " << i;
    const int at[] = {240, 243, 248, 250, 252, 253, 254, 255};
    const int values[] = {1, 2, 16, 35, 78, 116, 172, 255};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(table[at[k]], values[k]) << "entry " << at[k];
    EXPECT_EQ(GammaTable(0.01), table);
}

TEST(Gamma, OneIsTheIdentityAndNegativeSaturates)
{
    const auto identity = GammaTable(1.0);
    const auto negative = GammaTable(-0.3);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(identity[i], i);
        EXPECT_EQ(negative[i], i == 0 ? 0 : 255);
    }
}

TEST(Gamma, AppliesOneTableToEveryChannel)
{
    gdi::Bitmap bitmap = Picture(1, 1, [](int, int) { return gdi::Rgb(128, 64, 16); });
    BitmapChangeGamma(bitmap, 0.7);
    EXPECT_EQ(bitmap.pixel(0, 0), gdi::Rgb(95, 35, 5));
}

TEST(Negative, InvertsEveryByteAndTwiceRestores)
{
    gdi::Bitmap bitmap = Picture(3, 2, [](int x, int y) { return gdi::Rgb(x * 100, y * 255, 7); });
    const gdi::Bitmap before = bitmap;
    BitmapNegative(bitmap);
    EXPECT_EQ(bitmap.pixel(2, 1), gdi::Rgb(55, 0, 248));
    EXPECT_EQ(bitmap.pixel(0, 0), gdi::Rgb(255, 255, 248));
    BitmapNegative(bitmap);
    EXPECT_TRUE(SameBitmap(bitmap, before));
}

TEST(Monochrome, TintFactorsAreExactDecimalRoundedHalfToEven)
{
    const int components[] = {0, 1, 2, 10, 30, 50, 70, 90, 99, 100};
    const int factors[] = {0, 3, 5, 26, 76, 128, 178, 230, 252, 255};
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(TintFactor(components[k]), factors[k]) << "component " << components[k];
    // Above 100 the factor is limited, never wrapped.
    EXPECT_EQ(TintFactor(101), 255);
    EXPECT_EQ(TintFactor(255), 255);
}

TEST(Monochrome, ScalesTheFactorsByTheChannelSum)
{
    // Sums 150 (half), 765 (white), 0 (black) and 300 (exactly the factors).
    gdi::Bitmap bitmap = Picture(4, 1, [](int x, int) {
        const gdi::Color colours[] = {gdi::Rgb(50, 50, 50), gdi::Rgb(255, 255, 255), 0, gdi::Rgb(100, 100, 100)};
        return colours[x];
    });
    gdi::Bitmap grey = bitmap;
    BitmapMonochrome(grey, gdi::Rgb(100, 100, 100));
    EXPECT_EQ(grey.pixel(0, 0), gdi::Rgb(128, 128, 128));
    EXPECT_EQ(grey.pixel(1, 0), gdi::Rgb(255, 255, 255));
    EXPECT_EQ(grey.pixel(2, 0), gdi::Rgb(0, 0, 0));

    gdi::Bitmap tinted = bitmap;
    BitmapMonochrome(tinted, gdi::Rgb(50, 10, 90));
    EXPECT_EQ(tinted.pixel(3, 0), gdi::Rgb(128, 26, 230));
    EXPECT_EQ(tinted.pixel(0, 0), gdi::Rgb(64, 13, 115));

    gdi::Bitmap two = bitmap, one = bitmap;
    BitmapMonochrome(two, gdi::Rgb(2, 2, 2));
    BitmapMonochrome(one, gdi::Rgb(1, 1, 1));
    EXPECT_EQ(two.pixel(0, 0), gdi::Rgb(2, 2, 2));
    EXPECT_EQ(one.pixel(0, 0), gdi::Rgb(2, 2, 2));
}

TEST(Monochrome, ComponentsAboveOneHundredSaturate)
{
    gdi::Bitmap bitmap = Picture(1, 1, [](int, int) { return gdi::Rgb(100, 100, 100); });
    BitmapMonochrome(bitmap, gdi::Rgb(200, 128, 0));
    EXPECT_EQ(bitmap.pixel(0, 0), gdi::Rgb(255, 255, 0));
}

TEST_F(FixedSeed, EmptyPicturesAreLeftAsTheyAre)
{
    for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 4}, std::pair{4, 0}}) {
        gdi::Bitmap bitmap(w, h);
        BitmapChangeRGB(bitmap, 5, 5, 5);
        BitmapChangeGamma(bitmap, 0.3);
        BitmapNegative(bitmap);
        BitmapMonochrome(bitmap, gdi::Rgb(10, 20, 30));
        BitmapBlock(bitmap, 1, 1, 3, 0);
        BitmapBlock(bitmap, 2, 2, 3, 0);
        BitmapFrostGlass(bitmap, 3, 3, 0);
        BitmapMonoPixel(bitmap, 2, 2);
        BitmapMonoPixel(bitmap, 1, 2);
        BitmapAddNoise(bitmap, 100, false);
        EXPECT_EQ(bitmap.width(), w);
        EXPECT_EQ(bitmap.height(), h);
    }
}

constexpr gdi::Color kSeam = gdi::Rgb(0, 0, 255);

TEST_F(FixedSeed, BlocksMoveByTheirDrawsInColumnOrder)
{
    gdi::Bitmap bitmap = Numbered(5, 4);
    BitmapBlock(bitmap, 2, 2, 3, kSeam);
    // Worked out from the generator: block draws are row then column, blocks
    // column by column, later blocks covering earlier ones.
    const std::vector<std::vector<int>> expected{
        {-1, 0, 1, -1, -1},
        {20, 21, 11, -1, -1},
        {30, 31, 2, 24, -1},
        {-1, -1, 12, 34, -1},
    };
    EXPECT_EQ(Reds(bitmap, kSeam), expected);
    EXPECT_EQ(RandomSeed(), 1872036929u);
}

TEST_F(FixedSeed, BlocksWithSeamZeroOrOneStayInPlace)
{
    for (int seam : {0, 1, -7}) {
        gdi::Bitmap bitmap = Numbered(7, 5);
        const gdi::Bitmap before = bitmap;
        BitmapBlock(bitmap, 3, 2, seam, kSeam);
        EXPECT_TRUE(SameBitmap(bitmap, before)) << "seam " << seam;
    }
}

TEST_F(FixedSeed, BlockSizeBelowOneLeavesThePictureUntouched)
{
    gdi::Bitmap bitmap = Numbered(4, 4);
    const gdi::Bitmap before = bitmap;
    BitmapBlock(bitmap, 0, 2, 2, kSeam);
    BitmapBlock(bitmap, 2, -1, 2, kSeam);
    EXPECT_TRUE(SameBitmap(bitmap, before));
}

TEST_F(FixedSeed, FrostSwapsWithNeighboursInsideTheLastColumnAndRow)
{
    gdi::Bitmap bitmap = Numbered(4, 3);
    BitmapFrostGlass(bitmap, 2, 2, kSeam);
    const std::vector<std::vector<int>> expected{
        {10, 1, -1, -1},
        {20, 21, -1, -1},
        {10, 11, -1, -1},
    };
    EXPECT_EQ(Reds(bitmap, kSeam), expected);
}

TEST_F(FixedSeed, FrostOfSizeZeroOrOneOnlyRimesTheLastColumnAndRow)
{
    for (int size : {0, 1, -3}) {
        gdi::Bitmap bitmap = Numbered(4, 3);
        BitmapFrostGlass(bitmap, size, size, kSeam);
        const std::vector<std::vector<int>> expected{{0, 1, 2, -1}, {10, 11, 12, -1}, {-1, -1, -1, -1}};
        EXPECT_EQ(Reds(bitmap, kSeam), expected) << "size " << size;
    }
}

TEST_F(FixedSeed, FrostOnOnePixelWideOrHighPicturesRimesAll)
{
    for (auto [w, h] : {std::pair{1, 5}, std::pair{6, 1}}) {
        gdi::Bitmap bitmap = Numbered(w, h);
        BitmapFrostGlass(bitmap, 3, 3, kSeam);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(bitmap.pixel(x, y), kSeam);
    }
}

TEST(MonoPixel, WindowsShareTheirLastColumnWithTheNextCell)
{
    // Windows x 0..2, 2..4 and 4..4: the second sees the first's fill.
    gdi::Bitmap bitmap = Picture(5, 1, [](int x, int) { return gdi::Rgb(0, 0, 10 * (x + 1)); });
    BitmapMonoPixel(bitmap, 2, 2);
    const int blues[] = {20, 20, 36, 36, 36};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(bitmap.pixel(x, 0), gdi::Rgb(0, 0, blues[x])) << "x " << x;
}

TEST(MonoPixel, CellsAverageTheirWindowsInColumnOrder)
{
    gdi::Bitmap bitmap = Picture(4, 4, [](int x, int y) { return gdi::Rgb((y * 4 + x) * 10, 0, 0); });
    BitmapMonoPixel(bitmap, 2, 2);
    const std::vector<std::vector<int>> expected{
        {50, 50, 66, 66}, {50, 50, 66, 66}, {90, 90, 93, 93}, {90, 90, 93, 93}};
    EXPECT_EQ(Reds(bitmap, 0xFFFFFFFFu), expected);

    // A 3 x 3 picture is one window: the truncated average of all nine.
    gdi::Bitmap small = Picture(3, 3, [](int x, int y) { return gdi::Rgb(x + 3 * y, 2 * x, 100); });
    BitmapMonoPixel(small, 2, 2);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(small.pixel(x, y), gdi::Rgb(4, 2, 100));
}

TEST(MonoPixel, SizeOneLeavesThePictureAndZeroFails)
{
    gdi::Bitmap bitmap = Numbered(4, 3);
    const gdi::Bitmap before = bitmap;
    BitmapMonoPixel(bitmap, 1, 1);
    EXPECT_TRUE(SameBitmap(bitmap, before));
    EXPECT_THROW(BitmapMonoPixel(bitmap, 0, 2), gdi::Error);
    EXPECT_THROW(BitmapMonoPixel(bitmap, 2, 0), gdi::Error);
    EXPECT_TRUE(SameBitmap(bitmap, before));
}

TEST(MonoPixel, HugeCellsCoverTheWholePicture)
{
    gdi::Bitmap bitmap = Picture(3, 2, [](int x, int) { return gdi::Rgb(x * 30, 0, 0); });
    BitmapMonoPixel(bitmap, 65535, 65535);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(bitmap.pixel(x, 1), gdi::Rgb(30, 0, 0));
}

// Every window filled in turn, straight from the description.
void ReferenceMonoPixel(gdi::Bitmap& bitmap, int cellWidth, int cellHeight)
{
    const int width = bitmap.width(), height = bitmap.height();
    if (cellWidth == 1 && cellHeight == 1)
        return;
    for (int i = 0; i <= (width - 1) / cellWidth; ++i) {
        for (int j = 0; j <= (height - 1) / cellHeight; ++j) {
            const int x1 = cellWidth * i, x2 = std::min(cellWidth * (i + 1), width - 1);
            const int y1 = cellHeight * j, y2 = std::min(cellHeight * (j + 1), height - 1);
            long sums[3] = {0, 0, 0};
            for (int y = y1; y <= y2; ++y)
                for (int x = x1; x <= x2; ++x) {
                    const gdi::Color c = bitmap.pixel(x, y);
                    sums[0] += gdi::RedOf(c);
                    sums[1] += gdi::GreenOf(c);
                    sums[2] += gdi::BlueOf(c);
                }
            const long count = long(x2 - x1 + 1) * (y2 - y1 + 1);
            const gdi::Color cell = gdi::Rgb(int(sums[0] / count), int(sums[1] / count), int(sums[2] / count));
            for (int y = y1; y <= y2; ++y)
                for (int x = x1; x <= x2; ++x)
                    bitmap.setPixel(x, y, cell);
        }
    }
}

TEST(MonoPixel, MatchesFillingEveryWindowInTurn)
{
    std::uint32_t state = 12345;
    const auto next = [&] {
        state = state * 1103515245u + 12345u;
        return int(state >> 24);
    };
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {5, 5}, {17, 13}, {64, 33}, {40, 90}};
    const std::pair<int, int> cells[] = {{2, 2}, {1, 2}, {2, 1}, {3, 5}, {7, 7}, {16, 16}, {100, 3}, {2, 40}};
    for (auto [w, h] : sizes) {
        for (auto [cw, ch] : cells) {
            gdi::Bitmap actual = Picture(w, h, [&](int, int) { return gdi::Rgb(next(), next(), next()); });
            gdi::Bitmap expected = actual;
            BitmapMonoPixel(actual, std::uint16_t(cw), std::uint16_t(ch));
            ReferenceMonoPixel(expected, cw, ch);
            ASSERT_TRUE(SameBitmap(actual, expected)) << w << "x" << h << " cells " << cw << "x" << ch;
        }
    }
}

gdi::Bitmap NoisePicture()
{
    return Picture(3, 1, [](int x, int) {
        const gdi::Color colours[] = {gdi::Rgb(10, 128, 250), gdi::Rgb(0, 255, 60), gdi::Rgb(200, 100, 5)};
        return colours[x];
    });
}

TEST_F(FixedSeed, ColouredNoiseDrawsRedThenGreenThenBlue)
{
    SetRandomSeed(99); // replaced by the reseed
    gdi::Bitmap bitmap = NoisePicture();
    BitmapAddNoise(bitmap, 100, false);
    EXPECT_EQ(bitmap.pixel(0, 0), gdi::Rgb(0, 106, 207));
    EXPECT_EQ(bitmap.pixel(1, 0), gdi::Rgb(5, 255, 44));
    EXPECT_EQ(bitmap.pixel(2, 0), gdi::Rgb(193, 57, 0));
}

TEST_F(FixedSeed, BlackAndWhiteNoiseMovesAllChannelsTogether)
{
    gdi::Bitmap bitmap = NoisePicture();
    BitmapAddNoise(bitmap, 10, true);
    EXPECT_EQ(bitmap.pixel(0, 0), gdi::Rgb(8, 126, 248));
    EXPECT_EQ(bitmap.pixel(1, 0), gdi::Rgb(0, 252, 57));
    EXPECT_EQ(bitmap.pixel(2, 0), gdi::Rgb(195, 95, 0));

    gdi::Bitmap grey = Picture(8, 8, [](int x, int y) { return gdi::Rgb(x * 30, x * 30, x * 30) + 0 * y; });
    BitmapAddNoise(grey, 200, true);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const gdi::Color c = grey.pixel(x, y);
            EXPECT_TRUE(gdi::RedOf(c) == gdi::GreenOf(c) && gdi::GreenOf(c) == gdi::BlueOf(c));
        }
}

TEST_F(FixedSeed, NoiseAmountsOfOneOrLessChangeNothing)
{
    for (int amount : {1, 0, -50}) {
        for (bool mode : {true, false}) {
            gdi::Bitmap bitmap = NoisePicture();
            const gdi::Bitmap before = bitmap;
            BitmapAddNoise(bitmap, amount, mode);
            EXPECT_TRUE(SameBitmap(bitmap, before)) << amount;
        }
    }
}

} // namespace
} // namespace zenvas
