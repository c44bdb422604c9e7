#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Pen.h"

#include <cstdint>

namespace gdi {

// How a span of pixels is painted: a colour, copy or not-XOR, and an
// optional 8 x 8 hatch tied to the bitmap origin (gaps stay untouched).
struct Ink {
    Color color = 0;
    bool notXor = false;
    bool hatched = false;
    std::uint8_t hatchRows[8] = {}; // bit u of row v set: pixel painted

    static Ink Solid(Color c, PenMode mode = PenMode::Copy);
    // The brush as a fill; `visible` is false for a clear brush.
    static Ink FromBrush(const Brush& b, PenMode mode, bool* visible);
};

// Callers clip: 0 <= x0 < x1 <= width, 0 <= y < height.
void PaintSpan(Bitmap& bmp, int y, int x0, int x1, const Ink& ink);

} // namespace gdi
