#include "plugin/FontDescriptor.h"
#include "plugin/Values.h"
#include "platform/forms/Dialogs.h"

#include <gtest/gtest.h>

namespace zenvas {
namespace {

gdi::Font Font(std::string name, gdi::Color color, int size)
{
    gdi::Font font;
    font.setName(std::move(name));
    font.setColor(color);
    font.setSize(size);
    return font;
}

TEST(FontToDescriptor, IdentifierOrHexColourStylesWithTrailingSpaces)
{
    gdi::Font font = Font("Arial", 0, 12);
    font.setBold(true);
    font.setItalic(true);
    font.setCharset(1);
    EXPECT_EQ(FontToDescriptor(font), "Arial|clBlack|12|fsBold fsItalic |1");

    gdi::Font plain = Font("Times New Roman", 0x00123456, 9);
    plain.setCharset(204);
    EXPECT_EQ(FontToDescriptor(plain), "Times New Roman|$00123456|9||204");

    gdi::Font all = Font("X", 0x0000FFFF, 8);
    all.setBold(true);
    all.setItalic(true);
    all.setUnderline(true);
    all.setStrikeOut(true);
    all.setCharset(0);
    EXPECT_EQ(FontToDescriptor(all), "X|clYellow|8|fsBold fsItalic fsUnderline fsStrikeOut |0");

    // System colours and clNone keep their identifiers: the font holds the
    // colour as given, not its resolved value.
    EXPECT_EQ(FontToDescriptor(forms::FontDialog().font), "MS Sans Serif|clWindowText|8||1");
    EXPECT_EQ(FontToDescriptor(Font("A", 0xFF000005, 8)), "A|clWindow|8||1");
}

TEST(ApplyFontDescriptor, SpacesRemovedCharsetIgnoredStylesAddedEvenRunTogetherAndIntegerColours)
{
    gdi::Font font = Font("Arial", 0x00FFFFFF, 8);
    font.setUnderline(true);
    font.setCharset(7);
    ApplyFontDescriptor("Times New Roman|clBlack|12|fsBold |1", font);
    EXPECT_EQ(font.name(), "TimesNewRoman");
    EXPECT_EQ(font.color(), 0u);
    EXPECT_EQ(font.size(), 12);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.underline()); // styles are only ever added
    EXPECT_FALSE(font.italic());
    EXPECT_EQ(font.charset(), 7);

    font = gdi::Font();
    ApplyFontDescriptor("Courier|$FF|10|fsItalic fsStrikeOut|0", font);
    EXPECT_EQ(font.color(), 0xFFu);
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.strikeOut());
    ApplyFontDescriptor("Courier|CLLIME|10|xxfsBoldyy|0", font);
    EXPECT_EQ(font.color(), 0x0000FF00u);
    EXPECT_TRUE(font.bold());
}

// Fewer than five items change nothing; a failure keeps the steps before it.
TEST(ApplyFontDescriptor, FailuresChangeNothingOrKeepTheStepsBeforeThem)
{
    gdi::Font font = Font("Arial", 0, 8);
    const gdi::Font before = font;
    EXPECT_THROW(ApplyFontDescriptor("Arial|clRed", font), ConversionError);
    EXPECT_THROW(ApplyFontDescriptor("Verdana|clRed|10|fsBold", font), ConversionError);
    EXPECT_EQ(font, before);

    EXPECT_THROW(ApplyFontDescriptor("Verdana|clRed|big|fsBold |1", font), ConversionError);
    EXPECT_EQ(font.name(), "Verdana");
    EXPECT_EQ(font.color(), 0x000000FFu);
    EXPECT_EQ(font.size(), 8);
    EXPECT_FALSE(font.bold());

    EXPECT_THROW(ApplyFontDescriptor("Tahoma|notacolour|20|fsBold |1", font), ConversionError);
    EXPECT_EQ(font.name(), "Tahoma");
    EXPECT_EQ(font.color(), 0x000000FFu);
    EXPECT_EQ(font.size(), 8);
}

} // namespace
} // namespace zenvas
