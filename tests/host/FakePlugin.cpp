// A plug-in that exists only to test the host: a handful of actions that
// exercise each callback through the real C interface.

#include "platform/system/Diagnostics.h"
#include "platform/system/GlobalMemory.h"
#include "zenvas/zenvas.h"

#include <cstdlib>
#include <string>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

ZenvasSetVariableProc setVariable = nullptr;
ZenvasScriptProcessorProc scriptProcessor = nullptr;
ZenvasInterfaceAccessProc interfaceAccess = nullptr;
std::string lastMessage = "none";

void write(const std::string& name, const std::string& value)
{
    setVariable(name.c_str(), value.c_str());
}

// RESULT|SLOT, and a note when the host left something other than a global block in the slot.
std::string query(int32_t code, const char* text)
{
    char* slot = sys::GlobalAllocText(text);
    bool answered = interfaceAccess(code, &slot) != ZENVAS_FALSE;
    std::string result = std::string(answered ? "True|" : "False|") + (slot ? slot : "(null)");
    if (!sys::GlobalIsBlock(slot))
        result += "|not a global block";
    sys::GlobalFree(slot);
    return result;
}

bool isBlock(char** params, int count)
{
    for (int i = 0; i < count; ++i)
        if (!sys::GlobalIsBlock(params[i]))
            return false;
    return true;
}

} // namespace

EXPORT void nbRegisterPlugIn(ZenvasAddActionProc addAction, int32_t, int32_t, ZenvasSetVariableProc proc)
{
    setVariable = proc;
    const uint8_t heading[] = {0}, one[] = {1}, echo[] = {1, 6}, queryTypes[] = {1, 1, 6}, variable[] = {6},
                  three[] = {1, 1, 1};
    addAction(0, "Fake", "", heading, 0, 0);
    addAction(1, "FakeEcho", "Writes the first parameter into the variable the second names.", echo, 1, 2);
    addAction(2, "FakeGoSub", "Runs a subroutine.", one, 0, 1);
    addAction(3, "FakeScript", "Hands its parameter to the script processor.", one, 0, 1);
    addAction(4, "FakeFail", "Fails.", one, 0, 0);
    addAction(5, "FakeQuery", "Asks the host; variable gets RESULT|SLOT.", queryTypes, 2, 3);
    addAction(6, "FakeLastMessage", "Variable gets the last message code.", variable, 0, 1);
    addAction(7, "FakeParams", "Variable FakeParams gets the three texts.", three, 2, 3);
}

EXPORT void nbInitPlugIn(int32_t, char** title, char** author, char** description)
{
    *title = sys::GlobalAllocText("Fake plug-in");
    *author = sys::GlobalAllocText("Zenvas host tests");
    *description = sys::GlobalAllocText("A plug-in for testing the host.");
}

EXPORT ZenvasBool nbExecAction(int32_t number, char** params)
{
    switch (number) {
    case 1: write(params[1], params[0]); break;
    case 2: scriptProcessor((std::string("GoSub \"") + params[0] + "\"").c_str()); break;
    case 3: scriptProcessor(params[0]); break;
    case 5: write(params[2], query(std::atoi(params[0]), params[1])); break;
    case 6: write(params[0], lastMessage); break;
    case 7:
        write("FakeParams", std::string(params[0]) + "|" + params[1] + "|" + params[2]
                                + (isBlock(params, 3) ? "" : "|not global blocks"));
        break;
    case 4:
        sys::RecordReason("FakeFail: a step skipped");
        sys::RecordReason("FakeFail: it always fails");
        return ZENVAS_FALSE;
    default: return ZENVAS_FALSE;
    }
    return ZENVAS_TRUE;
}

#ifndef FAKE_INCOMPLETE
EXPORT ZenvasBool nbEditAction(int32_t, char**)
{
    sys::RecordReason("no editors here");
    return ZENVAS_FALSE;
}

EXPORT void nbMessage(int32_t code)
{
    lastMessage = std::to_string(code);
    sys::RecordReason("message " + lastMessage); // stays in the channel until the next action takes it
}
#endif

EXPORT void nbRegisterScriptProcessor(ZenvasScriptProcessorProc proc)
{
    scriptProcessor = proc;
}

EXPORT void nbRegisterInterfaceAccess(ZenvasInterfaceAccessProc proc)
{
    interfaceAccess = proc;
}
