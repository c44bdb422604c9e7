// The entry points as the host sees them, called directly on the plug-in's
// own objects: slot discipline, dispatch limits and containment of failures.
#define ZENVAS_DECLARE_ENTRY_POINTS
#include "zenvas/zenvas.h"

#include "platform/system/GlobalMemory.h"
#include "plugin/Dispatch.h"
#include "plugin/HostServices.h"
#include "plugin/HostText.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace zenvas {
namespace {

// Restores the routines of an action when a test is done with it.
class RoutineOverride {
public:
    RoutineOverride(int number, RunRoutine run, EditRoutine edit)
        : number_(number), run_(FindRunRoutine(number)), edit_(FindEditRoutine(number))
    {
        InstallRunRoutine(number, run);
        InstallEditRoutine(number, edit);
    }
    ~RoutineOverride()
    {
        InstallRunRoutine(number_, run_);
        InstallEditRoutine(number_, edit_);
    }

private:
    int number_;
    RunRoutine run_;
    EditRoutine edit_;
};

std::vector<std::string> g_seen;

bool RecordingRoutine(const Params& params)
{
    g_seen = params;
    return true;
}

TEST(ExecAction, RoutineGetsExactlyItsParameterCountCopied)
{
    RoutineOverride override(45, &RecordingRoutine, nullptr); // ZvLineNoMouse: 8 parameters
    std::vector<std::string> texts{"Rect1", "1,2|3,4", "255,0,0", "2", "Dash", "", "x", "y", "beyond"};
    std::vector<char*> params;
    for (auto& text : texts)
        params.push_back(text.data());
    params[5] = nullptr; // a missing text reads as empty
    EXPECT_EQ(nbExecAction(45, params.data()), ZENVAS_TRUE);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"Rect1", "1,2|3,4", "255,0,0", "2", "Dash", "", "x", "y"}));
}

// Out-of-range numbers, actions without routines and routines that fail
// all answer false; no failure crosses an entry point.
TEST(ExecAction, OutOfRangeMissingAndFailingRoutinesAreFalseAndTouchNothing)
{
    char* slots[8] = {};
    const std::size_t before = sys::GlobalLiveBlocks();
    for (int number : {0, 53, -1, 1000, INT32_MIN}) {
        EXPECT_EQ(nbExecAction(number, slots), ZENVAS_FALSE) << number;
        EXPECT_EQ(nbEditAction(number, slots), ZENVAS_FALSE) << number;
    }
    EXPECT_EQ(sys::GlobalLiveBlocks(), before);
    for (char* slot : slots)
        EXPECT_EQ(slot, nullptr);
    RoutineOverride none(44, nullptr, nullptr); // an action whose subsystem installed nothing
    EXPECT_EQ(nbExecAction(44, slots), ZENVAS_FALSE);
    EXPECT_EQ(nbEditAction(44, slots), ZENVAS_FALSE);

    const EditRoutine editThrows = [](std::span<char*>) -> bool { throw std::bad_alloc(); };
    for (RunRoutine routine : {RunRoutine([](const Params&) -> bool { throw std::runtime_error("broken"); }),
                               RunRoutine([](const Params&) -> bool { throw std::bad_alloc(); }),
                               RunRoutine([](const Params&) -> bool { throw 42; })}) {
        RoutineOverride override(52, routine, editThrows);
        EXPECT_EQ(nbExecAction(52, slots), ZENVAS_FALSE);
        EXPECT_EQ(nbEditAction(52, slots), ZENVAS_FALSE);
    }
}

int g_releases = 0;

TEST(Message, OnlyCodeTwoReleasesAndFailuresStayInside)
{
    static const bool installed = InstallReleaseHandler([] { ++g_releases; })
                                  && InstallReleaseHandler([] { throw std::runtime_error("release failed"); });
    ASSERT_TRUE(installed);
    g_releases = 0;
    for (int code : {0, 1, 3, -2, 1024})
        nbMessage(code);
    EXPECT_EQ(g_releases, 0);
    nbMessage(2);
    EXPECT_EQ(g_releases, 1);
    nbMessage(2); // nothing to release is fine too
    EXPECT_EQ(g_releases, 2);
}

TEST(InitPlugIn, ReleasesBlocksTheSlotsHeld)
{
    char* title = sys::GlobalAllocText("old title");
    char* author = sys::GlobalAllocText("old author");
    char* description = nullptr;
    char* oldTitle = title;
    const std::size_t before = sys::GlobalLiveBlocks();
    nbInitPlugIn(0, &title, &author, &description);
    EXPECT_EQ(sys::GlobalLiveBlocks(), before + 1);
    EXPECT_FALSE(sys::GlobalIsBlock(oldTitle));
    EXPECT_STREQ(title, "Zenvas");
    EXPECT_GT(std::string(author).size(), 0u);
    EXPECT_STREQ(description, "\xD0\xE8\xF1\xEE\xE2\xE0\xED\xE8\xE5 \xE2 \xEF\xF0\xEE\xE5\xEA\xF2\xE0\xF5 NeoBook.");
    for (char** slot : {&title, &author, &description})
        FreeHostText(slot);
    EXPECT_EQ(sys::GlobalLiveBlocks(), before - 2);
}

// Interface access: the host sees a fresh block with the text, may replace it
// with a block of its own, and the plug-in releases whatever is left.
int g_calls = 0;
std::string g_receivedText;
ZenvasBool ZENVAS_CALL ReplacingHost(int32_t code, char** slot)
{
    ++g_calls;
    g_receivedText = *slot;
    EXPECT_TRUE(sys::GlobalIsBlock(*slot));
    sys::GlobalFree(*slot);
    *slot = sys::GlobalAllocText(code == kQueryWindowHandle ? "4711" : "answer");
    return ZENVAS_TRUE;
}
ZenvasBool ZENVAS_CALL LeavingHost(int32_t, char** slot)
{
    ++g_calls;
    g_receivedText = *slot;
    return ZENVAS_FALSE;
}

TEST(InterfaceAccess, SlotIsFreshReadAndReleasedInEveryCase)
{
    const std::size_t before = sys::GlobalLiveBlocks();
    nbRegisterInterfaceAccess(&ReplacingHost);
    auto answer = InterfaceAccess(kQueryWindowHandle, "Rect1");
    EXPECT_TRUE(answer.ok);
    EXPECT_EQ(answer.text, "4711");
    EXPECT_EQ(g_receivedText, "Rect1");
    EXPECT_EQ(sys::GlobalLiveBlocks(), before);

    nbRegisterInterfaceAccess(&LeavingHost);
    answer = InterfaceAccess(kQueryVariableName, "[Var]");
    EXPECT_FALSE(answer.ok);
    EXPECT_EQ(answer.text, "[Var]");
    EXPECT_EQ(sys::GlobalLiveBlocks(), before);

    nbRegisterInterfaceAccess(nullptr);
    g_calls = 0;
    answer = InterfaceAccess(kQuerySubroutines, "");
    EXPECT_FALSE(answer.ok);
    EXPECT_EQ(g_calls, 0);
    EXPECT_EQ(sys::GlobalLiveBlocks(), before);
}

std::vector<std::string> g_scripts;
std::vector<std::pair<std::string, std::string>> g_variables;
void ZENVAS_CALL RecordScript(const char* script)
{
    g_scripts.emplace_back(script);
}
void ZENVAS_CALL RecordVariable(const char* name, const char* value)
{
    g_variables.emplace_back(name, value);
}

TEST(HostCallbacks, ScriptTextAndVariablesPassedAsGiven)
{
    g_scripts.clear();
    g_variables.clear();
    RunSubroutine("Clicked"); // nothing registered yet: skipped
    SetVariable("[X]", "1");
    nbRegisterScriptProcessor(&RecordScript);
    Host().setVariable = &RecordVariable;
    RunSubroutine("");
    RunSubroutine("On Click");
    SetVariable("[X]", "10");
    SetVariable(" Y ", "");
    EXPECT_EQ(g_scripts, (std::vector<std::string>{"GoSub \"On Click\""}));
    EXPECT_EQ(g_variables, (std::vector<std::pair<std::string, std::string>>{{"[X]", "10"}, {" Y ", ""}}));
    nbRegisterScriptProcessor(nullptr);
    Host().setVariable = nullptr;
}

} // namespace
} // namespace zenvas
