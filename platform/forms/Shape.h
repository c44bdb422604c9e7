#pragma once

#include "platform/forms/Control.h"

namespace forms {

// A frame laid over other controls: a dotted outline drawn in not-XOR over
// whatever is below it, with a clear inside. It is painted over the composed
// picture of its parent, never into any bitmap of a control below it, and
// the pointer falls through it.
class Shape : public Control {
public:
    explicit Shape(std::string name = {});
    // Only the outline is drawn: moving a frame repaints its edges.
    void invalidate() override;
    using Control::invalidate;

protected:
    bool paintsAsOverlay() const override { return true; }
    void paintOverlay(gdi::Canvas& canvas) override;
};

} // namespace forms
