#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The platform's named colours ("clRed", "clBtnFace", ...): 52 identifiers,
// 22 fixed values and 30 system colours (0xFF000000 plus the index).
namespace gdi {

// The value of an identifier, compared without regard to ASCII case.
std::optional<std::uint32_t> ColorFromIdentifier(std::string_view identifier);
// The identifier of a value, if it has one.
std::optional<std::string_view> IdentifierFromColor(std::uint32_t value);

} // namespace gdi
