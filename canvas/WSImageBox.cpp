#include "canvas/WSImageBox.h"

namespace zenvas {
namespace {

// One tool number and one pair of drag points for every image box.
int g_tool = 0;
gdi::Point g_start;
gdi::Point g_last;

} // namespace

TWSImageBox::TWSImageBox(std::string name) : forms::Image(std::move(name))
{
    onMouseDown = [this](forms::MouseButton b, forms::ShiftState s, int x, int y) { ibMouseDown(b, s, x, y); };
    onMouseMove = [this](forms::ShiftState s, int x, int y) { ibMouseMove(s, x, y); };
    onMouseUp = [this](forms::MouseButton b, forms::ShiftState s, int x, int y) { ibMouseUp(b, s, x, y); };
    SetTool(1);
    ComWidth = 200;
    ComHeight = 200;
    setBounds(left(), top(), 200, 200);
    // The surface of an empty picture is a bitmap of the control's size.
    resizePicture(width(), height());
    Canvas().fillRect({0, 0, ComWidth, ComHeight});
}

void TWSImageBox::SetTool(int tool)
{
    g_tool = tool;
}

int TWSImageBox::GetTool()
{
    return g_tool;
}

gdi::Point TWSImageBox::StartPoint()
{
    return g_start;
}

gdi::Point TWSImageBox::LastPoint()
{
    return g_last;
}

void TWSImageBox::SetWidth(int width)
{
    setWidth(width);
    ComWidth = width;
    resizePicture(width, Bitmap().height());
    Canvas().fillRect({0, 0, ComWidth, ComHeight});
}

void TWSImageBox::SetHeight(int height)
{
    setHeight(height);
    ComHeight = height;
    resizePicture(Bitmap().width(), height);
    Canvas().fillRect({0, 0, ComWidth, ComHeight});
}

void TWSImageBox::ibMouseDown(forms::MouseButton, forms::ShiftState, int x, int y)
{
    g_start = {x, y};
    g_last = {x, y};
    runTool("mousedown", x, y);
}

void TWSImageBox::ibMouseMove(forms::ShiftState shift, int x, int y)
{
    if (shift != forms::ssLeft)
        return;
    runTool("mousemove", x, y);
}

void TWSImageBox::ibMouseUp(forms::MouseButton, forms::ShiftState, int x, int y)
{
    runTool("mouseup", x, y);
}

void TWSImageBox::runTool(std::string_view phase, int x, int y)
{
    switch (g_tool) {
    case 1:
        pen(phase, x, y);
        break;
    case 2:
        brush(phase, x, y);
        break;
    case 3:
        rectangle(phase, x, y);
        break;
    case 4:
        circle(phase, x, y);
        break;
    case 5:
        line(phase, x, y);
        break;
    default:
        return;
    }
}

void TWSImageBox::pen(std::string_view phase, int x, int y)
{
    gdi::Canvas& canvas = Canvas();
    if (phase == "mousedown") {
        canvas.moveTo(x, y);
        canvas.lineTo(x, y);
    } else if (phase == "mousemove") {
        canvas.lineTo(x, y);
        canvas.moveTo(x, y);
    }
}

void TWSImageBox::brush(std::string_view phase, int x, int y)
{
    pen(phase, x, y);
}

void TWSImageBox::boxFigure(bool ellipse, std::string_view phase, int x, int y)
{
    gdi::Canvas& canvas = Canvas();
    auto figure = [&](gdi::Point a, gdi::Point b) {
        if (ellipse)
            canvas.ellipse(a.x, a.y, b.x, b.y);
        else
            canvas.rectangle(a.x, a.y, b.x, b.y);
    };
    if (phase == "mousedown") {
        g_start = {x, y};
        g_last = {x, y};
    } else if (phase == "mousemove") {
        canvas.pen().setMode(gdi::PenMode::NotXor);
        figure(g_start, g_last);
        figure(g_start, {x, y});
        canvas.pen().setMode(gdi::PenMode::Copy);
        g_last = {x, y};
    } else if (phase == "mouseup") {
        figure(g_start, {x, y});
    }
}

void TWSImageBox::rectangle(std::string_view phase, int x, int y)
{
    boxFigure(false, phase, x, y);
}

void TWSImageBox::circle(std::string_view phase, int x, int y)
{
    boxFigure(true, phase, x, y);
}

void TWSImageBox::line(std::string_view phase, int x, int y)
{
    gdi::Canvas& canvas = Canvas();
    canvas.pen().setMode(gdi::PenMode::NotXor);
    if (phase == "mousedown") {
        g_start = {x, y};
        g_last = {x, y};
    } else if (phase == "mousemove") {
        canvas.pen().setMode(gdi::PenMode::NotXor);
        canvas.moveTo(g_start.x, g_start.y);
        canvas.lineTo(g_last.x, g_last.y);
        canvas.moveTo(g_start.x, g_start.y);
        canvas.lineTo(x, y);
        canvas.pen().setMode(gdi::PenMode::Copy);
        g_last = {x, y};
    } else if (phase == "mouseup") {
        canvas.pen().setMode(gdi::PenMode::Copy);
        canvas.moveTo(g_start.x, g_start.y);
        canvas.lineTo(x, y);
    }
}

} // namespace zenvas
