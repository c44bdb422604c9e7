#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Rect.h"

#include <cstddef>

namespace gdi {

// Nearest-neighbour stretch of srcRect onto destRect (the zoom window):
// destination column d takes source column floor((2d + 1) * sw / (2 * dw)),
// rows likewise. Source pixels outside src leave the destination untouched.
void StretchNearest(Bitmap& dst, const IntRect& destRect, const Bitmap& src, const IntRect& srcRect);

// Area-averaging stretch: each destination pixel is the coverage-weighted
// average of the source area it covers, rounded to nearest. srcRect must lie
// inside src and must not share pixels with dst.
void StretchHalftone(Bitmap& dst, const IntRect& destRect, const Bitmap& src, const IntRect& srcRect);

// StretchHalftone takes the widest vector path gdi::ActiveVectors() allows
// where the ratio fits it (same pixels on every path).

// The stretches keep their working rows and tables from call to call (a
// few rows' worth). Gives them all back when together they hold more than
// `bytes`; 0 gives back everything.
void TrimStretchScratch(std::size_t bytes);

} // namespace gdi
