#include "platform/gdi/BoxFigure.h"
#include "platform/gdi/Int128.h"

#include <algorithm>
#include <cmath>

namespace gdi {

namespace {



UInt128 Square(std::uint64_t v)
{
    return UInt128(v) * v;
}

} // namespace

BoxFigure::BoxFigure(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b,
                     std::int64_t cw, std::int64_t ch)
    : l_(l), t_(t), r_(r), b_(b), cw_(cw), ch_(ch)
{
}

namespace {

// The half-width (doubled units, W's parity) of the pixels nearest to the
// curve when rows are chosen per column: column X lies on row |Y| or
// further out exactly when W * sqrt(H^2 - (|Y| - 1)^2) / H >= X.
std::int64_t ColumnExtent(std::int64_t W, std::int64_t H, std::int64_t Y)
{
    const std::uint64_t y = std::uint64_t(Y < 0 ? -Y : Y);
    if (y <= 1)
        return W;
    const std::uint64_t w = std::uint64_t(W), h = std::uint64_t(H);
    const UInt128 target = Square(w) * (Square(h) - Square(y - 1));
    std::uint64_t s = std::uint64_t(std::sqrt((long double)target) / (long double)h);
    while (s > 0 && Square(s * h) > target)
        --s;
    while (Square((s + 1) * h) <= target)
        ++s;
    std::int64_t x = std::int64_t(s);
    if ((x - W) % 2 != 0)
        --x;
    return std::min<std::int64_t>(x, W);
}

} // namespace

std::int64_t BoxFigure::HalfWidth(std::int64_t W, std::int64_t H, std::int64_t Y)
{
    return std::max(RowNearest(W, H, Y), ColumnExtent(W, H, Y));
}

std::int64_t BoxFigure::RowNearest(std::int64_t W, std::int64_t H, std::int64_t Y)
{
    const std::uint64_t w = std::uint64_t(W), h = std::uint64_t(H);
    const std::uint64_t y = std::uint64_t(Y < 0 ? -Y : Y);
    if (y >= h)
        return W % 2; // the top row: one pixel (odd box) or two (even box)
    const UInt128 target = Square(w) * (Square(h) - Square(y));
    // s = floor(sqrt(target) / h), found from a floating estimate.
    std::uint64_t s = std::uint64_t(std::sqrt((long double)target) / (long double)h);
    while (s > 0 && Square(s * h) > target)
        --s;
    while (Square((s + 1) * h) <= target)
        ++s;
    std::int64_t x0 = std::int64_t(s);
    if ((x0 - W) % 2 != 0)
        --x0;
    // x0 <= exact < x0 + 2; take the nearer one (halves round up).
    const std::int64_t mid = x0 + 1;
    if (mid >= 0 && Square(std::uint64_t(mid) * h) <= target)
        x0 += 2;
    else if (mid < 0)
        x0 += 2;
    return std::min<std::int64_t>(x0, W);
}

void BoxFigure::edges(std::int64_t y, std::int64_t& left, std::int64_t& right) const
{
    const std::int64_t wc = cw_ - 1, hc = ch_ - 1;
    std::int64_t yc = 0;
    bool corner = false;
    if (2 * y <= 2 * t_ + hc) {
        yc = 2 * y - 2 * t_ - hc;
        corner = true;
    } else if (2 * y >= 2 * (b_ - ch_) + hc) {
        yc = 2 * y - 2 * (b_ - ch_) - hc;
        corner = true;
    }
    if (!corner) {
        left = l_;
        right = r_ - 1;
        return;
    }
    const std::int64_t x = HalfWidth(wc, hc, yc);
    left = l_ + (wc - x) / 2;
    right = (r_ - 1) - (left - l_);
}

BoxFigure::Row BoxFigure::row(std::int64_t y) const
{
    std::int64_t left, right;
    edges(y, left, right);
    if (y == t_ || y == b_ - 1)
        return {left, right, left, right, true};
    const std::int64_t outer = (y - t_ > b_ - 1 - y) ? y + 1 : y - 1;
    std::int64_t outerLeft, outerRight;
    edges(outer, outerLeft, outerRight);
    return {left, std::max(left, outerLeft - 1), std::min(right, outerRight + 1), right, false};
}

} // namespace gdi
