#pragma once

#include "platform/forms/Image.h"

#include <string_view>

namespace zenvas {

// The picture-holding control of every canvas, with its logical picture size
// and the five built-in mouse tools (pen, brush, rectangle, circle, line)
// that draw straight into the picture.
class TWSImageBox : public forms::Image {
public:
    explicit TWSImageBox(std::string name = "WSImageBox1");

    // Logical picture size.
    int ComWidth = 200;
    int ComHeight = 200;

    // Picture.Bitmap and the surface that paints into it.
    gdi::Bitmap& Bitmap() { return picture(); }
    gdi::Canvas& Canvas() { return canvas(); }

    // The built-in tool number, one for every image box: 0 none, 1 pen,
    // 2 brush, 3 rectangle, 4 circle, 5 line; others behave as 0.
    static void SetTool(int tool);
    static int GetTool();

    // Resize the picture and clear it to the current brush.
    void SetWidth(int width);
    void SetHeight(int height);

    // The built-in tools' three phases; the canvas form's handlers call
    // these first.
    void ibMouseDown(forms::MouseButton button, forms::ShiftState shift, int x, int y);
    void ibMouseMove(forms::ShiftState shift, int x, int y);
    void ibMouseUp(forms::MouseButton button, forms::ShiftState shift, int x, int y);

    void pen(std::string_view phase, int x, int y);
    void brush(std::string_view phase, int x, int y);
    void rectangle(std::string_view phase, int x, int y);
    void circle(std::string_view phase, int x, int y);
    void line(std::string_view phase, int x, int y);

    // Drag points shared by every image box.
    static gdi::Point StartPoint();
    static gdi::Point LastPoint();

private:
    void runTool(std::string_view phase, int x, int y);
    void boxFigure(bool ellipse, std::string_view phase, int x, int y);
};

} // namespace zenvas
