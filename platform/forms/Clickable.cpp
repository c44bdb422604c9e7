#include "platform/forms/Clickable.h"

namespace forms {

void Clickable::mouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    Control::mouseDown(button, shift, x, y);
    if (button == MouseButton::Left) {
        held_ = inside_ = true;
        invalidate();
    }
}

void Clickable::mouseMove(ShiftState shift, int x, int y)
{
    Control::mouseMove(shift, x, y);
    const bool inside = covers(x, y);
    if (inside != inside_ && held_)
        invalidate();
    inside_ = inside;
}

void Clickable::mouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    Control::mouseUp(button, shift, x, y);
    if (button != MouseButton::Left)
        return;
    const bool click = held_ && covers(x, y);
    held_ = inside_ = false;
    invalidate();
    if (click)
        this->click();
}

} // namespace forms
