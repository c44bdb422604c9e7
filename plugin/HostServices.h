#pragma once

#include "zenvas/zenvas.h"

#include <string>
#include <string_view>

// The four host callbacks, stored process-wide, and the only code that calls
// them. A callback the host never registered is skipped.
namespace zenvas {

struct HostCallbacks {
    ZenvasAddActionProc addAction = nullptr;
    ZenvasSetVariableProc setVariable = nullptr;
    ZenvasScriptProcessorProc scriptProcessor = nullptr;
    ZenvasInterfaceAccessProc interfaceAccess = nullptr;
    // Handed over by the host and kept, never used.
    std::int32_t registerArgument2 = 0;
    std::int32_t registerArgument3 = 0;
    std::int32_t initArgument = 0;
};

HostCallbacks& Host();

// Writes `value` into the project variable `name`, the name passed exactly as
// given.
void SetVariable(std::string_view name, std::string_view value);

// Asks the host to run the subroutine: the script text is GoSub "name".
// An empty name means no subroutine, and nothing is sent.
void RunSubroutine(std::string_view name);

struct InterfaceAnswer {
    bool ok = false;
    std::string text;
};

// Interface query: a fresh copy of `text` goes into a slot, the host is
// called, the slot is read and then released in every case. Without a
// registered callback the answer is false with the text unchanged.
InterfaceAnswer InterfaceAccess(std::int32_t code, std::string_view text);

// Query codes.
inline constexpr std::int32_t kQuerySubroutines = 5;
inline constexpr std::int32_t kQueryWindowHandle = 7;
inline constexpr std::int32_t kQueryRectangleName = 8;
inline constexpr std::int32_t kQueryVariableName = 14;

} // namespace zenvas
