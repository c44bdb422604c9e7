// What the GTK backend translates: pure functions, tested without a display.
#include "platform/backends/gtk/GtkTranslate.h"

#include <gtest/gtest.h>

namespace forms::gtk {
namespace {

TEST(GtkTranslate, ModifiersAndTypedCharacters)
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
}

TEST(GtkTranslate, FileFilters)
{
    const auto filters = FileFiltersFrom("All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|Bitmaps (*.bmp)|*.bmp");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].name, "All (*.jpg;*.jpeg;*.bmp)");
    EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.jpg", "*.jpeg", "*.bmp"}));
    EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*.bmp"}));
    // Blanks around patterns go; a description without patterns is dropped.
    const auto loose = FileFiltersFrom("Pictures| *.bmp ; *.jpg |Nothing| |Dangling");
    ASSERT_EQ(loose.size(), 1u);
    EXPECT_EQ(loose[0].patterns, (std::vector<std::string>{"*.bmp", "*.jpg"}));
    EXPECT_TRUE(FileFiltersFrom("").empty());
}

} // namespace
} // namespace forms::gtk
