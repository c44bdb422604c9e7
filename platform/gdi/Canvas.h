#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/FloodFill.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/Rect.h"
#include "platform/gdi/Stretch.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace gdi {

struct TextSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const TextSize&, const TextSize&) = default;
};

// The drawing surface of one bitmap. Like the platform's device context it
// keeps the selected pen, brush and font and the current position. Every
// primitive clips to the bitmap first; coordinates may be anywhere in the
// 32-bit range and cost time only for the part that lands in the bitmap.
//
// An origin and a clip rectangle place and cut what is drawn, as a window
// system paints one control of a composed picture: coordinates are taken
// relative to the origin, and nothing outside the clip changes. save()
// and restore() bracket them together with the pen, brush, font and
// position. While a clip or origin is set the bitmap must keep its size.
class Canvas {
public:
    explicit Canvas(Bitmap& bitmap) : root_(&bitmap), bitmap_(&bitmap) {}
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Bitmap& bitmap() { return *root_; }
    const Bitmap& bitmap() const { return *root_; }

    // Moves the origin by (dx, dy) in the current coordinates.
    void translate(int dx, int dy);
    // Narrows the clip to `rect` of the current coordinates.
    void clipTo(const IntRect& rect);
    // The clip in current coordinates (the bitmap's bounds without one).
    IntRect clipRect() const;
    Point origin() const { return origin_; }
    void save();
    // Back to the state of the matching save(); ignored without one.
    void restore();

    // Told, as each primitive draws, of a box in bitmap coordinates that
    // holds every pixel it may have changed (conservative, never empty).
    // Whoever shows the bitmap turns these boxes into damage.
    std::function<void(const IntRect&)> onTouched;

    Pen& pen() { return pen_; }
    const Pen& pen() const { return pen_; }
    Brush& brush() { return brush_; }
    const Brush& brush() const { return brush_; }
    Font& font() { return font_; }
    const Font& font() const { return font_; }

    Point penPos() const { return pos_; }
    void moveTo(int x, int y) { pos_ = {x, y}; }
    // Draws from the current position to (x, y), end point excluded, and
    // moves the current position there.
    void lineTo(int x, int y);
    // Each segment omits its end point; the current position is untouched.
    void polyline(std::span<const Point> points);

    // Closed figures: the brush fills the interior, then the pen draws the
    // outline. Corners are normalised; right and bottom are exclusive.
    void rectangle(int left, int top, int right, int bottom);
    void ellipse(int left, int top, int right, int bottom);
    void roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void pie(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4);
    // Alternate (even-odd) fill, closed from the last point to the first.
    void polygon(std::span<const Point> points);

    // The brush over the rectangle, no pen, never not-XOR.
    void fillRect(const IntRect& rect);
    // Surface flood fill: the 4-connected region of pixels exactly equal to
    // `color` containing (x, y) is painted with the brush.
    void floodFill(int x, int y, Color color);

    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color c);

    // Copies srcRect of src onto destRect: a plain copy when the sizes
    // match (overlap-safe within one bitmap), an area-averaging (halftone)
    // stretch when they differ.
    void copyRect(const IntRect& destRect, const Bitmap& src, const IntRect& srcRect);
    void draw(int x, int y, const Bitmap& src);
    // Source pixels equal to `transparent` leave the destination unchanged.
    void drawTransparent(int x, int y, const Bitmap& src, Color transparent);

    // Text with its top-left at (x, y) in the current font; moves the
    // current position to (x + width, y).
    void textOut(int x, int y, std::string_view text);
    TextSize textExtent(std::string_view text) const;

private:
    class Stroke;
    struct State {
        Point origin;
        IntRect clip;
        bool clipped;
        Pen pen;
        Brush brush;
        Font font;
        Point pos;
    };
    // Places the target (root or a view of the clip) for the current
    // origin and clip.
    void place();
    bool shifted() const { return shift_.x != 0 || shift_.y != 0; }
    int sx(int x) const { return ClampToInt(std::int64_t(x) + shift_.x); }
    int sy(int y) const { return ClampToInt(std::int64_t(y) + shift_.y); }
    std::span<const Point> shiftPoints(std::span<const Point> points);
    // Widens the touched box by [l, r) x [t, b) of target coordinates.
    void touch(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b);
    void touchPoints(std::span<const Point> points, std::int64_t margin);

    void strokePath(Stroke& stroke, std::span<const Point> points, bool closed, bool includeEnd);
    void fillBoxRows(std::int64_t top, std::int64_t bottom, std::int64_t left, std::int64_t right);
    void boxFigure(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, std::int64_t cw,
                   std::int64_t ch);

    Bitmap* root_;
    Bitmap* bitmap_; // root_ or view_
    Bitmap view_;
    Point origin_;          // current origin in root coordinates
    IntRect clip_;          // current clip in root coordinates (empty rect: none set)
    bool clipped_ = false;
    Point shift_;           // added to a coordinate to reach bitmap_
    std::vector<State> saved_;
    std::vector<Point> shiftedPoints_;
    Pen pen_;
    Brush brush_;
    Font font_;
    Point pos_;
    std::vector<std::uint64_t> floodScratch_;
    Bitmap copyScratch_;
};

} // namespace gdi
