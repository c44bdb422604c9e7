#pragma once

#include "platform/gdi/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace gdi {

struct JpegSize {
    int width = 0;
    int height = 0;
};

// All JPEG functions throw gdi::Error on any failure, corrupt data
// included (libjpeg's warnings about damaged data count as failures).

// Reads only the header.
JpegSize ReadJpegSize(const std::string& path);

Bitmap LoadJpeg(const std::string& path);
Bitmap LoadJpeg(std::span<const std::uint8_t> bytes);
// Decodes into `out`, reusing its storage when the size matches.
void LoadJpeg(const std::string& path, Bitmap& out);

// Baseline colour JPEG at quality 1..100 (clamped), 4:2:0 like libjpeg's
// defaults.
void SaveJpeg(const std::string& path, const Bitmap& bitmap, int quality);
std::vector<std::uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality);

} // namespace gdi
