#include "platform/forms/SpeedButton.h"

#include "platform/forms/ClassicLook.h"

namespace forms {

SpeedButton::SpeedButton(std::string name) : Clickable(std::move(name)) {}

void SpeedButton::paint(gdi::Bitmap& surface)
{
    gdi::Canvas canvas(surface);
    look::Fill(canvas, surface.bounds(), look::kBtnFace);
    const bool down = pressed();
    if (down)
        look::Ring(canvas, surface.bounds(), look::kBtnShadow, look::kBtnHighlight);
    else if (!flat)
        look::Ring(canvas, surface.bounds(), look::kBtnHighlight, look::kBtnShadow);
    if (icon.isEmpty())
        return;
    const int offset = down ? 1 : 0;
    canvas.drawTransparent((surface.width() - icon.width()) / 2 + offset,
                           (surface.height() - icon.height()) / 2 + offset, icon, icon.pixel(0, icon.height() - 1));
}

} // namespace forms
