#include "plugin/Values.h"

#include <gtest/gtest.h>

namespace zenvas {
namespace {

using Items = std::vector<std::string>;

TEST(IntegerFromText, DecimalAndHexadecimalWithSignsSpacesAndZeros)
{
    const std::pair<const char*, int> cases[] = {
        {"12", 12}, {"   12", 12}, {"+7", 7}, {"-0042", -42}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"000000000000000000001", 1},
        // Every hexadecimal prefix and case.
        {"$1f", 31}, {"x1F", 31}, {"X1f", 31}, {"0x1F", 31}, {"0X1f", 31}, {"+$1F", 31}, {"  0x001f", 31},
        // Hexadecimal is a 32-bit pattern, negated after a minus; leading
        // zeros do not count against the 32 bits.
        {"$FFFFFFFF", -1}, {"$80000000", -2147483647 - 1}, {"-$10", -16}, {"-$FFFFFFFF", 1},
        {"-$80000000", -2147483647 - 1}, {"$000000000001", 1},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(IntegerFromText(text), value) << text;
}

TEST(IntegerFromText, RejectsEverythingElse)
{
    for (const char* text : {"", " ", "+", "-", "$", "0x", "x", "12 ", "1 2", "12a", "1.5", "--1", "+-1", "$G",
                             "0x1G", "2147483648", "-2147483649", "$100000000", "99999999999999999999",
                             "\t12", "00x10", "$-1"})
        EXPECT_FALSE(TryIntegerFromText(text).has_value()) << '"' << text << '"';
    EXPECT_THROW(IntegerFromText("abc"), ConversionError);
}

TEST(PlainNumber, OnlyDigitsCountWithFallbackFloorAndOverflow)
{
    for (const char* text : {"", " 12", "12 ", "-1", "+1", "$10"})
        EXPECT_TRUE(HasNonDigit(text)) << '"' << text << '"';
    EXPECT_FALSE(HasNonDigit("0012"));
    EXPECT_EQ(IntegerFromText(" 12"), 12); // an integer text, yet not a plain number

    EXPECT_EQ(PlainNumber("300", 1, 1), 300);
    EXPECT_EQ(PlainNumber("-5", 1, 1), 1);
    EXPECT_EQ(PlainNumber("0", 1, 1), 1);
    EXPECT_EQ(PlainNumber("0", 30), 0);
    EXPECT_EQ(PlainNumber("", 30), 30);
    EXPECT_EQ(PlainNumber("$10", 30), 30);
    EXPECT_THROW(PlainNumber("2147483648", 1, 1), ConversionError);
}

TEST(SplitDelimited, BlanksEmptyItemsQuotesAndHighBytes)
{
    const struct {
        const char* text;
        char delimiter;
        Items items;
    } cases[] = {
        // Blanks separate like the delimiter.
        {"255,0,0", ',', {"255", "0", "0"}}, {"255 0 0", ',', {"255", "0", "0"}},
        {"  255, 128 ,0  ", ',', {"255", "128", "0"}}, {"a\t\x01" "b", ',', {"a", "b"}}, {"", ',', {}}, {"   ", ',', {}},
        // Empty items between and after delimiters; a trailing blank means
        // the delimiter is not the last character.
        {"255,,0", ',', {"255", "", "0"}}, {",a", ',', {"", "a"}}, {"a,", ',', {"a", ""}}, {"a, ", ',', {"a"}},
        {"1|2|", '|', {"1", "2", ""}}, {",", ',', {"", ""}},
        // Quoted items; reading goes on after the closing quote, and an
        // unterminated quote takes the rest of the text without its last
        // character.
        {"\"a b\",c", ',', {"a b", "c"}}, {"\"say \"\"hi\"\"\"|x", '|', {"say \"hi\"", "x"}},
        {"\"\",x", ',', {"", "x"}}, {"\"ab\"cd", ',', {"ab", "cd"}}, {"\"abc", ',', {"ab"}},
        {"x,\"a,b", ',', {"x", "a,"}}, {"\"a\"\"bc", ',', {"a\"b"}}, {"\"", ',', {""}},
        // Bytes above ASCII are ordinary characters.
        {"\xCA\xF0\xE0\xF1\xED\xFB\xE9|\xFF", '|', {"\xCA\xF0\xE0\xF1\xED\xFB\xE9", "\xFF"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitDelimited(c.text, c.delimiter), c.items) << '"' << c.text << '"';
}

TEST(ColorText, ComponentsKeepTheirLowestByteAndAreWrittenAsThreeDecimals)
{
    const std::pair<const char*, ColorValue> cases[] = {
        {"255,128,0", MakeColor(255, 128, 0)}, {"255, 128 ,0", MakeColor(255, 128, 0)},
        {"255 128 0", MakeColor(255, 128, 0)}, {"300,0,0", MakeColor(44, 0, 0)}, {"-1,0,0", MakeColor(255, 0, 0)},
        {"0x10,$10,16", MakeColor(16, 16, 16)}, {"1,2,3,junk", MakeColor(1, 2, 3)}, {"1,2,3", 0x030201u},
    };
    for (const auto& [text, colour] : cases)
        EXPECT_EQ(ColorFromText(text), colour) << text;
    for (const char* text : {"", "255,,0", "255,0", "red,0,0", "1,2,3a", "1;2;3"})
        EXPECT_THROW(ColorFromText(text), ConversionError) << text;

    EXPECT_EQ(ColorToText(0xFFFFFF), "255,255,255");
    EXPECT_EQ(ColorToText(MakeColor(1, 20, 255)), "1,20,255");
    EXPECT_EQ(ColorToText(0xAB000000u | MakeColor(0, 0, 0)), "0,0,0");
}

TEST(Booleans, CaseIgnoredInCodePage1251)
{
    EXPECT_EQ(BooleanFromText("TRUE"), true);
    EXPECT_EQ(BooleanFromText("True"), true);
    EXPECT_EQ(BooleanFromText("fAlSe"), false);
    for (const char* text : {"yes", " true", ""})
        EXPECT_EQ(BooleanFromText(text), std::nullopt) << '"' << text << '"';
}

TEST(StyleNames, ExactCaseEmptyIsSolidUnknownIsNoChange)
{
    EXPECT_EQ(PenStyleFromName("DashDotDot"), gdi::PenStyle::DashDotDot);
    EXPECT_EQ(PenStyleFromName("Dot"), gdi::PenStyle::Dot);
    EXPECT_EQ(PenStyleFromName(""), gdi::PenStyle::Solid);
    for (const char* name : {"solid", "Clear"})
        EXPECT_EQ(PenStyleFromName(name), std::nullopt) << name;
    EXPECT_EQ(BrushStyleFromName("DiagCross"), gdi::BrushStyle::DiagCross);
    EXPECT_EQ(BrushStyleFromName("Clear"), gdi::BrushStyle::Clear);
    EXPECT_EQ(BrushStyleFromName(""), gdi::BrushStyle::Solid);
    for (const char* name : {"cross", "Dash"})
        EXPECT_EQ(BrushStyleFromName(name), std::nullopt) << name;
}

TEST(ColorIdentifiers, FixedAndSystemValuesBothWays)
{
    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"clRed", 0x000000FFu}, {"CLSKYBLUE", 0x00F0CAA6u}, {"clnone", 0x1FFFFFFFu}, {"clBtnFace", 0xFF00000Fu},
        {"clHotLight", 0xFF00001Au}, // index 25 has no identifier
        {"clMenuBar", 0xFF00001Eu}, {"clOrange", std::nullopt},
    };
    for (const auto& [name, colour] : cases)
        EXPECT_EQ(ColorFromIdentifier(name), colour) << name;
    EXPECT_EQ(IdentifierFromColor(0x00808080u), "clGray");
    EXPECT_EQ(IdentifierFromColor(0xFF000019u), std::nullopt);
    EXPECT_EQ(IdentifierFromColor(0x00123456u), std::nullopt);
}

} // namespace
} // namespace zenvas
