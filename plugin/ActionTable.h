#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

// The table of entries registered with the host, in registration order:
// 52 actions and two headings (number 0).
namespace zenvas {

inline constexpr int kActionCount = 52;
inline constexpr int kMaxParameters = 8;

// Parameter type codes.
inline constexpr std::uint8_t kTypeOrdinary = 1;
inline constexpr std::uint8_t kTypeCursorFile = 5;
inline constexpr std::uint8_t kTypeVariable = 6;

struct ActionEntry {
    std::int32_t number; // 1..52, or 0 for a heading
    std::string_view name;
    std::string_view hint;
    std::array<std::uint8_t, kMaxParameters> types;
    std::int32_t typeCount; // bytes in `types`: the parameter count, or 1 for a heading

    constexpr ActionEntry(std::int32_t n, std::string_view nm, std::string_view h,
                          std::initializer_list<std::uint8_t> codes)
        : number(n), name(nm), hint(h), types{}, typeCount(static_cast<std::int32_t>(codes.size()))
    {
        std::size_t i = 0;
        for (auto code : codes)
            types[i++] = code;
    }

    constexpr bool isHeading() const { return number == 0; }
    constexpr std::int32_t parameterCount() const { return isHeading() ? 0 : typeCount; }
    constexpr std::int32_t highIndex() const { return isHeading() ? 0 : typeCount - 1; }
};

// Registration order, headings included.
const std::array<ActionEntry, 54>& ActionTable();

// The entry of action `number` (1..52), or null.
const ActionEntry* FindAction(std::int32_t number);

// Makes the 54 registration calls through the stored register-action
// callback, in table order.
void RegisterActionTable();

} // namespace zenvas
