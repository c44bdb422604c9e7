#include "platform/backends/win32/Win32Translate.h"

#include "platform/forms/Dialogs.h"
#include "platform/system/Text1251.h"

#include <cmath>

namespace forms::win32 {

std::optional<PointerMessage> PointerFromMessage(std::uint32_t message)
{
    switch (message) {
    case kMouseMove:
        return PointerMessage{PointerKind::Move, MouseButton::Left};
    case kLeftDown:
    case kLeftDouble:
        return PointerMessage{PointerKind::Down, MouseButton::Left};
    case kLeftUp:
        return PointerMessage{PointerKind::Up, MouseButton::Left};
    case kRightDown:
    case kRightDouble:
        return PointerMessage{PointerKind::Down, MouseButton::Right};
    case kRightUp:
        return PointerMessage{PointerKind::Up, MouseButton::Right};
    case kMiddleDown:
    case kMiddleDouble:
        return PointerMessage{PointerKind::Down, MouseButton::Middle};
    case kMiddleUp:
        return PointerMessage{PointerKind::Up, MouseButton::Middle};
    default:
        return std::nullopt;
    }
}

ShiftState ShiftFromMouseKeys(std::uintptr_t wparam, bool altDown)
{
    ShiftState shift = altDown ? ShiftState(ssAlt) : 0;
    if (wparam & kMkShift)
        shift |= ssShift;
    if (wparam & kMkControl)
        shift |= ssCtrl;
    if (wparam & kMkLeft)
        shift |= ssLeft;
    if (wparam & kMkRight)
        shift |= ssRight;
    if (wparam & kMkMiddle)
        shift |= ssMiddle;
    return shift;
}

std::uint32_t MessageFromPointer(PointerKind kind, MouseButton button)
{
    if (kind == PointerKind::Move)
        return kMouseMove;
    const bool down = kind == PointerKind::Down;
    switch (button) {
    case MouseButton::Left:
        return down ? kLeftDown : kLeftUp;
    case MouseButton::Right:
        return down ? kRightDown : kRightUp;
    case MouseButton::Middle:
        return down ? kMiddleDown : kMiddleUp;
    }
    return kMouseMove;
}

std::uintptr_t MouseKeysFromShift(ShiftState shift)
{
    std::uintptr_t keys = 0;
    if (shift & ssShift)
        keys |= kMkShift;
    if (shift & ssCtrl)
        keys |= kMkControl;
    if (shift & ssLeft)
        keys |= kMkLeft;
    if (shift & ssRight)
        keys |= kMkRight;
    if (shift & ssMiddle)
        keys |= kMkMiddle;
    return keys;
}

std::intptr_t LParamFromPoint(int x, int y)
{
    const std::uint32_t bits = (std::uint32_t(std::uint16_t(y)) << 16) | std::uint16_t(x);
    return static_cast<std::intptr_t>(static_cast<std::int32_t>(bits));
}

gdi::Point PointFromLParam(std::intptr_t lparam)
{
    const auto bits = static_cast<std::uint32_t>(static_cast<std::uintptr_t>(lparam));
    return {static_cast<std::int16_t>(bits & 0xFFFF), static_cast<std::int16_t>(bits >> 16)};
}

int WheelDelta(std::uintptr_t wparam)
{
    return static_cast<std::int16_t>((static_cast<std::uint32_t>(wparam) >> 16) & 0xFFFF);
}

std::optional<Key> KeyFromVirtualKey(unsigned virtualKey)
{
    switch (virtualKey) {
    case 0x08:
        return Key::Backspace;
    case 0x09:
        return Key::Tab;
    case 0x0D:
        return Key::Enter;
    case 0x1B:
        return Key::Escape;
    case 0x23:
        return Key::End;
    case 0x24:
        return Key::Home;
    case 0x25:
        return Key::Left;
    case 0x26:
        return Key::Up;
    case 0x27:
        return Key::Right;
    case 0x28:
        return Key::Down;
    case 0x2E:
        return Key::Delete;
    default:
        return std::nullopt;
    }
}

std::optional<char> CharacterFromUtf16(unsigned unit)
{
    if (unit >= 0x01 && unit <= 0x1A && unit != 0x08 && unit != 0x09 && unit != 0x0A && unit != 0x0D)
        return static_cast<char>('a' + (unit - 1));
    // Surrogate halves never name a character 1251 has.
    if (unit < 0x20 || unit == 0x7F || (unit >= 0xD800 && unit <= 0xDFFF))
        return std::nullopt;
    const std::optional<unsigned char> byte = sys::CharTo1251(char32_t(unit));
    if (!byte)
        return std::nullopt;
    return static_cast<char>(*byte);
}

std::u16string Utf16From1251(const std::string& text)
{
    std::u16string wide;
    wide.reserve(text.size());
    for (char c : text)
        wide.push_back(static_cast<char16_t>(sys::CharFrom1251(static_cast<unsigned char>(c))));
    return wide;
}

std::optional<std::string> Text1251FromUtf16(const std::u16string& text)
{
    std::string narrow;
    narrow.reserve(text.size());
    for (char16_t unit : text) {
        if (unit >= 0xD800 && unit <= 0xDFFF)
            return std::nullopt;
        const std::optional<unsigned char> byte = sys::CharTo1251(char32_t(unit));
        if (!byte)
            return std::nullopt;
        narrow.push_back(static_cast<char>(*byte));
    }
    return narrow;
}

std::string DialogFilter(const std::string& filter)
{
    std::string pairs;
    for (const FileFilter& entry : FileFiltersFrom(filter)) {
        pairs += entry.name;
        pairs.push_back('\0');
        for (std::size_t i = 0; i < entry.patterns.size(); ++i)
            pairs += (i ? ";" : "") + entry.patterns[i];
        pairs.push_back('\0');
    }
    pairs.push_back('\0');
    return pairs;
}

FontChoice ChoiceFromFont(const gdi::Font& font, int dotsPerInch)
{
    FontChoice choice;
    choice.face = font.name();
    choice.height = -static_cast<int>(std::lround(double(font.size()) * dotsPerInch / 72.0));
    choice.pointTenths = font.size() * 10;
    choice.weight = font.bold() ? 700 : 400;
    choice.italic = font.italic();
    choice.underline = font.underline();
    choice.strikeOut = font.strikeOut();
    choice.charset = font.charset();
    choice.color = gdi::ResolveColor(font.color()) & 0xFFFFFF;
    return choice;
}

gdi::Font FontFromChoice(const gdi::Font& initial, const FontChoice& choice)
{
    gdi::Font font = initial;
    if (!choice.face.empty())
        font.setName(choice.face);
    font.setSize(std::max(1, static_cast<int>(std::lround(choice.pointTenths / 10.0))));
    font.setBold(choice.weight >= 700);
    font.setItalic(choice.italic);
    font.setUnderline(choice.underline);
    font.setStrikeOut(choice.strikeOut);
    font.setCharset(choice.charset);
    // A system colour the dialog left as it was stays a system colour.
    if ((gdi::ResolveColor(initial.color()) & 0xFFFFFF) != (choice.color & 0xFFFFFF))
        font.setColor(choice.color & 0xFFFFFF);
    return font;
}

CursorBits CursorBitsOf(const CursorFrame& frame)
{
    CursorBits bits;
    bits.width = frame.image.width();
    bits.height = frame.image.height();
    const std::size_t w = std::size_t(bits.width), h = std::size_t(bits.height);
    const std::size_t maskRow = (w + 15) / 16 * 2;
    bits.color.assign(w * h, 0);
    bits.mask.assign(maskRow * h, 0);
    bool partial = false;
    for (std::uint8_t alpha : frame.opacity)
        partial = partial || (alpha != 0 && alpha != 255);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* src = frame.image.scanLine(int(y));
        for (std::size_t x = 0; x < w; ++x, src += 3) {
            const std::uint8_t alpha = frame.opacityAt(int(x), int(y));
            const std::uint32_t rgb = std::uint32_t(src[2]) << 16 | std::uint32_t(src[1]) << 8 | src[0];
            bits.color[y * w + x] = partial ? std::uint32_t(alpha) << 24 | rgb : rgb;
            if (alpha == 0)
                bits.mask[y * maskRow + x / 8] |= std::uint8_t(0x80u >> (x % 8));
        }
    }
    return bits;
}

int StandardCursorId(int cursor)
{
    switch (cursor) {
    case -1:
        return 0;
    case -3:
        return 32515; // IDC_CROSS
    case -4:
        return 32513; // IDC_IBEAM
    case -5:
    case -22:
        return 32646; // IDC_SIZEALL
    case -6:
        return 32643; // IDC_SIZENESW
    case -7:
    case -15:
        return 32645; // IDC_SIZENS
    case -8:
        return 32642; // IDC_SIZENWSE
    case -9:
    case -14:
        return 32644; // IDC_SIZEWE
    case -10:
        return 32516; // IDC_UPARROW
    case -11:
    case -17:
        return 32514; // IDC_WAIT
    case -13:
    case -18:
        return 32648; // IDC_NO
    case -19:
        return 32650; // IDC_APPSTARTING
    case -20:
        return 32651; // IDC_HELP
    case -21:
        return 32649; // IDC_HAND
    default:
        return 32512; // IDC_ARROW
    }
}

} // namespace forms::win32
