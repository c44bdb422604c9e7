#include "platform/gdi/SystemColors.h"

#include <windows.h>

namespace gdi {

// The indices are the system's own COLOR_ numbers, 0 (COLOR_SCROLLBAR) to
// 30 (COLOR_MENUBAR); a COLORREF is laid out as our colours are.
Color SystemColor(unsigned index)
{
    return index <= COLOR_MENUBAR ? Color(GetSysColor(int(index))) & 0x00FFFFFFu : 0;
}

} // namespace gdi
