#pragma once

#include "platform/gdi/Int128.h"
#include "platform/gdi/Rect.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace gdi {

// The pixels of a one-pixel line from a to b: one per step of the major
// axis, the minor offset of step j being the nearest integer to
// j * |minor| / |major| with exact halves going to the smaller coordinate.
// Only the steps whose major coordinate lies in [lo, hi) of `window` are
// visited, so a line through far coordinates costs only its visible part.
// visit(j, x, y) gets the step number and the pixel (64-bit).
struct LineSteps {
    std::int64_t x0, y0, dx, dy;
    std::int64_t count; // steps of the whole line (end point excluded)

    LineSteps(Point a, Point b)
        : x0(a.x), y0(a.y), dx(std::int64_t(b.x) - a.x), dy(std::int64_t(b.y) - a.y),
          count(std::max(std::llabs(dx), std::llabs(dy)))
    {
    }

    template <typename Visit>
    void walk(bool includeEnd, std::int64_t lo, std::int64_t hi, std::int64_t minorLo,
              std::int64_t minorHi, Visit&& visit) const
    {
        // lo/hi bound x, minorLo/minorHi bound y; swapped below for y-major lines.
        const bool xMajor = std::llabs(dx) > std::llabs(dy);
        const std::int64_t major0 = xMajor ? x0 : y0;
        const std::int64_t minor0 = xMajor ? y0 : x0;
        const std::int64_t dMajor = xMajor ? dx : dy;
        const std::int64_t dMinor = xMajor ? dy : dx;
        const std::int64_t majLo = xMajor ? lo : minorLo;
        const std::int64_t majHi = xMajor ? hi : minorHi;
        const std::int64_t minLo = xMajor ? minorLo : lo;
        const std::int64_t minHi = xMajor ? minorHi : hi;
        const std::int64_t D = count;
        const std::int64_t m = std::llabs(dMinor);
        const int sMaj = dMajor < 0 ? -1 : 1;
        const int sMin = dMinor < 0 ? -1 : 1;
        const std::int64_t last = includeEnd ? D : D - 1;
        if (last < 0)
            return;
        if (D == 0) {
            if (x0 >= lo && x0 < hi && y0 >= minorLo && y0 < minorHi)
                visit(std::int64_t(0), x0, y0);
            return;
        }
        // Steps whose major coordinate is inside [majLo, majHi).
        std::int64_t jFirst, jLast;
        if (sMaj > 0) {
            jFirst = majLo - major0;
            jLast = majHi - 1 - major0;
        } else {
            jFirst = major0 - (majHi - 1);
            jLast = major0 - majLo;
        }
        jFirst = std::max<std::int64_t>(jFirst, 0);
        jLast = std::min(jLast, last);
        if (jFirst > jLast)
            return;
        const std::int64_t twoD = 2 * D;
        const Int128 bias = sMin > 0 ? D - 1 : D;
        const Int128 n = Int128(2) * jFirst * m + bias;
        std::int64_t q = std::int64_t(n / twoD);
        std::int64_t rem = std::int64_t(n % twoD);
        for (std::int64_t j = jFirst; j <= jLast; ++j) {
            const std::int64_t maj = major0 + sMaj * j;
            const std::int64_t min = minor0 + sMin * q;
            if (min >= minLo && min < minHi) {
                if (xMajor)
                    visit(j, maj, min);
                else
                    visit(j, min, maj);
            }
            rem += 2 * m;
            if (rem >= twoD) {
                rem -= twoD;
                ++q;
            }
        }
    }
};

} // namespace gdi
