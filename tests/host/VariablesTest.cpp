#include "host/Variables.h"

#include <gtest/gtest.h>

using namespace host;

TEST(VariableStore, NamesIgnoreCaseAndUnknownNamesReadEmpty)
{
    VariableStore variables;
    EXPECT_EQ(variables.get("Color"), "");
    EXPECT_FALSE(variables.has("Color"));
    variables.set("Color", "1,2,3");
    EXPECT_EQ(variables.get("COLOR"), "1,2,3");
    variables.set("color", "4,5,6");
    EXPECT_EQ(variables.get("Color"), "4,5,6");
    variables.set("\xD6\xE2\xE5\xF2", "red"); // Цвет
    EXPECT_EQ(variables.get("\xF6\xE2\xE5\xF2"), "red");
}

TEST(Substitution, ReplacesEveryVariableOnce)
{
    VariableStore variables;
    variables.set("a", "1");
    variables.set("b", "[a]");
    variables.set("x y", "spaced");
    EXPECT_EQ(substitute("[a]+[A]=[sum]!", variables), "1+1=!");
    EXPECT_EQ(substitute("[b]", variables), "[a]"); // values are not substituted again
    EXPECT_EQ(substitute("[x y]", variables), "spaced");
    EXPECT_EQ(substitute("no variables", variables), "no variables");
    EXPECT_EQ(substitute("", variables), "");
}

TEST(Substitution, UnclosedAndNestedBrackets)
{
    VariableStore variables;
    variables.set("a", "1");
    EXPECT_EQ(substitute("[a", variables), "[a");
    EXPECT_EQ(substitute("[a] [", variables), "1 [");
    EXPECT_EQ(substitute("x]y", variables), "x]y");
    EXPECT_EQ(substitute("[q [a]", variables), "[q 1");
    EXPECT_EQ(substitute("[[a]]", variables), "[1]");
    EXPECT_EQ(substitute("[]", variables), "");
}

TEST(VariableName, StripsOneEnclosingPair)
{
    EXPECT_EQ(variableName("[Color]"), "Color");
    EXPECT_EQ(variableName("Color"), "Color");
    EXPECT_EQ(variableName("[[Color]]"), "[Color]");
    EXPECT_EQ(variableName("[Color"), "[Color");
    EXPECT_EQ(variableName("Color]"), "Color]");
    EXPECT_EQ(variableName("[]"), "");
    EXPECT_EQ(variableName("]["), "][");
}
