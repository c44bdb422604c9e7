#pragma once

#include "platform/gdi/Bitmap.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace forms {

// One picture of a pointer shape. `image` holds the colours; `opacity` has
// one byte per pixel, rows from the top, 0 (see-through) to 255 (solid). A
// two-colour mask gives only 0 and 255. A see-through pixel whose colour is
// not black inverts the screen under it, as the classic mask pair does;
// images with an alpha channel have black see-through pixels.
struct CursorFrame {
    gdi::Bitmap image;
    std::vector<std::uint8_t> opacity;

    std::uint8_t opacityAt(int x, int y) const
    {
        return opacity[std::size_t(y) * std::size_t(image.width()) + std::size_t(x)];
    }
};

// One step of an animation: which frame to show and for how many jiffies
// (sixtieths of a second).
struct CursorStep {
    int frame = 0;
    std::uint32_t jiffies = 0;
};

// A pointer shape: one frame for a static cursor, several for an animated
// one. Every frame has the shape's size; the hot spot is the pixel that
// points. A static shape has one step with 0 jiffies.
class CursorShape {
public:
    CursorShape(int width, int height, int hotspotX, int hotspotY, std::vector<CursorFrame> frames,
                std::vector<CursorStep> steps);

    int width() const { return width_; }
    int height() const { return height_; }
    int hotspotX() const { return hotspotX_; }
    int hotspotY() const { return hotspotY_; }
    int frameCount() const { return int(frames_.size()); }
    const CursorFrame& frame(int index) const { return frames_.at(std::size_t(index)); }
    const std::vector<CursorFrame>& frames() const { return frames_; }
    // The animation's steps in playing order (they repeat from the first).
    const std::vector<CursorStep>& steps() const { return steps_; }
    bool isAnimated() const { return frames_.size() > 1 || steps_.size() > 1; }

private:
    int width_;
    int height_;
    int hotspotX_;
    int hotspotY_;
    std::vector<CursorFrame> frames_;
    std::vector<CursorStep> steps_;
};

// Built-in pointer shapes have negative numbers, as on the platform: the
// pointing hand over links is -21. Custom shapes use numbers from 1 up.
inline constexpr int kCursorHand = -21;

// What a pointer shape looks like in one line: "default" for the built-in
// arrow (null), else "WxH hotspot X,Y frames N".
std::string DescribeCursor(const CursorShape* shape);

// The screen-wide table of pointer shapes, indexed by the number a control's
// cursor() holds. An index without an entry, and every null entry, means the
// built-in arrow; index 0 is that arrow unless a shape is installed there.
// Entries are shared: every control showing an index sees a replacement at
// once, and the table lets go of the shape it replaces.
class Screen {
public:
    static Screen& instance();

    std::shared_ptr<const CursorShape> cursor(int index) const;
    // Installs `shape` at `index`; null removes the entry.
    void setCursor(int index, std::shared_ptr<const CursorShape> shape);
    // Removes every entry (the state of a fresh process).
    void clearCursors() { cursors_.clear(); }

private:
    Screen() = default;

    std::map<int, std::shared_ptr<const CursorShape>> cursors_;
};

} // namespace forms
