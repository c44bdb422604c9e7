// The run-time routines of the eight picture transforms: each converts its
// parameters completely before it touches the picture, transforms the
// canvas's picture and repaints the image box.
#include "canvas/CanvasList.h"
#include "effects/Transforms.h"
#include "plugin/Dispatch.h"
#include "plugin/Routine.h"
#include "plugin/Values.h"

#include <algorithm>
#include <array>
#include <string>

namespace zenvas {
namespace {

gdi::Bitmap& PictureOf(TZenvas& canvas)
{
    return canvas.WSImageBox1->Bitmap();
}

void Repaint(TZenvas& canvas)
{
    canvas.WSImageBox1->invalidate();
}

bool ZenvasChangeRGB(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        const std::int32_t red = IntegerFromText(params.at(1));
        const std::int32_t green = IntegerFromText(params.at(2));
        const std::int32_t blue = IntegerFromText(params.at(3));
        BitmapChangeRGB(PictureOf(canvas), red, green, blue);
        Repaint(canvas);
    });
}

bool ZenvasChangeGamma(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        const std::int32_t number = IntegerFromText(params.at(1));
        BitmapChangeGamma(PictureOf(canvas), double(number) / 10.0);
        Repaint(canvas);
    });
}

bool ZenvasNegative(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        BitmapNegative(PictureOf(canvas));
        Repaint(canvas);
    });
}

// True once the colour text is there, also when it does not convert.
bool ZenvasMonochrome(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        const std::string& text = params.at(1);
        if (text.empty())
            throw Declined("no colour given");
        GuardedStep([&] {
            const ColorValue colour = ColorFromText(text);
            BitmapMonochrome(PictureOf(canvas), colour);
            Repaint(canvas);
        }, "picture left unchanged");
    });
}

// True once the canvas is found. A block count that leaves no whole pixel
// per block leaves the picture alone.
bool ZenvasBlock(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        GuardedStep([&] {
            const ColorValue colour = ColorFromText(params.at(1));
            const std::int32_t count = IntegerFromText(params.at(2));
            const std::int32_t seam = std::max(IntegerFromText(params.at(3)), 0);
            gdi::Bitmap& picture = PictureOf(canvas);
            if (count <= 0) {
                RecordActionReason("block count " + std::to_string(count) + " is not positive; picture left unchanged");
                return;
            }
            const std::int32_t blockWidth = picture.width() / count;
            const std::int32_t blockHeight = picture.height() / count;
            if (blockWidth <= 0 || blockHeight <= 0) {
                RecordActionReason(std::to_string(count) + " blocks leave no whole pixel per block; picture left unchanged");
                return;
            }
            BitmapBlock(picture, blockWidth, blockHeight, seam, colour);
            Repaint(canvas);
        }, "picture left unchanged");
    });
}

// True once the canvas is found.
bool ZenvasFrostGlass(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        GuardedStep([&] {
            const ColorValue colour = ColorFromText(params.at(1));
            const std::int32_t range = std::max(IntegerFromText(params.at(2)), 0);
            BitmapFrostGlass(PictureOf(canvas), range, range, colour);
            Repaint(canvas);
        }, "picture left unchanged");
    });
}

// Cell sizes are carried in 16 bits: a negative size keeps its low 16 bits
// (-1 is 65535), sizes above 65535 count as 65535, and a size of 0 fails.
bool ZenvasMonoPixel(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        const std::string& text = params.at(1);
        if (text.empty())
            throw Declined("no cell size given");
        const std::int32_t size = IntegerFromText(text);
        const auto cell = static_cast<std::uint16_t>(std::min<std::int32_t>(size, 65535));
        BitmapMonoPixel(PictureOf(canvas), cell, cell);
        Repaint(canvas);
    });
}

// "false" in any case selects coloured noise; any other mode black and white.
bool ZenvasAddNoise(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        const bool blackAndWhite = BooleanFromText(params.at(1)) != false;
        const std::int32_t amount = std::max(IntegerFromText(params.at(2)), 0);
        BitmapAddNoise(PictureOf(canvas), amount, blackAndWhite);
        Repaint(canvas);
    });
}

constexpr std::array<ActionRoutines, 8> kRoutines{{
    {35, &ZenvasChangeRGB, nullptr},
    {36, &ZenvasChangeGamma, nullptr},
    {37, &ZenvasNegative, nullptr},
    {38, &ZenvasMonochrome, nullptr},
    {39, &ZenvasBlock, nullptr},
    {40, &ZenvasFrostGlass, nullptr},
    {41, &ZenvasMonoPixel, nullptr},
    {42, &ZenvasAddNoise, nullptr},
}};

const bool kInstalled = InstallRoutines(kRoutines);
const bool kTrimInstalled = InstallTrimHandler(&TrimTransformMemory);

} // namespace
} // namespace zenvas
