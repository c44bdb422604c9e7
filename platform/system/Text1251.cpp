#include "platform/system/Text1251.h"

#include <array>

namespace sys {
namespace {

// Upper-case letters of code page 1251 outside the two contiguous ranges
// (A-Z and 0xC0-0xDF), paired with their lower-case forms.
constexpr std::array<std::pair<unsigned char, unsigned char>, 14> kIrregularPairs{{
    {0x80, 0x90}, // DJE
    {0x81, 0x83}, // GJE
    {0x8A, 0x9A}, // LJE
    {0x8C, 0x9C}, // NJE
    {0x8D, 0x9D}, // KJE
    {0x8E, 0x9E}, // TSHE
    {0x8F, 0x9F}, // DZHE
    {0xA1, 0xA2}, // SHORT U
    {0xA3, 0xBC}, // JE
    {0xA5, 0xB4}, // GHE WITH UPTURN
    {0xA8, 0xB8}, // IO
    {0xAA, 0xBA}, // UKRAINIAN IE
    {0xAF, 0xBF}, // YI
    {0xB2, 0xB3}, // BYELORUSSIAN-UKRAINIAN I
}};
// 0xBD (DZE) pairs with 0xBE.
constexpr std::pair<unsigned char, unsigned char> kDze{0xBD, 0xBE};

// Characters of the bytes 0x80-0xBF; 0xC0-0xFF are U+0410-U+044F in order.
constexpr std::array<char16_t, 64> kHighHalf{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

} // namespace

unsigned char LowerChar1251(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF))
        return static_cast<unsigned char>(c + 0x20);
    if (c == kDze.first)
        return kDze.second;
    for (auto [upper, lower] : kIrregularPairs)
        if (c == upper)
            return lower;
    return c;
}

unsigned char UpperChar1251(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || c >= 0xE0)
        return static_cast<unsigned char>(c - 0x20);
    if (c == kDze.second)
        return kDze.first;
    for (auto [upper, lower] : kIrregularPairs)
        if (c == lower)
            return upper;
    return c;
}

std::string LowerCase1251(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(LowerChar1251(static_cast<unsigned char>(c)));
    return result;
}

std::string LowerCaseAscii(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 0x20);
    return result;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 0x20);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 0x20);
        if (x != y)
            return false;
    }
    return true;
}

char32_t CharFrom1251(unsigned char c)
{
    if (c < 0x80)
        return c;
    if (c >= 0xC0)
        return 0x0410 + (c - 0xC0);
    return kHighHalf[c - 0x80];
}

std::optional<unsigned char> CharTo1251(char32_t c)
{
    if (c < 0x80)
        return static_cast<unsigned char>(c);
    if (c >= 0x0410 && c <= 0x044F)
        return static_cast<unsigned char>(0xC0 + (c - 0x0410));
    if (c == 0xFFFD)
        return std::nullopt;
    for (std::size_t i = 0; i < kHighHalf.size(); ++i)
        if (kHighHalf[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& c)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    char32_t least; // the smallest value of that length: anything below is an overlong form
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, least = 0x80, c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, least = 0x800, c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, least = 0x10000, c = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - pos < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

bool IsUtf8(std::string_view text)
{
    char32_t c;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = DecodeUtf8(text, pos, c);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Utf8From1251(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        AppendUtf8(result, CharFrom1251(static_cast<unsigned char>(c)));
    return result;
}

std::optional<std::string> Text1251FromUtf8(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, at, c);
        const std::optional<unsigned char> byte = length ? CharTo1251(c) : std::nullopt;
        if (!byte)
            return std::nullopt;
        result += static_cast<char>(*byte);
        at += length;
    }
    return result;
}

} // namespace sys
