#include "platform/gdi/SystemColors.h"

#include <array>

// The system colours of the platform this one stands in for, as its
// default scheme has them.
namespace gdi {

namespace {

constexpr std::array<Color, 31> kSystemColors = {
    Rgb(200, 200, 200), // 0 scroll bar
    Rgb(0, 0, 0),       // 1 background
    Rgb(153, 180, 209), // 2 active caption
    Rgb(191, 205, 219), // 3 inactive caption
    Rgb(240, 240, 240), // 4 menu
    Rgb(255, 255, 255), // 5 window
    Rgb(100, 100, 100), // 6 window frame
    Rgb(0, 0, 0),       // 7 menu text
    Rgb(0, 0, 0),       // 8 window text
    Rgb(0, 0, 0),       // 9 caption text
    Rgb(180, 180, 180), // 10 active border
    Rgb(244, 247, 252), // 11 inactive border
    Rgb(171, 171, 171), // 12 app workspace
    Rgb(51, 153, 255),  // 13 highlight
    Rgb(255, 255, 255), // 14 highlight text
    Rgb(240, 240, 240), // 15 button face
    Rgb(160, 160, 160), // 16 button shadow
    Rgb(109, 109, 109), // 17 grey text
    Rgb(0, 0, 0),       // 18 button text
    Rgb(67, 78, 84),    // 19 inactive caption text
    Rgb(255, 255, 255), // 20 button highlight
    Rgb(105, 105, 105), // 21 3D dark shadow
    Rgb(227, 227, 227), // 22 3D light
    Rgb(0, 0, 0),       // 23 info text
    Rgb(255, 255, 225), // 24 info background
    Rgb(0, 0, 0),       // 25 has no entry
    Rgb(0, 102, 204),   // 26 hot light
    Rgb(185, 209, 234), // 27 gradient active caption
    Rgb(215, 228, 242), // 28 gradient inactive caption
    Rgb(51, 153, 255),  // 29 menu highlight
    Rgb(240, 240, 240), // 30 menu bar
};

} // namespace

Color SystemColor(unsigned index)
{
    return index < kSystemColors.size() ? kSystemColors[index] : 0;
}

} // namespace gdi
