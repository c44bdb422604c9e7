#pragma once

#include "platform/gdi/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>

namespace gdi {

// Reads a Windows BMP: 12, 40, 52, 56, 108 and 124-byte headers; 1, 4, 8,
// 16, 24 and 32 bits per pixel; RLE4 and RLE8; bit-field masks; top-down
// rows. Every size and offset is checked against the data before use.
// Throws gdi::Error for anything malformed, truncated or too large.
Bitmap LoadBmp(std::span<const std::uint8_t> bytes);
Bitmap LoadBmp(const std::string& path);
// The same into an existing bitmap, reusing its storage when the size
// matches (no allocation then). On failure `out` is left unchanged or
// holds a partial picture of the file's size.
void LoadBmp(const std::string& path, Bitmap& out);

// Writes a 24-bit, 40-byte-header, bottom-up BMP. Throws gdi::Error when
// the file cannot be written or the bitmap is empty.
void SaveBmp24(const std::string& path, const Bitmap& bitmap);

// The largest picture a BMP may describe (pixels); larger headers are
// rejected before anything is allocated.
inline constexpr std::uint64_t kMaxBmpPixels = std::uint64_t(1) << 28;

} // namespace gdi
