// What the GTK backend translates: pure functions, tested without a display.
#include "platform/backends/gtk/GtkTranslate.h"

#include <gtest/gtest.h>

namespace forms::gtk {
namespace {

TEST(GtkTranslate, ModifiersAndTypedCharactersWithCtrlLettersArrivingAsLetters)
{
    // GDK reports the state before the event.
    EXPECT_EQ(ShiftFromGdk(kGdkShift | kGdkControl, MouseButton::Left), ssShift | ssCtrl | ssLeft);
    EXPECT_EQ(ShiftFromGdk(kGdkButton1 | kGdkButton3, std::nullopt, MouseButton::Left), ssRight);
    EXPECT_EQ(ShiftFromGdk(kGdkAlt | kGdkButton2), ssAlt | ssMiddle);

    const auto cyrillic = KeyFromGdk(0x6c1, U'\u0430'); // а
    ASSERT_TRUE(cyrillic);
    EXPECT_EQ(cyrillic->key, Key::Character);
    EXPECT_EQ(static_cast<unsigned char>(cyrillic->character), 0xE0);
    EXPECT_FALSE(KeyFromGdk(0x1000000 + 0x4E2D, U'\u4E2D')); // not in code page 1251
    EXPECT_FALSE(KeyFromGdk(0xffe1, 0));                        // Shift alone

    // Edit fields read Ctrl+C as 'c' with ssCtrl, or 'C' under Shift or Caps Lock.
    EXPECT_EQ(KeyFromGdk(0x63, U'c')->character, 'c');
    EXPECT_EQ(KeyFromGdk(0x43, U'C')->character, 'C');
    EXPECT_EQ(ShiftFromGdk(kGdkControl), ShiftState(ssCtrl));
}

} // namespace
} // namespace forms::gtk
