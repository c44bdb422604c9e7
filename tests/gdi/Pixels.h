#pragma once

#include "platform/gdi/Bitmap.h"

#include <string>
#include <vector>

namespace gdi::test {

// A bitmap as rows of characters: '#' for pixels of colour `ink`, '.' for
// everything else. Makes exact-pixel expectations readable.
inline std::vector<std::string> Mask(const Bitmap& bmp, Color ink = 0)
{
    std::vector<std::string> rows;
    for (int y = 0; y < bmp.height(); ++y) {
        std::string row;
        for (int x = 0; x < bmp.width(); ++x)
            row += bmp.pixel(x, y) == ink ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// Rows of characters from a legend: each pixel's colour is looked up in
// `colors` and shown as the matching character of `chars` ('?' when absent).
inline std::vector<std::string> Map(const Bitmap& bmp, const std::vector<Color>& colors, const std::string& chars)
{
    std::vector<std::string> rows;
    for (int y = 0; y < bmp.height(); ++y) {
        std::string row;
        for (int x = 0; x < bmp.width(); ++x) {
            char c = '?';
            for (std::size_t i = 0; i < colors.size(); ++i)
                if (bmp.pixel(x, y) == colors[i])
                    c = chars[i];
            row += c;
        }
        rows.push_back(row);
    }
    return rows;
}

inline std::size_t CountColor(const Bitmap& bmp, Color c)
{
    std::size_t n = 0;
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x)
            n += bmp.pixel(x, y) == c;
    return n;
}

} // namespace gdi::test
