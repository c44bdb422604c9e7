#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Color.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The eight whole-picture transforms. Each changes the bitmap in place,
// working on its 24-bit rows (blue, green, red bytes per pixel, rows from
// the top). Real numbers become integers by rounding to nearest, ties to the
// even neighbour.
namespace zenvas {

// Below 0 gives 0, above 255 gives 255.
constexpr std::uint8_t ClampByte(std::int64_t value)
{
    return value < 0 ? 0 : value > 255 ? 255 : static_cast<std::uint8_t>(value);
}

// One coin draw, then one amount draw from the shared generator: v - amount
// when the coin is not 0, else v + amount. For r of 0 or 1 the result is v.
std::int64_t RandomShift(std::int64_t v, std::int32_t r);

// Adds each change to its channel where the sum stays inside 0..255; a
// channel that would leave the range keeps its value. False, with nothing
// done, when all three changes are 0.
bool BitmapChangeRGB(gdi::Bitmap& bitmap, std::int32_t red, std::int32_t green, std::int32_t blue);

// The 256-entry curve 255 * (i / 255)^(1 / gamma), computed in extended
// precision; a gamma of 0 counts as 0.01. Entries are limited to 0..255, so
// a negative gamma saturates instead of wrapping.
std::array<std::uint8_t, 256> GammaTable(double gamma);
void BitmapChangeGamma(gdi::Bitmap& bitmap, double gamma);

// Every byte b becomes 255 - b.
void BitmapNegative(gdi::Bitmap& bitmap);

// component * 2.55 in exact decimal arithmetic, rounded half to even, and
// limited to 255 for components above 100.
std::uint8_t TintFactor(int component);
// Each pixel takes the tint factors scaled by (blue + green + red) / 300.
void BitmapMonochrome(gdi::Bitmap& bitmap, gdi::Color colour);

// Blocks of blockWidth x blockHeight, each moved by RandomShift of up to
// seam - 1 pixels over a picture filled with the seam colour. Block sizes
// below 1 leave the picture as it is; a negative seam counts as 0.
void BitmapBlock(gdi::Bitmap& bitmap, std::int32_t blockWidth, std::int32_t blockHeight,
                 std::int32_t seam, gdi::Color colour);

// Every pixel swapped with a random neighbour within the ranges, over a
// picture filled with the rime colour. Negative ranges count as 0.
void BitmapFrostGlass(gdi::Bitmap& bitmap, std::int32_t rangeX, std::int32_t rangeY, gdi::Color colour);

// Cells filled with the truncated average of their window, which reaches one
// column and one row into the next cells. A size of 0 throws gdi::Error.
void BitmapMonoPixel(gdi::Bitmap& bitmap, std::uint16_t cellWidth, std::uint16_t cellHeight);

// Random offsets -amount/2 .. amount-1-amount/2: one per pixel for black and
// white noise, one per channel (red, green, blue) for coloured noise. A
// negative amount counts as 0.
void BitmapAddNoise(gdi::Bitmap& bitmap, std::int32_t amount, bool blackAndWhite);

// The transforms keep their working memory from call to call: the copy of
// the picture that blocks and frosted glass read, and the cell sums and
// colours of enlarged pixels. Gives back each part larger than `bytes`;
// 0 gives back all of it.
void TrimTransformMemory(std::size_t bytes);

// How the random transforms reseed the shared generator when they start:
// from the performance counter. Tests put a fixed seed here.
using ReseedRoutine = void (*)();
ReseedRoutine& EffectReseed();

} // namespace zenvas
