#pragma once

// Short moves of bytes in a few loads and stores, for the places that move
// many short runs and on Windows, where a call into the system's C runtime
// costs as much as the move itself.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <emmintrin.h>

namespace gdi {

// Up to 64 bytes: every byte is loaded before any is stored, so the move is
// right however the two places overlap.
inline void MoveShort(std::uint8_t* d, const std::uint8_t* s, std::size_t bytes)
{
    using V = __m128i;
    if (bytes >= 32) {
        const V a = _mm_loadu_si128(reinterpret_cast<const V*>(s));
        const V b = _mm_loadu_si128(reinterpret_cast<const V*>(s + 16));
        const V c = _mm_loadu_si128(reinterpret_cast<const V*>(s + bytes - 32));
        const V e = _mm_loadu_si128(reinterpret_cast<const V*>(s + bytes - 16));
        _mm_storeu_si128(reinterpret_cast<V*>(d), a);
        _mm_storeu_si128(reinterpret_cast<V*>(d + 16), b);
        _mm_storeu_si128(reinterpret_cast<V*>(d + bytes - 32), c);
        _mm_storeu_si128(reinterpret_cast<V*>(d + bytes - 16), e);
    } else if (bytes >= 16) {
        const V a = _mm_loadu_si128(reinterpret_cast<const V*>(s));
        const V b = _mm_loadu_si128(reinterpret_cast<const V*>(s + bytes - 16));
        _mm_storeu_si128(reinterpret_cast<V*>(d), a);
        _mm_storeu_si128(reinterpret_cast<V*>(d + bytes - 16), b);
    } else if (bytes >= 8) {
        const V a = _mm_loadl_epi64(reinterpret_cast<const V*>(s));
        const V b = _mm_loadl_epi64(reinterpret_cast<const V*>(s + bytes - 8));
        _mm_storel_epi64(reinterpret_cast<V*>(d), a);
        _mm_storel_epi64(reinterpret_cast<V*>(d + bytes - 8), b);
    } else if (bytes >= 4) {
        std::uint32_t a, b;
        std::memcpy(&a, s, 4);
        std::memcpy(&b, s + bytes - 4, 4);
        std::memcpy(d, &a, 4);
        std::memcpy(d + bytes - 4, &b, 4);
    } else if (bytes > 0) {
        const std::uint8_t a = s[0], b = s[bytes / 2], c = s[bytes - 1];
        d[0] = a;
        d[bytes / 2] = b;
        d[bytes - 1] = c;
    }
}

} // namespace gdi
