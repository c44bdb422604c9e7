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

    // What the picture's surface drew since the last composition, and a
    // new picture size, become damage of the control. Code that writes the
    // picture's pixels directly calls invalidate().
    void collectDamage() override;

protected:
    void paint(gdi::Canvas& canvas) override;
    bool coversArea() const override { return true; }

private:
    gdi::Bitmap picture_;
    gdi::Canvas canvas_{picture_};
    int shownWidth_ = 0, shownHeight_ = 0;
};

} // namespace forms
