#pragma once

namespace gdi {

// 128-bit intermediates for products of 64-bit coordinates.
__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

} // namespace gdi
