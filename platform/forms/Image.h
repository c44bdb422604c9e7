#pragma once

#include "platform/forms/Control.h"
#include "platform/gdi/Canvas.h"

namespace forms {

// An image control: shows a picture bitmap at its top-left and exposes the
// picture's drawing surface. The control's size and the picture's size are
// separate, as on the platform.
class Image : public Control {
public:
    explicit Image(std::string name = {});

    // What the picture's surface draws becomes damage of the control as it
    // is drawn. Code that writes the picture's pixels directly calls
    // invalidate(); a new size or picture goes through the setters below.
    gdi::Bitmap& picture() { return picture_; }
    const gdi::Bitmap& picture() const { return picture_; }
    gdi::Canvas& canvas() { return canvas_; }
    const gdi::Canvas& canvas() const { return canvas_; }

    void setPicture(gdi::Bitmap picture);
    // Resizes the picture as gdi::Bitmap::setSize does.
    void resizePicture(int width, int height);

protected:
    void paint(gdi::Canvas& canvas) override;
    bool coversArea() const override { return true; }

private:
    gdi::Bitmap picture_;
    gdi::Canvas canvas_{picture_};
};

} // namespace forms
