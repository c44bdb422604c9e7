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

} // namespace sys
