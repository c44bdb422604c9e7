#pragma once

#include "platform/gdi/Bitmap.h"

#include <cstdint>
#include <type_traits>
#include <vector>

namespace gdi {

struct FloodSpan {
    int y, x0, x1; // columns x0..x1-1
};

// The walk behind FloodRegion and FloodVisit: `emit(context, span)` per span.
using FloodEmit = void (*)(void* context, const FloodSpan& span);
void FloodWalk(const Bitmap& bmp, int x, int y, Color color, std::vector<std::uint64_t>& visited, FloodEmit emit,
               void* context);

// Finds the 4-connected region of pixels exactly equal to `color` that
// contains (x, y), as horizontal spans, without painting anything. Empty
// when (x, y) is outside the bitmap or its pixel is not `color`. `visited`
// is scratch space (one bit per pixel) that callers may keep between calls.
void FloodRegion(const Bitmap& bmp, int x, int y, Color color, std::vector<std::uint64_t>& visited,
                 std::vector<FloodSpan>& spans);

// The same region, each span handed to `visit` as soon as the walk has
// found it, while its row is still in the cache. `visit` may change the
// pixels of the spans it has been given: the walk never compares a pixel
// of the region once its span is out.
template <typename Visit>
void FloodVisit(const Bitmap& bmp, int x, int y, Color color, std::vector<std::uint64_t>& visited, Visit&& visit)
{
    using Target = std::remove_reference_t<Visit>;
    FloodWalk(bmp, x, y, color, visited,
              [](void* target, const FloodSpan& span) { (*static_cast<Target*>(target))(span); },
              const_cast<void*>(static_cast<const void*>(&visit)));
}

} // namespace gdi
