// The run-time routines of drawing by coordinates: figures, lines, pixels,
// text and flood fill on a canvas's picture.
#include "canvas/CanvasList.h"
#include "draw/Figures.h"
#include "plugin/Dispatch.h"
#include "plugin/HostServices.h"

#include <array>

namespace zenvas {
namespace {

gdi::Canvas& PictureCanvas(TZenvas& canvas)
{
    return canvas.WSImageBox1->Canvas();
}

template <Figure kFigure>
bool DrawFigureRoutine(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        const FigureTexts texts{params.at(1), params.at(2), params.at(3),
                                params.at(4), params.at(5), params.at(6)};
        DrawFigure(PictureCanvas(canvas), kFigure, texts);
    });
}

bool ZvLineNoMouse(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        DrawLine(PictureCanvas(canvas), params.at(1), params.at(2), params.at(3), params.at(4), params.at(5),
                 params.at(6), params.at(7));
    });
}

bool ZvGetColorPixel(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        const std::string& variable = params.at(1);
        if (variable.empty())
            throw Declined("no variable named");
        const auto text = PixelColorText(PictureCanvas(canvas), params.at(2), params.at(3));
        if (!text)
            throw Declined("coordinates " + Quoted(params.at(2)) + ", " + Quoted(params.at(3)) +
                           " are not plain numbers");
        SetVariable(variable, *text);
    });
}

bool ZvSetColorPixel(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        SetPixelFromTexts(PictureCanvas(canvas), params.at(1), params.at(2), params.at(3));
    });
}

bool ZvTextNoMouse(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        DrawTextAt(PictureCanvas(canvas), params.at(1), params.at(2), params.at(3));
    });
}

bool ZvFloodFill(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        FloodFillAt(PictureCanvas(canvas), params.at(1), params.at(2), params.at(3));
    });
}

constexpr std::array<ActionRoutines, 10> kRoutines{{
    {43, &ZvGetColorPixel, nullptr},
    {44, &ZvSetColorPixel, nullptr},
    {45, &ZvLineNoMouse, nullptr},
    {46, &DrawFigureRoutine<Figure::Rectangle>, nullptr},
    {47, &DrawFigureRoutine<Figure::Ellipse>, nullptr},
    {48, &DrawFigureRoutine<Figure::RoundRect>, nullptr},
    {49, &DrawFigureRoutine<Figure::Pie>, nullptr},
    {50, &DrawFigureRoutine<Figure::Polygon>, nullptr},
    {51, &ZvTextNoMouse, nullptr},
    {52, &ZvFloodFill, nullptr},
}};

const bool kInstalled = InstallRoutines(kRoutines);

} // namespace
} // namespace zenvas
