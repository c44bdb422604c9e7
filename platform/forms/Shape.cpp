#include "platform/forms/Shape.h"

#include "platform/gdi/Canvas.h"

namespace forms {

Shape::Shape(std::string name) : Control(std::move(name))
{
    setTransparentToPointer(true);
}

void Shape::paintOverlay(gdi::Bitmap& target, int x, int y, const gdi::IntRect& clip)
{
    const gdi::IntRect area = gdi::IntRect{x, y, x + width(), y + height()}.intersected(clip);
    if (area.isEmpty())
        return;
    // Draw on a copy of the clipped area so nothing outside `clip` changes.
    gdi::Bitmap piece(static_cast<int>(area.width()), static_cast<int>(area.height()));
    gdi::Canvas pieceCanvas(piece);
    pieceCanvas.copyRect(piece.bounds(), target, area);
    pieceCanvas.pen().setColor(0);
    pieceCanvas.pen().setStyle(gdi::PenStyle::Dot);
    pieceCanvas.pen().setMode(gdi::PenMode::NotXor);
    pieceCanvas.brush().setStyle(gdi::BrushStyle::Clear);
    pieceCanvas.rectangle(x - area.left, y - area.top, x - area.left + width(), y - area.top + height());
    gdi::Canvas(target).copyRect(area, piece, piece.bounds());
}

} // namespace forms
