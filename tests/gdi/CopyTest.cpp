#include "platform/gdi/Canvas.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace gdi {

namespace {

Bitmap Numbered(int w, int h)
{
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.setPixel(x, y, Rgb(x, y, 7));
    return b;
}

} // namespace

TEST(Copy, OverlappingCopiesInEveryDirectionReadTheOriginal)
{
    for (int dx : {-3, 0, 2})
        for (int dy : {-2, 0, 3}) {
            Bitmap b = Numbered(12, 10);
            const Bitmap original = b;
            Canvas c(b);
            c.copyRect({2 + dx, 2 + dy, 9 + dx, 8 + dy}, b, {2, 2, 9, 8});
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 12; ++x) {
                    const bool inDest = x >= 2 + dx && x < 9 + dx && y >= 2 + dy && y < 8 + dy;
                    const Color want = inDest ? original.pixel(x - dx, y - dy) : original.pixel(x, y);
                    ASSERT_EQ(b.pixel(x, y), want) << dx << "," << dy << " at " << x << "," << y;
                }
        }
}

TEST(Copy, SourceOutsideItsBitmapLeavesTheDestinationAlone)
{
    const Bitmap src = Numbered(4, 4);
    Bitmap dst(6, 6);
    Canvas c(dst);
    c.copyRect({0, 0, 6, 6}, src, {-2, -2, 4, 4});
    EXPECT_EQ(dst.pixel(1, 1), Rgb(255, 255, 255));
    EXPECT_EQ(dst.pixel(2, 2), Rgb(0, 0, 7));
    EXPECT_EQ(dst.pixel(5, 5), Rgb(3, 3, 7));
    c.copyRect({INT_MIN, INT_MIN, INT_MIN + 4, INT_MIN + 4}, src, {0, 0, 4, 4});
    c.draw(INT_MAX - 1, 0, src);
    c.draw(-3, -3, src);
    EXPECT_EQ(dst.pixel(0, 0), Rgb(3, 3, 7));
}

TEST(Copy, TransparentColourKeepsTheDestination)
{
    Bitmap src(3, 1);
    src.setPixel(0, 0, Rgb(1, 1, 1));
    src.setPixel(1, 0, Rgb(255, 0, 255));
    src.setPixel(2, 0, Rgb(255, 0, 254));
    Bitmap dst(4, 1);
    dst.fill(Rgb(9, 9, 9));
    Canvas c(dst);
    c.drawTransparent(1, 0, src, Rgb(255, 0, 255));
    EXPECT_EQ(dst.pixel(0, 0), Rgb(9, 9, 9));
    EXPECT_EQ(dst.pixel(1, 0), Rgb(1, 1, 1));
    EXPECT_EQ(dst.pixel(2, 0), Rgb(9, 9, 9));
    EXPECT_EQ(dst.pixel(3, 0), Rgb(255, 0, 254));
}

TEST(Halftone, AveragesTheCoveredAreaRoundedToNearest)
{
    Bitmap src(4, 2);
    const int values[2][4] = {{0, 10, 20, 31}, {100, 0, 255, 255}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            src.setPixel(x, y, Rgb(values[y][x], 0, 0));
    Bitmap dst(2, 1);
    Canvas c(dst);
    c.copyRect({0, 0, 2, 1}, src, {0, 0, 4, 2});
    EXPECT_EQ(RedOf(dst.pixel(0, 0)), 28);  // 110 / 4 = 27.5 rounds up
    EXPECT_EQ(RedOf(dst.pixel(1, 0)), 140); // 561 / 4 = 140.25

    // 3 -> 2 columns: each output covers one and a half inputs.
    Bitmap row(3, 1);
    row.setPixel(0, 0, Rgb(0, 0, 0));
    row.setPixel(1, 0, Rgb(100, 0, 0));
    row.setPixel(2, 0, Rgb(200, 0, 0));
    Bitmap two(2, 1);
    Canvas t(two);
    t.copyRect({0, 0, 2, 1}, row, {0, 0, 3, 1});
    EXPECT_EQ(RedOf(two.pixel(0, 0)), 33);  // (0 * 2 + 100) / 3
    EXPECT_EQ(RedOf(two.pixel(1, 0)), 167); // (100 + 200 * 2) / 3 = 166.67
}

TEST(Halftone, EnlargingReplicatesAndStaysWithinTheSourceRange)
{
    Bitmap src(2, 1);
    src.setPixel(0, 0, Rgb(10, 20, 30));
    src.setPixel(1, 0, Rgb(50, 60, 70));
    Bitmap dst(4, 2);
    Canvas c(dst);
    c.copyRect({0, 0, 4, 2}, src, {0, 0, 2, 1});
    EXPECT_EQ(dst.pixel(1, 1), Rgb(10, 20, 30));
    EXPECT_EQ(dst.pixel(2, 0), Rgb(50, 60, 70));
    Bitmap three(3, 1);
    Canvas t(three);
    t.copyRect({0, 0, 3, 1}, src, {0, 0, 2, 1});
    EXPECT_EQ(three.pixel(1, 0), Rgb(30, 40, 50));
}

TEST(Halftone, MatchesAPlainReferenceOnRandomSizes)
{
    std::mt19937 rng(3);
    for (int round = 0; round < 12; ++round) {
        const int sw = 1 + int(rng() % 13), sh = 1 + int(rng() % 11);
        const int dw = 1 + int(rng() % 13), dh = 1 + int(rng() % 11);
        Bitmap src(sw, sh);
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x)
                src.setPixel(x, y, Rgb(int(rng() & 255), int(rng() & 255), int(rng() & 255)));
        Bitmap dst(dw, dh);
        StretchHalftone(dst, {0, 0, dw, dh}, src, {0, 0, sw, sh});
        for (int j = 0; j < dh; ++j)
            for (int i = 0; i < dw; ++i) {
                // Exact rational average: source cell x covers [x*dw, (x+1)*dw).
                long long sum = 0;
                for (int y = 0; y < sh; ++y)
                    for (int x = 0; x < sw; ++x) {
                        const long long ox = std::max(0LL, std::min<long long>((x + 1LL) * dw, (i + 1LL) * sw) -
                                                               std::max<long long>(1LL * x * dw, 1LL * i * sw));
                        const long long oy = std::max(0LL, std::min<long long>((y + 1LL) * dh, (j + 1LL) * sh) -
                                                               std::max<long long>(1LL * y * dh, 1LL * j * sh));
                        sum += ox * oy * GreenOf(src.pixel(x, y));
                    }
                const long long den = 1LL * sw * sh;
                ASSERT_EQ(GreenOf(dst.pixel(i, j)), int((2 * sum + den) / (2 * den)))
                    << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << i << "," << j;
            }
    }
}

TEST(Nearest, PicksTheSourceUnderEachDestinationCentre)
{
    const Bitmap src = Numbered(3, 1);
    Bitmap dst(7, 1);
    StretchNearest(dst, {0, 0, 7, 1}, src, {0, 0, 3, 1});
    const int want[7] = {0, 0, 1, 1, 1, 2, 2}; // floor((2d + 1) * 3 / 14)
    for (int d = 0; d < 7; ++d)
        EXPECT_EQ(RedOf(dst.pixel(d, 0)), want[d]) << d;
    Bitmap small(2, 1);
    StretchNearest(small, {0, 0, 2, 1}, Numbered(5, 1), {0, 0, 5, 1});
    EXPECT_EQ(RedOf(small.pixel(0, 0)), 1);
    EXPECT_EQ(RedOf(small.pixel(1, 0)), 3);
}

} // namespace gdi
