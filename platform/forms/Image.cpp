#include "platform/forms/Image.h"

namespace forms {

Image::Image(std::string name) : Control(std::move(name))
{
    canvas_.onTouched = [this](const gdi::IntRect& box) { invalidate(box); };
}

void Image::setPicture(gdi::Bitmap picture)
{
    picture_ = std::move(picture);
    invalidate();
}

void Image::resizePicture(int width, int height)
{
    picture_.setSize(width, height);
    invalidate();
}

void Image::paint(gdi::Canvas& canvas)
{
    canvas.draw(0, 0, picture_);
    // White where the control reaches past the picture.
    if (width() > picture_.width())
        canvas.fillRect({picture_.width(), 0, width(), height()});
    if (height() > picture_.height())
        canvas.fillRect({0, picture_.height(), std::min(width(), picture_.width()), height()});
}

} // namespace forms
