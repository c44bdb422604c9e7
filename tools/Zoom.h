#pragma once

#include "canvas/ImageForm.h"
#include "platform/forms/Form.h"

namespace zenvas {

// The magnifier: an always-on-top window showing the square of the picture
// around the pointer, enlarged without smoothing, with an optional sight.
class TFormZoom : public forms::Form {
public:
    TFormZoom();

    // What the last refresh drew on the client area.
    gdi::Bitmap& Surface() { return surface_; }
    gdi::Canvas& Canvas() { return canvas_; }

protected:
    void paint(gdi::Canvas& canvas) override;
    void boundsChanged() override;

private:
    gdi::Bitmap surface_;
    gdi::Canvas canvas_{surface_};
};

// The newest zoom window, or null (none yet, or its canvas is gone).
TFormZoom* CurrentZoom();

// Copies the 30 x 30 square around (x, y) of the form's picture onto the
// current zoom window and draws the sight when the form's Crest is "True".
void RefreshZoom(TImageForm& form, int x, int y);

// Button1Click of the canvas form: a new current zoom window owned by it.
void CreateZoomWindow(TImageForm& form);

} // namespace zenvas
