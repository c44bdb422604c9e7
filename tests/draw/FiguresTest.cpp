#include "draw/Figures.h"
#include "plugin/Values.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

namespace zenvas {
namespace {

constexpr gdi::Color kWhite = 0xFFFFFF;
constexpr gdi::Color kRed = gdi::Rgb(255, 0, 0);
constexpr gdi::Color kGreen = gdi::Rgb(0, 255, 0);
constexpr gdi::Color kBlue = gdi::Rgb(0, 0, 255);

struct Surface {
    explicit Surface(int width = 12, int height = 12) : bitmap(width, height), canvas(bitmap) {}
    int count(gdi::Color c) const { return int(gdi::test::CountColor(bitmap, c)); }
    bool blank() const { return count(kWhite) == bitmap.width() * bitmap.height(); }

    gdi::Bitmap bitmap;
    gdi::Canvas canvas;
};

TEST(CoordinateList, ExactCountsOfIntegerItemsAndPolygonCornersUpToTheFirstBadItem)
{
    const auto values = FixedCoordinates(CoordinateItems(" $10 | 0x20 |-5| +3 "), 4);
    ASSERT_TRUE(values);
    EXPECT_EQ(*values, (std::vector<std::int32_t>{16, 32, -5, 3}));
    EXPECT_FALSE(FixedCoordinates(CoordinateItems("1 | 1 | 150"), 4));
    EXPECT_FALSE(FixedCoordinates(CoordinateItems("1|1|150|150|7"), 4));
    EXPECT_THROW(FixedCoordinates(CoordinateItems("1||150|150"), 4), ConversionError);

    using P = std::vector<gdi::Point>;
    EXPECT_EQ(PolygonCorners(CoordinateItems("10|50|40|10|70")), (P{{10, 50}, {40, 10}}));
    EXPECT_EQ(PolygonCorners(CoordinateItems("10|50|abc|10|70|50")), (P{{10, 50}, {0, 0}, {0, 0}}));
    EXPECT_EQ(PolygonCorners(CoordinateItems("1|2|3|y|5|6")), (P{{1, 2}, {3, 0}, {0, 0}}));
}

TEST(Figures, WrongListsDrawNothingButTheSettingsStay)
{
    Surface drawn;
    DrawFigure(drawn.canvas, Figure::Rectangle, {"1", "", "Solid", "Solid", "0,255,0", "1 | 1 | 5 | 5"});
    EXPECT_EQ(drawn.count(0), 12);
    EXPECT_EQ(drawn.count(kGreen), 4);
    for (auto list : {"1|1|150", "1|1|x|9", "", "   "}) {
        Surface s;
        DrawFigure(s.canvas, Figure::Rectangle, {"3", "255,0,0", "Dash", "Solid", "0,0,255", list});
        EXPECT_TRUE(s.blank()) << list;
        EXPECT_EQ(s.canvas.pen().color(), kRed);
        EXPECT_EQ(s.canvas.pen().width(), 3);
        EXPECT_EQ(s.canvas.pen().style(), gdi::PenStyle::Dash);
        EXPECT_EQ(s.canvas.brush().color(), kBlue);
    }
}

TEST(Figures, FillColourIsSetBeforeTheFillStyle)
{
    Surface s;
    DrawFigure(s.canvas, Figure::Rectangle, {"", "", "", "Clear", "0,0,255", ""});
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Clear);
    EXPECT_EQ(s.canvas.brush().color(), kWhite);
    // An empty colour is black, and giving a clear brush a colour makes it solid.
    DrawFigure(s.canvas, Figure::Rectangle, {"", "", "", "nonsense", "", ""});
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Solid);
    EXPECT_EQ(s.canvas.brush().color(), 0u);
    DrawFigure(s.canvas, Figure::Rectangle, {"", "", "", "Cross", "0,0,255", ""});
    DrawFigure(s.canvas, Figure::Rectangle, {"", "red", "solid", "cross", "red", ""});
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Cross);
    EXPECT_EQ(s.canvas.brush().color(), kBlue);
    EXPECT_EQ(s.canvas.pen().color(), 0u);
}

TEST(Figures, WidthFallsBackToOneAndOverflowFails)
{
    for (auto text : {"", "0", "-4", " 5"})
        EXPECT_EQ(LineWidth(text), 1) << text;
    EXPECT_EQ(LineWidth("007"), 7);
    Surface s;
    EXPECT_THROW(DrawFigure(s.canvas, Figure::Rectangle, {"2147483648", "255,0,0", "", "", "", "1|1|5|5"}),
                 ConversionError);
    EXPECT_EQ(s.canvas.pen().color(), 0u);
    EXPECT_TRUE(s.blank());
}

TEST(Pixels, ReadAndSetByTheirRules)
{
    Surface s;
    EXPECT_EQ(PixelColorText(s.canvas, "500", "3"), "255,255,255");
    EXPECT_FALSE(PixelColorText(s.canvas, "-1", "0"));
    SetPixelFromTexts(s.canvas, "1,20,255", "0", "0");
    EXPECT_EQ(PixelColorText(s.canvas, "0", "0"), "1,20,255");
    SetPixelFromTexts(s.canvas, "red", "2", "0");
    EXPECT_EQ(s.bitmap.pixel(2, 0), kWhite);
    // An empty colour, or a coordinate with a space or sign, paints black.
    SetPixelFromTexts(s.canvas, "", "1", "0");
    SetPixelFromTexts(s.canvas, "0,0,255", " 3", "0");
    SetPixelFromTexts(s.canvas, "0,0,255", "-3", "0");
    EXPECT_EQ(s.count(0), 2);
    EXPECT_THROW(SetPixelFromTexts(s.canvas, "0,0,255", "abc", "0"), ConversionError);
}

TEST(Text, PlacedAtTheFirstTwoItemsAndFailingWithTheBrushClear)
{
    Surface s(120, 40), reference(120, 40);
    DrawTextAt(s.canvas, "Arial|clRed|12||1", "Hi there", "10 | 20 | 30");
    reference.canvas.font().setColor(kRed);
    reference.canvas.font().setSize(12);
    reference.canvas.brush().setStyle(gdi::BrushStyle::Clear);
    reference.canvas.textOut(10, 20, "Hi there");
    EXPECT_FALSE(s.blank());
    EXPECT_EQ(s.count(kWhite), reference.count(kWhite));
    EXPECT_EQ(s.bitmap.pixel(9, 20), kWhite);

    Surface t;
    EXPECT_THROW(DrawTextAt(t.canvas, "Courier New|clRed|14|fsBold|1", "x", "10"), ConversionError);
    EXPECT_EQ(t.canvas.font().name(), "CourierNew");
    EXPECT_TRUE(t.canvas.font().bold());
    EXPECT_EQ(t.canvas.brush().style(), gdi::BrushStyle::Clear);
    Surface u;
    EXPECT_THROW(DrawTextAt(u.canvas, "Verdana|clBlue|big|fsBold|1", "x", "1|1"), ConversionError);
    EXPECT_EQ(u.canvas.font().color(), kBlue);
    EXPECT_FALSE(u.canvas.font().bold());
    EXPECT_TRUE(t.blank() && u.blank());
}

TEST(FloodFill, StyleBeforeColourAndOnlyInsideThePicture)
{
    Surface s;
    s.canvas.rectangle(0, 0, 6, 6);
    FloodFillAt(s.canvas, "0,0,255", "Clear", "3 | 3");
    EXPECT_EQ(s.count(kBlue), 16);
    EXPECT_EQ(s.canvas.brush().style(), gdi::BrushStyle::Solid);
    FloodFillAt(s.canvas, "0,0,255", "Solid", "-1|5");
    FloodFillAt(s.canvas, "", "Cross", "8|8");
    EXPECT_EQ(s.bitmap.pixel(11, 11), 0u);
    EXPECT_THROW(FloodFillAt(s.canvas, "0,0,255", "Solid", "5"), ConversionError);
}

} // namespace
} // namespace zenvas
