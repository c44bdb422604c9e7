#include "plugin/Values.h"

#include <gtest/gtest.h>

namespace zenvas {
namespace {

using Items = std::vector<std::string>;

TEST(IntegerFromText, DecimalWithSignsSpacesAndZeros)
{
    const std::pair<const char*, int> cases[] = {{"12", 12}, {"   12", 12}, {"+7", 7}, {"-0042", -42},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"000000000000000000001", 1}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(IntegerFromText(text), value) << text;
}

TEST(IntegerFromText, EveryHexadecimalPrefixAndCase)
{
    for (const char* text : {"$1f", "x1F", "X1f", "0x1F", "0X1f", "+$1F", "  0x001f"})
        EXPECT_EQ(IntegerFromText(text), 31) << text;
}

TEST(IntegerFromText, HexadecimalIsA32BitPatternNegatedAfterMinus)
{
    EXPECT_EQ(IntegerFromText("$FFFFFFFF"), -1);
    EXPECT_EQ(IntegerFromText("$80000000"), -2147483647 - 1);
    EXPECT_EQ(IntegerFromText("-$10"), -16);
    EXPECT_EQ(IntegerFromText("-$FFFFFFFF"), 1);
    EXPECT_EQ(IntegerFromText("-$80000000"), -2147483647 - 1);
    EXPECT_EQ(IntegerFromText("$000000000001"), 1); // leading zeros do not count against 32 bits
}

TEST(IntegerFromText, RejectsEverythingElse)
{
    for (const char* text : {"", " ", "+", "-", "$", "0x", "x", "12 ", "1 2", "12a", "1.5", "--1", "+-1", "$G",
                             "0x1G", "2147483648", "-2147483649", "$100000000", "99999999999999999999",
                             "\t12", "00x10", "$-1"})
        EXPECT_FALSE(TryIntegerFromText(text).has_value()) << '"' << text << '"';
    EXPECT_THROW(IntegerFromText("abc"), ConversionError);
}

TEST(HasNonDigit, OnlyDigitsCount)
{
    for (const char* text : {"", " 12", "12 ", "-1", "+1", "$10"})
        EXPECT_TRUE(HasNonDigit(text)) << '"' << text << '"';
    EXPECT_FALSE(HasNonDigit("0012"));
    EXPECT_EQ(IntegerFromText(" 12"), 12); // an integer text, yet not a plain number
}

TEST(PlainNumber, FallbackFloorAndOverflow)
{
    EXPECT_EQ(PlainNumber("300", 1, 1), 300);
    EXPECT_EQ(PlainNumber("-5", 1, 1), 1);
    EXPECT_EQ(PlainNumber("0", 1, 1), 1);
    EXPECT_EQ(PlainNumber("0", 30), 0);
    EXPECT_EQ(PlainNumber("", 30), 30);
    EXPECT_EQ(PlainNumber("$10", 30), 30);
    EXPECT_THROW(PlainNumber("2147483648", 1, 1), ConversionError);
}

TEST(SplitDelimited, BlanksSeparateLikeTheDelimiter)
{
    EXPECT_EQ(SplitDelimited("255,0,0", ','), (Items{"255", "0", "0"}));
    EXPECT_EQ(SplitDelimited("255 0 0", ','), (Items{"255", "0", "0"}));
    EXPECT_EQ(SplitDelimited("  255, 128 ,0  ", ','), (Items{"255", "128", "0"}));
    EXPECT_EQ(SplitDelimited("a\t\x01" "b", ','), (Items{"a", "b"}));
    EXPECT_EQ(SplitDelimited("", ','), Items{});
    EXPECT_EQ(SplitDelimited("   ", ','), Items{});
}

TEST(SplitDelimited, EmptyItemsBetweenAndAfterDelimiters)
{
    EXPECT_EQ(SplitDelimited("255,,0", ','), (Items{"255", "", "0"}));
    EXPECT_EQ(SplitDelimited(",a", ','), (Items{"", "a"}));
    EXPECT_EQ(SplitDelimited("a,", ','), (Items{"a", ""}));
    EXPECT_EQ(SplitDelimited("a, ", ','), (Items{"a"})); // the delimiter is not the last character
    EXPECT_EQ(SplitDelimited("1|2|", '|'), (Items{"1", "2", ""}));
    EXPECT_EQ(SplitDelimited(",", ','), (Items{"", ""}));
}

TEST(SplitDelimited, QuotedItems)
{
    EXPECT_EQ(SplitDelimited("\"a b\",c", ','), (Items{"a b", "c"}));
    EXPECT_EQ(SplitDelimited("\"say \"\"hi\"\"\"|x", '|'), (Items{"say \"hi\"", "x"}));
    EXPECT_EQ(SplitDelimited("\"\",x", ','), (Items{"", "x"}));
    EXPECT_EQ(SplitDelimited("\"ab\"cd", ','), (Items{"ab", "cd"})); // reading goes on after the quote
    // An unterminated quote takes the rest of the text without its last character.
    EXPECT_EQ(SplitDelimited("\"abc", ','), (Items{"ab"}));
    EXPECT_EQ(SplitDelimited("x,\"a,b", ','), (Items{"x", "a,"}));
    EXPECT_EQ(SplitDelimited("\"a\"\"bc", ','), (Items{"a\"b"}));
    EXPECT_EQ(SplitDelimited("\"", ','), (Items{""}));
}

TEST(SplitDelimited, BytesAboveAsciiAreOrdinaryCharacters)
{
    EXPECT_EQ(SplitDelimited("\xCA\xF0\xE0\xF1\xED\xFB\xE9|\xFF", '|'),
              (Items{"\xCA\xF0\xE0\xF1\xED\xFB\xE9", "\xFF"}));
}

TEST(ColorText, ComponentsKeepTheirLowestByte)
{
    EXPECT_EQ(ColorFromText("255,128,0"), MakeColor(255, 128, 0));
    EXPECT_EQ(ColorFromText("255, 128 ,0"), MakeColor(255, 128, 0));
    EXPECT_EQ(ColorFromText("255 128 0"), MakeColor(255, 128, 0));
    EXPECT_EQ(ColorFromText("300,0,0"), MakeColor(44, 0, 0));
    EXPECT_EQ(ColorFromText("-1,0,0"), MakeColor(255, 0, 0));
    EXPECT_EQ(ColorFromText("0x10,$10,16"), MakeColor(16, 16, 16));
    EXPECT_EQ(ColorFromText("1,2,3,junk"), MakeColor(1, 2, 3));
    EXPECT_EQ(ColorFromText("1,2,3"), 0x030201u);
}

TEST(ColorText, FailuresOfConversion)
{
    for (const char* text : {"", "255,,0", "255,0", "red,0,0", "1,2,3a", "1;2;3"})
        EXPECT_THROW(ColorFromText(text), ConversionError) << text;
}

TEST(ColorText, WrittenAsThreeDecimalsWithoutSpaces)
{
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
    EXPECT_EQ(BrushStyleFromName("cross"), std::nullopt);
    EXPECT_EQ(BrushStyleFromName("Dash"), std::nullopt);
}

TEST(ColorIdentifiers, FixedAndSystemValuesBothWays)
{
    EXPECT_EQ(ColorFromIdentifier("clRed"), 0x000000FFu);
    EXPECT_EQ(ColorFromIdentifier("CLSKYBLUE"), 0x00F0CAA6u);
    EXPECT_EQ(ColorFromIdentifier("clnone"), 0x1FFFFFFFu);
    EXPECT_EQ(ColorFromIdentifier("clBtnFace"), 0xFF00000Fu);
    EXPECT_EQ(ColorFromIdentifier("clHotLight"), 0xFF00001Au); // index 25 has no identifier
    EXPECT_EQ(ColorFromIdentifier("clMenuBar"), 0xFF00001Eu);
    EXPECT_EQ(ColorFromIdentifier("clOrange"), std::nullopt);
    EXPECT_EQ(IdentifierFromColor(0x00808080u), "clGray");
    EXPECT_EQ(IdentifierFromColor(0xFF000019u), std::nullopt);
    EXPECT_EQ(IdentifierFromColor(0x00123456u), std::nullopt);
}

} // namespace
} // namespace zenvas
