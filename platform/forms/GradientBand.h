#pragma once

#include "platform/forms/Control.h"

#include <optional>

namespace forms {

// A band shaded from startColor at its left column to endColor at its
// right column, optionally with rounded corners (a circle of diameter
// min(8, height); what lies outside the corners shows through) and a
// 1-pixel border following the outline.
class GradientBand : public Control {
public:
    explicit GradientBand(std::string name = {});
    gdi::Color startColor = 0xFF00000F;
    gdi::Color endColor = 0xFF00000F;
    std::optional<gdi::Color> border;
    bool rounded = false;

protected:
    bool opaque() const override { return !rounded; }
    void paint(gdi::Canvas& canvas) override;
};

} // namespace forms
