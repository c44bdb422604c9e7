#include "host/Script.h"
#include "host/ScriptFile.h"

#include <gtest/gtest.h>

using namespace host;

namespace {

// The script, and its errors as "LINE: message" lines.
Script parse(std::string_view text, std::string& errors)
{
    std::vector<ScriptError> found;
    Script script = parseScript(text, "t.zhs", found);
    for (const ScriptError& error : found)
        errors += std::to_string(error.line) + ": " + error.message + "\n";
    return script;
}

std::string errorsOf(std::string_view text)
{
    std::string errors;
    parse(text, errors);
    return errors;
}

std::vector<std::string> texts(const Statement& statement)
{
    std::vector<std::string> result;
    for (const Argument& arg : statement.args)
        result.push_back(arg.text + (arg.quoted ? "(q)" : ""));
    return result;
}

} // namespace

TEST(ScriptParse, QuotedTextsBareWordsCommentsAndLineNumbers)
{
    std::string errors;
    Script script = parse("# heading\r\n\r\n   \t\n  # indented comment\n"
                          "PRINT \"a \"\"b\"\" c\" bare \"\"\t\"\"\"\" [x]y #not-a-comment\r\n\tsetvar x \"1\"",
                          errors);
    EXPECT_EQ(errors, "");
    ASSERT_EQ(script.statements.size(), 2u);
    const Statement& print = script.statements[0];
    EXPECT_EQ(print.word + "/" + print.key, "PRINT/print");
    EXPECT_EQ(print.line, 5);
    EXPECT_EQ(texts(print),
              (std::vector<std::string>{"a \"b\" c(q)", "bare", "(q)", "\"(q)", "[x]y", "#not-a-comment"}));
    EXPECT_EQ(script.statements[1].line, 6);
    EXPECT_EQ(texts(script.statements[1]), (std::vector<std::string>{"x", "1(q)"}));
    EXPECT_EQ(script.mainEnd, 2u);
}

TEST(ScriptParse, LabelsSplitTheMainProgramFromSubroutinesAndBlockEndsJumpToTheirStarts)
{
    std::string errors;
    Script script = parse("Print a\n:First Sub \nPrint b\nReturn\n:second\nPrint c\n", errors);
    EXPECT_EQ(script.mainEnd, 1u);
    EXPECT_EQ(script.findLabel("FIRST SUB"), 1u);
    EXPECT_EQ(script.findLabel("Second"), 4u);
    EXPECT_EQ(script.findLabel("First"), std::string::npos);
    EXPECT_EQ(script.statements[3].kind, StatementKind::Return);

    Script cyrillic = parse(":\xCF\xF0\xE8\xEC\xE5\xF0\n", errors); // Пример
    EXPECT_EQ(cyrillic.findLabel("\xEF\xF0\xE8\xEC\xE5\xF0"), 0u);
    EXPECT_EQ(errors, "");

    // While and EndWhile jump to each other, If to its EndIf.
    const Script loops = parse("While a < b\n If a = b\n  While c < d\n  EndWhile\n EndIf\nEndWhile\n", errors);
    ASSERT_EQ(errors, "");
    const std::pair<std::size_t, std::size_t> jumps[] = {{0, 5}, {5, 0}, {2, 3}, {3, 2}, {1, 4}};
    for (auto [from, to] : jumps)
        EXPECT_EQ(loops.statements[from].jump, to) << from;
}

TEST(ScriptParse, QuotingAndStructureErrorsAreAllReportedInLineOrder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Print \"open\n", "1: unterminated quoted text\n"},
        {"Print \"a\"\"\n", "1: unterminated quoted text\n"},
        {"Print ab\"c\"\n", "1: double quote inside the bare word \"ab\"\n"},
        {"Print \"a\"b\n", "1: a quoted text must be followed by a blank\n"},
        {"\"Print\" x\n", "1: a statement must start with a command word, not a quoted text\n"},
        {"Else\nEndIf\n", "1: Else without If\n2: EndIf without If\n"},
        {"If a = b\nElse\n", "1: If without EndIf\n"},
        // A label ends the block: an If cannot be closed inside the next subroutine.
        {"If a = b\n:Sub\nEndIf\n", "1: If without EndIf\n3: EndIf without If\n"},
        {"If a = b\nElse\nElse\nEndIf\n", "3: second Else for the If of line 1\n"},
        {":\n:  \n", "1: label with no name\n2: label with no name\n"},
        {":Sub\nReturn\n:SUB\n", "3: duplicate label \"SUB\" (first at line 1)\n"},
        {"If a =\nEndIf x\nReturn 1\nIf a = b\nEndIf\n",
         "1: If takes 3 arguments (\"a\" OP \"b\"), got 2\n2: EndIf takes no arguments\n"
         "3: Return takes no arguments\n"},
        // Loops nest with If, and each end closes the innermost block.
        {"While a = b\nIf a = b\nEndWhile\nEndIf\n",
         "1: While without EndWhile\n3: EndWhile inside the If of line 2\n"},
        {"If a = b\nWhile a = b\nEndIf\nElse\nEndWhile\nEndIf\n",
         "3: EndIf inside the While of line 2\n4: Else inside the While of line 2\n"},
        {"EndWhile\nWhile a\nEndWhile 1\nWhile a = b\n:Sub\nEndWhile\n",
         "1: EndWhile without While\n2: While takes 3 arguments (\"a\" OP \"b\"), got 1\n"
         "3: EndWhile takes no arguments\n4: While without EndWhile\n6: EndWhile without While\n"},
    };
    for (const auto& [text, errors] : cases)
        EXPECT_EQ(errorsOf(text), errors) << text;
}

TEST(ScriptFile, Utf8BecomesCodePage1251AndWhatItLacksIsAnErrorAtItsColumn)
{
    struct Case {
        const char* bytes;
        const char* text;
        const char* errors; // LINE:COLUMN per error
    };
    const Case cases[] = {
        // Привет №, in UTF-8, with and without a byte-order mark, and in 1251
        {"P \"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x84\x96\"",
         "P \"\xCF\xF0\xE8\xE2\xE5\xF2 \xB9\"", ""},
        {"\xEF\xBB\xBFP \xE2\x84\x96", "P \xB9", ""},
        {"P \"\xCF\xF0\xE8\xE2\xE5\xF2 \xB9\"", "P \"\xCF\xF0\xE8\xE2\xE5\xF2 \xB9\"", ""},
        // a byte-order mark before what is not UTF-8 stays: the file is 1251
        {"\xEF\xBB\xBFP \xB9", "\xEF\xBB\xBFP \xB9", ""},
        // Ü on line 2; on line 3 a character beyond the BMP counts as one column
        {"x\r\n  P \"\xC3\x9C\"\nP \xF0\x9F\x98\x80\xC3\xBC\n", "x\r\n  P \"?\"\nP ??\n", "2:6 3:3 3:4 "},
        // comments may hold anything
        {"  # \xE2\x86\x92\nP \xE2\x86\x92", "  # ?\nP ?", "2:3 "},
    };
    for (const Case& c : cases) {
        std::vector<ScriptError> errors;
        EXPECT_EQ(scriptText1251(c.bytes, errors), c.text) << c.bytes;
        std::string where;
        for (const ScriptError& error : errors)
            where += std::to_string(error.line) + ":" + std::to_string(error.column) + " ";
        EXPECT_EQ(where, c.errors) << c.bytes;
    }
}
