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

    gdi::Bitmap& picture() { return picture_; }
    const gdi::Bitmap& picture() const { return picture_; }
    gdi::Canvas& canvas() { return canvas_; }
    const gdi::Canvas& canvas() const { return canvas_; }

    // Asks for a repaint; counted so tests can see it happened.
    void invalidate() { ++repaints_; }
    int repaintCount() const { return repaints_; }

protected:
    void paint(gdi::Bitmap& surface) override;

private:
    gdi::Bitmap picture_;
    gdi::Canvas canvas_{picture_};
    int repaints_ = 0;
};

} // namespace forms
