// A plug-in that exists only to test the host: a handful of actions that
// exercise each callback through the real C interface.

#include "platform/system/GlobalMemory.h"
#include "zenvas/zenvas.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

ZenvasSetVariableProc setVariable = nullptr;
ZenvasScriptProcessorProc scriptProcessor = nullptr;
ZenvasInterfaceAccessProc interfaceAccess = nullptr;
std::string lastMessage = "none";

void assign(char** slot, const char* text)
{
    sys::GlobalFree(*slot);
    *slot = sys::GlobalAllocText(text);
}

void writeVariable(const std::string& name, const std::string& value)
{
    if (setVariable)
        setVariable(name.c_str(), value.c_str());
}

void runScript(const std::string& script)
{
    if (scriptProcessor)
        scriptProcessor(script.c_str());
}

std::string query(std::int32_t code, const char* text)
{
    if (!interfaceAccess)
        return "unregistered";
    char* slot = sys::GlobalAllocText(text);
    bool answered = interfaceAccess(code, &slot) != ZENVAS_FALSE;
    std::string result = std::string(answered ? "True" : "False") + "|" + (slot ? slot : "(null)");
    if (!sys::GlobalIsBlock(slot))
        result += "|not a global block";
    sys::GlobalFree(slot);
    return result;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void nbRegisterPlugIn(ZenvasAddActionProc addAction, int32_t, int32_t,
                                                              ZenvasSetVariableProc setVariableProc)
{
    setVariable = setVariableProc;
    const uint8_t heading[] = {0};
    const uint8_t none[] = {1};
    const uint8_t echo[] = {1, 6};
    const uint8_t one[] = {1};
    const uint8_t queryTypes[] = {1, 1, 6};
    const uint8_t variable[] = {6};
    const uint8_t three[] = {1, 1, 1};
    addAction(0, "Fake", "", heading, 0, 0);
    addAction(1, "FakeEcho", "Writes the first parameter into the variable the second names.", echo, 1, 2);
    addAction(2, "FakeGoSub", "Runs a subroutine.", one, 0, 1);
    addAction(3, "FakeScript", "Hands its parameter to the script processor.", one, 0, 1);
    addAction(4, "FakeFail", "Fails.", none, 0, 0);
    addAction(5, "FakeQuery", "Asks the host; variable gets RESULT|SLOT.", queryTypes, 2, 3);
    addAction(6, "FakeLastMessage", "Variable gets the last message code.", variable, 0, 1);
    addAction(7, "FakeParams", "Variable FakeParams gets the three texts.", three, 2, 3);
}

__attribute__((visibility("default"))) void nbInitPlugIn(int32_t, char** title, char** author, char** description)
{
    assign(title, "Fake plug-in");
    assign(author, "Zenvas host tests");
    assign(description, "A plug-in for testing the host.");
}

#ifndef FAKE_INCOMPLETE
__attribute__((visibility("default"))) ZenvasBool nbEditAction(int32_t, char**)
{
    return ZENVAS_FALSE;
}
#endif

__attribute__((visibility("default"))) ZenvasBool nbExecAction(int32_t number, char** params)
{
    switch (number) {
    case 1:
        writeVariable(params[1], params[0]);
        return ZENVAS_TRUE;
    case 2:
        runScript(std::string("GoSub \"") + params[0] + "\"");
        return ZENVAS_TRUE;
    case 3:
        runScript(params[0]);
        return ZENVAS_TRUE;
    case 5:
        writeVariable(params[2], query(std::atoi(params[0]), params[1]));
        return ZENVAS_TRUE;
    case 6:
        writeVariable(params[0], lastMessage);
        return ZENVAS_TRUE;
    case 7: {
        bool blocks = sys::GlobalIsBlock(params[0]) && sys::GlobalIsBlock(params[1]) && sys::GlobalIsBlock(params[2]);
        writeVariable("FakeParams", std::string(params[0]) + "|" + params[1] + "|" + params[2]
                                        + (blocks ? "" : "|not global blocks"));
        return ZENVAS_TRUE;
    }
    default:
        return ZENVAS_FALSE;
    }
}

#ifndef FAKE_INCOMPLETE
__attribute__((visibility("default"))) void nbMessage(int32_t code)
{
    lastMessage = std::to_string(code);
}
#endif

__attribute__((visibility("default"))) void nbRegisterScriptProcessor(ZenvasScriptProcessorProc proc)
{
    scriptProcessor = proc;
}

__attribute__((visibility("default"))) void nbRegisterInterfaceAccess(ZenvasInterfaceAccessProc proc)
{
    interfaceAccess = proc;
}

} // extern "C"
