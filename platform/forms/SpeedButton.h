#pragma once

#include "platform/forms/ClickTracker.h"
#include "platform/forms/Control.h"

namespace forms {

// A square tool button showing an icon; the icon's bottom-left pixel gives
// its transparent colour. A flat button shows its edge only while pressed.
// A click (press and release inside it) runs onClick; it never takes the
// keyboard focus.
class SpeedButton : public Control {
public:
    explicit SpeedButton(std::string name = {});
    gdi::Bitmap icon;
    bool flat = true;

    void mouseDown(MouseButton button, ShiftState shift, int x, int y) override;
    void mouseMove(ShiftState shift, int x, int y) override;
    void mouseUp(MouseButton button, ShiftState shift, int x, int y) override;

protected:
    void paint(gdi::Bitmap& surface) override;

private:
    ClickTracker clicks_;
};

} // namespace forms
