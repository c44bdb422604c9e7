#pragma once

#include "platform/gdi/Bitmap.h"

#include <algorithm>
#include <cstdint>

// A deterministic side x side picture with smooth areas, edges and noise,
// so that the drawing layer and the codecs see something like a photograph.
inline gdi::Bitmap PhotoPicture(int side)
{
    gdi::Bitmap b(side, side);
    std::uint32_t seed = 12345;
    for (int y = 0; y < side; ++y) {
        std::uint8_t* row = b.scanLine(y);
        for (int x = 0; x < side; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = int((seed >> 24) & 15) - 8;
            const int band = ((x / 512) + (y / 384)) % 2 ? 60 : 0;
            row[3 * x] = std::uint8_t(std::clamp((x * 255) / side + noise, 0, 255));
            row[3 * x + 1] = std::uint8_t(std::clamp((y * 255) / side + band + noise, 0, 255));
            row[3 * x + 2] = std::uint8_t(std::clamp(((x ^ y) & 255) / 2 + 64 + noise, 0, 255));
        }
    }
    return b;
}
