#pragma once

#include "platform/gdi/Canvas.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Drawing on a picture from parameter texts: coordinate lists, the pen and
// brush set-up of the figures, and the single-point operations.
namespace zenvas {

// A coordinate list "X1 | Y1 | X2 | Y2 ...": every space is removed, then the
// text is split at "|" (and at other blanks).
std::vector<std::string> CoordinateItems(std::string_view list);

// Exactly `count` integer items, all read before anything is used; a
// different count gives no value, an item that is not an integer text
// throws ConversionError.
std::optional<std::vector<std::int32_t>> FixedCoordinates(const std::vector<std::string>& items,
                                                           std::size_t count);

// One corner per pair of items, a trailing odd item ignored. Corners start
// at (0, 0); reading stops at the first item that is not an integer text,
// an X already read staying in its corner.
std::vector<gdi::Point> PolygonCorners(const std::vector<std::string>& items);

enum class Figure { Rectangle, Ellipse, RoundRect, Pie, Polygon };

// The texts of a closed figure, in parameter order.
struct FigureTexts {
    std::string_view width, lineColor, lineStyle, fillStyle, fillColor, coordinates;
};

// The pen width of a figure or line: 1 unless a plain number of at least 1.
// Throws ConversionError for plain numbers above 2147483647.
std::int32_t LineWidth(std::string_view text);

// Sets the pen's width, colour and style in that order. An empty colour is
// black; a colour that does not convert keeps the pen's colour.
void SetUpPen(gdi::Canvas& canvas, std::string_view width, std::string_view color, std::string_view style);

// The pen, then the brush colour, then the brush style (so "Clear" leaves a
// clear brush), then the figure from its coordinate list. A list with the
// wrong number of items or an unreadable item draws nothing.
void DrawFigure(gdi::Canvas& canvas, Figure figure, const FigureTexts& texts);

// The pen, then a line from (x1, y1) to (x2, y2), end point excluded, when
// all four are plain numbers.
void DrawLine(gdi::Canvas& canvas, std::string_view width, std::string_view color, std::string_view style,
              std::string_view x1, std::string_view y1, std::string_view x2, std::string_view y2);

// The colour text of the pixel, when both coordinates are plain numbers;
// "255,255,255" outside the picture.
std::optional<std::string> PixelColorText(const gdi::Canvas& canvas, std::string_view x, std::string_view y);

// Sets the pixel to the colour when the colour is given and both coordinates
// are plain numbers (a colour that does not convert sets nothing); otherwise
// to black at the coordinates read as integer texts, which throws when they
// are not.
void SetPixelFromTexts(gdi::Canvas& canvas, std::string_view color, std::string_view x, std::string_view y);

// Applies the font descriptor, makes the brush clear and writes the text
// with its top-left corner at the first two items of the list. Throws when
// the descriptor or the coordinates do not read; the brush is clear then
// too, and a descriptor read in part stays applied.
void DrawTextAt(gdi::Canvas& canvas, std::string_view descriptor, std::string_view text,
                std::string_view coordinates);

// Sets the brush (style, then colour; an empty colour gives solid black) and
// flood-fills the area of the colour found at the first two items of the
// list. Throws when the coordinates do not read.
void FloodFillAt(gdi::Canvas& canvas, std::string_view color, std::string_view style,
                 std::string_view coordinates);

} // namespace zenvas
