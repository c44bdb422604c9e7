#pragma once

#include <optional>
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

// Code page 1251 and Unicode. The byte 0x98 has no character: it reads as
// U+FFFD, and no character writes it.
char32_t CharFrom1251(unsigned char c);
std::optional<unsigned char> CharTo1251(char32_t c);

// Decodes the UTF-8 character at text[pos] into `c` and returns its length;
// 0 when the bytes there are not well-formed UTF-8 (overlong forms,
// surrogates and values above U+10FFFF included).
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& c);
bool IsUtf8(std::string_view text);
void AppendUtf8(std::string& out, char32_t c);

// 8-bit text for a UTF-8 terminal or file.
std::string Utf8From1251(std::string_view text);
// UTF-8 text in code page 1251; nothing when it is not UTF-8 or holds a
// character 1251 lacks.
std::optional<std::string> Text1251FromUtf8(std::string_view text);

} // namespace sys
