#pragma once

#include "platform/gdi/Color.h"

namespace gdi {

// The order is the order of the style names (Solid = 0 ... DiagCross = 7).
enum class BrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

// The brush ties colour and style together: giving a clear brush a colour
// makes it solid, and making a brush clear makes its colour white.
class Brush {
public:
    Color color() const { return color_; }
    void setColor(Color c)
    {
        color_ = ResolveColor(c);
        if (style_ == BrushStyle::Clear)
            style_ = BrushStyle::Solid;
    }
    BrushStyle style() const { return style_; }
    void setStyle(BrushStyle s)
    {
        style_ = s;
        if (s == BrushStyle::Clear)
            color_ = 0xFFFFFF;
    }

private:
    Color color_ = 0xFFFFFF;
    BrushStyle style_ = BrushStyle::Solid;
};

} // namespace gdi
