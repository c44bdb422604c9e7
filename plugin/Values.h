#pragma once

#include "platform/gdi/Brush.h"
#include "platform/gdi/Color.h"
#include "platform/gdi/Pen.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Every format in which an action parameter carries a value: integers,
// plain numbers, delimited lists, colours, booleans, pen and brush style
// names and font descriptors.
namespace zenvas {

// A parameter text that does not convert.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A colour value: red in the lowest byte, then green, then blue.
using ColorValue = gdi::Color;

constexpr ColorValue MakeColor(unsigned red, unsigned green, unsigned blue)
{
    return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}

// True when the text is empty or holds anything but the digits 0 to 9.
bool HasNonDigit(std::string_view text);

// Leading spaces, an optional sign, then decimal digits or a hexadecimal
// prefix ($, x, X, 0x, 0X) and hexadecimal digits, nothing after. Decimal
// values must fit a signed 32-bit integer; hexadecimal ones are a 32-bit
// pattern, negated after a "-". Throws ConversionError otherwise.
std::int32_t IntegerFromText(std::string_view text);
std::optional<std::int32_t> TryIntegerFromText(std::string_view text);

// A plain-number parameter: `fallback` when the text has a non-digit;
// otherwise its value (ConversionError above 2147483647), replaced by
// `fallback` when below `floor`.
std::int32_t PlainNumber(std::string_view text, std::int32_t fallback,
                         std::optional<std::int32_t> floor = std::nullopt);

// Splits a text at `delimiter` and at blanks (codes 1 to 32), honouring
// double-quoted items with doubled quotes inside. Byte by byte.
std::vector<std::string> SplitDelimited(std::string_view text, char delimiter);

// "R,G,B" to a colour; each component keeps its lowest 8 bits, items after
// the third are ignored. Throws ConversionError on fewer than three items or
// an item that is not an integer text.
ColorValue ColorFromText(std::string_view text);

// A colour as "R,G,B", decimal, no spaces.
std::string ColorToText(ColorValue color);

// "true" / "false" after code page 1251 lower-casing; anything else is
// neither.
std::optional<bool> BooleanFromText(std::string_view text);

// Pen styles 0..4 and brush styles 0..7, by exact name. An empty name is
// Solid; an unknown name means "leave the style as it is" (no value).
std::optional<gdi::PenStyle> PenStyleFromName(std::string_view name);
std::optional<gdi::BrushStyle> BrushStyleFromName(std::string_view name);

// Named colour identifiers ("clRed", "clBtnFace", ...): 52 of them.
std::optional<std::uint32_t> ColorFromIdentifier(std::string_view identifier); // ASCII case ignored
std::optional<std::string_view> IdentifierFromColor(std::uint32_t value);

// Integer texts written to variables.
std::string IntegerToText(std::int64_t value);

} // namespace zenvas
