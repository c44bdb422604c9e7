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

// A styled pen over a clear brush.
Canvas& Styled(Canvas& c, PenStyle style)
{
    c.pen().setStyle(style);
    c.brush().setStyle(BrushStyle::Clear);
    return c;
}

TEST(Line, PenPatternsTheirPhaseGapsAndWidePens)
{
    const struct {
        int w, h;
        std::function<void(Canvas&)> draw;
        Rows want;
    } cases[] = {
        {30, 1, [](Canvas& c) { Styled(c, PenStyle::Dash).lineTo(30, 0); }, {"##################......######"}},
        {30, 1, [](Canvas& c) { Styled(c, PenStyle::Dot).lineTo(30, 0); }, {"###...###...###...###...###..."}},
        {30, 1, [](Canvas& c) { Styled(c, PenStyle::DashDot).lineTo(30, 0); }, {"#########......###......######"}},
        {30, 1, [](Canvas& c) { Styled(c, PenStyle::DashDotDot).lineTo(30, 0); }, {"#########...###...###...######"}},
        // The phase restarts at every line-to and runs on across a polyline.
        {12, 1, [](Canvas& c) { Styled(c, PenStyle::Dot).lineTo(4, 0); c.lineTo(12, 0); }, {"###.###...##"}},
        {6, 6,
         [](Canvas& c) {
             const Point pts[] = {{0, 0}, {4, 0}, {4, 5}};
             Styled(c, PenStyle::Dot).polyline(pts);
         },
         {"###...", "......", "....#.", "....#.", "....#.", "......"}},
        // With a solid brush the gaps take its colour.
        {8, 1, [](Canvas& c) { c.pen().setStyle(PenStyle::Dot); c.lineTo(8, 0); }, {"###bbb##"}},
        // Wide pens: a zero-length line is one disc; a path pixel (x, y)
        // grows to rows y - w/2 .. y - w/2 + w - 1, columns likewise.
        {9, 8, [](Canvas& c) { c.pen().setWidth(5); c.moveTo(4, 4); c.lineTo(4, 4); },
         {".........", ".........", "...###...", "..#####..", "..#####..", "..#####..", "...###...", "........."}},
        {10, 6, [](Canvas& c) { c.pen().setWidth(2); c.moveTo(2, 3); c.lineTo(7, 3); },
         {"..........", "..........", ".#######..", ".#######..", "..........", ".........."}},
    };
    for (const auto& t : cases)
        EXPECT_EQ(Drawn(t.w, t.h, t.draw), t.want) << t.w << "x" << t.h << ": " << t.want[0];
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
    // Every covered pixel inverted exactly once: black, never restored
    // white, at the joins and across the dots' gaps too.
    for (Point p : {Point{9, 2}, Point{2, 2}, Point{5, 2}})
        EXPECT_EQ(b.pixel(p.x, p.y), 0u) << p.x << "," << p.y;
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

TEST(Line, FarCoordinatesAndHugeWidthsAreClippedAnalyticallyKeepingTheErrorTermAndDashPhase)
{
    Bitmap b(5, 5);
    Canvas c(b);
    c.moveTo(-2000000000, -2000000000);
    c.lineTo(2000000000, 2000000000);
    EXPECT_EQ(Mask(b), (Rows{"#....", ".#...", "..#..", "...#.", "....#"}));
    b.fill(kWhite);
    c.pen().setWidth(3);
    c.moveTo(INT_MIN, 2);
    c.lineTo(INT_MAX, 2);
    c.moveTo(INT_MIN, INT_MIN);
    c.lineTo(INT_MIN + 5, INT_MAX); // steep and far to the left: nothing
    EXPECT_EQ(Mask(b), (Rows{".....", "#####", "#####", "#####", "....."}));
    c.pen().setWidth(INT_MAX);
    c.moveTo(INT_MIN, INT_MIN);
    c.lineTo(INT_MAX, INT_MAX);
    EXPECT_EQ(CountColor(b, 0), 25u);
    b.fill(kWhite);
    c.brush().setStyle(BrushStyle::Clear);
    c.ellipse(-1000000, -1000000, 1000000, 1000000); // the outline passes far away
    c.ellipse(-5, -5, 10, 10);
    EXPECT_EQ(CountColor(b, 0), 25u);

    // A dash-dotted line cut by the bitmap's left edge equals the same
    // line drawn whole.
    auto draw = [](int w, int x0) {
        Bitmap line(w, 5);
        Canvas dashed(line);
        dashed.pen().setStyle(PenStyle::DashDot);
        dashed.brush().setStyle(BrushStyle::Clear);
        dashed.moveTo(x0, 0);
        dashed.lineTo(x0 + 31, 4);
        return line;
    };
    const Bitmap clipped = draw(8, -12), whole = draw(20, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(clipped.pixel(x, y), whole.pixel(x + 12, y)) << x << "," << y;
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

} // namespace gdi
