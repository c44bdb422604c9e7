#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Rect.h"

namespace gdi {

// Nearest-neighbour stretch of srcRect onto destRect (the zoom window):
// destination column d takes source column floor((2d + 1) * sw / (2 * dw)),
// rows likewise. Source pixels outside src leave the destination untouched.
void StretchNearest(Bitmap& dst, const IntRect& destRect, const Bitmap& src, const IntRect& srcRect);

// Area-averaging stretch: each destination pixel is the coverage-weighted
// average of the source area it covers, rounded to nearest. srcRect must lie
// inside src and must not share pixels with dst.
void StretchHalftone(Bitmap& dst, const IntRect& destRect, const Bitmap& src, const IntRect& srcRect);

// Where the processor has 512-bit byte permutes, StretchHalftone uses them;
// false keeps it on the portable path (same pixels). Returns the previous
// setting. For tests that compare the two.
bool HalftoneVectorPath(bool enabled);

} // namespace gdi
