#include "platform/forms/Label.h"

#include "platform/forms/ClassicLook.h"

namespace forms {

Label::Label(std::string name, std::string caption)
    : Control(std::move(name)), font(look::DialogFont()), caption_(std::move(caption))
{
}

void Label::setCaption(std::string caption)
{
    invalidate();
    caption_ = std::move(caption);
    if (autoSize_)
        adjustSize();
}

void Label::adjustSize()
{
    gdi::Bitmap none;
    gdi::Canvas canvas(none);
    canvas.font() = font;
    const gdi::TextSize extent = canvas.textExtent(caption_);
    setBounds(left(), top(), extent.width, caption_.empty() ? look::LineHeight(font) : extent.height);
}

bool Label::setValueText(const std::string&)
{
    return false;
}

void Label::paint(gdi::Canvas& canvas)
{
    if (!transparent)
        look::Fill(canvas, gdi::IntRect{0, 0, width(), height()}, look::kBtnFace);
    canvas.brush().setStyle(gdi::BrushStyle::Clear);
    canvas.font() = font;
    canvas.textOut(0, 0, caption_);
}

} // namespace forms
