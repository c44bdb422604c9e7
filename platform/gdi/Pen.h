#pragma once

#include "platform/gdi/Color.h"

namespace gdi {

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot };

// Copy paints the colour; NotXor makes each channel NOT(colour XOR pixel),
// so drawing the same figure twice restores the picture.
enum class PenMode { Copy, NotXor };

class Pen {
public:
    Color color() const { return color_; }
    void setColor(Color c) { color_ = ResolveColor(c); }
    // Widths below 1 draw like 1.
    int width() const { return width_; }
    void setWidth(int w) { width_ = w; }
    PenStyle style() const { return style_; }
    void setStyle(PenStyle s) { style_ = s; }
    PenMode mode() const { return mode_; }
    void setMode(PenMode m) { mode_ = m; }

private:
    Color color_ = 0;
    int width_ = 1;
    PenStyle style_ = PenStyle::Solid;
    PenMode mode_ = PenMode::Copy;
};

} // namespace gdi
