#pragma once

#include "platform/gdi/Bitmap.h"

#include <cstdint>
#include <vector>

namespace gdi {

struct FloodSpan {
    int y, x0, x1; // columns x0..x1-1
};

// Finds the 4-connected region of pixels exactly equal to `color` that
// contains (x, y), as horizontal spans, without painting anything. Empty
// when (x, y) is outside the bitmap or its pixel is not `color`. `visited`
// is scratch space (one bit per pixel) that callers may keep between calls.
void FloodRegion(const Bitmap& bmp, int x, int y, Color color, std::vector<std::uint64_t>& visited,
                 std::vector<FloodSpan>& spans);

} // namespace gdi
