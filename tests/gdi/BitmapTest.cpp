#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Error.h"

#include <gtest/gtest.h>

#include <climits>

namespace gdi {

TEST(Bitmap, NewPixelsAreWhiteAndRowsAreBlueGreenRedFromTheTop)
{
    Bitmap b(3, 2);
    EXPECT_EQ(b.pixel(2, 1), Rgb(255, 255, 255));
    b.setPixel(1, 0, Rgb(10, 20, 30));
    const std::uint8_t* row = b.scanLine(0);
    EXPECT_EQ(row[3], 30);
    EXPECT_EQ(row[4], 20);
    EXPECT_EQ(row[5], 10);
    b.scanLine(1)[0] = 99; // blue of (0, 1)
    EXPECT_EQ(b.pixel(0, 1), Rgb(255, 255, 99));
}

TEST(Bitmap, OutsideReadsNoPixelAndWritesNothing)
{
    Bitmap b(2, 2);
    EXPECT_EQ(b.pixel(-1, 0), kNoPixel);
    EXPECT_EQ(b.pixel(2, 0), kNoPixel);
    EXPECT_EQ(b.pixel(0, INT_MAX), kNoPixel);
    b.setPixel(2, 1, 0);
    b.setPixel(INT_MIN, 0, 0);
    EXPECT_EQ(b.pixel(1, 1), Rgb(255, 255, 255));
    EXPECT_EQ(Bitmap().pixel(0, 0), kNoPixel);
}

TEST(Bitmap, SetPixelResolvesSystemColours)
{
    Bitmap b(1, 1);
    b.setPixel(0, 0, 0xFF000010u); // button shadow
    EXPECT_EQ(b.pixel(0, 0), Rgb(160, 160, 160));
}

TEST(Bitmap, ResizingKeepsTheTopLeftAndWhitensTheRest)
{
    Bitmap b(3, 3);
    b.fill(Rgb(1, 2, 3));
    const Bitmap* before = &b;
    b.setSize(5, 2);
    EXPECT_EQ(&b, before);
    EXPECT_EQ(b.width(), 5);
    EXPECT_EQ(b.height(), 2);
    EXPECT_EQ(b.pixel(2, 1), Rgb(1, 2, 3));
    EXPECT_EQ(b.pixel(3, 0), Rgb(255, 255, 255));
    b.setHeight(4);
    EXPECT_EQ(b.pixel(0, 3), Rgb(255, 255, 255));
    EXPECT_EQ(b.pixel(0, 1), Rgb(1, 2, 3));
    b.setWidth(-7);
    EXPECT_EQ(b.width(), 0);
    EXPECT_TRUE(b.isEmpty());
    b.setSize(1, 1);
    EXPECT_EQ(b.pixel(0, 0), Rgb(255, 255, 255));
}

TEST(Bitmap, ImpossibleSizesThrowAndLeaveTheBitmapAlone)
{
    EXPECT_THROW(Bitmap(INT_MAX, 2), Error);
    EXPECT_THROW(Bitmap(INT_MAX, INT_MAX), Error);
    Bitmap b(2, 2);
    b.setPixel(0, 0, 0);
    EXPECT_THROW(b.setSize(100000, 100000), std::exception);
    EXPECT_EQ(b.width(), 2);
    EXPECT_EQ(b.pixel(0, 0), 0u);
}

TEST(Bitmap, CopiesAreDeepAndMovesEmptyTheSource)
{
    Bitmap a(2, 1);
    Bitmap b = a;
    b.setPixel(0, 0, 0);
    EXPECT_EQ(a.pixel(0, 0), Rgb(255, 255, 255));
    Bitmap c = std::move(b);
    EXPECT_EQ(c.pixel(0, 0), 0u);
    EXPECT_EQ(b.width(), 0);
    a = c;
    EXPECT_EQ(a.pixel(0, 0), 0u);
    // Empty and moved-from bitmaps copy, resize and read like any other.
    Bitmap empty = b;
    empty = Bitmap();
    Bitmap copy = empty;
    copy.setSize(1, 1);
    EXPECT_EQ(copy.pixel(0, 0), Rgb(255, 255, 255));
}

} // namespace gdi
