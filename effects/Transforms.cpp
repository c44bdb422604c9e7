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

} // namespace zenvas
