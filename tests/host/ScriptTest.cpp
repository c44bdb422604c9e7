#include "host/Script.h"

#include <gtest/gtest.h>

using namespace host;

namespace {

Script parse(std::string_view text, std::vector<ScriptError>& errors)
{
    return parseScript(text, "t.zhs", errors);
}

std::string describe(const std::vector<ScriptError>& errors)
{
    std::string result;
    for (const ScriptError& error : errors)
        result += std::to_string(error.line) + ": " + error.message + "\n";
    return result;
}

Script parseClean(std::string_view text)
{
    std::vector<ScriptError> errors;
    Script script = parse(text, errors);
    EXPECT_EQ(describe(errors), "");
    return script;
}

std::string errorsOf(std::string_view text)
{
    std::vector<ScriptError> errors;
    parse(text, errors);
    return describe(errors);
}

std::vector<std::string> texts(const Statement& statement)
{
    std::vector<std::string> result;
    for (const Argument& arg : statement.args)
        result.push_back(arg.text);
    return result;
}

} // namespace

TEST(ScriptParse, QuotedTextsAndBareWords)
{
    Script script = parseClean("Print \"a \"\"b\"\" c\" bare \"\"\t\"\"\"\" [x]y\n");
    ASSERT_EQ(script.statements.size(), 1u);
    const Statement& print = script.statements[0];
    EXPECT_EQ(print.word, "Print");
    EXPECT_EQ(print.key, "print");
    EXPECT_EQ(texts(print), (std::vector<std::string>{"a \"b\" c", "bare", "", "\"", "[x]y"}));
    EXPECT_TRUE(print.args[0].quoted);
    EXPECT_FALSE(print.args[1].quoted);
    EXPECT_TRUE(print.args[2].quoted);
}

TEST(ScriptParse, CommentsBlankLinesAndLineNumbers)
{
    Script script = parseClean("# heading\r\n\r\n   \t\n  # indented comment\nPRINT #not-a-comment\r\n\tsetvar x \"1\"");
    ASSERT_EQ(script.statements.size(), 2u);
    EXPECT_EQ(script.statements[0].line, 5);
    EXPECT_EQ(script.statements[0].key, "print");
    EXPECT_EQ(texts(script.statements[0]), (std::vector<std::string>{"#not-a-comment"}));
    EXPECT_EQ(script.statements[1].line, 6);
    EXPECT_EQ(texts(script.statements[1]), (std::vector<std::string>{"x", "1"}));
    EXPECT_EQ(script.mainEnd, 2u);
}

TEST(ScriptParse, LabelsSplitTheMainProgramFromSubroutines)
{
    Script script = parseClean("Print a\n:First Sub \nPrint b\nReturn\n:second\nPrint c\n");
    EXPECT_EQ(script.mainEnd, 1u);
    EXPECT_EQ(script.findLabel("first sub"), 1u);
    EXPECT_EQ(script.findLabel("FIRST SUB"), 1u);
    EXPECT_EQ(script.findLabel("Second"), 4u);
    EXPECT_EQ(script.findLabel("First"), std::string::npos);
    EXPECT_EQ(script.statements[1].word, "First Sub");
    EXPECT_EQ(script.statements[3].kind, StatementKind::Return);

    Script cyrillic = parseClean(":\xCF\xF0\xE8\xEC\xE5\xF0\n"); // Пример
    EXPECT_EQ(cyrillic.findLabel("\xEF\xF0\xE8\xEC\xE5\xF0"), 0u);
    EXPECT_EQ(cyrillic.mainEnd, 0u);
}

TEST(ScriptParse, IfElseEndIfJumpsNest)
{
    Script script = parseClean("If a = b\n"      // 0
                               "  If c = d\n"    // 1
                               "  EndIf\n"       // 2
                               "Else\n"          // 3
                               "  If e = f\n"    // 4
                               "  Else\n"        // 5
                               "  EndIf\n"       // 6
                               "EndIf\n");       // 7
    const auto& s = script.statements;
    EXPECT_EQ(s[0].jump, 3u);
    EXPECT_EQ(s[1].jump, 2u);
    EXPECT_EQ(s[3].jump, 7u);
    EXPECT_EQ(s[4].jump, 5u);
    EXPECT_EQ(s[5].jump, 6u);
    EXPECT_EQ(s[3].kind, StatementKind::Else);
    EXPECT_EQ(s[7].kind, StatementKind::EndIf);
}

TEST(ScriptParse, QuotingErrors)
{
    EXPECT_EQ(errorsOf("Print \"open\n"), "1: unterminated quoted text\n");
    EXPECT_EQ(errorsOf("Print \"a\"\"\n"), "1: unterminated quoted text\n");
    EXPECT_EQ(errorsOf("Print ab\"c\"\n"), "1: double quote inside the bare word \"ab\"\n");
    EXPECT_EQ(errorsOf("Print \"a\"b\n"), "1: a quoted text must be followed by a blank\n");
    EXPECT_EQ(errorsOf("\"Print\" x\n"), "1: a statement must start with a command word, not a quoted text\n");
}

TEST(ScriptParse, StructureErrorsAreAllReportedInLineOrder)
{
    EXPECT_EQ(errorsOf("Else\nEndIf\n"), "1: Else without If\n2: EndIf without If\n");
    EXPECT_EQ(errorsOf("If a = b\nPrint x\n"), "1: If without EndIf\n");
    // A label ends the block: an If cannot be closed inside the next subroutine.
    EXPECT_EQ(errorsOf("If a = b\n:Sub\nEndIf\n"), "1: If without EndIf\n3: EndIf without If\n");
    EXPECT_EQ(errorsOf("If a = b\nElse\nElse\nEndIf\n"), "3: second Else for the If of line 1\n");
    EXPECT_EQ(errorsOf("If a = b\nElse\n"), "1: If without EndIf\n");
    EXPECT_EQ(errorsOf(":\n:  \n"), "1: label with no name\n2: label with no name\n");
    EXPECT_EQ(errorsOf(":Sub\nReturn\n:SUB\n"), "3: duplicate label \"SUB\" (first at line 1)\n");
    EXPECT_EQ(errorsOf("If a =\nEndIf x\nReturn 1\nIf a = b\nEndIf\n"),
              "1: If takes 3 arguments (\"a\" OP \"b\"), got 2\n2: EndIf takes no arguments\n"
              "3: Return takes no arguments\n");
}
