#include "platform/gdi/Canvas.h"
#include "platform/gdi/FloodFill.h"
#include "platform/gdi/Vectors.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <tuple>

namespace gdi {

using namespace test;

TEST(FillRect, CoversLeftToRightMinusOneAndIgnoresThePenMode)
{
    Bitmap b(5, 4);
    Canvas c(b);
    c.brush().setColor(0);
    c.pen().setMode(PenMode::NotXor);
    c.fillRect({4, 3, 1, 1});
    c.fillRect({4, 3, 1, 1});
    EXPECT_EQ(Mask(b), (Rows{".....", ".###.", ".###.", "....."}));
    c.fillRect({2, 2, 2, 9});
    c.brush().setStyle(BrushStyle::Clear);
    c.fillRect({0, 0, 5, 4});
    EXPECT_EQ(Mask(b), (Rows{".....", ".###.", ".###.", "....."}));
    c.brush().setColor(0);
    c.fillRect({INT_MIN, INT_MIN, INT_MAX, INT_MAX});
    EXPECT_EQ(CountColor(b, 0), 20u);
}

TEST(Hatch, PatternsAreTiedToTheBitmapOriginAndFiguresAndFloodFillsLeaveTheGaps)
{
    // The fill starts at (-3, -5); the patterns follow the bitmap's own rows.
    const std::tuple<BrushStyle, int, const char*> rows[] = {
        {BrushStyle::Horizontal, 3, "##########"}, {BrushStyle::Horizontal, 4, ".........."},
        {BrushStyle::Vertical, 5, "....#....."},   {BrushStyle::FDiagonal, 0, "#.......#."},
        {BrushStyle::FDiagonal, 6, "......#..."},  {BrushStyle::BDiagonal, 0, ".......#.."},
        {BrushStyle::BDiagonal, 7, "#.......#."},  {BrushStyle::Cross, 3, "##########"},
        {BrushStyle::Cross, 0, "....#....."},      {BrushStyle::DiagCross, 1, ".#....#..#"},
    };
    for (const auto& [style, y, want] : rows) {
        const Rows hatch = Drawn(10, 8, [s = style](Canvas& c) {
            c.brush().setColor(0);
            c.brush().setStyle(s);
            c.fillRect({-3, -5, 10, 8});
        });
        EXPECT_EQ(hatch[std::size_t(y)], want) << int(style) << " row " << y;
    }

    Bitmap b(8, 8);
    b.fill(Rgb(0, 255, 0));
    Canvas c(b);
    c.brush().setColor(0);
    c.brush().setStyle(BrushStyle::Vertical);
    c.pen().setColor(Rgb(255, 0, 0));
    c.rectangle(0, 0, 8, 8);
    EXPECT_EQ(b.pixel(4, 3), 0u);
    EXPECT_EQ(b.pixel(3, 3), Rgb(0, 255, 0));
    Bitmap f(8, 4);
    Canvas cf(f);
    cf.brush().setColor(0);
    cf.brush().setStyle(BrushStyle::Horizontal);
    cf.floodFill(0, 0, kWhite);
    EXPECT_EQ(Mask(f), (Rows{"........", "........", "........", "########"}));
}

TEST(FloodFill, FillsTheFourConnectedRegionOfExactlyThatColourAndNothingOutsideOrOnAnother)
{
    const Rows picture{"..#.....", "..#.###.", "###.#.#.", "....###.", "#.......", ".#......"};
    Bitmap b = Picture(8, 6, [&](int x, int y) { return picture[y][x] == '#' ? 0 : kWhite; });
    b.setPixel(7, 5, Rgb(254, 255, 255)); // nearly white: a boundary too
    Canvas c(b);
    c.brush().setColor(Rgb(0, 0, 255));
    c.floodFill(3, 0, kWhite);
    EXPECT_EQ(Map(b, {0, Rgb(0, 0, 255), kWhite, Rgb(254, 255, 255)}, "#r.n"),
              (Rows{"..#rrrrr", "..#r###r", "###r#.#r", "rrrr###r", "#rrrrrrr", ".#rrrrrn"}));

    Bitmap w(4, 4);
    Canvas cw(w);
    cw.brush().setColor(0);
    cw.floodFill(-1, 0, kWhite);
    cw.floodFill(4, 4, kWhite);
    cw.floodFill(1, 1, Rgb(1, 2, 3));
    EXPECT_EQ(CountColor(w, kWhite), 16u);
    // A brush of the region's own colour terminates.
    cw.brush().setColor(kWhite);
    cw.floodFill(1, 1, kWhite);
    EXPECT_EQ(CountColor(w, kWhite), 16u);
}

TEST(FloodRegion, SpiralIsWalkedWithoutRecursionAndMatchesAReference)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        Bitmap b(37, 29);
        // Dense walls, and sparse ones that leave long runs; a wall pixel
        // may differ from the region in one channel only.
        const Color walls[] = {0, Rgb(255, 255, 254), Rgb(254, 255, 255), Rgb(255, 254, 255)};
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x)
                if (rng() % (round % 2 ? 3 : 40) == 0)
                    b.setPixel(x, y, walls[rng() % 4]);
        const int sx = int(rng() % 37), sy = int(rng() % 29);
        std::vector<std::uint64_t> scratch;
        std::vector<FloodSpan> spans;
        FloodRegion(b, sx, sy, b.pixel(sx, sy), scratch, spans);
        // Reference: a plain breadth-first search, pixel by pixel.
        std::vector<int> seen(37 * 29, 0);
        std::vector<Point> queue{{sx, sy}};
        seen[sy * 37 + sx] = 1;
        for (std::size_t i = 0; i < queue.size(); ++i) {
            const Point p = queue[i];
            const Point next[] = {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}};
            for (Point n : next)
                if (b.pixel(n.x, n.y) == b.pixel(sx, sy) && !seen[n.y * 37 + n.x]) {
                    seen[n.y * 37 + n.x] = 1;
                    queue.push_back(n);
                }
        }
        std::vector<int> found(37 * 29, 0);
        for (const FloodSpan& s : spans)
            for (int x = s.x0; x < s.x1; ++x)
                found[s.y * 37 + x] += 1; // each pixel in exactly one span
        EXPECT_EQ(found, seen) << "round " << round;
    }
}

// Long runs are walked 64 or 32 pixels a step where the processor allows,
// and the fill paints each span while the walk goes on. So on pictures whose
// walls sit at every place of the first steps and just before, at or after a
// step's edge (one channel off the region is enough for a wall), and on
// random pictures with few and many walls: every vector walk must end every
// run where the plain walk does, and painting during the walk must give the
// region found first and painted afterwards, for paints that turn the region
// into a wall colour, leave it as it is, or hatch it, with and without a clip.
// A walk that compared a pixel it had already handed out would go astray.
TEST(FloodFill, EveryWalkAndPaintingDuringItFindTheRegionOfThePlainWalk)
{
    const Color region = Rgb(40, 50, 60);
    const Color walls[] = {Rgb(41, 50, 60), Rgb(40, 51, 60), Rgb(40, 50, 61), Rgb(0, 0, 0)};
    struct Picture {
        Bitmap bitmap;
        int sx, sy;
    };
    std::vector<Picture> pictures;
    std::mt19937 rng(5);
    for (int width : {31, 32, 33, 63, 64, 65, 96, 129, 200, 300}) {
        // Row y has a wall at column y - 4 and, every other row, one more
        // anywhere.
        Picture p{Bitmap(width, 150), width - 1, 0};
        p.bitmap.fill(region);
        for (int y = 4; y < 150; ++y) {
            p.bitmap.setPixel((y - 4) % width, y, walls[y % 3]);
            if (y % 2)
                p.bitmap.setPixel(int(rng() % unsigned(width)), y, walls[rng() % 3]);
        }
        pictures.push_back(std::move(p));
    }
    for (int round = 0; round < 12; ++round) {
        Picture p{Bitmap(70, 23), int(rng() % 70), int(rng() % 23)};
        p.bitmap.fill(region);
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 70; ++x)
                if (rng() % (round % 2 ? 4 : 30) == 0)
                    p.bitmap.setPixel(x, y, walls[rng() % 4]);
        p.bitmap.setPixel(p.sx, p.sy, region);
        pictures.push_back(std::move(p));
    }
    struct Paint {
        const char* name;
        BrushStyle style;
        Color colour;
        IntRect clip; // empty: none
    };
    const Paint paints[] = {
        {"another colour", BrushStyle::Solid, Rgb(10, 20, 30), {}},
        {"a wall colour", BrushStyle::Solid, walls[0], {}},
        {"the region colour", BrushStyle::Solid, region, {}},
        {"a cross hatch", BrushStyle::Cross, walls[1], {}},
        {"a diagonal hatch", BrushStyle::DiagCross, Rgb(0, 0, 0), {}},
        {"a clip", BrushStyle::Solid, walls[2], {13, 4, 61, 19}},
        {"a hatch in a clip", BrushStyle::BDiagonal, walls[0], {5, 0, 40, 23}},
    };
    for (std::size_t n = 0; n < pictures.size(); ++n) {
        const Bitmap& b = pictures[n].bitmap;
        const int sx = pictures[n].sx, sy = pictures[n].sy;
        std::vector<std::uint64_t> scratch;
        std::vector<FloodSpan> plain;
        const Vectors previous = LimitVectors(Vectors::Plain);
        FloodRegion(b, sx, sy, region, scratch, plain);
        for (Vectors level : {Vectors::Avx2, Vectors::Avx512}) {
            LimitVectors(level);
            std::vector<FloodSpan> spans;
            FloodRegion(b, sx, sy, region, scratch, spans);
            ASSERT_EQ(spans.size(), plain.size()) << "picture " << n << ", " << VectorsName(level);
            for (std::size_t i = 0; i < spans.size(); ++i)
                EXPECT_TRUE(spans[i].y == plain[i].y && spans[i].x0 == plain[i].x0 && spans[i].x1 == plain[i].x1)
                    << "picture " << n << ", " << VectorsName(level) << ", span " << i;
        }
        LimitVectors(previous);
        for (const Paint& k : paints) {
            Bitmap want = b, got = b;
            Canvas before(want), during(got);
            for (Canvas* c : {&before, &during}) {
                c->brush().setColor(k.colour);
                c->brush().setStyle(k.style);
                if (!k.clip.isEmpty())
                    c->clipTo(k.clip);
            }
            for (const FloodSpan& s : plain)
                before.fillRect({s.x0, s.y, s.x1, s.y + 1});
            during.floodFill(sx, sy, region);
            EXPECT_TRUE(std::equal(got.scanLine(0), got.scanLine(0) + got.stride() * got.height(), want.scanLine(0)))
                << k.name << ", picture " << n;
        }
    }
}

} // namespace gdi
