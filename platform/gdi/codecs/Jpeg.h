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

// The largest picture a JPEG may describe (pixels), as for BMP. Below
// that, a Huffman-coded file must be large enough to hold its picture size
// (a bit per 8 x 8 block) before anything is sized from its header.
inline constexpr std::uint64_t kMaxJpegPixels = std::uint64_t(1) << 28;
// Arithmetic-coded data has no such floor, so those pictures have a cap of
// their own (201 MB of pixels), and what libjpeg may hold for one (the
// coefficients of a progressive one) is limited.
inline constexpr std::uint64_t kMaxArithmeticJpegPixels = std::uint64_t(1) << 26;
inline constexpr long kMaxJpegDecoderBytes = 256L << 20;

// Reads only the header.
JpegSize ReadJpegSize(const std::string& path);

Bitmap LoadJpeg(const std::string& path);
Bitmap LoadJpeg(std::span<const std::uint8_t> bytes);
// Decodes into `out`, reusing its storage when the size matches (a damaged
// file may then leave some rows decoded); a file whose picture has another
// size leaves `out` unchanged when it fails.
void LoadJpeg(const std::string& path, Bitmap& out);

// Baseline colour JPEG at quality 1..100 (clamped), 4:2:0 like libjpeg's
// defaults.
void SaveJpeg(const std::string& path, const Bitmap& bitmap, int quality);
std::vector<std::uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality);

} // namespace gdi
