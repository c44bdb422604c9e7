#include "plugin/HostText.h"

#include "platform/system/GlobalMemory.h"

namespace zenvas {

void AssignHostText(char** slot, std::string_view text)
{
    if (!slot)
        return;
    FreeHostText(slot);
    *slot = sys::GlobalAllocText(text);
}

void FreeHostText(char** slot)
{
    if (!slot)
        return;
    sys::GlobalFree(*slot);
    *slot = nullptr;
}

} // namespace zenvas
