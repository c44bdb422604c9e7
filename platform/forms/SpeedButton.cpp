#include "platform/forms/SpeedButton.h"

#include "platform/forms/ClassicLook.h"

namespace forms {

SpeedButton::SpeedButton(std::string name) : Clickable(std::move(name)) {}

void SpeedButton::setDown(bool down)
{
    if (down_ == down)
        return;
    down_ = down;
    invalidate();
}

void SpeedButton::paint(gdi::Canvas& canvas)
{
    look::Fill(canvas, gdi::IntRect{0, 0, width(), height()}, down_ ? look::kBtnHighlight : look::kBtnFace);
    const bool down = down_ || pressed();
    if (down)
        look::Ring(canvas, gdi::IntRect{0, 0, width(), height()}, look::kBtnShadow, look::kBtnHighlight);
    else if (!flat)
        look::Ring(canvas, gdi::IntRect{0, 0, width(), height()}, look::kBtnHighlight, look::kBtnShadow);
    if (icon.isEmpty())
        return;
    const int offset = down ? 1 : 0;
    canvas.drawTransparent((width() - icon.width()) / 2 + offset,
                           (height() - icon.height()) / 2 + offset, icon, icon.pixel(0, icon.height() - 1));
}

} // namespace forms
