#pragma once

#include <string>
#include <string_view>

// Case mapping of 8-bit text in code page 1251 (Latin letters and the
// Cyrillic block), as the platform's lower-casing of 8-bit text does it.
namespace sys {

unsigned char LowerChar1251(unsigned char c);
unsigned char UpperChar1251(unsigned char c);
std::string LowerCase1251(std::string_view text);

// ASCII-only case mapping and comparison (names of rectangles, colours).
std::string LowerCaseAscii(std::string_view text);
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

} // namespace sys
