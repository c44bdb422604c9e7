#include "platform/forms/Shape.h"

#include "platform/gdi/Canvas.h"

namespace forms {

Shape::Shape(std::string name) : Control(std::move(name))
{
    setTransparentToPointer(true);
}

void Shape::invalidate()
{
    const int w = width(), h = height();
    Control::invalidate({0, 0, w, 1});
    Control::invalidate({0, h - 1, w, h});
    Control::invalidate({0, 0, 1, h});
    Control::invalidate({w - 1, 0, w, h});
}

void Shape::paintOverlay(gdi::Canvas& canvas)
{
    canvas.pen().setColor(0);
    canvas.pen().setStyle(gdi::PenStyle::Dot);
    canvas.pen().setMode(gdi::PenMode::NotXor);
    canvas.brush().setStyle(gdi::BrushStyle::Clear);
    canvas.rectangle(0, 0, width(), height());
}

} // namespace forms
