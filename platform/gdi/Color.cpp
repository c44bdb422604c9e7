#include "platform/gdi/Color.h"
#include "platform/gdi/SystemColors.h"

namespace gdi {

Color ResolveColor(Color c)
{
    if (!IsSystemColor(c))
        return c & 0x00FFFFFFu;
    return SystemColor(c & 0xFF);
}

} // namespace gdi
