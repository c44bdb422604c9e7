#include "platform/gdi/Canvas.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <climits>

namespace gdi {

using namespace test;

constexpr Color kBlue = Rgb(0, 0, 255);

TEST(Figures, ExtentsOfOutlineAndFill)
{
    const struct {
        int w, h;
        std::function<void(Canvas&)> draw;
        Rows want;
    } cases[] = {
        {6, 5, [](Canvas& c) { c.rectangle(1, 1, 5, 4); }, {"......", ".####.", ".#bb#.", ".####.", "......"}},
        {6, 5, [](Canvas& c) { c.rectangle(5, 4, 1, 1); }, {"......", ".####.", ".#bb#.", ".####.", "......"}},
        {3, 3, [](Canvas& c) { c.rectangle(1, 1, 2, 2); }, {"...", "...", "..."}},
        {3, 4, [](Canvas& c) { c.rectangle(1, 0, 2, 4); }, {".#.", ".#.", ".#.", ".#."}},
        {3, 3, [](Canvas& c) { c.rectangle(0, 0, 2, 2); }, {"##.", "##.", "..."}},
        {3, 3, [](Canvas& c) { c.rectangle(0, 0, 3, 3); }, {"###", "#b#", "###"}},
        {3, 3, [](Canvas& c) { c.rectangle(0, 0, 0, 3); }, {"...", "...", "..."}},
        // The dash phase starts at (7, 0) going left: on 7, 6, 5, off 4, 3,
        // 2, on 1, 0 and (0, 1), off (0, 2), (1, 2), (2, 2), on 3..5, off
        // (6, 2), (7, 2) and (7, 1).
        {8, 3,
         [](Canvas& c) {
             c.brush().setStyle(BrushStyle::Clear);
             c.pen().setStyle(PenStyle::Dot);
             c.rectangle(0, 0, 8, 3);
         },
         {"##...###", "#.......", "...###.."}},
        // A wide pen is centred on the outermost pixels.
        {8, 8,
         [](Canvas& c) {
             c.pen().setWidth(3);
             c.rectangle(2, 2, 6, 6);
         },
         {"........", ".######.", ".######.", ".######.", ".######.", ".######.", ".######.", "........"}},
        {4, 5, [](Canvas& c) { c.ellipse(1, 0, 3, 5); }, {".##.", ".##.", ".##.", ".##.", ".##."}},
        {9, 9, [](Canvas& c) { c.ellipse(1, 1, 8, 8); },
         {".........", "...###...", "..#bbb#..", ".#bbbbb#.", ".#bbbbb#.", ".#bbbbb#.", "..#bbb#..", "...###...",
          "........."}},
        {14, 10, [](Canvas& c) { c.roundRect(0, 0, 14, 10, 7, -7); },
         {"..##########..", ".#bbbbbbbbbb#.", "#bbbbbbbbbbbb#", "#bbbbbbbbbbbb#", "#bbbbbbbbbbbb#", "#bbbbbbbbbbbb#",
          "#bbbbbbbbbbbb#", "#bbbbbbbbbbbb#", ".#bbbbbbbbbb#.", "..##########.."}},
        {5, 4, [](Canvas& c) { c.roundRect(0, 0, 5, 4, 2, -2); }, {"#####", "#bbb#", "#bbb#", "#####"}},
        // Left and top polygon edges are inside, right and bottom ones not;
        // the outline adds the far column and row.
        {5, 5,
         [](Canvas& c) {
             const Point square[] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}};
             c.polygon(square);
         },
         {"####.", "#bb#.", "#bb#.", "####.", "....."}},
        // A quarter from the right ray counter-clockwise to the top ray; the
        // lower half of the box is below the bitmap.
        {11, 6, [](Canvas& c) { c.pie(0, 0, 11, 11, 20, 5, 5, -20); },
         {".....###...", ".....#bb#..", ".....#bbb#.", ".....#bbbb#", ".....#bbbb#", ".....######"}},
    };
    for (const auto& t : cases)
        EXPECT_EQ(Drawn(t.w, t.h, t.draw), t.want) << t.want[1];
}

TEST(Figures, FiguresThatEqualOthers)
{
    // Corners as large as the box make an ellipse; equal pie rays the whole
    // ellipse and one radius.
    EXPECT_EQ(Drawn(11, 9, [](Canvas& c) { c.roundRect(0, 0, 11, 9, 100, -100); }),
              Drawn(11, 9, [](Canvas& c) { c.ellipse(0, 0, 11, 9); }));
    EXPECT_EQ(Drawn(11, 11, [](Canvas& c) { c.pie(0, 0, 11, 11, 10, 5, 30, 5); }), Drawn(11, 11, [](Canvas& c) {
                  c.ellipse(0, 0, 11, 11);
                  c.moveTo(5, 5);
                  c.lineTo(11, 5);
              }));
}

TEST(Ellipse, SymmetryHoldsForLargeOddAndEvenBoxes)
{
    for (int w : {37, 38}) {
        Bitmap b(w, 23);
        Canvas c(b);
        c.brush().setColor(kBlue);
        c.ellipse(0, 0, w, 23);
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(b.pixel(x, y), b.pixel(w - 1 - x, y)) << w << ": " << x << "," << y;
                ASSERT_EQ(b.pixel(x, y), b.pixel(x, 22 - y)) << w << ": " << x << "," << y;
            }
        EXPECT_EQ(b.pixel(0, 11), 0u);
        EXPECT_EQ(b.pixel(w / 2, 0), 0u);
        EXPECT_EQ(b.pixel(0, 0), kWhite);
    }
}

TEST(Polygon, TheFillIsEvenOdd)
{
    Bitmap s(21, 21);
    Canvas c(s);
    c.brush().setColor(kBlue);
    c.pen().setColor(kBlue);
    const Point star[] = {{10, 0}, {16, 20}, {0, 7}, {20, 7}, {4, 20}};
    c.polygon(star);
    EXPECT_EQ(s.pixel(10, 11), kWhite); // inside the pentagon: crossed twice
    EXPECT_EQ(s.pixel(10, 3), kBlue);   // a point of the star
}

TEST(PenMode, NotXorTwiceRestoresEveryFigure)
{
    Bitmap b = Picture(40, 30, [](int x, int y) { return Rgb(x * 6, y * 8, (x * y) & 0xFF); });
    const Bitmap original = b;
    Canvas c(b);
    c.pen().setMode(PenMode::NotXor);
    c.pen().setColor(Rgb(30, 200, 90));
    c.brush().setColor(Rgb(255, 0, 128));
    const Point poly[] = {{2, 2}, {30, 5}, {8, 25}, {35, 28}};
    auto drawAll = [&] {
        c.brush().setStyle(BrushStyle::Solid);
        for (PenStyle style : {PenStyle::Solid, PenStyle::Dash})
            for (int width : {1, 4}) {
                c.pen().setStyle(style);
                c.pen().setWidth(width);
                c.rectangle(3, 3, 30, 20);
                c.ellipse(5, 4, 36, 27);
                c.roundRect(1, 1, 39, 29, 12, 9);
                c.pie(2, 2, 38, 28, 0, 0, 39, 10);
                c.polygon(poly);
                c.polyline(poly);
                c.moveTo(0, 29);
                c.lineTo(39, 0);
            }
        c.brush().setStyle(BrushStyle::DiagCross);
        c.ellipse(0, 0, 25, 25);
        c.brush().setColor(Rgb(255, 0, 128));
    };
    drawAll();
    EXPECT_NE(Diff(b, original), "");
    drawAll();
    EXPECT_EQ(Diff(b, original), "");
}

TEST(Shapes, AnEmptyBitmapAcceptsEveryOperationAndFarCoordinatesClipAndFinish)
{
    Bitmap b;
    Canvas c(b);
    const Bitmap src(3, 3);
    const Point pts[] = {{0, 0}, {5, 5}, {0, 5}};
    for (int width : {1, 5}) {
        c.pen().setWidth(width);
        c.lineTo(5, 5);
        c.polyline(pts);
        c.polygon(pts);
        c.rectangle(0, 0, 5, 5);
        c.ellipse(0, 0, 5, 5);
        c.roundRect(0, 0, 5, 5, 3, 3);
        c.pie(0, 0, 5, 5, 0, 0, 5, 0);
    }
    c.fillRect({0, 0, 5, 5});
    c.floodFill(0, 0, kWhite);
    c.copyRect({0, 0, 3, 3}, src, src.bounds());
    c.copyRect({0, 0, 6, 6}, src, src.bounds());
    c.drawTransparent(0, 0, src, 0);
    StretchNearest(b, {0, 0, 4, 4}, src, src.bounds());
    c.textOut(0, 0, "text");
    EXPECT_EQ(c.pixel(0, 0), kNoPixel);

    Bitmap b8(8, 8);
    Canvas c8(b8);
    c8.brush().setColor(kBlue);
    c8.rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(CountColor(b8, kBlue), 64u);
    c8.pen().setWidth(9);
    c8.ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
    c8.roundRect(INT_MIN, -5, INT_MAX, 3, INT_MAX, INT_MIN);
    c8.pie(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 1, 1);
    const Point far[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {INT_MIN, INT_MAX}};
    c8.polygon(far);
    c8.pen().setWidth(1);
    c8.pen().setStyle(PenStyle::Dot);
    c8.ellipse(INT_MIN, 3, INT_MAX, INT_MAX);
    EXPECT_EQ(b8.pixel(0, 3), 0u); // the dotted top edge runs across the bitmap
}

} // namespace gdi
