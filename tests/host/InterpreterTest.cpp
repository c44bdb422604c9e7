#include "host/Interpreter.h"

#include "platform/system/GlobalMemory.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace host;

namespace {

const PluginEntryPoints& fakePlugin()
{
    static PluginLibrary library = [] {
        PluginLibrary opened;
        std::string error;
        if (!opened.open(FAKE_PLUGIN, error))
            ADD_FAILURE() << error;
        return opened;
    }();
    return library.entryPoints();
}

struct Outcome {
    int status;
    std::string out, err;
};

// A host over the stand-in plug-in, running scripts from texts.
struct Host {
    explicit Host(bool trace = false, std::uint64_t maxLoop = kDefaultMaxLoop)
        : interpreter(fakePlugin(), out, err, {trace, "", maxLoop})
    {
        interpreter.start();
    }

    Outcome run(std::string_view text)
    {
        out.str("");
        err.str("");
        std::vector<ScriptError> errors;
        Script script = parseScript(text, "t.zhs", errors);
        int status = errors.empty() ? interpreter.run(script) : interpreter.reportErrors(script, errors);
        return {status, out.str(), err.str()};
    }

    std::string get(const char* name) { return interpreter.variables().get(name); }

    std::ostringstream out, err;
    Interpreter interpreter;
};

} // namespace

TEST(HostStartUp, ReleasesTheInitBlocksAndListsEveryRegistration)
{
    std::size_t before = sys::GlobalLiveBlocks();
    Host host;
    EXPECT_EQ(sys::GlobalLiveBlocks(), before);
    EXPECT_EQ(host.interpreter.pluginTitle() + "/" + host.interpreter.pluginAuthor(), "Fake plug-in/Zenvas host tests");
    std::ostringstream listing;
    host.interpreter.printActions(listing);
    EXPECT_EQ(listing.str(), "0\tFake\t\t0\theading\n"
                             "1\tFakeEcho\tWrites the first parameter into the variable the second names.\t1 6\n"
                             "2\tFakeGoSub\tRuns a subroutine.\t1\n"
                             "3\tFakeScript\tHands its parameter to the script processor.\t1\n"
                             "4\tFakeFail\tFails.\t1\n"
                             "5\tFakeQuery\tAsks the host; variable gets RESULT|SLOT.\t1 1 6\n"
                             "6\tFakeLastMessage\tVariable gets the last message code.\t6\n"
                             "7\tFakeParams\tVariable FakeParams gets the three texts.\t1 1 1\n");
}

// A plug-in's type-6 parameter and SetVar's name are variable names, taken
// with or without brackets and not substituted.
TEST(HostActions, VariableNamesAreNotSubstitutedAndBracketsAreStripped)
{
    Host host;
    Outcome outcome = host.run("SetVar \"[v]\" \"hello\"\nFakeEcho \"[v] world\" \"[out]\"\n"
                               "FakeEcho \"plain\" \"[v]\"\nFakeEcho \"no brackets\" \"Other\"\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(host.get("out"), "hello world");
    EXPECT_EQ(host.get("v"), "plain"); // the name, not the variable's value, went to the plug-in
    EXPECT_EQ(host.get("hello"), "");
    EXPECT_EQ(host.get("other"), "no brackets");

    Host fresh;
    outcome = fresh.run("SetVar \"[name]\" \"other\"\nSetVar [name] \"[name]!\"\nSetVar \"[]\" x\n");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(fresh.get("name") + "/" + fresh.get("other"), "other!/");
    EXPECT_EQ(outcome.err, "t.zhs:3: SetVar: the variable name is empty\n");
}

TEST(HostActions, ResultGoesToLastResultAndParametersAreReleasedGlobalBlocks)
{
    Host host;
    std::size_t before = sys::GlobalLiveBlocks();
    Outcome outcome = host.run("FakeFail\nSetVar a \"[LastResult]\"\nfakeparams \"x\" \"[a]\" \"\"\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(host.get("a") + "/" + host.get("LastResult"), "False/True");
    EXPECT_EQ(host.get("FakeParams"), "x|False|");
    EXPECT_EQ(sys::GlobalLiveBlocks(), before);
}

TEST(HostActions, NamesAndCountsAreCheckedBeforeAnythingRuns)
{
    Host host;
    Outcome outcome = host.run("Print \"first\"\nFakeEcho \"a\"\nBogus 1 2\nSetVar x\nGoSub \"Nowhere\"\n"
                               "GoSub \"[computed]\"\nIf 1 => 2\nEndIf\nFakeFail extra\nAnswer\n");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "t.zhs:2: FakeEcho takes 2 parameters, got 1\n"
                           "t.zhs:3: unknown command \"Bogus\"\n"
                           "t.zhs:4: SetVar takes 2 arguments, got 1\n"
                           "t.zhs:5: unknown subroutine \"Nowhere\"\n"
                           "t.zhs:7: unknown comparison \"=>\" (one of =, <>, <, >, <=, >=)\n"
                           "t.zhs:9: FakeFail takes 0 parameters, got 1\n"
                           "t.zhs:10: Answer takes at least 1 argument, got 0\n");
}

TEST(HostSubroutines, PluginRunsSubroutinesReentrantlyAndTraceShowsEachStep)
{
    Host host(true);
    Outcome outcome = host.run("FakeGoSub \"Outer\"\nPrint \"[log]\"\n"
                               ":Outer\nSetVar log \"[log]o\"\nFakeGoSub \"inner\"\nSetVar log \"[log]O\"\nReturn\n"
                               ":Inner\nFakeEcho \"[log]i\" \"log\"\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "trace: t.zhs:1: FakeGoSub \"Outer\"\ntrace: t.zhs:1: gosub Outer\n"
                           "trace: t.zhs:4: set [log] = \"o\"\n"
                           "trace: t.zhs:5: FakeGoSub \"inner\"\ntrace: t.zhs:5: gosub Inner\n"
                           "trace: t.zhs:9: FakeEcho \"oi\" \"log\"\ntrace: t.zhs:9: plug-in sets [log] = \"oi\"\n"
                           "trace: t.zhs:9: FakeEcho -> True\ntrace: t.zhs:5: FakeGoSub -> True\n"
                           "trace: t.zhs:6: set [log] = \"oiO\"\ntrace: t.zhs:1: FakeGoSub -> True\n"
                           "oiO\ntrace: t.zhs: message 2 (the project closes)\n");
}

TEST(HostSubroutines, ScriptProcessorAcceptsOnlyGoSubOfAKnownName)
{
    const std::string malformed = ", which is not of the form GoSub \"Name\"\n";
    const std::pair<std::string, std::string> cases[] = {
        // what the plug-in sends, the error (none: the subroutine a"b ran)
        {"GoSub \"a\"b\"", ""},
        {"gosub \"a\"b\"", ""},
        {"GoSub \"Missing\"", "t.zhs:1: unknown subroutine \"Missing\"\n"},
        {"Print \"x\"", "t.zhs:1: the plug-in asked to run \"Print \"\"x\"\"\"" + malformed},
        {"GoSub \"a\"b\" ", "t.zhs:1: the plug-in asked to run \"GoSub \"\"a\"\"b\"\" \"" + malformed},
        {"GoSub  \"a\"", "t.zhs:1: the plug-in asked to run \"GoSub  \"\"a\"\"\"" + malformed},
        {"GoSub \"", "t.zhs:1: the plug-in asked to run \"GoSub \"\"\"" + malformed},
    };
    for (const auto& [request, error] : cases) {
        Host host;
        Outcome outcome = host.run("FakeScript " + host::quoted(request) + "\nPrint after\n:a\"b\nSetVar ran yes\n");
        EXPECT_EQ(outcome.status, error.empty() ? 0 : 2) << request;
        EXPECT_EQ(outcome.err, error);
        EXPECT_EQ(host.get("ran"), error.empty() ? "yes" : "") << request;
        EXPECT_EQ(outcome.out, error.empty() ? "after\n" : "") << request; // an error stops the script
    }
}

TEST(HostSubroutines, RunawayRecursionIsAScriptErrorThatStopsEveryLevel)
{
    Host host;
    Outcome viaPlugin = host.run("FakeGoSub \"Loop\"\nPrint after\n:Loop\nFakeGoSub \"Loop\"\nPrint inner\n");
    EXPECT_EQ(viaPlugin.status, 2);
    EXPECT_EQ(viaPlugin.err, "t.zhs:4: GoSub \"Loop\": subroutines nested more than 256 deep\n");
    EXPECT_EQ(viaPlugin.out, "");

    Outcome direct = host.run("GoSub Loop\n:Loop\nSetVar n \"[n]x\"\nGoSub loop\n");
    EXPECT_EQ(direct.status, 2);
    EXPECT_EQ(host.get("n"), std::string(256, 'x'));

    // The depth is released again: a fresh run nests as deep as before.
    EXPECT_EQ(host.run("GoSub Loop\n:Loop\nFakeEcho \"[d]x\" d\nIf \"[d]\" <> \"xxx\"\nGoSub Loop\nEndIf\n").err, "");
}

TEST(HostSubroutines, ReturnOrTheNextLabelEndsASubroutine)
{
    Host host;
    Outcome outcome = host.run("SetVar target \"Second\"\nGoSub \"first\"\nGoSub \"[target]\"\nPrint \"end\"\n"
                               ":First\nPrint \"in first\"\nIf 1 = 1\n  Return\nEndIf\nPrint \"not reached\"\n"
                               ":Second\nPrint \"in second\"\n:Third\nPrint \"not reached either\"\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "in first\nin second\nend\n");

    Outcome unknown = host.run("GoSub \"[nothing]x\"\nPrint after\n");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err + unknown.out, "t.zhs:1: unknown subroutine \"x\"\n");
}

TEST(HostConditions, IntegersCompareAsNumbersEverythingElseByteWiseAndBranchesNest)
{
    struct Case {
        const char *a, *op, *b;
        bool expected;
    };
    const Case cases[] = {
        {"10", ">", "9a", false},
        {"-5", "<", "3", true},
        {"+7", "=", "007", true},
        {"9223372036854775807", ">", "-9223372036854775808", true},
        {"99999999999999999999", "<", "100000000000000000000", false}, // out of range: texts
        {" 1", "=", "1", false},
        {"abc", "<", "ab", false},
        {"\xE0", ">", "z", true}, // bytes compare unsigned
        {"", "=", "[unset]", true},
        {"a", "<>", "A", true},
        {"5", "<=", "5", true},
        {"5", ">=", "6", false},
    };
    for (const Case& c : cases) {
        Host host;
        host.run(std::string("If \"") + c.a + "\" " + c.op + " \"" + c.b
                 + "\"\nSetVar r yes\nElse\nSetVar r no\nEndIf\n");
        EXPECT_EQ(host.get("r"), c.expected ? "yes" : "no") << c.a << ' ' << c.op << ' ' << c.b;
    }

    Host host;
    const char* script = "If \"[a]\" = 1\n"
                         "  If \"[b]\" = 1\n    Print 11\n  Else\n    Print 10\n  EndIf\n"
                         "Else\n"
                         "  If \"[b]\" = 1\n    Print 01\n  EndIf\n  Print 0x\n"
                         "EndIf\n";
    std::string seen;
    for (const char* values : {"11", "10", "01", "00"}) {
        host.interpreter.variables().set("a", std::string(1, values[0]));
        host.interpreter.variables().set("b", std::string(1, values[1]));
        seen += host.run(script).out + "|";
    }
    EXPECT_EQ(seen, "11\n|10\n|01\n0x\n|0x\n|");
}

TEST(HostExpect, FailuresArePrintedAndTheScriptGoesOn)
{
    Host host;
    Outcome outcome = host.run("SetVar x 5\nExpect \"[x]\" \"5\"\nExpect \"[x]\" \"6\"\nPrint \"still running\"\n"
                               "Expect \"a\"\"b\" \"\"\n");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "still running\n");
    EXPECT_EQ(outcome.err, "t.zhs:3: expected \"6\" got \"5\"\nt.zhs:5: expected \"\" got \"a\"b\"\n");
    EXPECT_EQ(host.run("Expect 1 2\nMessage x\n").status, 2); // a script error outranks failed expectations
}

TEST(HostMessages, MessageReachesThePluginAndTheProjectClosesAtTheEnd)
{
    Host host;
    EXPECT_EQ(host.run("Message 7\nFakeLastMessage \"[m]\"\n").err, "");
    EXPECT_EQ(host.get("m"), "7");
    host.run("FakeLastMessage m\n");
    EXPECT_EQ(host.get("m"), "2");
    EXPECT_EQ(host.run("Message -2147483648\n").status, 0);
    EXPECT_EQ(host.run("Message 2147483648\n").err, "t.zhs:1: Message: \"2147483648\" is not a 32-bit integer\n");
}

TEST(HostInterfaceAccess, RectangleHandlesAndQueriesKeepTheSlotAGlobalBlock)
{
    struct Page : RectangleRegistry {
        std::int64_t handleOf(std::string_view name) const override { return name == "Rect1" ? 42 : 0; }
    };
    Host host;
    std::size_t before = sys::GlobalLiveBlocks();
    host.run("FakeQuery 7 Rect1 r\nFakeQuery 8 field q\nFakeQuery 99 x u\n");
    EXPECT_EQ(host.get("r") + " " + host.get("q") + " " + host.get("u"), "False|0 False|field False|x");

    Page page;
    host.interpreter.setRectangles(&page);
    for (Answer answer : {Answer{Answer::Kind::Pick, "Rect2"}, Answer{Answer::Kind::Cancel, ""},
                          Answer{Answer::Kind::Pick, "Sub1\r\nSub2"}})
        host.interpreter.answers().push(answer);
    host.run("FakeQuery 7 Rect1 r\nFakeQuery 7 rect1 r2\n"
             "FakeQuery 8 old a\nFakeQuery 14 old b\nFakeQuery 5 old c\nFakeQuery 14 old d\n");
    EXPECT_EQ(host.get("r") + " " + host.get("r2"), "True|42 False|0");
    EXPECT_EQ(host.get("a") + " " + host.get("b") + " " + host.get("d"), "True|Rect2 False|old False|old");
    EXPECT_EQ(host.get("c"), "True|Sub1\r\nSub2");
    EXPECT_TRUE(host.interpreter.answers().empty());
    EXPECT_EQ(sys::GlobalLiveBlocks(), before);
}

TEST(HostErrorBoxes, CountedInAVariableThatStartsAtZero)
{
    Host host;
    EXPECT_EQ(host.get("ErrorBoxes"), "0");
    host.interpreter.reportErrorBox("Access violation");
    host.interpreter.reportErrorBox("Division by zero");
    EXPECT_EQ(host.get("errorboxes"), "2");
    EXPECT_EQ(host.err.str(), "error box: Access violation\nerror box: Division by zero\n");
}

TEST(HostCommands, DefinedCommandsAreCheckedAndReplaceEarlierOnes)
{
    Host host;
    std::vector<std::string> seen;
    host.interpreter.defineCommand("Rectangle", 1, 2, [&](const Statement& statement) {
        seen.push_back(host.interpreter.argument(statement, 0) + "/" + std::to_string(statement.args.size()));
        if (statement.args.size() == 2)
            throw ScriptError{statement.line, "Rectangle: " + host.interpreter.argument(statement, 1)};
    });
    EXPECT_EQ(host.run("RECTANGLE a b c\n").err, "t.zhs:1: Rectangle takes 1 to 2 arguments, got 3\n");
    EXPECT_TRUE(seen.empty());
    Outcome outcome = host.run("SetVar v Rect\nrectangle \"[v]1\"\nRectangle x \"bad [v]\"\nPrint after\n");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "t.zhs:3: Rectangle: bad Rect\n");
    EXPECT_EQ(seen, (std::vector<std::string>{"Rect1/1", "x/2"}));
}

TEST(HostLoops, WhileRepeatsNestsWithIfSubstitutesEachRoundAndStopsAtTheRoundLimit)
{
    Host host;
    Outcome run = host.run("SetVar i 0\n"
                           "While \"[i]\" < 4\n"
                           "  SetVar j 0\n"
                           "  While \"[j]\" <= \"[i]\"\n"
                           "    Calc j \"[j] + 1\"\n"
                           "  EndWhile\n"
                           "  If \"[i]\" = 2\n    Print \"two\"\n  Else\n    Print \"[i]:[j]\"\n  EndIf\n"
                           "  Calc i \"[i] + 1\"\n"
                           "EndWhile\n"
                           "While 1 > 2\n  Print never\nEndWhile\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0:1\n1:2\ntwo\n3:4\n");

    // The limit stops a loop at its line and counts each entry afresh:
    // three rounds each time the inner loop is entered are within it.
    Host limited(false, 3);
    Outcome fine = limited.run("SetVar i 0\nWhile \"[i]\" < 3\n  SetVar j 0\n"
                            "  While \"[j]\" < 3\n    Calc j \"[j] + 1\"\n  EndWhile\n"
                            "  Calc i \"[i] + 1\"\nEndWhile\n");
    EXPECT_EQ(fine.status, 0) << fine.err;
    Outcome endless = limited.run("Print start\nWhile a = a\nEndWhile\nPrint never\n");
    EXPECT_EQ(endless.status, 2);
    EXPECT_EQ(endless.out, "start\n");
    EXPECT_EQ(endless.err, "t.zhs:2: While: more than 3 rounds (zenvas-host --max-loop N allows more)\n");
    EXPECT_EQ(limited.run("While a ! b\nEndWhile\n").err,
              "t.zhs:1: unknown comparison \"!\" (one of =, <>, <, >, <=, >=)\n");
}

// A value, or the problem reported at the Calc line, which stops the
// script and keeps the variable.
TEST(HostCalc, IntegerArithmeticIn32BitsAndEveryOtherExpressionAScriptErrorAtTheLine)
{
    const std::string outside = "is outside the 32-bit range";
    const struct {
        const char* expression;
        std::string value, problem;
    } cases[] = {
        {"1 + 2 * 3", "7"}, {"(1 + 2) * 3", "9"}, {"7 / 2", "3"}, {"-7 / 2", "-3"}, {"-7 % 3", "-1"}, {"7 % -3", "1"},
        {"--5", "5"}, {"3*-2", "-6"}, {" ( ( 42 ) ) ", "42"}, {"-2147483648", "-2147483648"},
        {"-2147483647 - 1", "-2147483648"}, {"[n] * [n]", "144"}, {"0 - [neg]", "5"},
        {"2147483647 + 1", "", "the result 2147483648 " + outside},
        {"65536 * 65536", "", "the result 4294967296 " + outside},
        {"-(-2147483648)", "", "the result 2147483648 " + outside},
        {"-2147483648 / -1", "", "the result 2147483648 " + outside},
        {"2147483648", "", "the result 2147483648 " + outside},
        {"99999999999", "", "the number 99999999999 " + outside},
        {"1 / 0", "", "division by zero"},
        {"", "", "no expression"},
        {"1 +", "", "the expression ends where a number was expected"},
        {"(1 + 2", "", "a ( is not closed"},
        {"1 2", "", "unexpected \"2\" at character 3"},
        {"+1", "", "expected a number at character 1, found \"+\""},
        {"1.5", "", "unexpected \".\" at character 2"},
    };
    Host host;
    host.interpreter.variables().set("n", "12");
    host.interpreter.variables().set("neg", "-5");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        Outcome run = host.run(std::string("SetVar r kept\nCalc \"[r]\" \"") + c.expression + "\"\nPrint after\n");
        if (c.problem.empty()) {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(host.get("r"), c.value);
            EXPECT_EQ(run.out, "after\n");
        } else {
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.err, std::string("t.zhs:2: Calc: \"") + c.expression + "\": " + c.problem + "\n");
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(host.get("r"), "kept");
        }
    }
    std::string deep(300, '(');
    EXPECT_EQ(host.run("Calc r \"" + deep + "\"\n").status, 2);
}
