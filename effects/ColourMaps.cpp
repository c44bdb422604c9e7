#include "effects/ColourMaps.h"

#include "platform/gdi/Vectors.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define ZENVAS_COLOUR_VECTORS 1
#endif

namespace zenvas {
namespace {

ByteTable ShiftTable(std::int32_t change)
{
    ByteTable table{};
    for (int c = 0; c < 256; ++c) {
        const std::int64_t shifted = std::int64_t(c) + change;
        table[c] = static_cast<std::uint8_t>(shifted >= 0 && shifted <= 255 ? shifted : c);
    }
    return table;
}

void MapEveryBytePlain(std::uint8_t* p, std::size_t count, const ByteTable& table)
{
    for (std::size_t i = 0; i < count; ++i)
        p[i] = table[p[i]];
}

void ShiftChannelsPlain(std::uint8_t* p, std::size_t pixelCount, const std::array<std::int32_t, 3>& change)
{
    const ByteTable blue = ShiftTable(change[0]), green = ShiftTable(change[1]), red = ShiftTable(change[2]);
    for (std::size_t i = 0; i < pixelCount; ++i, p += 3) {
        p[0] = blue[p[0]];
        p[1] = green[p[1]];
        p[2] = red[p[2]];
    }
}

void MapChannelSumsPlain(std::uint8_t* p, std::size_t pixelCount, const SumTable& table)
{
    for (std::size_t i = 0; i < pixelCount; ++i, p += 3) {
        const std::uint32_t out = table[unsigned(p[0]) + p[1] + p[2]];
        p[0] = static_cast<std::uint8_t>(out);
        p[1] = static_cast<std::uint8_t>(out >> 8);
        p[2] = static_cast<std::uint8_t>(out >> 16);
    }
}

// A shift as lane arithmetic: bytes inside lowest..highest take the
// change (wrapping is exact there), the others keep their value. Changes
// of 0 and beyond +-255 change nothing.
struct ChannelShift {
    std::uint8_t add = 0, lowest = 0, highest = 255;
};

ChannelShift ShiftOf(std::int32_t change)
{
    ChannelShift shift;
    if (change == 0 || change > 255 || change < -255)
        return shift;
    shift.add = static_cast<std::uint8_t>(change);
    if (change > 0)
        shift.highest = static_cast<std::uint8_t>(255 - change);
    else
        shift.lowest = static_cast<std::uint8_t>(-change);
    return shift;
}

// The shifts laid out over `bytes` bytes of pixels: byte j is channel j % 3.
template <std::size_t Bytes>
struct ShiftPattern {
    std::uint8_t add[Bytes], lowest[Bytes], highest[Bytes];

    explicit ShiftPattern(const std::array<std::int32_t, 3>& change)
    {
        const ChannelShift shifts[3] = {ShiftOf(change[0]), ShiftOf(change[1]), ShiftOf(change[2])};
        for (std::size_t j = 0; j < Bytes; ++j) {
            add[j] = shifts[j % 3].add;
            lowest[j] = shifts[j % 3].lowest;
            highest[j] = shifts[j % 3].highest;
        }
    }
};

#if ZENVAS_COLOUR_VECTORS

// GCC 12's 512-bit intrinsics start some results from an undefined value.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// Sixteen lookups of 16 entries cover the table, eight for each half. With
// y the low seven bits of x, lookup j of a half reads entry y - 16j and
// gives 0 where that has its top bit set, so lookups 0..y/16 answer: each
// half keeps the exclusive-or of its lookups, and its row j holds the
// difference of table rows j and j - 1 of that half. The top bit of x
// picks the half.
__attribute__((target("avx2"))) void MapEveryByteAvx2(std::uint8_t* p, std::size_t count, const ByteTable& table)
{
    __m256i low[8], high[8];
    for (int j = 0; j < 8; ++j) {
        alignas(16) std::uint8_t rows[2][16];
        for (int l = 0; l < 16; ++l)
            for (int half = 0; half < 2; ++half) {
                const int at = 128 * half + 16 * j + l;
                rows[half][l] = static_cast<std::uint8_t>(table[at] ^ (j ? table[at - 16] : 0));
            }
        low[j] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(rows[0])));
        high[j] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(rows[1])));
    }
    const __m256i sixteen = _mm256_set1_epi8(16), seven = _mm256_set1_epi8(0x7F);
    std::size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        __m256i index = _mm256_and_si256(x, seven);
        __m256i fromLow = _mm256_shuffle_epi8(low[0], index), fromHigh = _mm256_shuffle_epi8(high[0], index);
        for (int j = 1; j < 8; ++j) {
            index = _mm256_sub_epi8(index, sixteen);
            fromLow = _mm256_xor_si256(fromLow, _mm256_shuffle_epi8(low[j], index));
            fromHigh = _mm256_xor_si256(fromHigh, _mm256_shuffle_epi8(high[j], index));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), _mm256_blendv_epi8(fromLow, fromHigh, x));
    }
    MapEveryBytePlain(p + i, count - i, table);
}

constexpr std::uint64_t FirstBytes(std::size_t n)
{
    return n >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << n) - 1;
}

// Two 128-entry permutes, one per half of the table; the top bit of x
// picks the half. Plain loads and stores, and masked ones for the last
// run only (masked stores are slow on some processors).
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline __m512i Lookup512(__m512i x, const __m512i (&t)[4])
{
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), _mm512_permutex2var_epi8(t[0], x, t[1]),
                                  _mm512_permutex2var_epi8(t[2], x, t[3]));
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void MapEveryByteAvx512(std::uint8_t* p, std::size_t count,
                                                                                const ByteTable& table)
{
    const __m512i t[4] = {_mm512_loadu_si512(table.data()), _mm512_loadu_si512(table.data() + 64),
                          _mm512_loadu_si512(table.data() + 128), _mm512_loadu_si512(table.data() + 192)};
    std::size_t i = 0;
    for (; i + 64 <= count; i += 64)
        _mm512_storeu_si512(p + i, Lookup512(_mm512_loadu_si512(p + i), t));
    if (i < count) {
        const __mmask64 in = FirstBytes(count - i);
        _mm512_mask_storeu_epi8(p + i, in, Lookup512(_mm512_maskz_loadu_epi8(in, p + i), t));
    }
}

// 96 bytes (32 pixels) at a time, three vectors whose channels start at
// blue, red and green.
__attribute__((target("avx2"))) void ShiftChannelsAvx2(std::uint8_t* p, std::size_t pixelCount,
                                                       const std::array<std::int32_t, 3>& change)
{
    const ShiftPattern<96> pattern(change);
    __m256i add[3], lowest[3], highest[3];
    for (int v = 0; v < 3; ++v) {
        add[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern.add + 32 * v));
        lowest[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern.lowest + 32 * v));
        highest[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern.highest + 32 * v));
    }
    std::size_t i = 0;
    for (; i + 32 <= pixelCount; i += 32, p += 96) {
        for (int v = 0; v < 3; ++v) {
            __m256i* at = reinterpret_cast<__m256i*>(p + 32 * v);
            const __m256i x = _mm256_loadu_si256(at);
            const __m256i inside = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_max_epu8(x, lowest[v]), x),
                                                    _mm256_cmpeq_epi8(_mm256_min_epu8(x, highest[v]), x));
            _mm256_storeu_si256(at, _mm256_add_epi8(x, _mm256_and_si256(inside, add[v])));
        }
    }
    ShiftChannelsPlain(p, pixelCount - i, change);
}

// 192 bytes (64 pixels) at a time; the last run under masks.
__attribute__((target("avx512f,avx512bw"))) inline __m512i Shift512(__m512i x, __m512i add, __m512i lowest,
                                                                     __m512i highest)
{
    const __mmask64 inside = _mm512_cmpge_epu8_mask(x, lowest) & _mm512_cmple_epu8_mask(x, highest);
    return _mm512_mask_add_epi8(x, inside, x, add);
}

__attribute__((target("avx512f,avx512bw"))) void ShiftChannelsAvx512(std::uint8_t* p, std::size_t pixelCount,
                                                                      const std::array<std::int32_t, 3>& change)
{
    const ShiftPattern<192> pattern(change);
    __m512i add[3], lowest[3], highest[3];
    for (int v = 0; v < 3; ++v) {
        add[v] = _mm512_loadu_si512(pattern.add + 64 * v);
        lowest[v] = _mm512_loadu_si512(pattern.lowest + 64 * v);
        highest[v] = _mm512_loadu_si512(pattern.highest + 64 * v);
    }
    const std::size_t bytes = pixelCount * 3;
    std::size_t i = 0;
    for (; i + 192 <= bytes; i += 192)
        for (int v = 0; v < 3; ++v) {
            std::uint8_t* at = p + i + 64 * v;
            _mm512_storeu_si512(at, Shift512(_mm512_loadu_si512(at), add[v], lowest[v], highest[v]));
        }
    for (int v = 0; v < 3 && i + 64 * v < bytes; ++v) {
        std::uint8_t* at = p + i + 64 * v;
        const __mmask64 in = FirstBytes(bytes - i - 64 * v);
        _mm512_mask_storeu_epi8(at, in, Shift512(_mm512_maskz_loadu_epi8(in, at), add[v], lowest[v], highest[v]));
    }
}

// Eight pixels at a time: each spread to a 32-bit lane and its channels
// summed; then each pixel's answer is read from the table and stored as
// four bytes, the fourth overwritten by the next pixel's (the eighth
// stores three). The 32-byte load reads 8 bytes past the pixels, so the
// last 11 pixels or fewer go the plain way.
__attribute__((target("avx2"))) void MapChannelSumsAvx2(std::uint8_t* p, std::size_t pixelCount,
                                                        const SumTable& table)
{
    const __m256i toHalves = _mm256_setr_epi32(0, 1, 2, 0, 3, 4, 5, 0);
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, //
                                            0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m256i ones8 = _mm256_set1_epi8(1), ones16 = _mm256_set1_epi16(1);
    alignas(32) std::uint32_t sums[8];
    std::size_t i = 0;
    for (; i + 11 <= pixelCount; i += 8, p += 24) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i pixels = _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(x, toHalves), spread);
        _mm256_store_si256(reinterpret_cast<__m256i*>(sums),
                           _mm256_madd_epi16(_mm256_maddubs_epi16(pixels, ones8), ones16));
        for (int k = 0; k < 7; ++k)
            std::memcpy(p + 3 * k, &table[sums[k]], 4);
        std::memcpy(p + 21, &table[sums[7]], 3);
    }
    MapChannelSumsPlain(p, pixelCount - i, table);
}

#pragma GCC diagnostic pop
#endif

} // namespace

void MapEveryByte(std::uint8_t* bytes, std::size_t count, const ByteTable& table)
{
#if ZENVAS_COLOUR_VECTORS
    switch (gdi::ActiveVectors()) {
    case gdi::Vectors::Avx512: return MapEveryByteAvx512(bytes, count, table);
    case gdi::Vectors::Avx2: return MapEveryByteAvx2(bytes, count, table);
    case gdi::Vectors::Plain: break;
    }
#endif
    MapEveryBytePlain(bytes, count, table);
}

void ShiftChannels(std::uint8_t* pixels, std::size_t pixelCount, const std::array<std::int32_t, 3>& change)
{
#if ZENVAS_COLOUR_VECTORS
    switch (gdi::ActiveVectors()) {
    case gdi::Vectors::Avx512: return ShiftChannelsAvx512(pixels, pixelCount, change);
    case gdi::Vectors::Avx2: return ShiftChannelsAvx2(pixels, pixelCount, change);
    case gdi::Vectors::Plain: break;
    }
#endif
    ShiftChannelsPlain(pixels, pixelCount, change);
}

void MapChannelSums(std::uint8_t* pixels, std::size_t pixelCount, const SumTable& table)
{
#if ZENVAS_COLOUR_VECTORS
    switch (gdi::ActiveVectors()) {
    case gdi::Vectors::Avx512: // gathers and masked stores cost more than the lookups
    case gdi::Vectors::Avx2: return MapChannelSumsAvx2(pixels, pixelCount, table);
    case gdi::Vectors::Plain: break;
    }
#endif
    MapChannelSumsPlain(pixels, pixelCount, table);
}

} // namespace zenvas
