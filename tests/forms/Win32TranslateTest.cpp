// What the Win32 backend translates: pure functions, tested on any system.
#include "platform/backends/win32/Win32Translate.h"

#include <gtest/gtest.h>

namespace forms::win32 {
namespace {

TEST(Win32Translate, MouseMessagesBothWays)
{
    // Every button's press and release survive the way out and back, with
    // the held buttons and keys (Alt excepted: the flags cannot hold it).
    for (MouseButton button : {MouseButton::Left, MouseButton::Right, MouseButton::Middle})
        for (PointerKind kind : {PointerKind::Down, PointerKind::Up}) {
            const auto back = PointerFromMessage(MessageFromPointer(kind, button));
            ASSERT_TRUE(back);
            EXPECT_EQ(back->kind, kind);
            EXPECT_EQ(back->button, button);
        }
    EXPECT_EQ(PointerFromMessage(kLeftDouble)->kind, PointerKind::Down); // a second click is a press
    EXPECT_FALSE(PointerFromMessage(0x020A));                           // the wheel is not a pointer event
    const ShiftState held = ssShift | ssCtrl | ssLeft | ssRight | ssMiddle;
    EXPECT_EQ(ShiftFromMouseKeys(MouseKeysFromShift(held | ssAlt), true), held | ssAlt);
    EXPECT_EQ(ShiftFromMouseKeys(MouseKeysFromShift(held | ssAlt), false), held);

    // Points are signed 16-bit halves: a captured drag reports points left
    // of and above the window as negative.
    for (gdi::Point p : {gdi::Point{0, 0}, gdi::Point{-5, 7}, gdi::Point{1023, -1}, gdi::Point{-32768, 32767}})
        EXPECT_EQ(PointFromLParam(LParamFromPoint(p.x, p.y)), p);
    EXPECT_EQ(PointFromLParam(std::intptr_t(0xFFFF0010)), (gdi::Point{16, -1}));
    EXPECT_EQ(WheelDelta(std::uintptr_t(0xFF880000)), -120);
    EXPECT_EQ(WheelDelta(std::uintptr_t(120) << 16 | kMkShift), 120);
}

TEST(Win32Translate, KeysTextsAndFileDialogFilters)
{
    EXPECT_EQ(KeyFromVirtualKey(0x0D), Key::Enter);
    EXPECT_EQ(KeyFromVirtualKey(0x2E), Key::Delete);
    EXPECT_FALSE(KeyFromVirtualKey(0x41)); // letters come as characters
    EXPECT_EQ(CharacterFromUtf16(u'\u0430'), char(0xE0));
    EXPECT_FALSE(CharacterFromUtf16(0x0D));   // Enter's character: the key brings it
    EXPECT_FALSE(CharacterFromUtf16(0x4E2D)); // not in code page 1251
    EXPECT_FALSE(CharacterFromUtf16(0xD83D)); // half of a pair

    // Ctrl+A to Ctrl+Z type 1 to 26: they come back as the letter, whose
    // key-down brings nothing, so a press arrives once. Backspace, Tab,
    // Enter and Escape come from their keys only (Ctrl+H, I, J, M alike).
    EXPECT_FALSE(KeyFromVirtualKey(0x56)); // V
    EXPECT_EQ(std::string({*CharacterFromUtf16(0x01), *CharacterFromUtf16(0x16), *CharacterFromUtf16(0x1A)}), "avz");
    for (unsigned unit : {0x00u, 0x08u, 0x09u, 0x0Au, 0x0Du, 0x1Bu, 0x7Fu})
        EXPECT_FALSE(CharacterFromUtf16(unit)) << unit;

    const std::string cyrillic = "\xCE\xF2\xEC\xE5\xED\xE0 1";
    EXPECT_EQ(Utf16From1251(cyrillic), u"\u041E\u0442\u043C\u0435\u043D\u0430 1");
    EXPECT_EQ(Text1251FromUtf16(Utf16From1251(cyrillic)), cyrillic);
    EXPECT_FALSE(Text1251FromUtf16(u"\u4E2D"));

    using namespace std::string_literals;
    EXPECT_EQ(DialogFilter("Pictures (*.bmp;*.jpg)| *.bmp ; *.jpg |All|*.*"),
              "Pictures (*.bmp;*.jpg)\0*.bmp;*.jpg\0All\0*.*\0\0"s);
    EXPECT_EQ(DialogFilter("Dangling"), "\0"s);
}

TEST(Win32Translate, FontDialogKeepsWhatItCannotShow)
{
    gdi::Font font;
    font.setName("Tahoma");
    font.setSize(12);
    font.setBold(true);
    font.setColor(0xFF000008); // the window text colour, a system colour
    font.setCharset(204);
    const FontChoice start = ChoiceFromFont(font, 96);
    EXPECT_EQ(start.height, -16);
    EXPECT_EQ(start.pointTenths, 120);
    EXPECT_EQ(start.weight, 700);

    // Confirmed unchanged, the font is the same font: the system colour
    // stays one.
    EXPECT_EQ(FontFromChoice(font, start), font);

    FontChoice changed = start;
    changed.face = "";        // a face the text could not hold
    changed.pointTenths = 95; // 9.5 points
    changed.weight = 600;     // semi-bold is not bold
    changed.underline = true;
    changed.color = 0x0000FF; // red
    const gdi::Font chosen = FontFromChoice(font, changed);
    EXPECT_EQ(chosen.name(), "Tahoma");
    EXPECT_EQ(chosen.size(), 10);
    EXPECT_FALSE(chosen.bold());
    EXPECT_TRUE(chosen.underline());
    EXPECT_EQ(chosen.color(), gdi::Rgb(255, 0, 0));
    EXPECT_EQ(chosen.charset(), 204);
}

TEST(Win32Translate, CursorPicturesKeepInvertingPixels)
{
    // 17 pixels wide: the mask's rows are padded to 16-bit words.
    CursorFrame frame{gdi::Bitmap(17, 2), std::vector<std::uint8_t>(34, 255)};
    frame.image.setPixel(0, 0, gdi::Rgb(10, 20, 30));
    frame.opacity[1] = 0; // see-through black: transparent
    frame.image.setPixel(1, 0, 0);
    frame.opacity[16] = 0; // see-through white: inverts
    const CursorBits two = CursorBitsOf(frame);
    ASSERT_EQ(two.mask.size(), 8u);
    EXPECT_EQ(two.mask[0], 0x40);
    EXPECT_EQ(two.mask[2], 0x80);
    EXPECT_EQ(two.mask[4] | two.mask[5] | two.mask[6] | two.mask[7], 0);
    // Without partial opacity the colours are the XOR plane: no alpha.
    EXPECT_EQ(two.color[0], 0x000A141Eu);
    EXPECT_EQ(two.color[16], 0x00FFFFFFu);

    frame.opacity[0] = 128; // partial opacity: an alpha cursor
    const CursorBits alpha = CursorBitsOf(frame);
    EXPECT_EQ(alpha.color[0], 0x800A141Eu);
    EXPECT_EQ(alpha.color[2], 0xFFFFFFFFu);
    EXPECT_EQ(alpha.mask, two.mask);

    EXPECT_EQ(StandardCursorId(kCursorHand), 32649); // IDC_HAND
    EXPECT_EQ(StandardCursorId(-1), 0);              // no cursor at all
    EXPECT_EQ(StandardCursorId(0), 32512);           // the arrow
}

} // namespace
} // namespace forms::win32
