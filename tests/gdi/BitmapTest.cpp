#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Error.h"

#include <gtest/gtest.h>

#include <climits>

namespace gdi {

constexpr Color kWhite = Rgb(255, 255, 255);

TEST(Bitmap, NewPixelsAreWhiteRowsAreBlueGreenRedFromTheTopAndOutsideIsNoPixel)
{
    Bitmap b(3, 2);
    EXPECT_EQ(b.pixel(2, 1), kWhite);
    b.setPixel(1, 0, Rgb(10, 20, 30));
    const std::uint8_t* row = b.scanLine(0);
    EXPECT_EQ((std::vector<int>{row[3], row[4], row[5]}), (std::vector<int>{30, 20, 10}));
    b.scanLine(1)[0] = 99; // blue of (0, 1)
    EXPECT_EQ(b.pixel(0, 1), Rgb(255, 255, 99));
    b.setPixel(0, 0, 0xFF000010u); // a system colour: button shadow
    EXPECT_EQ(b.pixel(0, 0), Rgb(160, 160, 160));

    b = Bitmap(2, 2);
    for (auto [x, y] : {std::pair{-1, 0}, {2, 0}, {0, 2}, {0, INT_MAX}, {INT_MIN, 1}}) {
        b.setPixel(x, y, 0);
        EXPECT_EQ(b.pixel(x, y), kNoPixel) << x << "," << y;
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(b.pixel(i % 2, i / 2), kWhite) << i;
    EXPECT_EQ(Bitmap().pixel(0, 0), kNoPixel);
}

TEST(Bitmap, ResizingKeepsTheObjectAndTheTopLeftWhitensTheRestAndImpossibleSizesThrow)
{
    Bitmap b(3, 3);
    b.fill(Rgb(1, 2, 3));
    const Bitmap* before = &b;
    b.setSize(5, 2);
    EXPECT_EQ(&b, before);
    EXPECT_EQ(b.width(), 5);
    EXPECT_EQ(b.height(), 2);
    EXPECT_EQ(b.pixel(2, 1), Rgb(1, 2, 3));
    EXPECT_EQ(b.pixel(3, 0), kWhite);
    b.setWidth(-7);
    EXPECT_TRUE(b.isEmpty());
    b.setSize(1, 1);
    EXPECT_EQ(b.pixel(0, 0), kWhite);

    EXPECT_THROW(Bitmap(INT_MAX, 2), Error);
    EXPECT_THROW(Bitmap(INT_MAX, INT_MAX), Error);
    b.setSize(2, 2);
    b.setPixel(0, 0, 0);
    EXPECT_THROW(b.setSize(100000, 100000), std::exception);
    EXPECT_EQ(b.width(), 2);
    EXPECT_EQ(b.pixel(0, 0), 0u);
}

TEST(Bitmap, CopiesAreDeepAndMovedFromOrEmptyBitmapsStillWork)
{
    Bitmap a(2, 1);
    Bitmap b = a;
    b.setPixel(0, 0, 0);
    EXPECT_EQ(a.pixel(0, 0), kWhite);
    Bitmap c = std::move(b);
    EXPECT_EQ(c.pixel(0, 0), 0u);
    EXPECT_EQ(b.width(), 0);
    Bitmap copy = b;
    copy.setSize(1, 1);
    EXPECT_EQ(copy.pixel(0, 0), kWhite);
}

} // namespace gdi
