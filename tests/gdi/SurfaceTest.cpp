// The surface's origin, clip, save and restore, and the box of what it
// touched: drawing through an origin and a clip must give exactly the
// pixels of drawing at the shifted place, cut to the clip.
#include "platform/gdi/Canvas.h"
#include "platform/gdi/Error.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace gdi {
namespace {

Bitmap Noise(int w, int h, unsigned seed)
{
    Bitmap b(w, h);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.setPixel(x, y, (random() % 4 == 0) ? Rgb(0, 0, 0) : Rgb(250, 250, 250));
    return b;
}

TEST(Surface, OriginAndClipPlaceAndCutEveryPrimitive)
{
    const Bitmap stamp = Noise(9, 7, 3);
    struct Case {
        const char* name;
        std::function<void(Canvas&, int, int)> draw; // at offset (dx, dy)
    };
    const std::vector<Case> cases = {
        {"wide line", [](Canvas& c, int dx, int dy) { c.pen().setWidth(5); c.moveTo(dx + 2, dy + 3); c.lineTo(dx + 40, dy + 30); }},
        {"dashed rectangle", [](Canvas& c, int dx, int dy) { c.pen().setStyle(PenStyle::Dash); c.rectangle(dx + 1, dy + 1, dx + 38, dy + 29); }},
        {"hatched ellipse", [](Canvas& c, int dx, int dy) { c.brush().setStyle(BrushStyle::DiagCross); c.ellipse(dx, dy, dx + 44, dy + 33); }},
        {"pie", [](Canvas& c, int dx, int dy) { c.pie(dx, dy, dx + 40, dy + 30, dx + 40, dy, dx, dy + 30); }},
        {"polygon", [](Canvas& c, int dx, int dy) { const Point p[] = {{dx + 3, dy}, {dx + 40, dy + 12}, {dx + 8, dy + 30}}; c.polygon(p); }},
        {"text", [](Canvas& c, int dx, int dy) { c.font().setSize(14); c.textOut(dx + 2, dy + 4, "Wg"); }},
        {"flood fill", [](Canvas& c, int dx, int dy) { c.floodFill(dx + 20, dy + 15, Rgb(250, 250, 250)); }},
        {"copy within", [](Canvas& c, int dx, int dy) { c.copyRect({dx + 5, dy + 5, dx + 35, dy + 25}, c.bitmap(), {0, 0, 30, 20}); }},
        {"stretch", [&](Canvas& c, int dx, int dy) { c.copyRect({dx, dy, dx + 30, dy + 21}, stamp, stamp.bounds()); }},
        {"transparent", [&](Canvas& c, int dx, int dy) { c.drawTransparent(dx + 10, dy + 10, stamp, 0); }},
        {"pixels", [](Canvas& c, int dx, int dy) { for (int i = 0; i < 40; ++i) c.setPixel(dx + i, dy + i % 30, 0xFF); }},
    };
    const int dx = 13, dy = 9;
    const IntRect clip{20, 12, 47, 35}; // bitmap coordinates
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const Bitmap background = Noise(64, 48, 7);
        Bitmap expected = background;
        {
            Canvas direct(expected);
            direct.brush().setColor(Rgb(0, 0, 255));
            test.draw(direct, dx, dy);
        }
        Bitmap actual = background;
        Canvas surface(actual);
        surface.brush().setColor(Rgb(0, 0, 255));
        surface.translate(dx, dy);
        surface.clipTo({clip.left - dx, clip.top - dy, clip.right - dx, clip.bottom - dy});
        EXPECT_EQ(surface.clipRect(), (IntRect{clip.left - dx, clip.top - dy, clip.right - dx, clip.bottom - dy}));
        IntRect touched;
        surface.onTouched = [&touched](const IntRect& box) {
            ASSERT_FALSE(box.isEmpty());
            touched = touched.isEmpty() ? box : touched.united(box);
        };
        test.draw(surface, 0, 0);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const Color want = clip.contains(x, y) ? expected.pixel(x, y) : background.pixel(x, y);
                ASSERT_EQ(actual.pixel(x, y), want) << "at " << x << "," << y;
                if (actual.pixel(x, y) != background.pixel(x, y)) {
                    ASSERT_TRUE(touched.contains(x, y)) << "changed outside the touched box at " << x << "," << y;
                }
            }
    }
}

TEST(Surface, RestoreBringsBackOriginClipAndToolsAndViewsStayViews)
{
    Bitmap b(20, 20);
    Canvas c(b);
    c.pen().setColor(0xFF);
    c.save();
    c.translate(5, 5);
    c.clipTo({0, 0, 4, 4});
    c.clipTo({2, 2, 10, 10}); // clips only narrow
    EXPECT_EQ(c.clipRect(), (IntRect{2, 2, 4, 4}));
    c.pen().setColor(0xFF00);
    c.save();
    c.translate(100, 100);
    EXPECT_EQ(c.clipRect(), (IntRect{-98, -98, -96, -96}));
    c.restore();
    EXPECT_EQ(c.origin(), (Point{5, 5}));
    c.restore();
    c.restore(); // without a save: nothing
    EXPECT_EQ(c.origin(), (Point{0, 0}));
    EXPECT_EQ(c.clipRect(), b.bounds());
    EXPECT_EQ(c.pen().color(), 0xFFu);
    c.setPixel(19, 19, 0);
    EXPECT_EQ(b.pixel(19, 19), 0u);

    // A view shares the pixels; its copy is an ordinary bitmap; it cannot grow.
    Bitmap view = Bitmap::View(b, {15, 15, 40, 40});
    EXPECT_EQ(view.width(), 5);
    view.setPixel(0, 0, 0x123456);
    EXPECT_EQ(b.pixel(15, 15), 0x123456u);
    Bitmap copy = view;
    EXPECT_FALSE(copy.isView());
    EXPECT_EQ(copy.pixel(4, 4), 0u);
    EXPECT_THROW(view.setSize(8, 8), Error);
}

} // namespace
} // namespace gdi
