#include "platform/gdi/Rect.h"

#include <gtest/gtest.h>

#include <climits>

namespace gdi {

TEST(Rect, RightAndBottomAreExclusiveAndExtentsNormalizeAndIntersectKeepTheRule)
{
    const IntRect r{2, 3, 5, 7};
    EXPECT_EQ(r.width(), 3);
    EXPECT_EQ(r.height(), 4);
    EXPECT_TRUE(r.contains(2, 3));
    EXPECT_TRUE(r.contains(4, 6));
    EXPECT_FALSE(r.contains(5, 3));
    EXPECT_FALSE(r.contains(2, 7));
    EXPECT_TRUE((IntRect{4, 4, 4, 9}.isEmpty()));
    EXPECT_EQ((IntRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}.width()), 4294967295LL);
    EXPECT_EQ((IntRect{5, 7, 2, 3}.normalized()), (IntRect{2, 3, 5, 7}));
    EXPECT_EQ((IntRect{0, 0, 10, 10}.intersected({5, -5, 20, 5})), (IntRect{5, 0, 10, 5}));
    // Touching rectangles share no pixel.
    EXPECT_EQ((IntRect{0, 0, 10, 10}.intersected({10, 0, 20, 10})), IntRect{});
}

} // namespace gdi
