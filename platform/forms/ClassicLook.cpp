#include "platform/forms/ClassicLook.h"

#include "platform/forms/Window.h"

namespace forms::look {

int FrameThickness(std::uint32_t style)
{
    if (style & wsDialogFrame)
        return 3;
    if (style & wsBorder)
        return 4;
    return 0;
}

int CaptionHeight(std::uint32_t style)
{
    if (!(style & wsCaption))
        return 0;
    return (style & wsToolWindow) ? 18 : 24;
}

gdi::Font DialogFont(gdi::Color color)
{
    gdi::Font font;
    font.setName("MS Sans Serif");
    font.setSize(8);
    font.setColor(color);
    return font;
}

int LineHeight(const gdi::Font& font)
{
    gdi::Bitmap none;
    gdi::Canvas canvas(none);
    canvas.font() = font;
    return canvas.textExtent("Wg").height;
}

void Fill(gdi::Canvas& canvas, const gdi::IntRect& rect, gdi::Color color)
{
    canvas.brush().setColor(color);
    canvas.fillRect(rect);
}

void Ring(gdi::Canvas& canvas, const gdi::IntRect& r, gdi::Color topLeft, gdi::Color bottomRight)
{
    if (r.isEmpty())
        return;
    Fill(canvas, {r.left, r.top, r.right, r.top + 1}, topLeft);
    Fill(canvas, {r.left, r.top, r.left + 1, r.bottom}, topLeft);
    Fill(canvas, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    Fill(canvas, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void RaisedEdge(gdi::Canvas& canvas, const gdi::IntRect& rect)
{
    Ring(canvas, rect, kBtnHighlight, k3DDkShadow);
    Ring(canvas, Inset(rect, 1), k3DLight, kBtnShadow);
}

void SunkenEdge(gdi::Canvas& canvas, const gdi::IntRect& rect)
{
    Ring(canvas, rect, kBtnShadow, kBtnHighlight);
    Ring(canvas, Inset(rect, 1), k3DDkShadow, k3DLight);
}

void Arrow(gdi::Canvas& canvas, int cx, int cy, int rows, bool up, gdi::Color color)
{
    const int top = cy - rows / 2;
    for (int i = 0; i < rows; ++i) {
        const int half = up ? i : rows - 1 - i;
        Fill(canvas, {cx - half, top + i, cx + half + 1, top + i + 1}, color);
    }
}

void SideArrow(gdi::Canvas& canvas, int cx, int cy, int rows, bool left, gdi::Color color)
{
    const int first = cx - rows / 2;
    for (int i = 0; i < rows; ++i) {
        const int half = left ? i : rows - 1 - i;
        Fill(canvas, {first + i, cy - half, first + i + 1, cy + half + 1}, color);
    }
}

void FocusFrame(gdi::Canvas& canvas, const gdi::IntRect& r)
{
    if (r.isEmpty())
        return;
    const gdi::Color ink = gdi::ResolveColor(kWindowText);
    for (int x = r.left; x < r.right; x += 2) {
        canvas.setPixel(x, r.top, ink);
        canvas.setPixel(x, r.bottom - 1, ink);
    }
    for (int y = r.top; y < r.bottom; y += 2) {
        canvas.setPixel(r.left, y, ink);
        canvas.setPixel(r.right - 1, y, ink);
    }
}

gdi::IntRect Inset(const gdi::IntRect& r, int by)
{
    return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

} // namespace forms::look
