#include "platform/gdi/Canvas.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace gdi {

using namespace test;

TEST(Line, EndPointsAreNotDrawnAndOnlyLineToMovesThePosition)
{
    Bitmap b(5, 5);
    Canvas c(b);
    c.pen().setMode(PenMode::NotXor); // with a black pen not-XOR inverts
    c.moveTo(4, 4);
    const Point pts[] = {{0, 0}, {4, 0}, {4, 4}};
    c.polyline(pts);
    EXPECT_EQ(c.penPos(), (Point{4, 4}));
    c.lineTo(4, 4); // zero length: nothing
    c.lineTo(1, 4);
    EXPECT_EQ(c.penPos(), (Point{1, 4}));
    // Inverted once means black: the inner vertex (4, 0) was painted once,
    // the polyline's last point and the zero-length line not at all.
    EXPECT_EQ(Mask(b), (Rows{"#####", "....#", "....#", "....#", "..###"}));
}

TEST(Line, PenStylesFollowTheirPatternsAndRestartAtEachLineTo)
{
    auto draw = [](PenStyle style) {
        Bitmap b(30, 1);
        Canvas c(b);
        c.pen().setStyle(style);
        c.brush().setStyle(BrushStyle::Clear);
        c.moveTo(0, 0);
        c.lineTo(30, 0);
        return Mask(b)[0];
    };
    const std::pair<PenStyle, const char*> patterns[] = {{PenStyle::Dash, "##################......######"},
                                                         {PenStyle::Dot, "###...###...###...###...###..."},
                                                         {PenStyle::DashDot, "#########......###......######"},
                                                         {PenStyle::DashDotDot, "#########...###...###...######"}};
    for (const auto& [style, want] : patterns)
        EXPECT_EQ(draw(style), want);
    Bitmap b(12, 1);
    Canvas c(b);
    c.pen().setStyle(PenStyle::Dot);
    c.brush().setStyle(BrushStyle::Clear);
    c.moveTo(0, 0);
    c.lineTo(4, 0);
    c.lineTo(12, 0);
    EXPECT_EQ(Mask(b)[0], "###.###...##");
}

TEST(Line, PatternPhaseRunsOnAcrossPolylineVerticesAndGapsTakeASolidBrush)
{
    Bitmap b(6, 6);
    Canvas c(b);
    c.pen().setStyle(PenStyle::Dot);
    c.brush().setStyle(BrushStyle::Clear);
    const Point pts[] = {{0, 0}, {4, 0}, {4, 5}};
    c.polyline(pts);
    EXPECT_EQ(Mask(b), (Rows{"###...", "......", "....#.", "....#.", "....#.", "......"}));
    // With a solid brush the gaps take its colour.
    Bitmap g(8, 1);
    Canvas cg(g);
    cg.pen().setStyle(PenStyle::Dot);
    cg.brush().setColor(Rgb(0, 0, 255));
    cg.lineTo(8, 0);
    EXPECT_EQ(Map(g, {0, Rgb(0, 0, 255), kWhite}, "#b."), (Rows{"###bbb##"}));
}

TEST(Line, WidePensAreCentredWithRoundEnds)
{
    Bitmap b(9, 8);
    Canvas c(b);
    c.pen().setWidth(5);
    c.moveTo(4, 4);
    c.lineTo(4, 4); // a zero-length wide line is one disc
    EXPECT_EQ(Mask(b), (Rows{".........", ".........", "...###...", "..#####..", "..#####..", "..#####..", "...###...",
                             "........."}));

    Bitmap h(10, 6);
    Canvas d(h);
    d.pen().setWidth(2);
    d.moveTo(2, 3);
    d.lineTo(7, 3); // every path pixel, end included, grows to rows y-1..y, columns x-1..x
    EXPECT_EQ(Mask(h), (Rows{"..........", "..........", ".#######..", ".#######..", "..........", ".........."}));
}

TEST(Line, WideStrokesPaintEachPixelOnceAndDashesTurnSolid)
{
    Bitmap b(12, 12);
    Canvas c(b);
    c.pen().setWidth(4);
    c.pen().setStyle(PenStyle::Dot);
    c.pen().setMode(PenMode::NotXor);
    const Point pts[] = {{2, 2}, {9, 2}, {9, 9}, {2, 2}};
    c.polyline(pts);
    EXPECT_EQ(CountColor(b, kWhite) + CountColor(b, 0), 144u);
    // Every covered pixel inverted exactly once: black, never restored white.
    EXPECT_EQ(b.pixel(9, 2), 0u);
    EXPECT_EQ(b.pixel(2, 2), 0u);
    EXPECT_EQ(b.pixel(5, 2), 0u);
    c.polyline(pts);
    EXPECT_EQ(CountColor(b, kWhite), 144u);
}

TEST(Line, WideOutlinesEqualADiscOnEveryOutlinePixel)
{
    // The wide stroke of any figure is the union of discs centred on the
    // pixels of its one-pixel outline.
    auto figures = {+[](Canvas& c) { c.ellipse(3, 4, 31, 22); }, +[](Canvas& c) { c.roundRect(2, 2, 30, 24, 15, 9); },
                    +[](Canvas& c) { c.pie(1, 3, 33, 25, 40, 0, 0, 10); },
                    +[](Canvas& c) {
                        const Point pts[] = {{5, 5}, {28, 9}, {9, 20}, {30, 22}};
                        c.polyline(pts);
                        if (c.pen().width() == 1) // a wide stroke also caps the end point
                            c.setPixel(30, 22, 0);
                    }};
    for (int width : {2, 3, 6, 11})
        for (auto draw : figures) {
            Bitmap thin(34, 26), wide(34, 26), stamped(34, 26);
            Canvas t(thin), w(wide), s(stamped);
            for (Canvas* c : {&t, &w})
                c->brush().setStyle(BrushStyle::Clear);
            w.pen().setWidth(width);
            s.pen().setWidth(width);
            draw(t);
            draw(w);
            for (int y = 0; y < 26; ++y)
                for (int x = 0; x < 34; ++x)
                    if (thin.pixel(x, y) == 0) {
                        s.moveTo(x, y);
                        s.lineTo(x, y);
                    }
            EXPECT_EQ(Mask(wide), Mask(stamped)) << "width " << width;
        }
}

TEST(Line, HugePenWidthsFinish)
{
    Bitmap b(20, 20);
    Canvas c(b);
    c.pen().setWidth(INT_MAX);
    c.moveTo(INT_MIN, INT_MIN);
    c.lineTo(INT_MAX, INT_MAX);
    EXPECT_EQ(CountColor(b, 0), 400u);
    b.fill(0xFFFFFF);
    c.brush().setStyle(BrushStyle::Clear);
    c.ellipse(-1000000, -1000000, 1000000, 1000000); // the outline passes far away
    c.ellipse(-5, -5, 25, 25);
    EXPECT_EQ(CountColor(b, 0), 400u);
}

TEST(Line, FarCoordinatesAreClippedAnalytically)
{
    Bitmap b(5, 5);
    Canvas c(b);
    c.moveTo(-2000000000, -2000000000);
    c.lineTo(2000000000, 2000000000);
    EXPECT_EQ(Mask(b), (Rows{"#....", ".#...", "..#..", "...#.", "....#"}));

    Bitmap e(5, 5);
    Canvas d(e);
    d.pen().setWidth(3);
    d.moveTo(INT_MIN, 2);
    d.lineTo(INT_MAX, 2);
    d.moveTo(INT_MIN, INT_MIN);
    d.lineTo(INT_MIN + 5, INT_MAX); // steep and far to the left: nothing
    EXPECT_EQ(Mask(e), (Rows{".....", "#####", "#####", "#####", "....."}));
}

TEST(Line, RandomLinesMatchTheStepFormulaPixelByPixel)
{
    // Reference: step j of D = max(|dx|, |dy|) steps has minor offset
    // floor((2 j m + D - 1) / 2D) going positive, floor((2 j m + D) / 2D) going
    // negative; every step is drawn except the last.
    std::mt19937 rng(5);
    for (int round = 0; round < 400; ++round) {
        const int span = round < 300 ? 60 : 200000;
        auto coord = [&] { return int(rng() % (2 * span + 30)) - span; };
        const Point a{coord(), coord()}, b{coord(), coord()};
        Bitmap drawn(30, 30), expected(30, 30);
        Canvas c(drawn);
        c.moveTo(a.x, a.y);
        c.lineTo(b.x, b.y);
        const long long dx = b.x - a.x, dy = b.y - a.y;
        const bool xMajor = std::llabs(dx) > std::llabs(dy);
        const long long D = std::max(std::llabs(dx), std::llabs(dy));
        const long long m = xMajor ? std::llabs(dy) : std::llabs(dx);
        const long long minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
        const long long majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
        for (long long j = 0; j < D; ++j) {
            const long long k = (2 * j * m + (minorSign > 0 ? D - 1 : D)) / (2 * D);
            const long long major = (xMajor ? a.x : a.y) + majorSign * j;
            const long long minor = (xMajor ? a.y : a.x) + minorSign * k;
            if (xMajor)
                expected.setPixel(int(major), int(minor), 0);
            else
                expected.setPixel(int(minor), int(major), 0);
        }
        ASSERT_EQ(Mask(drawn), Mask(expected)) << a.x << "," << a.y << " -> " << b.x << "," << b.y;
    }
}

TEST(Line, ClippingKeepsTheErrorTermAndDashPhase)
{
    auto draw = [](int w, int x0) {
        Bitmap b(w, 5);
        Canvas c(b);
        c.pen().setStyle(PenStyle::DashDot);
        c.brush().setStyle(BrushStyle::Clear);
        c.moveTo(x0, 0);
        c.lineTo(x0 + 31, 4);
        return b;
    };
    const Bitmap clipped = draw(8, -12), whole = draw(20, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(clipped.pixel(x, y), whole.pixel(x + 12, y)) << x << "," << y;
}

} // namespace gdi
