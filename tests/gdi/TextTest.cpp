#include "platform/gdi/Canvas.h"
#include "platform/gdi/Text.h"

#include <gtest/gtest.h>

#include <climits>

namespace gdi {

namespace {

constexpr Color kWhite = 0xFFFFFF;

Font Named(const char* name, int size = 12)
{
    Font f;
    f.setName(name);
    f.setSize(size);
    return f;
}

// The smallest rectangle holding every pixel that is not white.
IntRect Inked(const Bitmap& b)
{
    IntRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.pixel(x, y) != kWhite) {
                r.left = std::min(r.left, x);
                r.top = std::min(r.top, y);
                r.right = std::max(r.right, x + 1);
                r.bottom = std::max(r.bottom, y + 1);
            }
    return r;
}

} // namespace

TEST(Text, EmHeightIsPointsAtNinetySixDotsPerInch)
{
    // 10.67, 16, 9.33, 6.67 and 1.33 pixels; never less than one.
    const std::pair<int, int> sizes[] = {{8, 11}, {12, 16}, {7, 9}, {5, 7}, {1, 1}, {-12, 16}, {0, 1}};
    for (auto [points, pixels] : sizes)
        EXPECT_EQ(FontEmPixels(points), pixels) << points;
}

TEST(Text, FaceNamesMatchWithoutBlanksOrCase)
{
    const std::string serif = FontFaceName(Named("Times New Roman"));
    EXPECT_TRUE(serif == "Times New Roman" || serif == "Liberation Serif") << serif;
    EXPECT_EQ(FontFaceName(Named("TimesNewRoman")), serif);
    EXPECT_EQ(FontFaceName(Named("timesnewroman")), serif);
    const std::string sans = FontFaceName(Named("Arial"));
    EXPECT_TRUE(sans == "Arial" || sans == "Liberation Sans") << sans;
    EXPECT_EQ(FontFaceName(Named("liberation sans")), "Liberation Sans");
    EXPECT_EQ(FontFaceName(Named("No Such Face At All")), FontFaceName(Named("sans-serif")));
}

TEST(Text, ExtentIsTheSumOfAdvancesAndTheCellHeight)
{
    Bitmap b(1, 1);
    Canvas c(b);
    c.font() = Named("Arial", 12);
    const TextSize ab = c.textExtent("AB");
    EXPECT_EQ(ab.width, c.textExtent("A").width + c.textExtent("B").width);
    EXPECT_GE(ab.height, 16);
    EXPECT_LE(ab.height, 21);
    EXPECT_EQ(c.textExtent("").width, 0);
    EXPECT_EQ(c.textExtent("").height, ab.height);
    c.font().setSize(24);
    EXPECT_NEAR(c.textExtent("AB").height, 2 * ab.height, 2);
    c.font().setBold(true);
    EXPECT_GE(c.textExtent("Wide words").width, Canvas(b).textExtent("Wide words").width);
    // Cyrillic text in code page 1251 has glyphs, not missing-glyph boxes.
    c.font() = Named("Arial", 12);
    EXPECT_NE(c.textExtent("\xCF\xF0\xE8").width, c.textExtent("\x98\x98\x98").width);
}

TEST(Text, GlyphsLandInsideTheCellASolidBrushFillsItAndThePositionMoves)
{
    Bitmap b(200, 60);
    Canvas c(b);
    c.font() = Named("Arial", 12);
    c.brush().setStyle(BrushStyle::Clear);
    c.textOut(20, 10, "Hello, Mg");
    const TextSize size = c.textExtent("Hello, Mg");
    const IntRect ink = Inked(b);
    EXPECT_GE(ink.left, 20);
    EXPECT_LE(ink.right, 20 + size.width + 1);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, 10 + size.height);
    EXPECT_GT(ink.width(), size.width / 2);
    EXPECT_EQ(c.penPos(), (Point{20 + size.width, 10}));
    b.fill(kWhite);
    c.brush().setColor(Rgb(0, 0, 200));
    c.textOut(5, 6, " ");
    EXPECT_EQ(Inked(b), (IntRect{5, 6, 5 + c.textExtent(" ").width, 6 + size.height}));
    EXPECT_EQ(b.pixel(5, 6), Rgb(0, 0, 200));
}

TEST(Text, UnderlineAndStrikeOutSpanTheAdvanceWidth)
{
    auto lineOf = [](bool underline) {
        Bitmap b(100, 40);
        Canvas c(b);
        c.font() = Named("Arial", 12);
        c.font().setUnderline(underline);
        c.font().setStrikeOut(!underline);
        c.brush().setStyle(BrushStyle::Clear);
        c.textOut(10, 5, "    ");
        return std::pair(Inked(b), c.textExtent("    "));
    };
    const auto [under, size] = lineOf(true);
    EXPECT_EQ(under.left, 10);
    EXPECT_EQ(under.right, 10 + size.width);
    EXPECT_GT(under.top, 5 + size.height / 2); // below the middle: near the baseline
    const IntRect strike = lineOf(false).first;
    EXPECT_EQ(strike.right, 10 + size.width);
    EXPECT_LT(strike.bottom, 5 + size.height * 3 / 4);
    EXPECT_GT(strike.top, 5 + size.height / 4);
}

TEST(Text, FarPositionsAndHugeTextsNeitherOverflowNorDrawWhatDoesNotShow)
{
    Bitmap b(20, 20);
    Canvas c(b);
    c.textOut(INT_MAX - 3, INT_MIN, "far away");
    c.textOut(-100000, 5, "left");
    EXPECT_EQ(Inked(b), (IntRect{INT_MAX, INT_MAX, INT_MIN, INT_MIN}));
    EXPECT_EQ(c.penPos().y, 5);

    // Huge text saturates its width; its first glyph is far larger than the
    // bitmap, and only its visible part is drawn, here from inside the stem
    // of the I.
    Bitmap big(40, 30);
    Canvas h(big);
    h.font() = Named("Arial", 60000);
    h.brush().setStyle(BrushStyle::Clear);
    const std::string text = "I" + std::string(36000, 'W');
    EXPECT_EQ(h.textExtent(text).width, INT_MAX);
    h.textOut(-8000, -30000, text);
    EXPECT_EQ(Inked(big), big.bounds());
    EXPECT_EQ(h.penPos().x, INT_MAX - 8000);
}

} // namespace gdi
