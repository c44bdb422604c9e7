#include "platform/gdi/Brush.h"
#include "platform/gdi/Color.h"

#include <gtest/gtest.h>

namespace gdi {

TEST(Color, SystemColorsResolveThroughTheTable)
{
    EXPECT_EQ(Rgb(0x12, 0x34, 0x56), 0x00563412u); // red in the low byte
    EXPECT_EQ(ResolveColor(0xFF000005u), Rgb(255, 255, 255)); // window
    EXPECT_EQ(ResolveColor(0xFF00001Eu), Rgb(240, 240, 240)); // menu bar
    EXPECT_EQ(ResolveColor(0xFF000019u), 0u);                 // no entry
    EXPECT_EQ(ResolveColor(0xFF0000FFu), 0u);
    // Any other top byte is dropped.
    EXPECT_EQ(ResolveColor(0x02123456u), 0x00123456u);
}

TEST(Brush, ColourOnAClearBrushMakesItSolidAndClearMakesItWhite)
{
    Brush b;
    b.setStyle(BrushStyle::Clear);
    b.setColor(Rgb(1, 2, 3));
    EXPECT_EQ(b.style(), BrushStyle::Solid);
    EXPECT_EQ(b.color(), Rgb(1, 2, 3));
    b.setStyle(BrushStyle::Clear);
    EXPECT_EQ(b.color(), Rgb(255, 255, 255));
    // A hatch keeps its colour whichever is set first.
    b.setStyle(BrushStyle::Cross);
    b.setColor(Rgb(7, 0, 0));
    EXPECT_EQ(b.style(), BrushStyle::Cross);
    EXPECT_EQ(b.color(), Rgb(7, 0, 0));
}

} // namespace gdi
