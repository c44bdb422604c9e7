#pragma once

#include "platform/gdi/Font.h"

#include <string>
#include <string_view>

// Font descriptors: name, colour, size, styles and character set joined by
// "|", for example "Arial|clBlack|12|fsBold fsItalic |1".
namespace zenvas {

// The descriptor of a font: the colour as its identifier when it has one,
// else "$" and eight upper-case hexadecimal digits; each set style as its
// word with one trailing space.
std::string FontToDescriptor(const gdi::Font& font);

// Reads a descriptor into `font` step by step: spaces are removed from the
// whole text, five items are required (else nothing changes), then the name,
// the colour (identifier or integer) and the size are set in that order, and
// the style words found in the fourth item are added (styles are never
// removed). The character set is not applied. A conversion that fails
// throws ConversionError and leaves the earlier steps applied.
void ApplyFontDescriptor(std::string_view descriptor, gdi::Font& font);

} // namespace zenvas
