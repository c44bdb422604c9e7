#include "platform/gdi/Canvas.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <climits>

namespace gdi {

using test::Map;
using test::Mask;
using Rows = std::vector<std::string>;

namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlue = 0xFF0000;

// Pen black, brush blue: '#' outline, 'b' fill, '.' untouched.
Rows Shape(int w, int h, void (*draw)(Canvas&))
{
    Bitmap b(w, h);
    Canvas c(b);
    c.brush().setColor(kBlue);
    draw(c);
    return Map(b, {0, kBlue, kWhite}, "#b.");
}

} // namespace

TEST(Rectangle, OutlineAndFillExtents)
{
    EXPECT_EQ(Shape(6, 5, [](Canvas& c) { c.rectangle(1, 1, 5, 4); }),
              (Rows{"......", ".####.", ".#bb#.", ".####.", "......"}));
    // Corners are normalised.
    EXPECT_EQ(Shape(6, 5, [](Canvas& c) { c.rectangle(5, 4, 1, 1); }),
              (Rows{"......", ".####.", ".#bb#.", ".####.", "......"}));
}

TEST(Rectangle, TinyBoxes)
{
    EXPECT_EQ(Shape(3, 3, [](Canvas& c) { c.rectangle(1, 1, 2, 2); }), (Rows{"...", "...", "..."}));
    EXPECT_EQ(Shape(3, 4, [](Canvas& c) { c.rectangle(1, 0, 2, 4); }), (Rows{".#.", ".#.", ".#.", ".#."}));
    EXPECT_EQ(Shape(3, 3, [](Canvas& c) { c.rectangle(0, 0, 2, 2); }), (Rows{"##.", "##.", "..."}));
    EXPECT_EQ(Shape(3, 3, [](Canvas& c) { c.rectangle(0, 0, 3, 3); }), (Rows{"###", "#b#", "###"}));
    EXPECT_EQ(Shape(3, 3, [](Canvas& c) { c.rectangle(0, 0, 0, 3); }), (Rows{"...", "...", "..."}));
}

TEST(Rectangle, DashPhaseStartsTopRightGoingLeft)
{
    Bitmap b(8, 3);
    Canvas c(b);
    c.brush().setStyle(BrushStyle::Clear);
    c.pen().setStyle(PenStyle::Dot);
    c.rectangle(0, 0, 8, 3);
    // From (7,0) leftwards: on 7,6,5, off 4,3,2, on 1, 0 and (0,1), off
    // (0,2), (1,2), (2,2), on 3..5, off (6,2), (7,2) and (7,1).
    EXPECT_EQ(Mask(b), (Rows{"##...###", "#.......", "...###.."}));
}

TEST(Rectangle, WidePenIsCentredOnTheOutermostPixels)
{
    Bitmap b(8, 8);
    Canvas c(b);
    c.brush().setStyle(BrushStyle::Clear);
    c.pen().setWidth(3);
    c.rectangle(2, 2, 6, 6);
    EXPECT_EQ(Mask(b), (Rows{"........", ".######.", ".######.", ".######.", ".######.", ".######.", ".######.",
                             "........"}));
}

TEST(Ellipse, IsSymmetricWithFlatTopsAndAFilledInside)
{
    EXPECT_EQ(Shape(9, 9, [](Canvas& c) { c.ellipse(1, 1, 8, 8); }), (Rows{
                                                                        ".........",
                                                                        "...###...",
                                                                        "..#bbb#..",
                                                                        ".#bbbbb#.",
                                                                        ".#bbbbb#.",
                                                                        ".#bbbbb#.",
                                                                        "..#bbb#..",
                                                                        "...###...",
                                                                        ".........",
                                                                    }));
}

TEST(Ellipse, NarrowBoxesDrawAsRectangles)
{
    EXPECT_EQ(Shape(4, 5, [](Canvas& c) { c.ellipse(1, 0, 3, 5); }), (Rows{".##.", ".##.", ".##.", ".##.", ".##."}));
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

TEST(RoundRect, CornersAreQuarterEllipsesAndSmallCornersArePlain)
{
    EXPECT_EQ(Shape(14, 10, [](Canvas& c) { c.roundRect(0, 0, 14, 10, 7, -7); }), (Rows{
                                                                                    "..##########..",
                                                                                    ".#bbbbbbbbbb#.",
                                                                                    "#bbbbbbbbbbbb#",
                                                                                    "#bbbbbbbbbbbb#",
                                                                                    "#bbbbbbbbbbbb#",
                                                                                    "#bbbbbbbbbbbb#",
                                                                                    "#bbbbbbbbbbbb#",
                                                                                    "#bbbbbbbbbbbb#",
                                                                                    ".#bbbbbbbbbb#.",
                                                                                    "..##########..",
                                                                                }));
    EXPECT_EQ(Shape(5, 4, [](Canvas& c) { c.roundRect(0, 0, 5, 4, 2, -2); }),
              (Rows{"#####", "#bbb#", "#bbb#", "#####"}));
    // Corners as large as the box make an ellipse.
    Bitmap a(11, 9), e(11, 9);
    Canvas ca(a), ce(e);
    ca.roundRect(0, 0, 11, 9, 100, -100);
    ce.ellipse(0, 0, 11, 9);
    EXPECT_EQ(Mask(a), Mask(e));
}

TEST(Pie, QuarterFromTheRightRayCounterClockwiseToTheTopRay)
{
    // The lower half of the box is below the bitmap and stays empty anyway.
    EXPECT_EQ(Shape(11, 6, [](Canvas& c) { c.pie(0, 0, 11, 11, 20, 5, 5, -20); }), (Rows{
                                                                                    ".....###...",
                                                                                    ".....#bb#..",
                                                                                    ".....#bbb#.",
                                                                                    ".....#bbbb#",
                                                                                    ".....#bbbb#",
                                                                                    ".....######",
                                                                                }));
}

TEST(Pie, EqualRaysDrawTheWholeEllipseAndOneRadius)
{
    Bitmap b(11, 11);
    Canvas c(b);
    c.brush().setStyle(BrushStyle::Clear);
    c.pie(0, 0, 11, 11, 10, 5, 30, 5);
    Bitmap e(11, 11);
    Canvas ce(e);
    ce.brush().setStyle(BrushStyle::Clear);
    ce.ellipse(0, 0, 11, 11);
    ce.moveTo(5, 5);
    ce.lineTo(11, 5);
    EXPECT_EQ(Mask(b), Mask(e));
}

TEST(Polygon, LeftAndTopEdgesAreInsideWithAnOutlineOnTheFarEdges)
{
    Bitmap b(12, 12);
    Canvas c(b);
    c.brush().setColor(kBlue);
    c.pen().setColor(Rgb(255, 0, 0));
    const Point square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    c.polygon(square);
    EXPECT_EQ(test::CountColor(b, kBlue), 81u);           // columns and rows 1..9
    EXPECT_EQ(test::CountColor(b, Rgb(255, 0, 0)), 40u); // the outline adds column 10 and row 10
    EXPECT_EQ(b.pixel(9, 9), kBlue);
    EXPECT_EQ(b.pixel(10, 10), Rgb(255, 0, 0));
    EXPECT_EQ(b.pixel(11, 5), kWhite);
}

TEST(Polygon, EvenOddFillLeavesTheStarCentreEmpty)
{
    Bitmap b(21, 21);
    Canvas c(b);
    c.brush().setColor(kBlue);
    c.pen().setColor(kBlue);
    c.pen().setStyle(PenStyle::Solid);
    const Point star[] = {{10, 0}, {16, 20}, {0, 7}, {20, 7}, {4, 20}};
    c.polygon(star);
    EXPECT_EQ(b.pixel(10, 11), kWhite); // inside the pentagon: crossed twice
    EXPECT_EQ(b.pixel(10, 3), kBlue);   // a point of the star
}

TEST(PenMode, NotXorTwiceRestoresEveryFigure)
{
    Bitmap b(40, 30);
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y)
            b.setPixel(x, y, Rgb(x * 6, y * 8, (x * y) & 0xFF));
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
    int changed = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            changed += b.pixel(x, y) != original.pixel(x, y);
    EXPECT_GT(changed, 0);
    drawAll();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(b.pixel(x, y), original.pixel(x, y)) << x << "," << y;
}

TEST(Shapes, AnEmptyBitmapAcceptsEveryOperation)
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
}

TEST(Shapes, FarCoordinatesClipAndFinish)
{
    Bitmap b(8, 8);
    Canvas c(b);
    c.brush().setColor(kBlue);
    c.rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(test::CountColor(b, kBlue), 64u);
    c.pen().setWidth(9);
    c.ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
    c.roundRect(INT_MIN, -5, INT_MAX, 3, INT_MAX, INT_MIN);
    c.pie(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 1, 1);
    const Point far[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {INT_MIN, INT_MAX}};
    c.polygon(far);
    c.pen().setWidth(1);
    c.pen().setStyle(PenStyle::Dot);
    c.ellipse(INT_MIN, 3, INT_MAX, INT_MAX);
    EXPECT_EQ(b.pixel(0, 3), 0u); // the dotted top edge runs across the bitmap
}

} // namespace gdi
