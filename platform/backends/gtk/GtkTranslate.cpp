#include "platform/backends/gtk/GtkTranslate.h"

#include "platform/system/Text1251.h"


namespace forms::gtk {

std::optional<MouseButton> ButtonFromGdk(unsigned button)
{
    switch (button) {
    case 1:
        return MouseButton::Left;
    case 2:
        return MouseButton::Middle;
    case 3:
        return MouseButton::Right;
    default:
        return std::nullopt;
    }
}

ShiftState ShiftFromGdk(std::uint32_t state, std::optional<MouseButton> pressed, std::optional<MouseButton> released)
{
    ShiftState shift = 0;
    if (state & kGdkShift)
        shift |= ssShift;
    if (state & kGdkControl)
        shift |= ssCtrl;
    if (state & kGdkAlt)
        shift |= ssAlt;
    if (state & kGdkButton1)
        shift |= ssLeft;
    if (state & kGdkButton2)
        shift |= ssMiddle;
    if (state & kGdkButton3)
        shift |= ssRight;
    if (pressed)
        shift |= ButtonFlag(*pressed);
    if (released)
        shift &= ~ButtonFlag(*released);
    return shift;
}

std::optional<KeyPress> KeyFromGdk(unsigned keyval, char32_t unicode)
{
    // GDK key values (gdk/gdkkeysyms.h).
    switch (keyval) {
    case 0xff0d: // Return
    case 0xff8d: // KP_Enter
        return KeyPress{Key::Enter};
    case 0xff1b:
        return KeyPress{Key::Escape};
    case 0xff09: // Tab
    case 0xfe20: // ISO_Left_Tab (Shift+Tab)
        return KeyPress{Key::Tab};
    case 0xff52:
    case 0xff97:
        return KeyPress{Key::Up};
    case 0xff54:
    case 0xff99:
        return KeyPress{Key::Down};
    case 0xff51:
    case 0xff96:
        return KeyPress{Key::Left};
    case 0xff53:
    case 0xff98:
        return KeyPress{Key::Right};
    case 0xff08:
        return KeyPress{Key::Backspace};
    case 0xffff:
    case 0xff9f:
        return KeyPress{Key::Delete};
    case 0xff50:
    case 0xff95:
        return KeyPress{Key::Home};
    case 0xff57:
    case 0xff9c:
        return KeyPress{Key::End};
    default:
        break;
    }
    if (unicode < 0x20 || unicode == 0x7f)
        return std::nullopt;
    const std::optional<unsigned char> byte = sys::CharTo1251(unicode);
    if (!byte)
        return std::nullopt;
    return KeyPress{Key::Character, static_cast<char>(*byte)};
}

const char* StandardCursorName(int cursor)
{
    switch (cursor) {
    case -1:
        return "none";
    case -3:
        return "crosshair";
    case -4:
        return "text";
    case -5:
    case -22:
        return "move";
    case -6:
        return "nesw-resize";
    case -7:
        return "ns-resize";
    case -8:
        return "nwse-resize";
    case -9:
        return "ew-resize";
    case -10:
        return "n-resize";
    case -11:
    case -17:
        return "wait";
    case -12:
    case -16:
        return "grabbing";
    case -13:
    case -18:
        return "not-allowed";
    case -14:
        return "col-resize";
    case -15:
        return "row-resize";
    case -19:
        return "progress";
    case -20:
        return "help";
    case -21:
        return "pointer";
    default:
        return "default";
    }
}

} // namespace forms::gtk
