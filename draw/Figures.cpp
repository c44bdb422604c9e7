#include "draw/Figures.h"

#include "plugin/FontDescriptor.h"
#include "plugin/Routine.h"
#include "plugin/Values.h"

#include <algorithm>

namespace zenvas {
namespace {

std::string WithoutSpaces(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            result.push_back(c);
    return result;
}

// An empty colour text is black; one that does not convert is skipped.
template <class Set>
void SetColorFromText(std::string_view text, Set&& set)
{
    if (text.empty()) {
        set(gdi::Color(0));
        return;
    }
    GuardedStep([&] { set(ColorFromText(text)); }, "colour left unchanged");
}

gdi::Point PointFromItems(std::string_view list, const std::vector<std::string>& items)
{
    if (items.size() < 2)
        throw ConversionError("coordinate list " + Quoted(list) + " is not X|Y");
    const std::int32_t x = IntegerFromText(items[0]);
    const std::int32_t y = IntegerFromText(items[1]);
    return {x, y};
}

void DrawFromItems(gdi::Canvas& canvas, Figure figure, std::string_view list,
                   const std::vector<std::string>& items)
{
    if (figure == Figure::Polygon) {
        const std::vector<gdi::Point> corners = PolygonCorners(items);
        if (!corners.empty())
            canvas.polygon(corners);
        else
            RecordActionReason("coordinate list " + Quoted(list) + " has no corner; nothing drawn");
        return;
    }
    const std::size_t count = figure == Figure::RoundRect ? 6 : figure == Figure::Pie ? 8 : 4;
    const auto c = FixedCoordinates(items, count);
    if (!c) {
        RecordActionReason("coordinate list " + Quoted(list) + " has " + std::to_string(items.size()) +
                           " items, not " + std::to_string(count) + "; nothing drawn");
        return;
    }
    const std::vector<std::int32_t>& v = *c;
    switch (figure) {
    case Figure::Rectangle:
        canvas.rectangle(v[0], v[1], v[2], v[3]);
        break;
    case Figure::Ellipse:
        canvas.ellipse(v[0], v[1], v[2], v[3]);
        break;
    case Figure::RoundRect:
        canvas.roundRect(v[0], v[1], v[2], v[3], v[4], v[5]);
        break;
    case Figure::Pie:
        canvas.pie(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        break;
    case Figure::Polygon:
        break;
    }
}

} // namespace

std::vector<std::string> CoordinateItems(std::string_view list)
{
    return SplitDelimited(WithoutSpaces(list), '|');
}

std::optional<std::vector<std::int32_t>> FixedCoordinates(const std::vector<std::string>& items, std::size_t count)
{
    if (items.size() != count)
        return std::nullopt;
    std::vector<std::int32_t> values;
    values.reserve(count);
    for (const std::string& item : items)
        values.push_back(IntegerFromText(item));
    return values;
}

std::vector<gdi::Point> PolygonCorners(const std::vector<std::string>& items)
{
    std::vector<gdi::Point> corners(items.size() / 2);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const auto x = TryIntegerFromText(items[2 * i]);
        if (!x)
            break;
        corners[i].x = *x;
        const auto y = TryIntegerFromText(items[2 * i + 1]);
        if (!y)
            break;
        corners[i].y = *y;
    }
    return corners;
}

std::int32_t LineWidth(std::string_view text)
{
    return PlainNumber(text, 1, 1);
}

void SetUpPen(gdi::Canvas& canvas, std::string_view width, std::string_view color, std::string_view style)
{
    gdi::Pen& pen = canvas.pen();
    pen.setWidth(LineWidth(width));
    SetColorFromText(color, [&](gdi::Color c) { pen.setColor(c); });
    if (const auto s = PenStyleFromName(style))
        pen.setStyle(*s);
}

void DrawFigure(gdi::Canvas& canvas, Figure figure, const FigureTexts& texts)
{
    SetUpPen(canvas, texts.width, texts.lineColor, texts.lineStyle);
    gdi::Brush& brush = canvas.brush();
    SetColorFromText(texts.fillColor, [&](gdi::Color c) { brush.setColor(c); });
    if (const auto s = BrushStyleFromName(texts.fillStyle))
        brush.setStyle(*s);
    GuardedStep([&] {
        if (texts.coordinates.empty())
            return;
        DrawFromItems(canvas, figure, texts.coordinates, CoordinateItems(texts.coordinates));
    }, "nothing drawn");
}

void DrawLine(gdi::Canvas& canvas, std::string_view width, std::string_view color, std::string_view style,
              std::string_view x1, std::string_view y1, std::string_view x2, std::string_view y2)
{
    SetUpPen(canvas, width, color, style);
    if (HasNonDigit(x1) || HasNonDigit(y1) || HasNonDigit(x2) || HasNonDigit(y2)) {
        RecordActionReason("coordinates " + Quoted(x1) + ", " + Quoted(y1) + ", " + Quoted(x2) + ", " +
                           Quoted(y2) + " are not plain numbers; nothing drawn");
        return;
    }
    const std::int32_t fromX = IntegerFromText(x1), fromY = IntegerFromText(y1);
    const std::int32_t toX = IntegerFromText(x2), toY = IntegerFromText(y2);
    canvas.moveTo(fromX, fromY);
    canvas.lineTo(toX, toY);
}

std::optional<std::string> PixelColorText(const gdi::Canvas& canvas, std::string_view x, std::string_view y)
{
    if (HasNonDigit(x) || HasNonDigit(y))
        return std::nullopt;
    return ColorToText(canvas.pixel(IntegerFromText(x), IntegerFromText(y)));
}

void SetPixelFromTexts(gdi::Canvas& canvas, std::string_view color, std::string_view x, std::string_view y)
{
    if (!color.empty() && !HasNonDigit(x) && !HasNonDigit(y)) {
        GuardedStep([&] {
            const gdi::Color c = ColorFromText(color);
            canvas.setPixel(IntegerFromText(x), IntegerFromText(y), c);
        }, "pixel left unchanged");
        return;
    }
    const std::int32_t px = IntegerFromText(x);
    const std::int32_t py = IntegerFromText(y);
    canvas.setPixel(px, py, 0);
}

void DrawTextAt(gdi::Canvas& canvas, std::string_view descriptor, std::string_view text,
                std::string_view coordinates)
{
    std::vector<std::string> items;
    try {
        ApplyFontDescriptor(descriptor, canvas.font());
        items = CoordinateItems(coordinates);
    } catch (...) {
        canvas.brush().setStyle(gdi::BrushStyle::Clear);
        throw;
    }
    canvas.brush().setStyle(gdi::BrushStyle::Clear);
    const gdi::Point at = PointFromItems(coordinates, items);
    canvas.textOut(at.x, at.y, text);
}

void FloodFillAt(gdi::Canvas& canvas, std::string_view color, std::string_view style,
                 std::string_view coordinates)
{
    gdi::Brush& brush = canvas.brush();
    if (!color.empty()) {
        if (const auto s = BrushStyleFromName(style))
            brush.setStyle(*s);
        GuardedStep([&] { brush.setColor(ColorFromText(color)); }, "colour left unchanged");
    } else {
        brush.setStyle(gdi::BrushStyle::Solid);
        brush.setColor(0);
    }
    std::vector<std::string> items;
    GuardedStep([&] { items = CoordinateItems(coordinates); });
    const gdi::Point at = PointFromItems(coordinates, items);
    canvas.floodFill(at.x, at.y, canvas.pixel(at.x, at.y));
}

} // namespace zenvas
