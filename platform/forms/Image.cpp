#include "platform/forms/Image.h"

namespace forms {

Image::Image(std::string name) : Control(std::move(name)) {}

void Image::paint(gdi::Bitmap& surface)
{
    gdi::Canvas(surface).draw(0, 0, picture_);
}

} // namespace forms
