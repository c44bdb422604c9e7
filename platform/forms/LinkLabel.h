#pragma once

#include "platform/forms/ClickTracker.h"
#include "platform/forms/Control.h"
#include "platform/gdi/Font.h"

namespace forms {

// A web address shown as blue, underlined text over whatever lies below it,
// with the hand pointer (kCursorHand). A click (press and release inside it)
// asks the backend to open the address, then runs onClick.
class LinkLabel : public Control {
public:
    explicit LinkLabel(std::string name = {});
    std::string caption;
    std::string address;
    gdi::Font font; // starts as the dialog font in blue, underlined

    void mouseDown(MouseButton button, ShiftState shift, int x, int y) override;
    void mouseMove(ShiftState shift, int x, int y) override;
    void mouseUp(MouseButton button, ShiftState shift, int x, int y) override;
    void click() override;

protected:
    bool opaque() const override { return false; }
    void paint(gdi::Bitmap& surface) override;

private:
    ClickTracker clicks_;
};

} // namespace forms
