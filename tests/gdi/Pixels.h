#pragma once

#include "platform/gdi/Canvas.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace gdi::test {

using Rows = std::vector<std::string>;
constexpr Color kWhite = 0xFFFFFF;

// Rows of characters from a legend: each pixel's colour is looked up in
// `colors` and shown as the matching character of `chars` (`other` when absent).
inline Rows Map(const Bitmap& bmp, const std::vector<Color>& colors, const std::string& chars, char other = '?')
{
    Rows rows(std::size_t(bmp.height()), std::string(std::size_t(bmp.width()), other));
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x)
            for (std::size_t i = 0; i < colors.size(); ++i)
                if (bmp.pixel(x, y) == colors[i])
                    rows[std::size_t(y)][std::size_t(x)] = chars[i];
    return rows;
}

// '#' for pixels of colour `ink`, '.' for everything else.
inline Rows Mask(const Bitmap& bmp, Color ink = 0) { return Map(bmp, {ink}, "#", '.'); }

// Draws on a fresh white bitmap with a black pen and a blue brush: '#' pen,
// 'b' brush, '.' untouched.
inline Rows Drawn(int w, int h, const std::function<void(Canvas&)>& draw)
{
    Bitmap b(w, h);
    Canvas c(b);
    c.brush().setColor(Rgb(0, 0, 255));
    draw(c);
    return Map(b, {0, Rgb(0, 0, 255), kWhite}, "#b.");
}

// A picture whose pixel (x, y) has colour(x, y), set row by row from the top.
inline Bitmap Picture(int w, int h, const std::function<Color(int, int)>& colour)
{
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.setPixel(x, y, colour(x, y));
    return b;
}

inline std::size_t CountColor(const Bitmap& bmp, Color c)
{
    std::size_t n = 0;
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x)
            n += bmp.pixel(x, y) == c;
    return n;
}

// "" when a and b hold the same pixels, else the first difference.
inline std::string Diff(const Bitmap& a, const Bitmap& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "at " + std::to_string(x) + "," + std::to_string(y);
    return "";
}

inline std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / ("zenvas-gdi-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

inline std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace gdi::test
