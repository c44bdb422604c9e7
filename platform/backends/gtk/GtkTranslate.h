#pragma once

#include "platform/forms/Input.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the GTK backend translates between the desktop's terms and the form
// framework's: modifier masks, buttons, keys and pointer shape names. Plain functions over the numbers GDK uses, so they are tested
// without a display.
namespace forms::gtk {

// GDK's modifier mask bits (GdkModifierType) this translation reads.
enum GdkMask : std::uint32_t {
    kGdkShift = 1u << 0,
    kGdkControl = 1u << 2,
    kGdkAlt = 1u << 3, // Mod1
    kGdkButton1 = 1u << 8,
    kGdkButton2 = 1u << 9,
    kGdkButton3 = 1u << 10,
};

// GDK buttons are 1 left, 2 middle, 3 right; others (back, forward) have
// no counterpart.
std::optional<MouseButton> ButtonFromGdk(unsigned button);
// The shift state of an event whose GDK state mask is `state`: GDK gives
// the state before the event, the framework the state with a press's
// button held and a release's button let go.
ShiftState ShiftFromGdk(std::uint32_t state, std::optional<MouseButton> pressed = std::nullopt,
                        std::optional<MouseButton> released = std::nullopt);

// A key press: the editing and dialog keys by their GDK key values, a
// printable character by its Unicode value when code page 1251 holds it.
// Ctrl changes neither: Ctrl+A is the character 'a' (or 'A' with Shift or
// Caps Lock), and the state mask brings the Ctrl.
struct KeyPress {
    Key key;
    char character = 0;
};
std::optional<KeyPress> KeyFromGdk(unsigned keyval, char32_t unicode);

// The desktop's cursor name (the CSS names GDK takes) for a built-in
// pointer shape number; 0 and unknown numbers are "default".
const char* StandardCursorName(int cursor);

} // namespace forms::gtk
