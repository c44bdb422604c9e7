#include "platform/forms/Button.h"

#include "platform/gdi/Canvas.h"

namespace forms {

Button::Button(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) {}

void Button::mouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    Control::mouseUp(button, shift, x, y);
    if (button == MouseButton::Left && x >= 0 && y >= 0 && x < width() && y < height())
        click();
}

void Button::paint(gdi::Bitmap& surface)
{
    gdi::Canvas canvas(surface);
    canvas.brush().setColor(0xFF00000F);
    canvas.pen().setColor(0xFF000010);
    canvas.rectangle(0, 0, surface.width(), surface.height());
    canvas.brush().setStyle(gdi::BrushStyle::Clear);
    canvas.font().setColor(0xFF000012);
    const gdi::TextSize extent = canvas.textExtent(caption_);
    canvas.textOut((surface.width() - extent.width) / 2, (surface.height() - extent.height) / 2, caption_);
}

Label::Label(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) {}

bool Label::setValueText(const std::string&)
{
    return false;
}

void Label::paint(gdi::Bitmap& surface)
{
    gdi::Canvas canvas(surface);
    canvas.brush().setColor(0xFF00000F);
    canvas.fillRect(surface.bounds());
    canvas.brush().setStyle(gdi::BrushStyle::Clear);
    canvas.font() = font;
    canvas.textOut(0, 0, caption_);
}

} // namespace forms
