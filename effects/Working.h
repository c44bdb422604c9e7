#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/system/PageBuffer.h"

#include <cstdint>

// The working memory of the transforms, kept from call to call so that a
// transform on a large picture does not pay for fresh pages each time, and
// given back by TrimTransformMemory.
namespace zenvas {

struct WorkingMemory {
    sys::PageBuffer copy;    // a whole copy of the picture, for blocks and frosted glass with wide reaches
    sys::PageBuffer rows;    // the rows in reach of the one being made, for blocks and frosted glass
    sys::PageBuffer sums;    // enlarged pixels: the sums of the cells' fresh parts
    sys::PageBuffer colours; // enlarged pixels: the cells' colours
};

WorkingMemory& Working();

// The picture's bytes in the working copy.
const std::uint8_t* TakeCopy(const gdi::Bitmap& bitmap);

} // namespace zenvas
