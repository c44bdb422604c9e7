#pragma once

#include <cstdint>

namespace gdi {

// A colour is 0x00BBGGRR: red in the lowest byte. A value whose top byte is
// 0xFF names a system colour by the index in its low byte.
using Color = std::uint32_t;

// What pixel() answers for a point outside the bitmap.
inline constexpr Color kNoPixel = 0xFFFFFFFFu;

constexpr Color Rgb(int r, int g, int b)
{
    return (Color(b & 0xFF) << 16) | (Color(g & 0xFF) << 8) | Color(r & 0xFF);
}
constexpr int RedOf(Color c) { return int(c & 0xFF); }
constexpr int GreenOf(Color c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return int((c >> 16) & 0xFF); }

constexpr bool IsSystemColor(Color c) { return (c >> 24) == 0xFF; }

// Maps a system colour to its RGB value (an index without an entry gives
// black) and strips the top byte of any other value.
Color ResolveColor(Color c);

} // namespace gdi
