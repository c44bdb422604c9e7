#pragma once

#include "platform/forms/Control.h"

namespace forms {

// A control that counts clicks as the platform does: a left press on it and
// the release over it run click(). While the button is held, pressed() says
// whether the pointer is over the control (drawn pushed in).
class Clickable : public Control {
public:
    using Control::Control;

    void mouseDown(MouseButton button, ShiftState shift, int x, int y) override;
    void mouseMove(ShiftState shift, int x, int y) override;
    void mouseUp(MouseButton button, ShiftState shift, int x, int y) override;

protected:
    bool pressed() const { return held_ && inside_; }

private:
    bool held_ = false;
    bool inside_ = false;
};

} // namespace forms
