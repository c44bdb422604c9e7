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
    std::string out;
    std::string err;
};

// A host over the stand-in plug-in, running scripts from texts.
class Host {
public:
    explicit Host(bool trace = false) : interpreter(fakePlugin(), out, err, {trace}) { interpreter.start(); }

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

TEST(HostStartUp, RecordsTheTableAndTheTitleAndReleasesTheInitBlocks)
{
    std::size_t before = sys::GlobalLiveBlocks();
    Host host;
    EXPECT_EQ(sys::GlobalLiveBlocks(), before);
    EXPECT_EQ(host.interpreter.pluginTitle(), "Fake plug-in");
    EXPECT_EQ(host.interpreter.pluginAuthor(), "Zenvas host tests");
    const auto& table = host.interpreter.registrations();
    ASSERT_EQ(table.size(), 8u);
    EXPECT_EQ(table[0].number, 0);
    EXPECT_EQ(table[0].types, (std::vector<std::uint8_t>{0}));
    EXPECT_EQ(table[5].name, "FakeQuery");
    EXPECT_EQ(table[5].types, (std::vector<std::uint8_t>{1, 1, 6}));
    EXPECT_EQ(table[5].count, 3);

    std::ostringstream listing;
    host.interpreter.printActions(listing);
    EXPECT_EQ(listing.str(), "0\tFake\t\t0\n"
                             "1\tFakeEcho\tWrites the first parameter into the variable the second names.\t1 6\n"
                             "2\tFakeGoSub\tRuns a subroutine.\t1\n"
                             "3\tFakeScript\tHands its parameter to the script processor.\t1\n"
                             "4\tFakeFail\tFails.\t1\n"
                             "5\tFakeQuery\tAsks the host; variable gets RESULT|SLOT.\t1 1 6\n"
                             "6\tFakeLastMessage\tVariable gets the last message code.\t6\n"
                             "7\tFakeParams\tVariable FakeParams gets the three texts.\t1 1 1\n");
}

TEST(HostActions, TypeSixParametersAreNotSubstitutedAndBracketsAreStripped)
{
    Host host;
    Outcome outcome = host.run("SetVar \"[v]\" \"hello\"\n"
                               "FakeEcho \"[v] world\" \"[out]\"\n"
                               "FakeEcho \"plain\" \"[v]\"\n"
                               "FakeEcho \"no brackets\" \"Other\"\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(host.get("out"), "hello world");
    EXPECT_EQ(host.get("v"), "plain"); // the name, not the variable's value, went to the plug-in
    EXPECT_EQ(host.get("hello"), "");
    EXPECT_EQ(host.get("other"), "no brackets");
}

TEST(HostActions, ResultGoesToLastResultAndParametersAreReleasedGlobalBlocks)
{
    Host host;
    std::size_t before = sys::GlobalLiveBlocks();
    Outcome outcome = host.run("FakeFail\n"
                               "SetVar a \"[LastResult]\"\n"
                               "fakeparams \"x\" \"[a]\" \"\"\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(host.get("a"), "False");
    EXPECT_EQ(host.get("LastResult"), "True");
    EXPECT_EQ(host.get("FakeParams"), "x|False|");
    EXPECT_EQ(sys::GlobalLiveBlocks(), before);
}

TEST(HostActions, NamesAndCountsAreCheckedBeforeAnythingRuns)
{
    Host host;
    Outcome outcome = host.run("Print \"first\"\n"
                               "FakeEcho \"a\"\n"
                               "Bogus 1 2\n"
                               "SetVar x\n"
                               "GoSub \"Nowhere\"\n"
                               "GoSub \"[computed]\"\n"
                               "If 1 => 2\nEndIf\n"
                               "FakeFail extra\n");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "t.zhs:2: FakeEcho takes 2 parameters, got 1\n"
                           "t.zhs:3: unknown command \"Bogus\"\n"
                           "t.zhs:4: SetVar takes 2 arguments, got 1\n"
                           "t.zhs:5: unknown subroutine \"Nowhere\"\n"
                           "t.zhs:7: unknown comparison \"=>\" (one of =, <>, <, >, <=, >=)\n"
                           "t.zhs:9: FakeFail takes 0 parameters, got 1\n");
}

TEST(HostSubroutines, PluginRunsSubroutinesReentrantly)
{
    Host host(true);
    Outcome outcome = host.run("FakeGoSub \"Outer\"\n"
                               "Print \"[log]\"\n"
                               ":Outer\n"
                               "SetVar log \"[log]o\"\n"
                               "FakeGoSub \"inner\"\n"
                               "SetVar log \"[log]O\"\n"
                               "Return\n"
                               ":Inner\n"
                               "FakeEcho \"[log]i\" \"log\"\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "trace: FakeGoSub \"Outer\"\n"
                           "trace: gosub Outer\n"
                           "trace: set [log] = \"o\"\n"
                           "trace: FakeGoSub \"inner\"\n"
                           "trace: gosub Inner\n"
                           "trace: FakeEcho \"oi\" \"log\"\n"
                           "trace: plug-in sets [log] = \"oi\"\n"
                           "trace: FakeEcho -> True\n"
                           "trace: FakeGoSub -> True\n"
                           "trace: set [log] = \"oiO\"\n"
                           "trace: FakeGoSub -> True\n"
                           "oiO\n"
                           "trace: message 2 (the project closes)\n");
}

TEST(HostSubroutines, ScriptProcessorAcceptsOnlyGoSubOfAKnownName)
{
    const std::string malformed = ", which is not of the form GoSub \"Name\"\n";
    struct Case {
        std::string request; // as the plug-in sends it
        std::string error;   // empty: runs the subroutine a"b
    };
    const Case cases[] = {
        {"GoSub \"a\"b\"", ""},
        {"gosub \"a\"b\"", ""},
        {"GoSub \"Missing\"", "t.zhs:1: unknown subroutine \"Missing\"\n"},
        {"GoSub \"\"", "t.zhs:1: unknown subroutine \"\"\n"},
        {"Print \"x\"", "t.zhs:1: the plug-in asked to run \"Print \"\"x\"\"\"" + malformed},
        {"GoSub \"a\"b\" ", "t.zhs:1: the plug-in asked to run \"GoSub \"\"a\"\"b\"\" \"" + malformed},
        {"GoSub  \"a\"", "t.zhs:1: the plug-in asked to run \"GoSub  \"\"a\"\"\"" + malformed},
        {"GoSub \"", "t.zhs:1: the plug-in asked to run \"GoSub \"\"\"" + malformed},
        {"GoSub a", "t.zhs:1: the plug-in asked to run \"GoSub a\"" + malformed},
    };
    for (const Case& c : cases) {
        Host host;
        Outcome outcome = host.run("FakeScript " + host::quoted(c.request) + "\nPrint after\n:a\"b\nSetVar ran yes\n");
        if (c.error.empty()) {
            EXPECT_EQ(outcome.status, 0) << c.request << outcome.err;
            EXPECT_EQ(host.get("ran"), "yes") << c.request;
            EXPECT_EQ(outcome.out, "after\n");
        } else {
            EXPECT_EQ(outcome.status, 2) << c.request;
            EXPECT_EQ(outcome.err, c.error);
            EXPECT_EQ(outcome.out, "") << "the script must stop when control returns from the plug-in";
        }
    }
}

TEST(HostSubroutines, ErrorDeepInsideNestedCallsStopsEverything)
{
    Host host;
    Outcome outcome = host.run("FakeGoSub \"A\"\n"
                               "Print \"main goes on\"\n"
                               ":A\n"
                               "FakeGoSub \"B\"\n"
                               "Print \"A goes on\"\n"
                               "Return\n"
                               ":B\n"
                               "Message \"x\"\n"
                               "Print \"B goes on\"\n");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "t.zhs:8: Message: \"x\" is not a 32-bit integer\n");
    EXPECT_EQ(outcome.out, "");
}

TEST(HostSubroutines, RunawayRecursionBecomesAScriptError)
{
    Host host;
    Outcome viaPlugin = host.run("FakeGoSub \"Loop\"\nPrint after\n:Loop\nFakeGoSub \"Loop\"\n");
    EXPECT_EQ(viaPlugin.status, 2);
    EXPECT_EQ(viaPlugin.err, "t.zhs:4: GoSub \"Loop\": subroutines nested more than 256 deep\n");
    EXPECT_EQ(viaPlugin.out, "");

    Outcome direct = host.run("GoSub Loop\n:Loop\nSetVar n \"[n]x\"\nGoSub loop\n");
    EXPECT_EQ(direct.status, 2);
    EXPECT_EQ(host.get("n"), std::string(256, 'x'));

    // The depth is released again: a fresh run nests as deep as before.
    Outcome again = host.run("GoSub \"Loop\"\n:Loop\nFakeEcho \"[d]x\" d\nIf \"[d]\" <> \"xxx\"\nGoSub Loop\nEndIf\n");
    EXPECT_EQ(again.status, 0) << again.err;
}

TEST(HostSubroutines, GoSubReturnAndTheEndOfASubroutine)
{
    Host host;
    Outcome outcome = host.run("SetVar target \"Second\"\n"
                               "GoSub \"first\"\n"
                               "GoSub \"[target]\"\n"
                               "Print \"end of main\"\n"
                               ":First\n"
                               "Print \"in first\"\n"
                               "If 1 = 1\n"
                               "  Return\n"
                               "EndIf\n"
                               "Print \"not reached\"\n"
                               ":Second\n"
                               "Print \"in second\"\n"
                               ":Third\n"
                               "Print \"not reached either\"\n");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "in first\nin second\nend of main\n");

    Outcome unknown = host.run("GoSub \"[nothing]x\"\nPrint after\n");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "t.zhs:1: unknown subroutine \"x\"\n");
    EXPECT_EQ(unknown.out, "");
}

TEST(HostConditions, IntegersCompareAsNumbersAndEverythingElseByteWise)
{
    struct Case {
        const char* a;
        const char* op;
        const char* b;
        bool expected;
    };
    const Case cases[] = {
        {"10", ">", "9", true},
        {"10", ">", "9a", false},
        {"-5", "<", "3", true},
        {"+7", "=", "7", true},
        {"007", "=", "7", true},
        {"9223372036854775807", ">", "-9223372036854775808", true},
        {"99999999999999999999", "<", "100000000000000000000", false}, // out of range: texts
        {" 1", "=", "1", false},
        {"abc", "<", "abd", true},
        {"abc", "<", "ab", false},
        {"\xE0", ">", "z", true}, // bytes compare unsigned
        {"", "=", "[unset]", true},
        {"a", "<>", "A", true},
        {"5", "<=", "5", true},
        {"5", ">=", "6", false},
    };
    for (const Case& c : cases) {
        Host host;
        std::string script = std::string("If \"") + c.a + "\" " + c.op + " \"" + c.b
                           + "\"\nSetVar r yes\nElse\nSetVar r no\nEndIf\n";
        Outcome outcome = host.run(script);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(host.get("r"), c.expected ? "yes" : "no") << c.a << ' ' << c.op << ' ' << c.b;
    }
}

TEST(HostConditions, NestedBranches)
{
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
    Outcome outcome = host.run("SetVar x 5\n"
                               "Expect \"[x]\" \"5\"\n"
                               "Expect \"[x]\" \"6\"\n"
                               "Print \"still running\"\n"
                               "Expect \"a\"\"b\" \"\"\n");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "still running\n");
    EXPECT_EQ(outcome.err, "t.zhs:3: expected \"6\" got \"5\"\nt.zhs:5: expected \"\" got \"a\"b\"\n");

    // A script error outranks failed expectations.
    Outcome both = host.run("Expect 1 2\nMessage x\n");
    EXPECT_EQ(both.status, 2);
}

TEST(HostMessages, MessageReachesThePluginAndTheProjectClosesAtTheEnd)
{
    Host host;
    Outcome first = host.run("Message 7\nFakeLastMessage \"[m]\"\n");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(host.get("m"), "7");
    host.run("FakeLastMessage m\n");
    EXPECT_EQ(host.get("m"), "2");
    EXPECT_EQ(host.run("Message -2147483648\n").status, 0);
    EXPECT_EQ(host.run("Message 2147483648\n").err, "t.zhs:1: Message: \"2147483648\" is not a 32-bit integer\n");
}

TEST(HostInterfaceAccess, RectangleHandlesAndQueries)
{
    struct Page : RectangleRegistry {
        std::int64_t handleOf(std::string_view name) const override { return name == "Rect1" ? 42 : 0; }
    };
    Host host;
    std::size_t before = sys::GlobalLiveBlocks();
    host.run("FakeQuery 7 Rect1 r\nFakeQuery 8 field q\nFakeQuery 99 x u\n");
    EXPECT_EQ(host.get("r"), "False|0");
    EXPECT_EQ(host.get("q"), "False|field");
    EXPECT_EQ(host.get("u"), "False|x");

    Page page;
    host.interpreter.setRectangles(&page);
    host.interpreter.answers().push({Answer::Kind::Pick, "Rect2"});
    host.interpreter.answers().push({Answer::Kind::Cancel, ""});
    host.interpreter.answers().push({Answer::Kind::Pick, "Sub1\r\nSub2"});
    host.run("FakeQuery 7 Rect1 r\nFakeQuery 7 rect1 r2\n"
             "FakeQuery 8 old a\nFakeQuery 14 old b\nFakeQuery 5 old c\nFakeQuery 14 old d\n");
    EXPECT_EQ(host.get("r"), "True|42");
    EXPECT_EQ(host.get("r2"), "False|0");
    EXPECT_EQ(host.get("a"), "True|Rect2");
    EXPECT_EQ(host.get("b"), "False|old");
    EXPECT_EQ(host.get("c"), "True|Sub1\r\nSub2");
    EXPECT_EQ(host.get("d"), "False|old");
    EXPECT_TRUE(host.interpreter.answers().empty());
    EXPECT_EQ(sys::GlobalLiveBlocks(), before);
}

TEST(HostWindows, WindowCommandsAreAClearScriptError)
{
    Host host;
    Outcome outcome = host.run("Print before\nrectangle Rect1 10 10 400 300\nPrint after\n");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "before\n");
    EXPECT_EQ(outcome.err, "t.zhs:2: Rectangle: needs the window system, which this host does not have yet\n");
    EXPECT_EQ(host.run("ExpectPixel Rect1 1 2\n").err, "t.zhs:1: ExpectPixel takes 4 arguments, got 3\n");
    EXPECT_EQ(host.run("Answer\n").err, "t.zhs:1: Answer takes at least 1 argument, got 0\n");
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

TEST(HostSetVar, NameIsWrittenWithOrWithoutBracketsAndNotSubstituted)
{
    Host host(true);
    Outcome outcome = host.run("SetVar \"[name]\" \"other\"\nSetVar [name] \"[name]!\"\nSetVar \"[]\" x\n");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(host.get("name"), "other!");
    EXPECT_EQ(host.get("other"), "");
    EXPECT_EQ(outcome.out, "trace: set [name] = \"other\"\ntrace: set [name] = \"other!\"\n"
                           "trace: message 2 (the project closes)\n");
    EXPECT_EQ(outcome.err, "t.zhs:3: SetVar: the variable name is empty\n");
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
