#include "draw/Figures.h"
#include "plugin/Values.h"

#include <gtest/gtest.h>

namespace zenvas {
namespace {

constexpr gdi::Color kWhite = 0xFFFFFF;
constexpr gdi::Color kRed = gdi::Rgb(255, 0, 0);
constexpr gdi::Color kGreen = gdi::Rgb(0, 255, 0);
constexpr gdi::Color kBlue = gdi::Rgb(0, 0, 255);

struct Surface {
    explicit Surface(int width = 12, int height = 12) : bitmap(width, height), canvas(bitmap) {}
    gdi::Bitmap bitmap;
    gdi::Canvas canvas;

    int count(gdi::Color c) const
    {
        int n = 0;
        for (int y = 0; y < bitmap.height(); ++y)
            for (int x = 0; x < bitmap.width(); ++x)
                n += bitmap.pixel(x, y) == c;
        return n;
    }
    bool blank() const { return count(kWhite) == bitmap.width() * bitmap.height(); }
};

FigureTexts Texts(std::string_view coordinates, std::string_view fillColor = "0,255,0",
                  std::string_view fillStyle = "Solid")
{
    return {"1", "", "Solid", fillStyle, fillColor, coordinates};
}

TEST(CoordinateList, SpacesHexAndSignsRead)
{
    const auto items = CoordinateItems(" 1 | 1 |150| 150 ");
    EXPECT_EQ(items, (std::vector<std::string>{"1", "1", "150", "150"}));
    EXPECT_EQ(CoordinateItems("1|1|150|150"), items);
    const auto values = FixedCoordinates(CoordinateItems("$10|0x20|-5|+3"), 4);
    ASSERT_TRUE(values);
    EXPECT_EQ(*values, (std::vector<std::int32_t>{16, 32, -5, 3}));
}

TEST(CoordinateList, CountMustBeExactAndItemsMustRead)
{
    EXPECT_FALSE(FixedCoordinates(CoordinateItems("1|1|150"), 4));
    EXPECT_FALSE(FixedCoordinates(CoordinateItems("1|1|150|150|7"), 4));
    // An empty item between two delimiters still counts, then fails to read.
    EXPECT_THROW(FixedCoordinates(CoordinateItems("1||150|150"), 4), ConversionError);
    EXPECT_THROW(FixedCoordinates(CoordinateItems("1|1|150|abc"), 4), ConversionError);
}

TEST(CoordinateList, PolygonCornersStopAtTheFirstBadItem)
{
    using P = std::vector<gdi::Point>;
    EXPECT_EQ(PolygonCorners(CoordinateItems("10|50|40|10|70")), (P{{10, 50}, {40, 10}}));
    EXPECT_EQ(PolygonCorners(CoordinateItems("10|50|abc|10|70|50")), (P{{10, 50}, {0, 0}, {0, 0}}));
    // The X of a corner is kept when its Y fails.
    EXPECT_EQ(PolygonCorners(CoordinateItems("1|2|3|y|5|6")), (P{{1, 2}, {3, 0}, {0, 0}}));
    EXPECT_TRUE(PolygonCorners(CoordinateItems("7")).empty());
}

TEST(Figures, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    Surface s;
    DrawFigure(s.canvas, Figure::Rectangle, Texts("1 | 1 | 5 | 5"));
    EXPECT_EQ(s.bitmap.pixel(1, 1), 0u);
    EXPECT_EQ(s.bitmap.pixel(4, 4), 0u);
    EXPECT_EQ(s.bitmap.pixel(2, 3), kGreen);
    EXPECT_EQ(s.bitmap.pixel(5, 5), kWhite);
    EXPECT_EQ(s.count(0), 12);
    EXPECT_EQ(s.count(kGreen), 4);
}

TEST(Figures, WrongCountsDrawNothingButKeepTheSettings)
{
    for (auto list : {"1|1|150", "1|1|150|150|7", "1|1|x|9", "", "   "}) {
        Surface s;
        DrawFigure(s.canvas, Figure::Rectangle, {"3", "255,0,0", "Dash", "Solid", "0,0,255", list});
        EXPECT_TRUE(s.blank()) << list;
        EXPECT_EQ(s.canvas.pen().color(), kRed);
        EXPECT_EQ(s.canvas.pen().width(), 3);
        EXPECT_EQ(s.canvas.pen().style(), gdi::PenStyle::Dash);
        EXPECT_EQ(s.canvas.brush().color(), kBlue);
    }
}

TEST(Figures, EachFigureNeedsItsOwnCount)
{
    Surface s;
    DrawFigure(s.canvas, Figure::RoundRect, Texts("0|0|10|10"));
    DrawFigure(s.canvas, Figure::Pie, Texts("0|0|10|10|0|0"));
    EXPECT_TRUE(s.blank());
    DrawFigure(s.canvas, Figure::Ellipse, Texts("0|0|10|10"));
    EXPECT_EQ(s.bitmap.pixel(5, 5), kGreen);
    Surface round, pie;
    DrawFigure(round.canvas, Figure::RoundRect, Texts("0|0|10|10|4|4"));
    DrawFigure(pie.canvas, Figure::Pie, Texts("0|0|10|10|10|5|5|0"));
    EXPECT_EQ(round.bitmap.pixel(5, 5), kGreen);
    EXPECT_GT(pie.count(kGreen), 0);
}

TEST(Figures, PolygonIsDrawnWithTheCornersReadSoFar)
{
    Surface full, partial;
    DrawFigure(full.canvas, Figure::Polygon, Texts("0|0|10|0|10|10|0|10"));
    EXPECT_EQ(full.count(kGreen), 81);
    EXPECT_EQ(full.bitmap.pixel(10, 10), 0u);
    // Corners (6, 6), (0, 0), (0, 0): a line back and forth, no inside.
    DrawFigure(partial.canvas, Figure::Polygon, Texts("6|6|abc|10|70|50"));
    EXPECT_EQ(partial.bitmap.pixel(3, 3), 0u);
    EXPECT_EQ(partial.count(kGreen), 0);
}

TEST(Figures, NegativeCoordinatesClip)
{
    Surface s;
    DrawFigure(s.canvas, Figure::Rectangle, Texts("-10|-10|5|5"));
    EXPECT_EQ(s.bitmap.pixel(0, 0), kGreen);
    EXPECT_EQ(s.bitmap.pixel(4, 0), 0u);
}

TEST(Figures, FillColourIsSetBeforeTheStyle)
{
    Surface s;
    DrawFigure(s.canvas, Figure::Rectangle, Texts("", "0,0,255", "Clear"));
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Clear);
    EXPECT_EQ(s.canvas.brush().color(), kWhite);
    // A clear brush takes a colour and turns solid; an empty colour is black.
    DrawFigure(s.canvas, Figure::Rectangle, Texts("", "", "nonsense"));
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Solid);
    EXPECT_EQ(s.canvas.brush().color(), 0u);
    // A colour that does not convert and an unknown style keep the brush.
    DrawFigure(s.canvas, Figure::Rectangle, Texts("", "0,0,255", "Cross"));
    DrawFigure(s.canvas, Figure::Rectangle, Texts("", "red", "cross"));
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Cross);
    EXPECT_EQ(s.canvas.brush().color(), kBlue);
}

TEST(Figures, PenColourAndStyleRules)
{
    Surface s;
    SetUpPen(s.canvas, "2", "255,0,0", "DashDot");
    SetUpPen(s.canvas, "", "red", "solid");
    EXPECT_EQ(s.canvas.pen().color(), kRed);
    EXPECT_EQ(s.canvas.pen().style(), gdi::PenStyle::DashDot);
    EXPECT_EQ(s.canvas.pen().width(), 1);
    SetUpPen(s.canvas, "7", "", "");
    EXPECT_EQ(s.canvas.pen().color(), 0u);
    EXPECT_EQ(s.canvas.pen().style(), gdi::PenStyle::Solid);
    EXPECT_EQ(s.canvas.pen().width(), 7);
}

TEST(Figures, WidthFallsBackToOneAndOverflowFails)
{
    EXPECT_EQ(LineWidth(""), 1);
    EXPECT_EQ(LineWidth("0"), 1);
    EXPECT_EQ(LineWidth("-4"), 1);
    EXPECT_EQ(LineWidth(" 5"), 1);
    EXPECT_EQ(LineWidth("007"), 7);
    Surface s;
    s.canvas.pen().setColor(kBlue);
    EXPECT_THROW(DrawFigure(s.canvas, Figure::Rectangle, {"2147483648", "255,0,0", "", "", "", "1|1|5|5"}),
                 ConversionError);
    EXPECT_EQ(s.canvas.pen().color(), kBlue);
    EXPECT_TRUE(s.blank());
}

TEST(Lines, DrawnOnlyFromPlainNumbersWithoutTheEndPoint)
{
    Surface s;
    s.canvas.brush().setColor(kBlue);
    DrawLine(s.canvas, "", "255,0,0", "", "1", "1", "4", "1");
    EXPECT_EQ(s.count(kRed), 3);
    EXPECT_EQ(s.bitmap.pixel(4, 1), kWhite);
    EXPECT_EQ(s.canvas.penPos(), (gdi::Point{4, 1}));
    DrawLine(s.canvas, "", "", "", "-5", "3", "8", "3");
    DrawLine(s.canvas, "", "", "", "5", "3", "8", " 3");
    EXPECT_EQ(s.count(0), 0);
    EXPECT_EQ(s.canvas.brush().color(), kBlue);
    EXPECT_THROW(DrawLine(s.canvas, "", "", "", "1", "1", "4294967296", "1"), ConversionError);
}

TEST(Pixels, ReadAsColourTextsOnlyFromPlainNumbers)
{
    Surface s;
    EXPECT_EQ(PixelColorText(s.canvas, "0", "0"), "255,255,255");
    s.bitmap.setPixel(2, 3, gdi::Rgb(1, 20, 255));
    EXPECT_EQ(PixelColorText(s.canvas, "2", "3"), "1,20,255");
    EXPECT_EQ(PixelColorText(s.canvas, "500", "3"), "255,255,255");
    EXPECT_FALSE(PixelColorText(s.canvas, "-1", "0"));
    EXPECT_FALSE(PixelColorText(s.canvas, "0", ""));
    EXPECT_FALSE(PixelColorText(s.canvas, "$1", "0"));
}

TEST(Pixels, SetWithTheColourOrBlack)
{
    Surface s;
    SetPixelFromTexts(s.canvas, "255,0,0", "0", "0");
    EXPECT_EQ(s.bitmap.pixel(0, 0), kRed);
    SetPixelFromTexts(s.canvas, "", "1", "0");
    EXPECT_EQ(s.bitmap.pixel(1, 0), 0u);
    SetPixelFromTexts(s.canvas, "red", "2", "0");
    EXPECT_EQ(s.bitmap.pixel(2, 0), kWhite);
    // A coordinate with a space or a sign paints black whatever the colour.
    SetPixelFromTexts(s.canvas, "0,0,255", " 3", "0");
    EXPECT_EQ(s.bitmap.pixel(3, 0), 0u);
    SetPixelFromTexts(s.canvas, "0,0,255", "-3", "0");
    EXPECT_EQ(s.count(0), 2);
    EXPECT_THROW(SetPixelFromTexts(s.canvas, "0,0,255", "abc", "0"), ConversionError);
}

TEST(Text, PlacedAtTheFirstTwoItems)
{
    Surface s(120, 60), reference(120, 60);
    DrawTextAt(s.canvas, "Arial|clRed|12||1", "Hi there", "10 | 20 | 30");
    reference.canvas.font().setColor(kRed);
    reference.canvas.font().setSize(12);
    reference.canvas.brush().setStyle(gdi::BrushStyle::Clear);
    reference.canvas.textOut(10, 20, "Hi there");
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(s.bitmap.pixel(x, y), reference.bitmap.pixel(x, y)) << x << "," << y;
    EXPECT_FALSE(s.blank());
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Clear);
}

TEST(Text, FailuresStillLeaveTheBrushClear)
{
    Surface s(60, 30);
    EXPECT_THROW(DrawTextAt(s.canvas, "Courier New|clRed|14|fsBold|1", "x", "10"), ConversionError);
    EXPECT_EQ(s.canvas.font().name(), "CourierNew");
    EXPECT_TRUE(s.canvas.font().bold());
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Clear);
    EXPECT_TRUE(s.blank());

    Surface t(60, 30);
    const gdi::Font before = t.canvas.font();
    EXPECT_THROW(DrawTextAt(t.canvas, "Arial|clRed|12", "x", "1|1"), ConversionError);
    EXPECT_EQ(t.canvas.font(), before);
    EXPECT_EQ(t.canvas.brush().style(), gdi::BrushStyle::Clear);

    // Name and colour applied, stopped at the size: no bold, nothing drawn.
    Surface u(60, 30);
    EXPECT_THROW(DrawTextAt(u.canvas, "Verdana|clRed|big|fsBold|1", "x", "1|1"), ConversionError);
    EXPECT_EQ(u.canvas.font().name(), "Verdana");
    EXPECT_EQ(u.canvas.font().color(), kRed);
    EXPECT_FALSE(u.canvas.font().bold());
    EXPECT_TRUE(u.blank());
}

TEST(FloodFill, FillsTheAreaAroundThePoint)
{
    Surface s;
    s.canvas.rectangle(0, 0, 6, 6);
    FloodFillAt(s.canvas, "0,0,255", "Solid", "3 | 3");
    EXPECT_EQ(s.count(kBlue), 16);
    EXPECT_EQ(s.bitmap.pixel(8, 8), kWhite);
    FloodFillAt(s.canvas, "", "Cross", "8|8");
    EXPECT_EQ(s.bitmap.pixel(8, 8), 0u);
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Solid);
}

TEST(FloodFill, StyleIsSetBeforeTheColour)
{
    Surface s;
    FloodFillAt(s.canvas, "255,0,0", "Clear", "1|1");
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Solid);
    EXPECT_EQ(s.count(kRed), 144);
    FloodFillAt(s.canvas, "nope", "Horizontal", "1|1");
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Horizontal);
    EXPECT_EQ(s.canvas.brush().color(), kRed);
}

TEST(FloodFill, OutsideFillsNothingAndBadPointsFail)
{
    Surface s;
    FloodFillAt(s.canvas, "0,0,255", "Solid", "-1|5");
    FloodFillAt(s.canvas, "0,0,255", "Solid", "40|5");
    EXPECT_TRUE(s.blank());
    EXPECT_THROW(FloodFillAt(s.canvas, "0,0,255", "Solid", "5"), ConversionError);
    EXPECT_THROW(FloodFillAt(s.canvas, "0,0,255", "Solid", "5|y"), ConversionError);
    EXPECT_TRUE(s.blank());
}

} // namespace
} // namespace zenvas
