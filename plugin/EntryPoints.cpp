// The seven functions the host calls. Each one is the last line of defence:
// no exception, whatever its kind, leaves through here.
#define ZENVAS_DECLARE_ENTRY_POINTS
#include "zenvas/zenvas.h"

#include "plugin/ActionTable.h"
#include "plugin/Dispatch.h"
#include "plugin/HostServices.h"
#include "plugin/HostText.h"

#ifdef ZENVAS_WIN32_SCREEN
#include "platform/backends/win32/Win32Backend.h"

#include <windows.h>
#endif

#ifdef _WIN32
#define ZENVAS_EXPORT extern "C" // Zenvas.def names the DLL's exports
#else
#define ZENVAS_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

constexpr const char* kTitle = "Zenvas";
constexpr const char* kAuthor = "The Zenvas developers";
// "Drawing in NeoBook projects." in code page 1251.
constexpr const char* kDescription =
    "\xD0\xE8\xF1\xEE\xE2\xE0\xED\xE8\xE5 \xE2 \xEF\xF0\xEE\xE5\xEA\xF2\xE0\xF5 NeoBook.";

} // namespace

ZENVAS_EXPORT void ZENVAS_CALL nbRegisterPlugIn(ZenvasAddActionProc add_action, int32_t reserved1,
                                                int32_t reserved2, ZenvasSetVariableProc set_variable)
{
    try {
        auto& host = zenvas::Host();
        host.addAction = add_action;
        host.registerArgument2 = reserved1;
        host.registerArgument3 = reserved2;
        host.setVariable = set_variable;
        zenvas::RegisterActionTable();
    } catch (...) {
    }
}

ZENVAS_EXPORT void ZENVAS_CALL nbInitPlugIn(int32_t reserved, char** title, char** author, char** description)
{
    try {
        zenvas::Host().initArgument = reserved;
        zenvas::AssignHostText(title, kTitle);
        zenvas::AssignHostText(author, kAuthor);
        zenvas::AssignHostText(description, kDescription);
    } catch (...) {
    }
}

ZENVAS_EXPORT ZenvasBool ZENVAS_CALL nbEditAction(int32_t number, char** params)
{
    try {
        return zenvas::EditAction(number, params) ? ZENVAS_TRUE : ZENVAS_FALSE;
    } catch (...) {
        return ZENVAS_FALSE;
    }
}

ZENVAS_EXPORT ZenvasBool ZENVAS_CALL nbExecAction(int32_t number, char** params)
{
    try {
        return zenvas::ExecuteAction(number, params) ? ZENVAS_TRUE : ZENVAS_FALSE;
    } catch (...) {
        return ZENVAS_FALSE;
    }
}

ZENVAS_EXPORT void ZENVAS_CALL nbMessage(int32_t code)
{
    if (code != 2)
        return;
    try {
        zenvas::ReleaseAll();
    } catch (...) {
    }
}

ZENVAS_EXPORT void ZENVAS_CALL nbRegisterScriptProcessor(ZenvasScriptProcessorProc proc)
{
    zenvas::Host().scriptProcessor = proc;
}

ZENVAS_EXPORT void ZENVAS_CALL nbRegisterInterfaceAccess(ZenvasInterfaceAccessProc proc)
{
    zenvas::Host().interfaceAccess = proc;
}

#ifdef ZENVAS_OWN_FRAME_TABLES
#include "plugin/FrameTables.h"
#endif

#ifdef ZENVAS_WIN32_SCREEN
// When a host lets go of the DLL while its process goes on, the windows
// whose procedure lives in the DLL must go before the code does.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
#ifdef ZENVAS_OWN_FRAME_TABLES
    if (reason == DLL_PROCESS_ATTACH)
        zenvas::RegisterOwnFrameTables(module);
#else
    (void)module;
#endif
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        try {
            forms::Win32Backend::instance().detach();
        } catch (...) {
        }
    }
#ifdef ZENVAS_OWN_FRAME_TABLES
    if (reason == DLL_PROCESS_DETACH)
        zenvas::ReleaseOwnFrameTables();
#endif
    return TRUE;
}
#endif
