#include "platform/forms/Shape.h"

#include "platform/gdi/Canvas.h"

namespace forms {

Shape::Shape(std::string name) : Control(std::move(name))
{
    setTransparentToPointer(true);
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
