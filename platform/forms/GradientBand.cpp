#include "platform/forms/GradientBand.h"

#include "platform/gdi/Canvas.h"

#include <algorithm>

namespace forms {
namespace {

int Mix(int from, int to, int at, int span)
{
    return span <= 0 ? from : from + ((to - from) * at + (to > from ? span / 2 : -span / 2)) / span;
}

} // namespace

GradientBand::GradientBand(std::string name) : Control(std::move(name)) {}

void GradientBand::paint(gdi::Canvas& canvas)
{
    const int w = width(), h = height();
    if (w <= 0 || h <= 0)
        return;
    const gdi::Color from = gdi::ResolveColor(startColor), to = gdi::ResolveColor(endColor);
    gdi::Bitmap band(w, h);
    gdi::Canvas bandCanvas(band);
    for (int x = 0; x < w; ++x) {
        bandCanvas.brush().setColor(gdi::Rgb(Mix(gdi::RedOf(from), gdi::RedOf(to), x, w - 1),
                                             Mix(gdi::GreenOf(from), gdi::GreenOf(to), x, w - 1),
                                             Mix(gdi::BlueOf(from), gdi::BlueOf(to), x, w - 1)));
        bandCanvas.fillRect({x, 0, x + 1, h});
    }

    if (!rounded) {
        canvas.draw(0, 0, band);
    } else {
        // The rounded outline as a mask: black inside, white outside.
        const int corner = std::min(8, h);
        gdi::Bitmap mask(w, h);
        gdi::Canvas maskCanvas(mask);
        maskCanvas.brush().setColor(0);
        maskCanvas.pen().setColor(0);
        maskCanvas.roundRect(0, 0, w, h, corner, corner);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (mask.pixel(x, y) == 0)
                    canvas.setPixel(x, y, band.pixel(x, y));
    }
    if (border) {
        canvas.pen().setColor(*border);
        canvas.brush().setStyle(gdi::BrushStyle::Clear);
        if (rounded)
            canvas.roundRect(0, 0, w, h, std::min(8, h), std::min(8, h));
        else
            canvas.rectangle(0, 0, w, h);
    }
}

} // namespace forms
