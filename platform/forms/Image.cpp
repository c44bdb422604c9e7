#include "platform/forms/Image.h"

namespace forms {

Image::Image(std::string name) : Control(std::move(name)) {}

void Image::paint(gdi::Canvas& canvas)
{
    canvas.draw(0, 0, picture_);
    // White where the control reaches past the picture.
    if (width() > picture_.width())
        canvas.fillRect({picture_.width(), 0, width(), height()});
    if (height() > picture_.height())
        canvas.fillRect({0, picture_.height(), std::min(width(), picture_.width()), height()});
}

void Image::collectDamage()
{
    const gdi::IntRect touched = canvas_.takeTouched();
    if (picture_.width() != shownWidth_ || picture_.height() != shownHeight_) {
        shownWidth_ = picture_.width();
        shownHeight_ = picture_.height();
        invalidate();
    } else if (!touched.isEmpty()) {
        invalidate(touched);
    }
    Control::collectDamage();
}

} // namespace forms
