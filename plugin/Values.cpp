#include "plugin/Values.h"

#include "platform/gdi/ColorNames.h"
#include "platform/system/Text1251.h"

#include <array>
#include <limits>

namespace zenvas {

bool HasNonDigit(std::string_view text)
{
    if (text.empty())
        return true;
    for (char c : text)
        if (c < '0' || c > '9')
            return true;
    return false;
}

namespace {

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::int32_t> TryIntegerFromText(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string_view rest = text.substr(i);

    std::size_t prefix = 0;
    if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X'))
        prefix = 1;
    else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X'))
        prefix = 2;

    if (prefix != 0) {
        std::string_view digits = rest.substr(prefix);
        if (digits.empty())
            return std::nullopt;
        std::uint64_t value = 0;
        for (char c : digits) {
            int digit = HexDigitValue(c);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + static_cast<unsigned>(digit);
            if (value > 0xFFFFFFFFull)
                return std::nullopt;
        }
        auto pattern = static_cast<std::uint32_t>(value);
        if (negative)
            pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }

    if (rest.empty())
        return std::nullopt;
    std::int64_t value = 0;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    for (char c : rest) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::int32_t IntegerFromText(std::string_view text)
{
    if (auto value = TryIntegerFromText(text))
        return *value;
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

std::int32_t PlainNumber(std::string_view text, std::int32_t fallback, std::optional<std::int32_t> floor)
{
    if (HasNonDigit(text))
        return fallback;
    std::int32_t value = IntegerFromText(text);
    if (floor && value < *floor)
        return fallback;
    return value;
}

namespace {

bool IsBlank(char c)
{
    auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

} // namespace

std::vector<std::string> SplitDelimited(std::string_view text, char delimiter)
{
    std::vector<std::string> items;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && IsBlank(text[i]))
        ++i;
    while (i < n) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                item += text[i++];
            }
            if (!closed && !item.empty())
                item.pop_back(); // an unterminated quote loses the text's last character
        } else {
            std::size_t start = i;
            while (i < n && !IsBlank(text[i]) && text[i] != delimiter)
                ++i;
            item.assign(text.substr(start, i - start));
        }
        items.push_back(std::move(item));

        while (i < n && IsBlank(text[i]))
            ++i;
        if (i < n && text[i] == delimiter) {
            if (i + 1 == n)
                items.emplace_back();
            ++i;
            while (i < n && IsBlank(text[i]))
                ++i;
        }
    }
    return items;
}

ColorValue ColorFromText(std::string_view text)
{
    auto items = SplitDelimited(text, ',');
    if (items.size() < 3)
        throw ConversionError("colour \"" + std::string(text) + "\" is not R,G,B");
    auto red = static_cast<std::uint32_t>(IntegerFromText(items[0]));
    auto green = static_cast<std::uint32_t>(IntegerFromText(items[1]));
    auto blue = static_cast<std::uint32_t>(IntegerFromText(items[2]));
    return MakeColor(red, green, blue);
}

std::string ColorToText(ColorValue color)
{
    return std::to_string(color & 0xFF) + "," + std::to_string((color >> 8) & 0xFF) + "," +
           std::to_string((color >> 16) & 0xFF);
}

std::optional<bool> BooleanFromText(std::string_view text)
{
    std::string lower = sys::LowerCase1251(text);
    if (lower == "true")
        return true;
    if (lower == "false")
        return false;
    return std::nullopt;
}

std::optional<gdi::PenStyle> PenStyleFromName(std::string_view name)
{
    static constexpr std::array<std::string_view, 5> kNames{"Solid", "Dash", "Dot", "DashDot", "DashDotDot"};
    if (name.empty())
        return gdi::PenStyle::Solid;
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (name == kNames[i])
            return static_cast<gdi::PenStyle>(i);
    return std::nullopt;
}

std::optional<gdi::BrushStyle> BrushStyleFromName(std::string_view name)
{
    static constexpr std::array<std::string_view, 8> kNames{"Solid",     "Clear",     "Horizontal", "Vertical",
                                                            "FDiagonal", "BDiagonal", "Cross",      "DiagCross"};
    if (name.empty())
        return gdi::BrushStyle::Solid;
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (name == kNames[i])
            return static_cast<gdi::BrushStyle>(i);
    return std::nullopt;
}

std::optional<std::uint32_t> ColorFromIdentifier(std::string_view identifier)
{
    return gdi::ColorFromIdentifier(identifier);
}

std::optional<std::string_view> IdentifierFromColor(std::uint32_t value)
{
    return gdi::IdentifierFromColor(value);
}

std::string IntegerToText(std::int64_t value)
{
    return std::to_string(value);
}

} // namespace zenvas
