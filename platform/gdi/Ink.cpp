#include "platform/gdi/Ink.h"

#include <cstring>

namespace gdi {

Ink Ink::Solid(Color c, PenMode mode)
{
    Ink ink;
    ink.color = ResolveColor(c);
    ink.notXor = mode == PenMode::NotXor;
    return ink;
}

Ink Ink::FromBrush(const Brush& b, PenMode mode, bool* visible)
{
    Ink ink = Solid(b.color(), mode);
    *visible = b.style() != BrushStyle::Clear;
    if (b.style() == BrushStyle::Solid || b.style() == BrushStyle::Clear)
        return ink;
    ink.hatched = true;
    for (int v = 0; v < 8; ++v) {
        const std::uint8_t horizontal = v == 3 ? 0xFF : 0;
        const std::uint8_t vertical = 1u << 4;
        const std::uint8_t forward = std::uint8_t(1u << v);
        const std::uint8_t backward = std::uint8_t(1u << (7 - v));
        std::uint8_t row = 0;
        switch (b.style()) {
        case BrushStyle::Horizontal: row = horizontal; break;
        case BrushStyle::Vertical: row = vertical; break;
        case BrushStyle::FDiagonal: row = forward; break;
        case BrushStyle::BDiagonal: row = backward; break;
        case BrushStyle::Cross: row = horizontal | vertical; break;
        case BrushStyle::DiagCross: row = forward | backward; break;
        default: break;
        }
        ink.hatchRows[v] = row;
    }
    return ink;
}

void PaintSpan(Bitmap& bmp, int y, int x0, int x1, const Ink& ink)
{
    std::uint8_t* p = bmp.scanLine(y) + std::size_t(x0) * 3;
    const std::uint8_t b = std::uint8_t(BlueOf(ink.color));
    const std::uint8_t g = std::uint8_t(GreenOf(ink.color));
    const std::uint8_t r = std::uint8_t(RedOf(ink.color));
    if (ink.hatched) {
        const std::uint8_t mask = ink.hatchRows[y & 7];
        if (mask == 0)
            return;
        for (int x = x0; x < x1; ++x, p += 3) {
            if (!((mask >> (x & 7)) & 1))
                continue;
            if (ink.notXor) {
                p[0] = std::uint8_t(~(b ^ p[0]));
                p[1] = std::uint8_t(~(g ^ p[1]));
                p[2] = std::uint8_t(~(r ^ p[2]));
            } else {
                p[0] = b;
                p[1] = g;
                p[2] = r;
            }
        }
        return;
    }
    if (!ink.notXor) {
        FillPixels(p, std::size_t(x1 - x0), ink.color);
        return;
    }
    for (int x = x0; x < x1; ++x, p += 3) {
        p[0] = std::uint8_t(~(b ^ p[0]));
        p[1] = std::uint8_t(~(g ^ p[1]));
        p[2] = std::uint8_t(~(r ^ p[2]));
    }
}

} // namespace gdi
