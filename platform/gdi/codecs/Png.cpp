#include "platform/gdi/codecs/Png.h"

#include "platform/gdi/Error.h"
#include "platform/system/Files.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

namespace gdi {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// The part that may longjmp holds no objects with destructors.
bool WritePng(std::FILE* file, const Bitmap& bitmap, png_bytep row)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(bitmap.width()), png_uint_32(bitmap.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* in = bitmap.scanLine(y);
        for (int x = 0; x < bitmap.width(); ++x) {
            row[3 * x] = in[3 * x + 2];
            row[3 * x + 1] = in[3 * x + 1];
            row[3 * x + 2] = in[3 * x];
        }
        png_write_row(png, row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

void SavePng(const std::string& path, const Bitmap& bitmap)
{
    if (bitmap.isEmpty())
        throw Error("an empty picture cannot be saved as PNG: " + path);
    std::unique_ptr<std::FILE, FileCloser> file(sys::OpenFileStream(path, "wb"));
    if (!file)
        throw Error("cannot create " + path);
    std::vector<png_byte> row(bitmap.stride());
    if (!WritePng(file.get(), bitmap, row.data()))
        throw Error("cannot write PNG " + path);
    if (std::fclose(file.release()) != 0)
        throw Error("cannot write PNG " + path);
}

} // namespace gdi
