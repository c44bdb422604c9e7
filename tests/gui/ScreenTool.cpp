// zenvas-screen: what the real-window tests need of the X screen.
//   zenvas-screen grab X Y W H FILE.png   the screen's pixels in that area
//   zenvas-screen compare A B             exit 0 when the two pictures (PNG or
//                                         BMP) have the same size and pixels;
//                                         otherwise prints how many differ
#include <gdk/gdk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Grab(int x, int y, int w, int h, const char* file)
{
    GdkWindow* root = gdk_get_default_root_window();
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, x, y, w, h);
    if (!shot) {
        std::fprintf(stderr, "zenvas-screen: cannot read the screen at %d,%d %dx%d\n", x, y, w, h);
        return 2;
    }
    GError* error = nullptr;
    const bool saved = gdk_pixbuf_save(shot, file, "png", &error, nullptr);
    g_object_unref(shot);
    if (!saved) {
        std::fprintf(stderr, "zenvas-screen: cannot write %s: %s\n", file, error ? error->message : "?");
        return 2;
    }
    return 0;
}

int Compare(const char* a, const char* b)
{
    GError* error = nullptr;
    GdkPixbuf* first = gdk_pixbuf_new_from_file(a, &error);
    GdkPixbuf* second = first ? gdk_pixbuf_new_from_file(b, &error) : nullptr;
    if (!first || !second) {
        std::fprintf(stderr, "zenvas-screen: cannot read %s: %s\n", first ? b : a, error ? error->message : "?");
        return 2;
    }
    const int w = gdk_pixbuf_get_width(first), h = gdk_pixbuf_get_height(first);
    if (w != gdk_pixbuf_get_width(second) || h != gdk_pixbuf_get_height(second)) {
        std::printf("sizes differ: %dx%d and %dx%d\n", w, h, gdk_pixbuf_get_width(second),
                    gdk_pixbuf_get_height(second));
        return 1;
    }
    long differing = 0;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const guchar* p = gdk_pixbuf_get_pixels(first) + y * gdk_pixbuf_get_rowstride(first) +
                              x * gdk_pixbuf_get_n_channels(first);
            const guchar* q = gdk_pixbuf_get_pixels(second) + y * gdk_pixbuf_get_rowstride(second) +
                              x * gdk_pixbuf_get_n_channels(second);
            if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2]) {
                if (differing++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
        }
    if (differing)
        std::printf("%ld pixels differ, the first at %d,%d\n", differing, firstX, firstY);
    g_object_unref(first);
    g_object_unref(second);
    return differing ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "compare" && argc == 4)
        return Compare(argv[2], argv[3]);
    if (what == "grab" && argc == 7) {
        if (!gdk_init_check(&argc, &argv)) {
            std::fprintf(stderr, "zenvas-screen: no display\n");
            return 2;
        }
        return Grab(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), argv[6]);
    }
    std::fprintf(stderr, "usage: zenvas-screen grab X Y W H FILE.png | compare A B\n");
    return 2;
}
