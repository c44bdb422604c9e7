#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Font.h"

#include <string>
#include <string_view>

namespace gdi {

struct TextSize;

// Text is 8-bit (code page 1251). The width is the sum of the glyph
// advances; the height is the font's cell height (ascent + descent).
TextSize MeasureText(const Font& font, std::string_view text);

// Draws text with its cell's top-left at (x, y). With a solid brush the cell
// box is filled with the brush colour first.
TextSize DrawText(Bitmap& bmp, int x, int y, const Font& font, const Brush& brush, std::string_view text);

// The em height in pixels for a size in points at 96 pixels per inch:
// round(size * 96 / 72), halves away from zero, at least 1.
int FontEmPixels(int points);

// Another part of the process (a desktop toolkit) uses fontconfig too: the
// font engine then leaves it running at exit instead of shutting it down
// under the other user's feet.
void ShareFontconfig();

// The family name of the face a font resolves to ("TimesNewRoman" finds
// Times New Roman or its metric twin Liberation Serif; unknown names the
// default sans face).
std::string FontFaceName(const Font& font);

} // namespace gdi
