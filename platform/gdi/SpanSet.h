#pragma once

#include "platform/gdi/Ink.h"
#include "platform/gdi/Rect.h"

#include <cstdint>
#include <vector>

namespace gdi {

// A set of pixels kept as horizontal spans, clipped to a rectangle as they
// are added. Overlapping spans merge, so painting the set touches every
// pixel once (what not-XOR strokes need).
class SpanSet {
public:
    explicit SpanSet(const IntRect& clip) : clip_(clip) {}

    // Adds columns x0..x1-1 of row y (any 64-bit values; clipped here).
    void add(std::int64_t y, std::int64_t x0, std::int64_t x1);
    void paint(Bitmap& bmp, const Ink& ink);
    bool contains(int x, int y);

private:
    struct Span {
        int y, x0, x1;
    };
    void normalize();

    IntRect clip_;
    std::vector<Span> spans_;
    bool normalized_ = true;
};

} // namespace gdi
