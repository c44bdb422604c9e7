#include "platform/forms/LinkLabel.h"

#include "platform/forms/Backend.h"
#include "platform/forms/ClassicLook.h"
#include "platform/forms/Cursor.h"

namespace forms {

LinkLabel::LinkLabel(std::string name) : Clickable(std::move(name)), font(look::DialogFont(gdi::Rgb(0, 0, 255)))
{
    font.setUnderline(true);
    setCursor(kCursorHand);
}

void LinkLabel::click()
{
    CurrentBackend().openAddress(address);
    Control::click();
}

void LinkLabel::paint(gdi::Canvas& canvas)
{
    canvas.brush().setStyle(gdi::BrushStyle::Clear);
    canvas.font() = font;
    canvas.textOut(0, 0, caption);
}

} // namespace forms
