#pragma once

// A host in miniature for tests that call the plug-in's entry points
// directly: rectangle windows answered by name, variables and subroutine
// runs recorded in order.
#define ZENVAS_DECLARE_ENTRY_POINTS
#include "zenvas/zenvas.h"

#include "platform/forms/Window.h"
#include "platform/system/GlobalMemory.h"
#include "plugin/HostServices.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace harness {

struct HostState {
    std::map<std::string, std::string> handles;   // rectangle name -> answer to code 7
    std::map<std::string, std::string> variables; // as the plug-in wrote them
    std::vector<std::string> log;                 // "GoSub \"X\"" and "name=value", in order
    std::function<void(const std::string&)> onScript;
};

inline HostState& State()
{
    static HostState state;
    return state;
}

inline ZenvasBool ZENVAS_CALL AnswerWindow(int32_t code, char** slot)
{
    if (code != 7)
        return ZENVAS_FALSE;
    auto it = State().handles.find(*slot);
    sys::GlobalFree(*slot);
    *slot = sys::GlobalAllocText(it == State().handles.end() ? "0" : it->second);
    return ZENVAS_TRUE;
}

inline void ZENVAS_CALL Script(const char* script)
{
    State().log.emplace_back(script);
    if (State().onScript)
        State().onScript(script);
}

inline void ZENVAS_CALL Variable(const char* name, const char* value)
{
    State().variables[name] = value;
    State().log.push_back(std::string(name) + "=" + value);
}

// Fresh host state, every canvas released, the callbacks registered.
inline void Connect()
{
    nbMessage(2);
    State() = HostState{};
    nbRegisterInterfaceAccess(&AnswerWindow);
    nbRegisterScriptProcessor(&Script);
    zenvas::Host().setVariable = &Variable;
}

inline void Disconnect()
{
    nbMessage(2);
    nbRegisterScriptProcessor(nullptr);
    zenvas::Host().setVariable = nullptr;
    State().onScript = nullptr;
}

inline void AddRectangle(const std::string& name, const forms::Window& window)
{
    State().handles[name] = std::to_string(window.handle());
}

// Runs an action with these parameter texts.
inline bool Exec(int number, std::vector<std::string> texts)
{
    std::vector<char*> params;
    for (auto& text : texts)
        params.push_back(text.data());
    return nbExecAction(number, params.data()) == ZENVAS_TRUE;
}

} // namespace harness
