#pragma once

#include "platform/forms/Input.h"

namespace forms {

// A click as the clickable controls count it: a left press on the control
// and the release over it. While held, `pressed()` says whether the pointer
// is over the control (the button is drawn pushed in).
class ClickTracker {
public:
    void down(MouseButton button)
    {
        if (button == MouseButton::Left)
            held_ = inside_ = true;
    }
    void move(bool over) { inside_ = over; }
    // True when this release completes a click.
    bool up(MouseButton button, bool over)
    {
        if (button != MouseButton::Left)
            return false;
        const bool click = held_ && over;
        held_ = inside_ = false;
        return click;
    }
    bool pressed() const { return held_ && inside_; }

private:
    bool held_ = false;
    bool inside_ = false;
};

} // namespace forms
