#pragma once

#include "platform/forms/Control.h"

namespace forms {

// A plain area in one colour that groups controls; with a bevel, its edge
// is raised by one pixel.
class Panel : public Control {
public:
    explicit Panel(std::string name = {});
    gdi::Color color = 0xFF00000F;
    bool bevel = false;

protected:
    void paint(gdi::Canvas& canvas) override;
};

} // namespace forms
