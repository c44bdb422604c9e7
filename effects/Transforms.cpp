#include "effects/Transforms.h"

#include "platform/gdi/Error.h"
#include "plugin/Random.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace zenvas {
namespace {

// The shared generator run locally for the length of one transform: the
// seed is read once, stepped here with the same rule, and written back.
class Draws {
public:
    Draws() : seed_(RandomSeed()) {}
    ~Draws() { SetRandomSeed(seed_); }
    Draws(const Draws&) = delete;
    Draws& operator=(const Draws&) = delete;

    std::int32_t random(std::int32_t n)
    {
        seed_ = seed_ * 134775813u + 1u;
        if (n <= 0)
            return 0;
        return static_cast<std::int32_t>((std::uint64_t(seed_) * std::uint32_t(n)) >> 32);
    }

    std::int64_t shift(std::int64_t v, std::int32_t r)
    {
        if (random(2) != 0)
            return v - random(r);
        return v + random(r);
    }

private:
    std::uint32_t seed_;
};

// The working copy of blocks and frosted glass. Its store is kept from call
// to call, so a transform on a large picture does not pay for fresh memory
// each time.
class WorkingCopy {
public:
    const std::uint8_t* take(const gdi::Bitmap& bitmap)
    {
        const std::size_t bytes = bitmap.stride() * std::size_t(bitmap.height());
        if (bytes > capacity_) {
            store_.reset();
            capacity_ = 0;
            store_.reset(new std::uint8_t[bytes]);
            capacity_ = bytes;
        }
        if (bytes)
            std::memcpy(store_.get(), bitmap.scanLine(0), bytes);
        return store_.get();
    }

private:
    std::unique_ptr<std::uint8_t[]> store_;
    std::size_t capacity_ = 0;
};

WorkingCopy& SharedWorkingCopy()
{
    static WorkingCopy copy;
    return copy;
}

std::uint8_t* Pixels(gdi::Bitmap& bitmap)
{
    return bitmap.scanLine(0);
}

std::size_t PixelCount(const gdi::Bitmap& bitmap)
{
    return std::size_t(bitmap.width()) * std::size_t(bitmap.height());
}

// Applies one table per channel to every pixel.
void ApplyChannelTables(gdi::Bitmap& bitmap, const std::array<std::uint8_t, 256>& red,
                        const std::array<std::uint8_t, 256>& green, const std::array<std::uint8_t, 256>& blue)
{
    if (bitmap.isEmpty())
        return;
    std::uint8_t* p = Pixels(bitmap);
    const std::size_t n = PixelCount(bitmap);
    for (std::size_t i = 0; i < n; ++i, p += 3) {
        p[0] = blue[p[0]];
        p[1] = green[p[1]];
        p[2] = red[p[2]];
    }
}

std::array<std::uint8_t, 256> ShiftTable(std::int32_t change)
{
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const std::int64_t shifted = std::int64_t(c) + change;
        table[c] = static_cast<std::uint8_t>(shifted >= 0 && shifted <= 255 ? shifted : c);
    }
    return table;
}

void DefaultReseed()
{
    Randomize();
}

} // namespace

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
    ApplyChannelTables(bitmap, ShiftTable(red), ShiftTable(green), ShiftTable(blue));
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
    ApplyChannelTables(bitmap, table, table, table);
}

void BitmapNegative(gdi::Bitmap& bitmap)
{
    if (bitmap.isEmpty())
        return;
    std::uint8_t* p = Pixels(bitmap);
    const std::size_t bytes = PixelCount(bitmap) * 3;
    for (std::size_t i = 0; i < bytes; ++i)
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
    std::array<std::array<std::uint8_t, 3>, 766> table{};
    for (int s = 0; s < 766; ++s) {
        const double t = double(s) / 300.0;
        for (int c = 0; c < 3; ++c) {
            const long double scaled = std::nearbyint(factors[c] * static_cast<long double>(t));
            table[s][c] = ClampByte(static_cast<std::int64_t>(scaled));
        }
    }
    if (bitmap.isEmpty())
        return;
    std::uint8_t* p = Pixels(bitmap);
    const std::size_t n = PixelCount(bitmap);
    for (std::size_t i = 0; i < n; ++i, p += 3) {
        const auto& out = table[unsigned(p[0]) + p[1] + p[2]];
        p[0] = out[0];
        p[1] = out[1];
        p[2] = out[2];
    }
}

void BitmapBlock(gdi::Bitmap& bitmap, std::int32_t blockWidth, std::int32_t blockHeight, std::int32_t seam,
                 gdi::Color colour)
{
    if (blockWidth < 1 || blockHeight < 1)
        return;
    seam = std::max(seam, 0);
    const std::int64_t width = bitmap.width(), height = bitmap.height();
    const std::uint8_t* copy = SharedWorkingCopy().take(bitmap);
    const std::size_t stride = bitmap.stride();
    bitmap.fill(colour);
    const std::int64_t lastColumn = (width - 1) / blockWidth;
    const std::int64_t lastRow = (height - 1) / blockHeight;
    EffectReseed()();
    Draws draws;
    for (std::int64_t i = 0; i <= lastColumn; ++i) {
        for (std::int64_t j = 0; j <= lastRow; ++j) {
            const std::int64_t sx = blockWidth * i, sy = blockHeight * j;
            const std::int64_t yDest = draws.shift(sy, seam);
            const std::int64_t xDest = draws.shift(sx, seam);
            const std::int64_t dx = xDest - sx, dy = yDest - sy;
            // The part of the block inside the copy whose destination lies
            // inside the picture.
            const std::int64_t x0 = std::max(sx, -dx);
            const std::int64_t x1 = std::min({sx + blockWidth, width, width - dx});
            const std::int64_t y0 = std::max(sy, -dy);
            const std::int64_t y1 = std::min({sy + blockHeight, height, height - dy});
            if (x0 >= x1 || y0 >= y1)
                continue;
            const std::size_t bytes = std::size_t(x1 - x0) * 3;
            for (std::int64_t y = y0; y < y1; ++y)
                std::memcpy(bitmap.scanLine(int(y + dy)) + (x0 + dx) * 3, copy + std::size_t(y) * stride + x0 * 3,
                            bytes);
        }
    }
}

void BitmapFrostGlass(gdi::Bitmap& bitmap, std::int32_t rangeX, std::int32_t rangeY, gdi::Color colour)
{
    EffectReseed()();
    rangeX = std::max(rangeX, 0);
    rangeY = std::max(rangeY, 0);
    const int width = bitmap.width(), height = bitmap.height();
    const std::uint8_t* copy = SharedWorkingCopy().take(bitmap);
    const std::size_t stride = bitmap.stride();
    bitmap.fill(colour);
    if (bitmap.isEmpty())
        return;
    std::uint8_t* picture = Pixels(bitmap);
    Draws draws;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::int64_t nx = draws.shift(x, rangeX);
            const std::int64_t ny = draws.shift(y, rangeY);
            if (nx < 0 || nx >= width - 1 || ny < 0 || ny >= height - 1)
                continue;
            const std::size_t here = std::size_t(y) * stride + std::size_t(x) * 3;
            const std::size_t there = std::size_t(ny) * stride + std::size_t(nx) * 3;
            picture[here] = copy[there];
            picture[here + 1] = copy[there + 1];
            picture[here + 2] = copy[there + 2];
            picture[there] = copy[here];
            picture[there + 1] = copy[here + 1];
            picture[there + 2] = copy[here + 2];
        }
    }
}

void BitmapMonoPixel(gdi::Bitmap& bitmap, std::uint16_t cellWidth, std::uint16_t cellHeight)
{
    if (cellWidth == 1 && cellHeight == 1)
        return;
    if (cellWidth == 0 || cellHeight == 0)
        throw gdi::Error("cell size of 0");
    const std::int64_t width = bitmap.width(), height = bitmap.height();
    if (width == 0 || height == 0)
        return;
    const std::int64_t lastColumn = (width - 1) / cellWidth;
    const std::int64_t lastRow = (height - 1) / cellHeight;
    for (std::int64_t i = 0; i <= lastColumn; ++i) {
        const std::int64_t x1 = cellWidth * i;
        const std::int64_t x2 = std::min(cellWidth * (i + 1), width - 1);
        const std::size_t rowBytes = std::size_t(x2 - x1 + 1) * 3;
        for (std::int64_t j = 0; j <= lastRow; ++j) {
            const std::int64_t y1 = cellHeight * j;
            const std::int64_t y2 = std::min(cellHeight * (j + 1), height - 1);
            std::uint64_t blue = 0, green = 0, red = 0;
            for (std::int64_t y = y1; y <= y2; ++y) {
                const std::uint8_t* p = bitmap.scanLine(int(y)) + x1 * 3;
                for (std::size_t k = 0; k < rowBytes; k += 3) {
                    blue += p[k];
                    green += p[k + 1];
                    red += p[k + 2];
                }
            }
            const std::uint64_t count = std::uint64_t(x2 - x1 + 1) * std::uint64_t(y2 - y1 + 1);
            const std::uint8_t cell[3] = {static_cast<std::uint8_t>(blue / count),
                                          static_cast<std::uint8_t>(green / count),
                                          static_cast<std::uint8_t>(red / count)};
            for (std::int64_t y = y1; y <= y2; ++y) {
                std::uint8_t* p = bitmap.scanLine(int(y)) + x1 * 3;
                for (std::size_t k = 0; k < rowBytes; k += 3) {
                    p[k] = cell[0];
                    p[k + 1] = cell[1];
                    p[k + 2] = cell[2];
                }
            }
        }
    }
}

void BitmapAddNoise(gdi::Bitmap& bitmap, std::int32_t amount, bool blackAndWhite)
{
    EffectReseed()();
    amount = std::max(amount, 0);
    const std::int32_t half = amount / 2;
    if (bitmap.isEmpty())
        return;
    std::uint8_t* p = Pixels(bitmap);
    const std::size_t n = PixelCount(bitmap);
    Draws draws;
    if (blackAndWhite) {
        for (std::size_t i = 0; i < n; ++i, p += 3) {
            const std::int32_t d = draws.random(amount) - half;
            p[2] = ClampByte(p[2] + d);
            p[1] = ClampByte(p[1] + d);
            p[0] = ClampByte(p[0] + d);
        }
    } else {
        for (std::size_t i = 0; i < n; ++i, p += 3) {
            p[2] = ClampByte(p[2] + (draws.random(amount) - half));
            p[1] = ClampByte(p[1] + (draws.random(amount) - half));
            p[0] = ClampByte(p[0] + (draws.random(amount) - half));
        }
    }
}

} // namespace zenvas
