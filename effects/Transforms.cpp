#include "effects/Transforms.h"

#include "effects/ColourMaps.h"
#include "effects/Draws.h"
#include "effects/Working.h"

#include "platform/gdi/Error.h"
#include "platform/system/PageBuffer.h"
#include "plugin/Random.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace zenvas {
namespace {

std::uint8_t* Pixels(gdi::Bitmap& bitmap)
{
    return bitmap.scanLine(0);
}

std::size_t PixelCount(const gdi::Bitmap& bitmap)
{
    return std::size_t(bitmap.width()) * std::size_t(bitmap.height());
}

void DefaultReseed()
{
    Randomize();
}

} // namespace

WorkingMemory& Working()
{
    static WorkingMemory memory;
    return memory;
}

const std::uint8_t* TakeCopy(const gdi::Bitmap& bitmap)
{
    const std::size_t bytes = bitmap.stride() * std::size_t(bitmap.height());
    std::uint8_t* copy = Working().copy.reserve(bytes);
    if (bytes)
        std::memcpy(copy, bitmap.scanLine(0), bytes);
    return copy;
}

void TrimTransformMemory(std::size_t bytes)
{
    for (sys::PageBuffer* buffer : {&Working().copy, &Working().rows, &Working().sums, &Working().colours})
        if (buffer->capacity() > bytes)
            buffer->release();
}

ReseedRoutine& EffectReseed()
{
    static ReseedRoutine routine = &DefaultReseed;
    return routine;
}

std::int64_t RandomShift(std::int64_t v, std::int32_t r)
{
    Draws draws;
    return draws.shift(v, r);
}

bool BitmapChangeRGB(gdi::Bitmap& bitmap, std::int32_t red, std::int32_t green, std::int32_t blue)
{
    if (red == 0 && green == 0 && blue == 0)
        return false;
    if (!bitmap.isEmpty())
        ShiftChannels(Pixels(bitmap), PixelCount(bitmap), {blue, green, red});
    return true;
}

std::array<std::uint8_t, 256> GammaTable(double gamma)
{
    if (gamma == 0)
        gamma = 0.01;
    const long double exponent = 1.0L / static_cast<long double>(gamma);
    std::array<std::uint8_t, 256> table{};
    for (int i = 1; i < 256; ++i) {
        const long double value =
            std::nearbyint(255.0L * std::exp(std::log(static_cast<long double>(i) / 255.0L) * exponent));
        table[i] = value >= 255.0L ? 255 : value <= 0.0L ? 0 : static_cast<std::uint8_t>(value);
    }
    return table;
}

void BitmapChangeGamma(gdi::Bitmap& bitmap, double gamma)
{
    const auto table = GammaTable(gamma);
    if (!bitmap.isEmpty())
        MapEveryByte(Pixels(bitmap), PixelCount(bitmap) * 3, table);
}

void BitmapNegative(gdi::Bitmap& bitmap)
{
    if (bitmap.isEmpty())
        return;
    // Word by word: every byte is inverted alike, whichever channel it is.
    std::uint8_t* p = Pixels(bitmap);
    const std::size_t bytes = PixelCount(bitmap) * 3;
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        word = ~word;
        std::memcpy(p + i, &word, 8);
    }
    for (; i < bytes; ++i)
        p[i] = static_cast<std::uint8_t>(~p[i]);
}

std::uint8_t TintFactor(int component)
{
    if (component <= 0)
        return 0;
    if (component >= 100)
        return 255;
    const int hundredths = component * 255;
    int factor = hundredths / 100;
    const int rest = hundredths % 100;
    if (rest > 50 || (rest == 50 && factor % 2 != 0))
        ++factor;
    return static_cast<std::uint8_t>(factor);
}

void BitmapMonochrome(gdi::Bitmap& bitmap, gdi::Color colour)
{
    const long double factors[3] = {static_cast<long double>(TintFactor(gdi::BlueOf(colour))),
                                     static_cast<long double>(TintFactor(gdi::GreenOf(colour))),
                                     static_cast<long double>(TintFactor(gdi::RedOf(colour)))};
    // The result depends only on the channel sum, so one table over the
    // sums 0..765 holds every answer.
    SumTable table{};
    for (int s = 0; s < 766; ++s) {
        const double t = double(s) / 300.0;
        for (int c = 0; c < 3; ++c) {
            const long double scaled = std::nearbyint(factors[c] * static_cast<long double>(t));
            table[s] |= std::uint32_t(ClampByte(static_cast<std::int64_t>(scaled))) << (8 * c);
        }
    }
    if (!bitmap.isEmpty())
        MapChannelSums(Pixels(bitmap), PixelCount(bitmap), table);
}

namespace {

// Truncating division by a pixel count through a reciprocal, made exact by
// one correction step either way; sums stay far below 2^52.
class CountDivider {
public:
    std::uint8_t operator()(std::uint64_t sum, std::uint64_t count)
    {
        if (count != divisor_) [[unlikely]] {
            divisor_ = count;
            reciprocal_ = 1.0 / double(count);
        }
        std::uint64_t q = static_cast<std::uint64_t>(double(sum) * reciprocal_);
        if (q * count > sum)
            --q;
        else if ((q + 1) * count <= sum)
            ++q;
        return static_cast<std::uint8_t>(q);
    }

private:
    std::uint64_t divisor_ = 0;
    double reciprocal_ = 0;
};

// The enlarged-pixels transform. Each window is filled in turn, cell
// columns from the left and each from the top, so when cell (i, j) takes
// its average, the first row of its window already holds the colour of
// cell (i, j - 1) and its first column that of cell (i - 1, j), except the
// column's last pixel, which cell (i - 1, j + 1) has filled since; every
// other pixel of the window (its "fresh" part) is still as it was. So the
// work splits in three: the sums of the fresh parts, in one pass down the
// picture; the cell colours, each from its fresh sum and the colours of
// cells (i, j - 1), (i - 1, j) and (i - 1, j + 1); and the fill, in which
// each pixel takes the colour of the last window that covered it, that of
// the cell it lies in.
template <class Sum>
class CellAverages {
public:
    CellAverages(gdi::Bitmap& bitmap, std::int64_t cellWidth, std::int64_t cellHeight)
        : base_(Pixels(bitmap)), stride_(bitmap.stride()), width_(bitmap.width()), height_(bitmap.height()),
          cellWidth_(cellWidth), cellHeight_(cellHeight), columns_((width_ - 1) / cellWidth + 1),
          rows_((height_ - 1) / cellHeight + 1)
    {
        cells_ = std::size_t((columns_ + kBand - 1) / kBand) * std::size_t(kBand) * std::size_t(rows_);
        sums_ = reinterpret_cast<Sum*>(Working().sums.reserve(cells_ * 3 * sizeof(Sum)));
        colours_ = Working().colours.reserve(cells_ * 3);
    }

    void run()
    {
        sumFreshParts();
        colourCells();
        fill();
    }

private:
    // Cells are kept in bands of kBand columns, each band's rows one after
    // another, so that working down a band reads memory in order.
    static constexpr std::int64_t kBand = 8;

    // The first of cell (i, j)'s three values.
    std::size_t at(std::int64_t i, std::int64_t j) const
    {
        return ((std::size_t(i / kBand) * std::size_t(rows_) + std::size_t(j)) * kBand + std::size_t(i % kBand)) * 3;
    }

    // The column of cells a pixel column is fresh in: column 0 belongs to
    // cell 0, columns w*i + 1 .. w*(i + 1) to cell i.
    void sumFreshParts()
    {
        std::fill(sums_, sums_ + cells_ * 3, Sum(0));
        for (std::int64_t y = 0; y < height_; ++y) {
            const std::int64_t j = y == 0 ? 0 : (y - 1) / cellHeight_;
            Sum* const row = sums_ + at(0, j);
            // Cell i of the row: bands lie rows_ cells apart.
            const auto cell = [&](std::int64_t i) {
                return row + (std::size_t(i / kBand) * std::size_t(rows_) * kBand + std::size_t(i % kBand)) * 3;
            };
            Sum* sum = row;
            const std::uint8_t* p = base_ + std::size_t(y) * stride_;
            std::int64_t x = 0;
            std::int64_t i = 0;
            if (cellWidth_ == 2) {
                // The common size: cell 0 takes columns 0..2, every later
                // whole cell the two columns after its first.
                const std::int64_t whole = std::min((width_ - 1) / 2, columns_);
                if (whole > 0) {
                    sum[0] += Sum(p[0] + p[3] + p[6]);
                    sum[1] += Sum(p[1] + p[4] + p[7]);
                    sum[2] += Sum(p[2] + p[5] + p[8]);
                    p += 9;
                    for (i = 1; i < whole; ++i, p += 6) {
                        sum = cell(i);
                        sum[0] += Sum(p[0] + p[3]);
                        sum[1] += Sum(p[1] + p[4]);
                        sum[2] += Sum(p[2] + p[5]);
                    }
                    x = 2 * whole + 1;
                }
            }
            for (; i < columns_; ++i) {
                sum = cell(i);
                const std::int64_t end = std::min(cellWidth_ * (i + 1), width_ - 1);
                Sum b = 0, g = 0, r = 0;
                for (; x <= end; ++x, p += 3) {
                    b += p[0];
                    g += p[1];
                    r += p[2];
                }
                sum[0] += b;
                sum[1] += g;
                sum[2] += r;
            }
        }
    }

    const std::uint8_t* colour(std::int64_t i, std::int64_t j) const
    {
        return colours_ + at(i, j);
    }

    void colourCell(std::int64_t i, std::int64_t j, CountDivider& divide)
    {
        const std::int64_t x1 = cellWidth_ * i;
        const std::uint64_t across = std::uint64_t(std::min(cellWidth_ * (i + 1), width_ - 1) - x1 + 1);
        const std::int64_t y1 = cellHeight_ * j;
        const std::int64_t y2 = std::min(cellHeight_ * (j + 1), height_ - 1);
        const Sum* fresh = sums_ + at(i, j);
        std::uint64_t b = fresh[0], g = fresh[1], r = fresh[2];
        const std::int64_t freshTop = j > 0 ? y1 + 1 : y1;
        if (j > 0) {
            const std::uint8_t* above = colour(i, j - 1);
            b += across * above[0];
            g += across * above[1];
            r += across * above[2];
        }
        if (i > 0 && freshTop <= y2) {
            std::uint64_t left = std::uint64_t(y2 - freshTop + 1);
            if (j + 1 < rows_) {
                const std::uint8_t* below = colour(i - 1, j + 1);
                b += below[0];
                g += below[1];
                r += below[2];
                --left;
            }
            const std::uint8_t* beside = colour(i - 1, j);
            b += left * beside[0];
            g += left * beside[1];
            r += left * beside[2];
        }
        const std::uint64_t count = across * std::uint64_t(y2 - y1 + 1);
        std::uint8_t* out = colours_ + at(i, j);
        out[0] = divide(b, count);
        out[1] = divide(g, count);
        out[2] = divide(r, count);
    }

    // Cells with equal 2i + j do not depend on each other. They are visited
    // in bands of columns, and within a band by rising 2i + j: every
    // dependency stays in order, and neighbouring cells can be worked on at
    // once.
    void colourCells()
    {
        CountDivider divide;
        // Inner cells (not in the first or last row or column of cells)
        // share one window shape; small windows divide through a table.
        const std::uint64_t across = std::uint64_t(cellWidth_) + 1;
        const std::uint64_t beside = std::uint64_t(cellHeight_) - 1;
        const std::uint64_t count = across * (std::uint64_t(cellHeight_) + 1);
        std::vector<std::uint8_t> quotients;
        if (count * 255 < (1u << 16)) {
            quotients.resize(count * 255 + 1);
            for (std::size_t s = 0; s < quotients.size(); ++s)
                quotients[s] = static_cast<std::uint8_t>(s / count);
        }
        const std::uint8_t* const quotient = quotients.empty() ? nullptr : quotients.data();
        const std::int64_t innerColumns = (width_ - 1) / cellWidth_; // cells i with w*(i + 1) <= width - 1
        const std::int64_t rows = rows_;
        const std::size_t rowStep = kBand * 3;
        const std::size_t bandStep = std::size_t(rows_) * kBand * 3;
        // Local copies: the byte stores below may alias the members.
        const Sum* const sums = sums_;
        std::uint8_t* const colours = colours_;
        for (std::int64_t first = 0; first < columns_; first += kBand) {
            const std::int64_t last = std::min(first + kBand, columns_) - 1;
            for (std::int64_t t = 2 * first; t <= 2 * last + rows_ - 1; ++t) {
                const std::int64_t low = t - (rows_ - 1); // 2i >= low
                const std::int64_t from = std::max(first, low > 0 ? (low + 1) / 2 : 0);
                const std::int64_t to = std::min(last, t / 2);
                for (std::int64_t i = from; i <= to; ++i) {
                    const std::int64_t j = t - 2 * i;
                    if (i == 0 || j == 0 || j + 1 >= rows || i >= innerColumns) [[unlikely]] {
                        colourCell(i, j, divide);
                        continue;
                    }
                    const std::size_t here = at(i, j);
                    const Sum* fresh = sums + here;
                    const std::uint8_t* up = colours + here - rowStep;
                    const std::uint8_t* left = colours + here - (i % kBand ? 3 : bandStep - (kBand - 1) * 3);
                    const std::uint8_t* lowerLeft = left + rowStep;
                    const std::uint64_t b = fresh[0] + across * up[0] + lowerLeft[0] + beside * left[0];
                    const std::uint64_t g = fresh[1] + across * up[1] + lowerLeft[1] + beside * left[1];
                    const std::uint64_t r = fresh[2] + across * up[2] + lowerLeft[2] + beside * left[2];
                    std::uint8_t* out = colours + here;
                    if (quotient) {
                        out[0] = quotient[b];
                        out[1] = quotient[g];
                        out[2] = quotient[r];
                    } else {
                        out[0] = divide(b, count);
                        out[1] = divide(g, count);
                        out[2] = divide(r, count);
                    }
                }
            }
        }
    }

    // Rows of one row of cells are alike: the first is built, the others
    // copied from it.
    void fill()
    {
        for (std::int64_t j = 0; j < rows_; ++j) {
            const std::int64_t top = cellHeight_ * j;
            const std::int64_t bottom = std::min(top + cellHeight_, height_);
            std::uint8_t* const first = base_ + std::size_t(top) * stride_;
            std::uint8_t* p = first;
            std::int64_t i = 0;
            if (cellWidth_ == 2) {
                // Two pixels of a cell as one six-byte store.
                for (; 2 * (i + 1) <= width_; ++i, p += 6) {
                    const std::uint8_t* c = colours_ + at(i, j);
                    const std::uint8_t pair[6] = {c[0], c[1], c[2], c[0], c[1], c[2]};
                    std::memcpy(p, pair, 6);
                }
            }
            for (; i < columns_; ++i) {
                const std::uint8_t* c = colours_ + at(i, j);
                const std::int64_t run = std::min(cellWidth_, width_ - cellWidth_ * i);
                const std::uint8_t b = c[0], g = c[1], r = c[2];
                for (std::int64_t k = 0; k < run; ++k, p += 3) {
                    p[0] = b;
                    p[1] = g;
                    p[2] = r;
                }
            }
            for (std::int64_t y = top + 1; y < bottom; ++y)
                std::memcpy(base_ + std::size_t(y) * stride_, first, stride_);
        }
    }

    std::uint8_t* const base_;
    const std::size_t stride_;
    const std::int64_t width_, height_, cellWidth_, cellHeight_, columns_, rows_;
    std::size_t cells_ = 0; // in whole bands
    Sum* sums_ = nullptr;
    std::uint8_t* colours_ = nullptr;
};

} // namespace

void BitmapMonoPixel(gdi::Bitmap& bitmap, std::uint16_t cellWidth, std::uint16_t cellHeight)
{
    if (cellWidth == 1 && cellHeight == 1)
        return;
    if (cellWidth == 0 || cellHeight == 0)
        throw gdi::Error("cell size of 0");
    if (bitmap.isEmpty())
        return;
    // A fresh part holds at most (w + 1) * (h + 1) pixels.
    const std::uint64_t largestSum = (std::uint64_t(cellWidth) + 1) * (std::uint64_t(cellHeight) + 1) * 255;
    if (largestSum <= 0xFFFFu)
        CellAverages<std::uint16_t>(bitmap, cellWidth, cellHeight).run();
    else if (largestSum <= 0xFFFFFFFFu)
        CellAverages<std::uint32_t>(bitmap, cellWidth, cellHeight).run();
    else
        CellAverages<std::uint64_t>(bitmap, cellWidth, cellHeight).run();
}

} // namespace zenvas
