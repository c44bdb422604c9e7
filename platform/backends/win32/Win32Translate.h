#pragma once

#include "platform/forms/Cursor.h"
#include "platform/forms/Input.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Rect.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the Win32 backend translates between the system's terms and the form
// framework's: mouse and key messages, the common dialogs' structures, and
// cursor pictures. Plain functions over the numbers Windows uses, so they
// are tested on any system.
namespace forms::win32 {

// The window messages and flags these translations read (winuser.h).
enum Message : std::uint32_t {
    kMouseMove = 0x0200,
    kLeftDown = 0x0201,
    kLeftUp = 0x0202,
    kLeftDouble = 0x0203,
    kRightDown = 0x0204,
    kRightUp = 0x0205,
    kRightDouble = 0x0206,
    kMiddleDown = 0x0207,
    kMiddleUp = 0x0208,
    kMiddleDouble = 0x0209,
};
enum MouseKeys : std::uint32_t {
    kMkLeft = 0x01,
    kMkRight = 0x02,
    kMkShift = 0x04,
    kMkControl = 0x08,
    kMkMiddle = 0x10,
};

// A mouse message as a pointer event (moves carry the left button, which
// the window system ignores for them). A double click arrives as a press.
struct PointerMessage {
    PointerKind kind;
    MouseButton button;
};
std::optional<PointerMessage> PointerFromMessage(std::uint32_t message);
// The shift state of a mouse message from its MK_ flags. Windows gives the
// state after the event: a press's button held, a release's let go, as the
// framework wants. Alt is not among the flags; the caller reads it.
ShiftState ShiftFromMouseKeys(std::uintptr_t wparam, bool altDown);
// The other way, for input fed to a window as a person's would arrive: the
// message of a pointer event and the MK_ flags of a shift state.
std::uint32_t MessageFromPointer(PointerKind kind, MouseButton button);
std::uintptr_t MouseKeysFromShift(ShiftState shift);
// The signed client point packed in a mouse message's lParam (negative
// while the pointer is captured outside the window).
gdi::Point PointFromLParam(std::intptr_t lparam);
std::intptr_t LParamFromPoint(int x, int y);
// The wheel's turn in a wheel message's wParam, in 120ths of a notch,
// positive away from the user.
int WheelDelta(std::uintptr_t wparam);

// The editing and dialog keys by their virtual-key codes (WM_KEYDOWN).
// Letters, Ctrl held or not, come through WM_CHAR only.
std::optional<Key> KeyFromVirtualKey(unsigned virtualKey);
// A typed UTF-16 unit (WM_CHAR) as a code page 1251 byte; nothing for
// characters 1251 lacks. Ctrl with a letter types the control character
// 1 to 26: it comes back as the letter in lower case, so that with the
// Ctrl of the key state it reaches the framework as GTK's Ctrl+letter does
// (Ctrl+A as 'a' with ssCtrl). Units 8, 9, 10 and 13 are left out: the
// keys above bring Backspace, Tab and Enter, and Ctrl+H, I, J and M cannot
// be told from them.
std::optional<char> CharacterFromUtf16(unsigned unit);

// Texts in code page 1251 to UTF-16 and back; a character 1251 lacks
// makes the way back fail.
std::u16string Utf16From1251(const std::string& text);
std::optional<std::string> Text1251FromUtf16(const std::u16string& text);

// The file dialogs' filter text as GetOpenFileName takes it: pairs of
// description and patterns, each ended by a NUL, and a NUL after the last.
std::string DialogFilter(const std::string& filter);

// A font as the font dialog's LOGFONT and CHOOSEFONT hold it, and back.
struct FontChoice {
    std::string face;      // code page 1251
    int height = 0;        // lfHeight: negative, the character height in pixels
    int pointTenths = 0;   // iPointSize: what the dialog chose
    int weight = 400;      // lfWeight
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 1;       // lfCharSet
    std::uint32_t color = 0; // COLORREF
};
FontChoice ChoiceFromFont(const gdi::Font& font, int dotsPerInch);
// The font the dialog chose, starting from `initial`; a face the text
// cannot hold keeps the initial name.
gdi::Font FontFromChoice(const gdi::Font& initial, const FontChoice& choice);

// A cursor picture for CreateIconIndirect: a 32-bit colour plane (top row
// first, 0xAARRGGBB) and the AND mask (rows of 16-bit words, top row first,
// 1 where the screen shows through). Without partial opacity the colour
// plane's alpha is 0 everywhere, so the system reads it as the XOR plane
// and a see-through pixel with a colour inverts the screen, as on Linux.
struct CursorBits {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> color;
    std::vector<std::uint8_t> mask;
};
CursorBits CursorBitsOf(const CursorFrame& frame);

// The system cursor (IDC_ number) for a built-in pointer shape number; 0
// for "no cursor" (-1).
int StandardCursorId(int cursor);

} // namespace forms::win32
