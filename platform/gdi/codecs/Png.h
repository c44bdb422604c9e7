#pragma once

#include "platform/gdi/Bitmap.h"

#include <string>

namespace gdi {

// Writes the bitmap as an 8-bit RGB PNG; throws gdi::Error on failure.
void SavePng(const std::string& path, const Bitmap& bitmap);

} // namespace gdi
