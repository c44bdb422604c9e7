#pragma once

#include <cstdint>

namespace forms {

enum class MouseButton { Left, Right, Middle };

// The shift state of a pointer event: held buttons and keys.
enum ShiftFlag : std::uint32_t {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
};
using ShiftState = std::uint32_t;

constexpr ShiftState ButtonFlag(MouseButton button)
{
    switch (button) {
    case MouseButton::Left:
        return ssLeft;
    case MouseButton::Right:
        return ssRight;
    case MouseButton::Middle:
        return ssMiddle;
    }
    return 0;
}

enum class PointerKind { Down, Move, Up };

// A key pressed in a window. Character carries the typed byte (code page
// 1251); the others are the editing and dialog keys.
enum class Key { Enter, Escape, Tab, Up, Down, Left, Right, Backspace, Delete, Home, End, Character };

} // namespace forms
