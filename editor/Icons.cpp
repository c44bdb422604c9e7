#include "editor/Icons.h"

#include "platform/gdi/Canvas.h"

#include <array>

namespace zenvas::editor {

namespace {

constexpr gdi::Color kInk = 0x00000000;
constexpr gdi::Color kNavy = 0x00800000;
constexpr gdi::Color kGreen = 0x00008000;

void Line(gdi::Canvas& c, gdi::Color colour, int x1, int y1, int x2, int y2)
{
    c.pen().setColor(colour);
    c.moveTo(x1, y1);
    c.lineTo(x2, y2);
}

void Box(gdi::Canvas& c, gdi::Color fill, gdi::Color outline, int l, int t, int r, int b)
{
    c.brush().setStyle(gdi::BrushStyle::Solid);
    c.brush().setColor(fill);
    c.pen().setColor(outline);
    c.rectangle(l, t, r, b);
}

} // namespace

gdi::Bitmap ButtonIcon(ButtonKind kind)
{
    gdi::Bitmap icon(18, 18);
    icon.fill(kIconBackground);
    gdi::Canvas c(icon);
    switch (kind) {
    case ButtonKind::Rectangle: // a dashed frame with a pointer in it
        c.pen().setStyle(gdi::PenStyle::Dot);
        c.brush().setStyle(gdi::BrushStyle::Clear);
        c.pen().setColor(kNavy);
        c.rectangle(1, 2, 16, 14);
        c.pen().setStyle(gdi::PenStyle::Solid);
        Box(c, 0x00FFFFFF, kInk, 6, 6, 9, 14);
        Line(c, kInk, 6, 6, 12, 12);
        break;
    case ButtonKind::Variable: // [x]
        Line(c, kGreen, 4, 3, 2, 3), Line(c, kGreen, 2, 3, 2, 14), Line(c, kGreen, 2, 14, 5, 14);
        Line(c, kGreen, 13, 3, 15, 3), Line(c, kGreen, 15, 3, 15, 14), Line(c, kGreen, 15, 14, 12, 14);
        Line(c, kInk, 6, 6, 12, 13), Line(c, kInk, 11, 6, 5, 13);
        break;
    case ButtonKind::SubList: // a list of three entries
        for (int row = 0; row < 3; ++row) {
            Box(c, kNavy, kNavy, 2, 3 + 5 * row, 5, 6 + 5 * row);
            Line(c, kInk, 7, 4 + 5 * row, 16, 4 + 5 * row);
        }
        break;
    case ButtonKind::Colour: { // four paint squares
        const std::array<gdi::Color, 4> colours = {0x000000FF, 0x0000C000, 0x00FF0000, 0x0000FFFF};
        for (int i = 0; i < 4; ++i)
            Box(c, colours[std::size_t(i)], kInk, 2 + (i % 2) * 7, 2 + (i / 2) * 7, 9 + (i % 2) * 7, 9 + (i / 2) * 7);
        break;
    }
    case ButtonKind::Font: // a capital A over a red underline
        Line(c, kInk, 3, 14, 9, 1), Line(c, kInk, 4, 14, 10, 1);
        Line(c, kInk, 9, 1, 15, 14), Line(c, kInk, 10, 1, 16, 14);
        Line(c, kInk, 6, 9, 13, 9);
        Line(c, 0x000000FF, 1, 16, 17, 16);
        break;
    case ButtonKind::File: { // an open folder
        Box(c, 0x0000C0FF, 0x00006080, 1, 4, 15, 15);
        Box(c, 0x0000C0FF, 0x00006080, 1, 3, 7, 5);
        const gdi::Point front[] = {{3, 8}, {17, 8}, {15, 15}, {1, 15}};
        c.brush().setColor(0x0040E0FF);
        c.polygon(front);
        break;
    }
    }
    icon.setPixel(0, 17, kIconBackground);
    return icon;
}

gdi::Bitmap FooterPicture()
{
    gdi::Bitmap picture(32, 32);
    picture.fill(gdi::ResolveColor(0xFF00000F)); // shown on the button face
    gdi::Canvas c(picture);
    c.brush().setColor(0x0080C0E0);
    c.pen().setColor(0x00204060);
    c.ellipse(1, 5, 31, 28);
    const std::array<gdi::Color, 4> dots = {0x000000FF, 0x0000C000, 0x00FF0000, 0x0000FFFF};
    for (int i = 0; i < 4; ++i) {
        c.brush().setColor(dots[std::size_t(i)]);
        c.pen().setColor(dots[std::size_t(i)]);
        c.ellipse(5 + 6 * i, 9 + (i % 2) * 3, 10 + 6 * i, 14 + (i % 2) * 3);
    }
    c.brush().setColor(0x00FFFFFF);
    c.pen().setColor(0x00204060);
    c.ellipse(18, 18, 25, 24); // the thumb hole
    Line(c, 0x00004080, 12, 30, 27, 3);
    Line(c, 0x00004080, 13, 30, 28, 3);
    return picture;
}

} // namespace zenvas::editor
