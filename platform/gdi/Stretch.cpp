#include "platform/gdi/Canvas.h"
#include "platform/gdi/Int128.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace gdi {

namespace {

using i64 = std::int64_t;

// The destination cells of one axis that land in the bitmap, each with the
// source cells it covers and their coverage weights. Destination cell i
// covers [i * srcUnit, (i + 1) * srcUnit) and source cell k covers
// [k * dstUnit, (k + 1) * dstUnit), so the weights of a cell sum to srcUnit.
struct AxisMap {
    i64 first = 0, last = 0;       // visible destination cells [first, last)
    i64 srcFirst = 0, srcLast = 0; // source cells they read [srcFirst, srcLast)
    i64 srcUnit = 1;
    std::vector<i64> start;        // per visible cell: first source cell
    std::vector<std::uint32_t> offset; // per visible cell + 1: index into weights
    std::vector<std::uint32_t> weights;

    void build(i64 dstPos, i64 dstSize, i64 srcSize, i64 limit)
    {
        const i64 g = std::gcd(dstSize, srcSize);
        srcUnit = srcSize / g;
        const i64 dstUnit = dstSize / g;
        first = std::max<i64>(0, -dstPos);
        last = std::min<i64>(dstSize, limit - dstPos);
        start.clear();
        offset.assign(1, 0);
        weights.clear();
        if (first >= last)
            return;
        for (i64 i = first; i < last; ++i) {
            const i64 a = i * srcUnit, b = a + srcUnit;
            const i64 k0 = a / dstUnit, k1 = (b - 1) / dstUnit;
            start.push_back(k0);
            for (i64 k = k0; k <= k1; ++k) {
                const i64 lo = std::max(a, k * dstUnit), hi = std::min(b, (k + 1) * dstUnit);
                weights.push_back(std::uint32_t(hi - lo));
            }
            offset.push_back(std::uint32_t(weights.size()));
        }
        srcFirst = start.front();
        srcLast = start.back() + (offset.back() - offset[offset.size() - 2]);
    }
};

struct Scratch {
    AxisMap xs, ys;
    std::vector<std::uint64_t> acc64;
    std::vector<std::uint32_t> acc32;
    std::vector<int> columns;
};

Scratch& StretchScratch()
{
    static Scratch scratch; // the layer runs on one thread; reused to keep allocation out of loops
    return scratch;
}

template <typename Acc>
void Halftone(Bitmap& dst, const IntRect& destRect, const Bitmap& src, const IntRect& srcRect,
              Scratch& s, std::vector<Acc>& acc)
{
    const AxisMap& xs = s.xs;
    const AxisMap& ys = s.ys;
    const i64 den = xs.srcUnit * ys.srcUnit;
    const double inv = 1.0 / double(den);
    const i64 cols = xs.srcLast - xs.srcFirst;
    acc.resize(std::size_t(cols) * 3);
    for (i64 j = ys.first; j < ys.last; ++j) {
        std::fill(acc.begin(), acc.end(), Acc(0));
        const std::size_t jj = std::size_t(j - ys.first);
        const i64 k0 = ys.start[jj];
        for (std::uint32_t w = ys.offset[jj]; w < ys.offset[jj + 1]; ++w) {
            const Acc wy = Acc(ys.weights[w]);
            const i64 k = k0 + (w - ys.offset[jj]);
            const std::uint8_t* row = src.scanLine(int(srcRect.top + k)) + std::size_t(srcRect.left + xs.srcFirst) * 3;
            Acc* a = acc.data();
            for (i64 c = 0; c < cols * 3; ++c)
                a[c] += wy * row[c];
        }
        std::uint8_t* out = dst.scanLine(int(destRect.top + j)) + std::size_t(destRect.left + xs.first) * 3;
        for (i64 i = xs.first; i < xs.last; ++i, out += 3) {
            const std::size_t ii = std::size_t(i - xs.first);
            const i64 kx = xs.start[ii] - xs.srcFirst;
            std::uint64_t sum[3] = {0, 0, 0};
            for (std::uint32_t w = xs.offset[ii]; w < xs.offset[ii + 1]; ++w) {
                const std::uint64_t wx = xs.weights[w];
                const Acc* a = acc.data() + std::size_t(kx + (w - xs.offset[ii])) * 3;
                sum[0] += wx * a[0];
                sum[1] += wx * a[1];
                sum[2] += wx * a[2];
            }
            for (int ch = 0; ch < 3; ++ch) {
                const std::uint64_t n = sum[ch] + std::uint64_t(den / 2);
                std::uint64_t q = std::uint64_t(double(n) * inv);
                while (q * std::uint64_t(den) > n)
                    --q;
                while ((q + 1) * std::uint64_t(den) <= n)
                    ++q;
                out[ch] = std::uint8_t(q);
            }
        }
    }
}

} // namespace

void StretchHalftone(Bitmap& dst, const IntRect& destRect, const Bitmap& src, const IntRect& srcRect)
{
    const IntRect d = destRect.normalized();
    const IntRect sr = srcRect.normalized();
    if (d.isEmpty() || sr.isEmpty() || sr.intersected(src.bounds()) != sr)
        return;
    Scratch& s = StretchScratch();
    s.xs.build(d.left, d.width(), sr.width(), dst.width());
    s.ys.build(d.top, d.height(), sr.height(), dst.height());
    if (s.xs.first >= s.xs.last || s.ys.first >= s.ys.last)
        return;
    // Column sums of weighted bytes fit 32 bits unless the vertical unit is huge.
    if (std::uint64_t(s.ys.srcUnit) * 255 < (std::uint64_t(1) << 32))
        Halftone(dst, d, src, sr, s, s.acc32);
    else
        Halftone(dst, d, src, sr, s, s.acc64);
}

void StretchNearest(Bitmap& dst, const IntRect& destRect, const Bitmap& src, const IntRect& srcRect)
{
    const IntRect d = destRect.normalized();
    const IntRect sr = srcRect.normalized();
    if (d.isEmpty() || sr.isEmpty())
        return;
    const i64 x0 = std::max<i64>(0, -i64(d.left)), x1 = std::min<i64>(d.width(), dst.width() - i64(d.left));
    const i64 y0 = std::max<i64>(0, -i64(d.top)), y1 = std::min<i64>(d.height(), dst.height() - i64(d.top));
    if (x0 >= x1 || y0 >= y1)
        return;
    auto sourceIndex = [](i64 di, i64 dSize, i64 sSize) {
        return i64((Int128(2 * di + 1) * sSize) / (2 * Int128(dSize)));
    };
    std::vector<int>& columns = StretchScratch().columns;
    columns.resize(std::size_t(x1 - x0));
    for (i64 i = x0; i < x1; ++i) {
        const i64 sx = sr.left + sourceIndex(i, d.width(), sr.width());
        columns[std::size_t(i - x0)] = (sx >= 0 && sx < src.width()) ? int(sx) : -1;
    }
    const bool same = &dst == &src;
    Bitmap copy;
    const Bitmap& from = same ? (copy = src) : src;
    for (i64 j = y0; j < y1; ++j) {
        const i64 sy = sr.top + sourceIndex(j, d.height(), sr.height());
        if (sy < 0 || sy >= from.height())
            continue;
        const std::uint8_t* in = from.scanLine(int(sy));
        std::uint8_t* out = dst.scanLine(int(d.top + j)) + std::size_t(d.left + x0) * 3;
        for (i64 i = x0; i < x1; ++i, out += 3) {
            const int sx = columns[std::size_t(i - x0)];
            if (sx < 0)
                continue;
            const std::uint8_t* p = in + std::size_t(sx) * 3;
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        }
    }
}

} // namespace gdi
