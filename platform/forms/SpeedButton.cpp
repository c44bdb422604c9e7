#include "platform/forms/SpeedButton.h"

#include "platform/forms/ClassicLook.h"

namespace forms {

SpeedButton::SpeedButton(std::string name) : Control(std::move(name)) {}

void SpeedButton::mouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    Control::mouseDown(button, shift, x, y);
    clicks_.down(button);
}

void SpeedButton::mouseMove(ShiftState shift, int x, int y)
{
    Control::mouseMove(shift, x, y);
    clicks_.move(covers(x, y));
}

void SpeedButton::mouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    Control::mouseUp(button, shift, x, y);
    if (clicks_.up(button, covers(x, y)))
        click();
}

void SpeedButton::paint(gdi::Bitmap& surface)
{
    gdi::Canvas canvas(surface);
    look::Fill(canvas, surface.bounds(), look::kBtnFace);
    const bool pressed = clicks_.pressed();
    if (pressed)
        look::Ring(canvas, surface.bounds(), look::kBtnShadow, look::kBtnHighlight);
    else if (!flat)
        look::Ring(canvas, surface.bounds(), look::kBtnHighlight, look::kBtnShadow);
    if (icon.isEmpty())
        return;
    const int offset = pressed ? 1 : 0;
    canvas.drawTransparent((surface.width() - icon.width()) / 2 + offset,
                           (surface.height() - icon.height()) / 2 + offset, icon, icon.pixel(0, icon.height() - 1));
}

} // namespace forms
