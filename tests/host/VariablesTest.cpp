#include "host/Variables.h"

#include <gtest/gtest.h>

using namespace host;

TEST(VariableStore, NamesIgnoreCaseAndUnknownNamesReadEmpty)
{
    VariableStore variables;
    EXPECT_FALSE(variables.has("Color"));
    EXPECT_EQ(variables.get("Color"), "");
    variables.set("Color", "1,2,3");
    variables.set("color", "4,5,6");
    EXPECT_EQ(variables.get("COLOR"), "4,5,6");
    variables.set("\xD6\xE2\xE5\xF2", "red"); // Цвет
    EXPECT_EQ(variables.get("\xF6\xE2\xE5\xF2"), "red");
}

TEST(Substitution, ReplacesEveryVariableOnceAndLeavesStrayBrackets)
{
    VariableStore variables;
    variables.set("a", "1");
    variables.set("b", "[a]");
    variables.set("x y", "spaced");
    const std::pair<const char*, const char*> cases[] = {
        {"[a]+[A]=[sum]!", "1+1=!"}, {"[b]", "[a]"}, // values are not substituted again
        {"[x y]", "spaced"},         {"", ""},       {"[a", "[a"},     {"[a] [", "1 ["},
        {"x]y", "x]y"},              {"[q [a]", "[q 1"}, {"[[a]]", "[1]"}, {"[]", ""},
    };
    for (const auto& [text, result] : cases)
        EXPECT_EQ(substitute(text, variables), result) << text;
}

TEST(VariableName, StripsOneEnclosingPair)
{
    const std::pair<const char*, const char*> cases[] = {
        {"[Color]", "Color"}, {"Color", "Color"}, {"[[Color]]", "[Color]"}, {"[Color", "[Color"},
        {"Color]", "Color]"}, {"[]", ""},         {"][", "]["},
    };
    for (const auto& [written, name] : cases)
        EXPECT_EQ(variableName(written), name) << written;
}
