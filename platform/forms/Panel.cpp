#include "platform/forms/Panel.h"

#include "platform/forms/ClassicLook.h"

namespace forms {

Panel::Panel(std::string name) : Control(std::move(name)) {}

void Panel::paint(gdi::Canvas& canvas)
{
    look::Fill(canvas, gdi::IntRect{0, 0, width(), height()}, color);
    if (bevel)
        look::Ring(canvas, gdi::IntRect{0, 0, width(), height()}, look::kBtnHighlight, look::kBtnShadow);
}

} // namespace forms
