#pragma once

#include <algorithm>
#include <cstdint>

namespace gdi {

// A wide coordinate sum brought back into the 32-bit range (saturated).
constexpr int ClampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle of whole pixels: columns left..right-1, rows top..bottom-1.
// Right and bottom are exclusive everywhere in the drawing layer. Sizes are
// 64-bit so that any pair of 32-bit edges has a representable extent.
struct IntRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr std::int64_t width() const { return std::int64_t(right) - left; }
    constexpr std::int64_t height() const { return std::int64_t(bottom) - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool contains(int x, int y) const
    {
        return x >= left && x < right && y >= top && y < bottom;
    }

    // Swaps the edges where left > right or top > bottom.
    constexpr void normalize()
    {
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
    }
    constexpr IntRect normalized() const
    {
        IntRect r = *this;
        r.normalize();
        return r;
    }

    // The common part; an empty result is returned as the zero rectangle.
    constexpr void intersect(const IntRect& o)
    {
        left = std::max(left, o.left);
        top = std::max(top, o.top);
        right = std::min(right, o.right);
        bottom = std::min(bottom, o.bottom);
        if (isEmpty())
            *this = IntRect{};
    }
    constexpr IntRect intersected(const IntRect& o) const
    {
        IntRect r = *this;
        r.intersect(o);
        return r;
    }

    // The smallest rectangle holding both (an empty one adds nothing).
    constexpr IntRect united(const IntRect& o) const
    {
        if (o.isEmpty())
            return *this;
        if (isEmpty())
            return o;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    // Whether every pixel of `o` lies in this rectangle (an empty one does).
    constexpr bool containsRect(const IntRect& o) const
    {
        return o.isEmpty() || (o.left >= left && o.top >= top && o.right <= right && o.bottom <= bottom);
    }

    friend bool operator==(const IntRect&, const IntRect&) = default;
};

} // namespace gdi
