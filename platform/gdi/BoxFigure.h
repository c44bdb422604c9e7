#pragma once

#include <cstdint>

namespace gdi {

// The outline of a rounded box: the rows t..b-1 of the box (l, t, r, b),
// each row's left and right extent taken from a corner ellipse of cw x ch
// pixels (cw = box width and ch = box height give a full ellipse). The
// ellipse is computed per row with integers and is exactly symmetric about
// the box centre. Boxes must be at least 3 x 3 and corners at least 3 x 3.
class BoxFigure {
public:
    BoxFigure(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, std::int64_t cw,
              std::int64_t ch);

    std::int64_t top() const { return t_; }
    std::int64_t bottom() const { return b_; }

    // The outline pixels of row y: [leftFrom, leftTo] and [rightFrom, rightTo]
    // (inclusive; equal runs on the top and bottom rows, which are full).
    // The interior of the row is leftTo+1 .. rightFrom-1.
    struct Row {
        std::int64_t leftFrom, leftTo, rightFrom, rightTo;
        bool full;
    };
    Row row(std::int64_t y) const;

    // Outline pixels in drawing order: from the right end of the top row
    // leftwards, down the left side, along the bottom and up the right
    // side. Pixels outside rows [rowLo, rowHi) and columns [colLo, colHi)
    // are counted but not visited. visit(index, x, y).
    template <typename Visit>
    void walk(std::int64_t rowLo, std::int64_t rowHi, std::int64_t colLo, std::int64_t colHi,
              Visit&& visit) const;

    // Half-width in doubled units of the ellipse whose outermost pixel
    // centres are W and H apart, at doubled row offset Y from the centre:
    // the row's pixel nearest to the curve, widened by the columns whose
    // nearest pixel falls on this row (the flat parts), as the midpoint
    // algorithm would choose them.
    static std::int64_t HalfWidth(std::int64_t W, std::int64_t H, std::int64_t Y);
    // The value with W's parity nearest to W * sqrt(H^2 - Y^2) / H.
    static std::int64_t RowNearest(std::int64_t W, std::int64_t H, std::int64_t Y);

private:
    void edges(std::int64_t y, std::int64_t& left, std::int64_t& right) const;

    std::int64_t l_, t_, r_, b_, cw_, ch_;
};

template <typename Visit>
void BoxFigure::walk(std::int64_t rowLo, std::int64_t rowHi, std::int64_t colLo, std::int64_t colHi,
                     Visit&& visit) const
{
    std::int64_t index = 0;
    auto run = [&](std::int64_t y, std::int64_t from, std::int64_t to) {
        const std::int64_t n = (to >= from ? to - from : from - to) + 1;
        if (y >= rowLo && y < rowHi) {
            const std::int64_t step = to >= from ? 1 : -1;
            // Steps i whose column from + step * i lies in [colLo, colHi).
            std::int64_t i0 = step > 0 ? colLo - from : from - (colHi - 1);
            std::int64_t i1 = step > 0 ? colHi - 1 - from : from - colLo;
            i0 = i0 < 0 ? 0 : i0;
            i1 = i1 > n - 1 ? n - 1 : i1;
            for (std::int64_t i = i0; i <= i1; ++i)
                visit(index + i, from + step * i, y);
        }
        index += n;
    };
    const Row first = row(t_);
    run(t_, first.rightTo, first.leftFrom);
    for (std::int64_t y = t_ + 1; y < b_ - 1; ++y) {
        const Row rw = row(y);
        if (y - t_ > b_ - 1 - y)
            run(y, rw.leftFrom, rw.leftTo);
        else
            run(y, rw.leftTo, rw.leftFrom);
    }
    const Row lastRow = row(b_ - 1);
    run(b_ - 1, lastRow.leftFrom, lastRow.rightTo);
    for (std::int64_t y = b_ - 2; y > t_; --y) {
        const Row rw = row(y);
        if (y - t_ > b_ - 1 - y)
            run(y, rw.rightFrom, rw.rightTo);
        else
            run(y, rw.rightTo, rw.rightFrom);
    }
}

} // namespace gdi
