#include "platform/forms/Panel.h"

#include "platform/forms/ClassicLook.h"

namespace forms {

Panel::Panel(std::string name) : Control(std::move(name)) {}

void Panel::paint(gdi::Bitmap& surface)
{
    gdi::Canvas canvas(surface);
    look::Fill(canvas, surface.bounds(), color);
    if (bevel)
        look::Ring(canvas, surface.bounds(), look::kBtnHighlight, look::kBtnShadow);
}

} // namespace forms
