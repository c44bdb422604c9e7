#pragma once

#include "platform/gdi/Color.h"

namespace gdi {

// The RGB value of system colour `index` (clBtnFace is 15): black for an
// index without an entry. On Windows it is the running system's colour,
// asked each time, so a change of scheme shows at the next paint;
// elsewhere a fixed table.
Color SystemColor(unsigned index);

} // namespace gdi
