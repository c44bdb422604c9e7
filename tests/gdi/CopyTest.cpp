#include "platform/gdi/Canvas.h"
#include "platform/gdi/Vectors.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>

namespace gdi {

namespace {

Bitmap Numbered(int w, int h)
{
    return test::Picture(w, h, [](int x, int y) { return Rgb(x, y, 7); });
}

std::vector<int> Reds(const Bitmap& b, int y)
{
    std::vector<int> reds;
    for (int x = 0; x < b.width(); ++x)
        reds.push_back(RedOf(b.pixel(x, y)));
    return reds;
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

// Row moves have paths of their own on Windows: short moves that load
// everything first (up to 64 bytes, and the ends of longer ones), 64-byte
// vector blocks, and from 2048 bytes on string moves (upward only, and not
// from just above); long fills have one too. Every overlap, either way,
// around their limits, must equal memmove's, and a fill at any alignment
// must set exactly the bytes memset sets.
TEST(Copy, RowMovesAndFillsEqualMemmoveAndMemset)
{
    const std::size_t sizes[] = {0, 1, 2, 3, 5, 8, 15, 16, 31, 33, 64, 65, 127, 255, 1000, 2047, 2048, 2049, 12288};
    const std::ptrdiff_t shifts[] = {-3000, -2049, -2048, -65, -64, -63, -3, -1, 0, 1, 3, 63, 64, 65, 2048, 3000};
    for (std::size_t size : sizes) {
        std::vector<std::uint8_t> start(size + 7000);
        for (std::size_t i = 0; i < start.size(); ++i)
            start[i] = std::uint8_t(i * 131 + i / 251);
        const std::size_t from = 3500;
        for (std::ptrdiff_t shift : shifts) {
            std::vector<std::uint8_t> ours = start, theirs = start;
            MoveBytes(ours.data() + from + shift, ours.data() + from, size);
            std::memmove(theirs.data() + from + shift, theirs.data() + from, size);
            EXPECT_EQ(ours, theirs) << size << " bytes moved by " << shift;
        }
        for (std::size_t offset : {0, 1, 63}) {
            std::vector<std::uint8_t> ours = start, theirs = start;
            const std::uint8_t value = std::uint8_t(size + offset);
            SetBytes(ours.data() + from + offset, value, size);
            std::memset(theirs.data() + from + offset, value, size);
            EXPECT_EQ(ours, theirs) << size << " bytes set at " << offset;
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
    const Color row[] = {Rgb(1, 1, 1), Rgb(255, 0, 255), Rgb(255, 0, 254)};
    Bitmap src(3, 1);
    for (int x = 0; x < 3; ++x)
        src.setPixel(x, 0, row[x]);
    Bitmap dst(4, 1);
    dst.fill(Rgb(9, 9, 9));
    Canvas(dst).drawTransparent(1, 0, src, Rgb(255, 0, 255));
    const Color want[] = {Rgb(9, 9, 9), Rgb(1, 1, 1), Rgb(9, 9, 9), Rgb(255, 0, 254)};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(dst.pixel(x, 0), want[x]) << x;
}

TEST(Halftone, AveragesTheCoveredAreaRoundedToNearest)
{
    const int values[2][4] = {{0, 10, 20, 31}, {100, 0, 255, 255}};
    const Bitmap src = test::Picture(4, 2, [&](int x, int y) { return Rgb(values[y][x], 0, 0); });
    Bitmap dst(2, 1);
    Canvas c(dst);
    c.copyRect({0, 0, 2, 1}, src, {0, 0, 4, 2});
    EXPECT_EQ(RedOf(dst.pixel(0, 0)), 28);  // 110 / 4 = 27.5 rounds up
    EXPECT_EQ(RedOf(dst.pixel(1, 0)), 140); // 561 / 4 = 140.25
}

// The exact average under destination pixel (i, j): source cell x covers
// [x * dw, (x + 1) * dw), destination cell i covers [i * sw, (i + 1) * sw).
Color ReferenceHalftone(const Bitmap& src, const IntRect& s, long long dw, long long dh, long long i, long long j)
{
    const long long sw = s.width(), sh = s.height(), den = sw * sh;
    long long sum[3] = {0, 0, 0};
    for (long long y = j * sh / dh; y * dh < (j + 1) * sh; ++y)
        for (long long x = i * sw / dw; x * dw < (i + 1) * sw; ++x) {
            const long long area = (std::min((x + 1) * dw, (i + 1) * sw) - std::max(x * dw, i * sw)) *
                                   (std::min((y + 1) * dh, (j + 1) * sh) - std::max(y * dh, j * sh));
            const Color c = src.pixel(int(s.left + x), int(s.top + y));
            sum[0] += area * RedOf(c);
            sum[1] += area * GreenOf(c);
            sum[2] += area * BlueOf(c);
        }
    auto round = [&](long long v) { return int((2 * v + den) / (2 * den)); };
    return Rgb(round(sum[0]), round(sum[1]), round(sum[2]));
}

TEST(Halftone, EveryPathMatchesAnExactReferenceOnRandomSizes)
{
    std::mt19937 rng(3);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    for (int round = 0; round < 60; ++round) {
        // Mostly ratios up to three (the vector path), some far beyond.
        const int bw = 1 + pick(round % 4 ? 90 : 400), bh = 1 + pick(40);
        const Bitmap src = test::Picture(bw, bh, [&](int, int) { return Rgb(pick(256), pick(256), pick(256)); });
        const int sl = pick(bw), st = pick(bh);
        const IntRect s{sl, st, sl + 1 + pick(bw - sl), st + 1 + pick(bh - st)};
        const int dw = 1 + pick(100), dh = 1 + pick(30), dl = pick(9) - 4, dt = pick(9) - 4;
        const IntRect dr{dl, dt, dl + dw, dt + dh};
        for (Vectors level : {Vectors::Avx512, Vectors::Avx2, Vectors::Plain}) {
            const Vectors previous = LimitVectors(level);
            Bitmap dst(dw - 2 + pick(5), dh - 2 + pick(5));
            dst.fill(Rgb(1, 2, 3));
            StretchHalftone(dst, dr, src, s);
            LimitVectors(previous);
            for (int y = 0; y < dst.height(); ++y)
                for (int x = 0; x < dst.width(); ++x) {
                    const bool inside = x >= dr.left && x < dr.right && y >= dr.top && y < dr.bottom;
                    const Color want = inside ? ReferenceHalftone(src, s, dw, dh, x - dr.left, y - dr.top) : Rgb(1, 2, 3);
                    ASSERT_EQ(dst.pixel(x, y), want) << s.width() << "x" << s.height() << " -> " << dw << "x" << dh
                                                     << " " << VectorsName(level) << " at " << x << "," << y;
                }
        }
    }
}

TEST(Halftone, HugeDenominatorsStayExact)
{
    // 65521 x 257 (both prime) onto 2 x 2: the weights' common unit is the
    // whole source, which needs 64-bit sums.
    Bitmap src(65521, 257);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            src.scanLine(y)[3 * x + 2] = std::uint8_t((x * 7 + y * 3) & 255);
    Bitmap dst(2, 2);
    StretchHalftone(dst, dst.bounds(), src, src.bounds());
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(dst.pixel(i, j), ReferenceHalftone(src, src.bounds(), 2, 2, i, j)) << i << "," << j;
}

TEST(Halftone, StretchWithinOneBitmapReadsTheOriginalAndClipsTheSource)
{
    Bitmap b = test::Picture(8, 2, [](int x, int) { return Rgb(x * 10, 0, 0); });
    Canvas c(b);
    c.copyRect({2, 0, 8, 2}, b, {0, 0, 3, 2}); // three columns doubled onto overlapping ones
    EXPECT_EQ(Reds(b, 1), (std::vector<int>{0, 10, 0, 0, 10, 10, 20, 20}));
    // Half of the source lies left of the bitmap: only the right half of
    // the destination receives the visible half; the rest stays white.
    Bitmap d(4, 1);
    Canvas(d).copyRect({0, 0, 4, 1}, b, {-2, 0, 2, 1});
    EXPECT_EQ(Reds(d, 0), (std::vector<int>{255, 255, 0, 10}));
}

TEST(Nearest, PicksTheSourceUnderEachDestinationCentre)
{
    Bitmap dst(7, 1), small(2, 1);
    StretchNearest(dst, {0, 0, 7, 1}, Numbered(3, 1), {0, 0, 3, 1});
    EXPECT_EQ(Reds(dst, 0), (std::vector<int>{0, 0, 1, 1, 1, 2, 2})); // floor((2d + 1) * 3 / 14)
    StretchNearest(small, {0, 0, 2, 1}, Numbered(5, 1), {0, 0, 5, 1});
    EXPECT_EQ(Reds(small, 0), (std::vector<int>{1, 3}));
}

} // namespace gdi
