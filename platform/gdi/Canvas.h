#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/FloodFill.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/Rect.h"
#include "platform/gdi/Stretch.h"

#include <cstdint>
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
class Canvas {
public:
    explicit Canvas(Bitmap& bitmap) : bitmap_(&bitmap) {}

    Bitmap& bitmap() { return *bitmap_; }
    const Bitmap& bitmap() const { return *bitmap_; }

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

    Color pixel(int x, int y) const { return bitmap_->pixel(x, y); }
    void setPixel(int x, int y, Color c) { bitmap_->setPixel(x, y, c); }

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
    void strokePath(Stroke& stroke, std::span<const Point> points, bool closed, bool includeEnd);
    void fillBoxRows(std::int64_t top, std::int64_t bottom, std::int64_t left, std::int64_t right);
    void boxFigure(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, std::int64_t cw,
                   std::int64_t ch);

    Bitmap* bitmap_;
    Pen pen_;
    Brush brush_;
    Font font_;
    Point pos_;
    std::vector<std::uint64_t> floodScratch_;
    std::vector<FloodSpan> floodSpans_;
    Bitmap copyScratch_;
};

} // namespace gdi
