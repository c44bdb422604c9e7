#include "platform/forms/LinkLabel.h"

#include "platform/forms/Backend.h"
#include "platform/forms/ClassicLook.h"
#include "platform/forms/Cursor.h"

namespace forms {

LinkLabel::LinkLabel(std::string name) : Control(std::move(name)), font(look::DialogFont(gdi::Rgb(0, 0, 255)))
{
    font.setUnderline(true);
    setCursor(kCursorHand);
}

void LinkLabel::mouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    Control::mouseDown(button, shift, x, y);
    clicks_.down(button);
}

void LinkLabel::mouseMove(ShiftState shift, int x, int y)
{
    Control::mouseMove(shift, x, y);
    clicks_.move(covers(x, y));
}

void LinkLabel::mouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    Control::mouseUp(button, shift, x, y);
    if (clicks_.up(button, covers(x, y)))
        click();
}

void LinkLabel::click()
{
    CurrentBackend().openAddress(address);
    Control::click();
}

void LinkLabel::paint(gdi::Bitmap& surface)
{
    gdi::Canvas canvas(surface);
    canvas.brush().setStyle(gdi::BrushStyle::Clear);
    canvas.font() = font;
    canvas.textOut(0, 0, caption);
}

} // namespace forms
