#include "effects/ColourMaps.h"

#include "platform/gdi/Vectors.h"

#include <algorithm>
#include <cstring>

// Vector paths where the drawing layer offers them.
#if defined(__x86_64__) || defined(__i386__)
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

#if ZENVAS_COLOUR_VECTORS

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

// The shifts laid out over Bytes bytes of pixels that start at channel
// `first`: byte j is channel (first + j) % 3.
template <std::size_t Bytes>
struct ShiftPattern {
    std::uint8_t add[Bytes], lowest[Bytes], highest[Bytes];

    ShiftPattern(const std::array<std::int32_t, 3>& change, std::size_t first)
    {
        const ChannelShift shifts[3] = {ShiftOf(change[0]), ShiftOf(change[1]), ShiftOf(change[2])};
        for (std::size_t j = 0; j < Bytes; ++j) {
            const ChannelShift& shift = shifts[(first + j) % 3];
            add[j] = shift.add;
            lowest[j] = shift.lowest;
            highest[j] = shift.highest;
        }
    }
};

// Bytes before the first aligned vector and after the last whole one.
void ShiftBytesPlain(std::uint8_t* p, std::size_t count, const std::array<std::int32_t, 3>& change, std::size_t first)
{
    if (count == 0)
        return;
    const ByteTable tables[3] = {ShiftTable(change[0]), ShiftTable(change[1]), ShiftTable(change[2])};
    for (std::size_t j = 0; j < count; ++j)
        p[j] = tables[(first + j) % 3][p[j]];
}

// Bytes from p to the next multiple of `alignment`, at most `count`.
std::size_t BytesToAlignment(const std::uint8_t* p, std::size_t alignment, std::size_t count)
{
    return std::min(count, (alignment - reinterpret_cast<std::uintptr_t>(p) % alignment) % alignment);
}

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
    alignas(32) std::uint8_t rows[2][8][32];
    for (int half = 0; half < 2; ++half)
        for (int j = 0; j < 8; ++j)
            for (int l = 0; l < 32; ++l) {
                const int at = 128 * half + 16 * j + l % 16;
                rows[half][j][l] = static_cast<std::uint8_t>(table[at] ^ (j ? table[at - 16] : 0));
            }
    const __m256i sixteen = _mm256_set1_epi8(16), seven = _mm256_set1_epi8(0x7F);
    std::size_t i = BytesToAlignment(p, 32, count);
    MapEveryBytePlain(p, i, table);
    // Several vectors at a time, lookup by lookup, so that each pair of
    // rows is loaded once for all of them; no more than leave everything in
    // registers (sixteen vector registers in 64-bit builds, eight in 32-bit
    // ones), as a value sent to the stack and back costs more than loading
    // the rows again. On Windows the stack is not aligned for these
    // vectors, so every such value would also straddle two cache lines.
    constexpr int kVectors = sizeof(void*) == 4 ? 1 : 2;
    for (; i + 32 * kVectors <= count; i += 32 * kVectors) {
        __m256i* at = reinterpret_cast<__m256i*>(p + i);
        __m256i index[kVectors], fromLow[kVectors], fromHigh[kVectors];
        for (int v = 0; v < kVectors; ++v) {
            index[v] = _mm256_and_si256(_mm256_load_si256(at + v), seven);
            fromLow[v] = _mm256_setzero_si256();
            fromHigh[v] = _mm256_setzero_si256();
        }
        for (int j = 0; j < 8; ++j) {
            const __m256i low = _mm256_load_si256(reinterpret_cast<const __m256i*>(rows[0][j]));
            const __m256i high = _mm256_load_si256(reinterpret_cast<const __m256i*>(rows[1][j]));
            for (int v = 0; v < kVectors; ++v) {
                fromLow[v] = _mm256_xor_si256(fromLow[v], _mm256_shuffle_epi8(low, index[v]));
                fromHigh[v] = _mm256_xor_si256(fromHigh[v], _mm256_shuffle_epi8(high, index[v]));
                index[v] = _mm256_sub_epi8(index[v], sixteen);
                // Left to itself the compiler makes every lookup first and
                // combines them after, keeping them all meanwhile, more than
                // the registers hold; this keeps each combined as it comes.
                __asm__("" : "+x"(fromLow[v]), "+x"(fromHigh[v]));
            }
        }
        for (int v = 0; v < kVectors; ++v)
            _mm256_store_si256(at + v, _mm256_blendv_epi8(fromLow[v], fromHigh[v], _mm256_load_si256(at + v)));
    }
    MapEveryBytePlain(p + i, count - i, table);
}

constexpr std::uint64_t FirstBytes(std::size_t n)
{
    return n >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << n) - 1;
}

// Two 128-entry permutes, one per half of the table; the top bit of x
// picks the half. Aligned loads and stores, masked ones only before the
// first and after the last whole vector (masked stores are slow on some
// processors, and vectors across cache lines everywhere).
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
    std::size_t i = BytesToAlignment(p, 64, count);
    if (i > 0) {
        const __mmask64 in = FirstBytes(i);
        _mm512_mask_storeu_epi8(p, in, Lookup512(_mm512_maskz_loadu_epi8(in, p), t));
    }
    for (; i + 64 <= count; i += 64)
        _mm512_store_si512(p + i, Lookup512(_mm512_load_si512(p + i), t));
    if (i < count) {
        const __mmask64 in = FirstBytes(count - i);
        _mm512_mask_storeu_epi8(p + i, in, Lookup512(_mm512_maskz_loadu_epi8(in, p + i), t));
    }
}

// 96 bytes (32 pixels) at a time from the first aligned vector, three
// vectors whose channels start one apart.
__attribute__((target("avx2"))) void ShiftChannelsAvx2(std::uint8_t* p, std::size_t pixelCount,
                                                       const std::array<std::int32_t, 3>& change)
{
    const std::size_t bytes = pixelCount * 3;
    std::size_t i = BytesToAlignment(p, 32, bytes);
    ShiftBytesPlain(p, i, change, 0);
    const ShiftPattern<96> pattern(change, i % 3);
    __m256i add[3], lowest[3], highest[3];
    for (int v = 0; v < 3; ++v) {
        add[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern.add + 32 * v));
        lowest[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern.lowest + 32 * v));
        highest[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern.highest + 32 * v));
    }
    for (; i + 96 <= bytes; i += 96) {
        for (int v = 0; v < 3; ++v) {
            __m256i* at = reinterpret_cast<__m256i*>(p + i + 32 * v);
            const __m256i x = _mm256_load_si256(at);
            const __m256i inside = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_max_epu8(x, lowest[v]), x),
                                                    _mm256_cmpeq_epi8(_mm256_min_epu8(x, highest[v]), x));
            _mm256_store_si256(at, _mm256_add_epi8(x, _mm256_and_si256(inside, add[v])));
        }
    }
    ShiftBytesPlain(p + i, bytes - i, change, i % 3);
}

// 192 bytes (64 pixels) at a time from the first aligned vector; the
// bytes before it and after the last whole run under masks.
__attribute__((target("avx512f,avx512bw"))) inline __m512i Shift512(__m512i x, __m512i add, __m512i lowest,
                                                                     __m512i highest)
{
    const __mmask64 inside = _mm512_cmpge_epu8_mask(x, lowest) & _mm512_cmple_epu8_mask(x, highest);
    return _mm512_mask_add_epi8(x, inside, x, add);
}

__attribute__((target("avx512f,avx512bw"))) void ShiftChannelsAvx512(std::uint8_t* p, std::size_t pixelCount,
                                                                      const std::array<std::int32_t, 3>& change)
{
    const std::size_t bytes = pixelCount * 3;
    std::size_t i = BytesToAlignment(p, 64, bytes);
    if (i > 0) {
        const ShiftPattern<64> head(change, 0);
        const __mmask64 in = FirstBytes(i);
        _mm512_mask_storeu_epi8(p, in,
                                Shift512(_mm512_maskz_loadu_epi8(in, p), _mm512_loadu_si512(head.add),
                                         _mm512_loadu_si512(head.lowest), _mm512_loadu_si512(head.highest)));
    }
    const ShiftPattern<192> pattern(change, i % 3);
    __m512i add[3], lowest[3], highest[3];
    for (int v = 0; v < 3; ++v) {
        add[v] = _mm512_loadu_si512(pattern.add + 64 * v);
        lowest[v] = _mm512_loadu_si512(pattern.lowest + 64 * v);
        highest[v] = _mm512_loadu_si512(pattern.highest + 64 * v);
    }
    for (; i + 192 <= bytes; i += 192)
        for (int v = 0; v < 3; ++v) {
            std::uint8_t* at = p + i + 64 * v;
            _mm512_store_si512(at, Shift512(_mm512_load_si512(at), add[v], lowest[v], highest[v]));
        }
    for (int v = 0; v < 3 && i + 64 * v < bytes; ++v) {
        std::uint8_t* at = p + i + 64 * v;
        const __mmask64 in = FirstBytes(bytes - i - 64 * v);
        _mm512_mask_storeu_epi8(at, in, Shift512(_mm512_maskz_loadu_epi8(in, at), add[v], lowest[v], highest[v]));
    }
}

// Eight pixels at a time: each spread to a 32-bit lane, its channels
// summed, its answer gathered from the table and packed back to 24 bytes.
// The 32-byte load reads 8 bytes past the pixels, so the last 11 pixels or
// fewer go the plain way.
__attribute__((target("avx2"))) void MapChannelSumsAvx2(std::uint8_t* p, std::size_t pixelCount,
                                                        const SumTable& table)
{
    const __m256i toHalves = _mm256_setr_epi32(0, 1, 2, 0, 3, 4, 5, 0);
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, //
                                            0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, //
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i together = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
    const __m256i ones8 = _mm256_set1_epi8(1), ones16 = _mm256_set1_epi16(1);
    __m256i everything = _mm256_set1_epi32(-1);
    __asm__("" : "+x"(everything));
    const int* entries = reinterpret_cast<const int*>(table.data());
    std::size_t i = 0;
    for (; i + 11 <= pixelCount; i += 8, p += 24) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i pixels = _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(x, toHalves), spread);
        const __m256i sums = _mm256_madd_epi16(_mm256_maddubs_epi16(pixels, ones8), ones16);
        // The gather's target is also one of its sources (for lanes the
        // mask leaves out). Given no source, the compiler may gather into
        // the register that held the last group's answers, chaining each
        // group's gather to the one before; so it gathers into a fresh
        // zero, and the mask is kept from the compiler, which would drop
        // that zero for a mask it knows is full.
        const __m256i answers = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), entries, sums, everything, 4);
        const __m256i out = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(answers, pack), together);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(out));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 16), _mm256_extracti128_si256(out, 1));
    }
    MapChannelSumsPlain(p, pixelCount - i, table);
}

// The tables of the 512-bit path: per channel, the table as twelve runs
// of 64 entries (sums 766 and 767 never occur), and the byte permutes
// between pixels and planes.
struct SumPlanes {
    alignas(64) std::uint8_t entries[3][768];
    alignas(64) std::uint8_t fromFirst[3][64], fromThird[3][64], toOutput[3][64], lowBytes[64];
    std::uint64_t inThird[3] = {}, isRed[3] = {};
};

// `Blocks` blocks of 64 pixels (192 bytes each) as planes: byte permutes
// split the pixels into blue, green and red planes, the sums (0..765) are
// made in 16-bit lanes and cut into their low seven bits and their group
// of 128, and each channel looks its answer up in six 128-entry permutes,
// one per group, keeping the one of the pixel's group. Permutes put the
// planes back together. Each run of the table that is loaded serves every
// block's lookup: with eight vector registers (32-bit builds) the runs
// cannot stay in registers from one step to the next, and loads were what
// a step waited for.
template <int Blocks>
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline void MapSumBlocksAvx512(std::uint8_t* at,
                                                                                     const SumPlanes& planes,
                                                                                     __m512i low)
{
    __m512i index[Blocks];
    __mmask64 inGroup[Blocks][6];
    for (int b = 0; b < Blocks; ++b) {
        const std::uint8_t* in = at + 192 * b;
        const __m512i v0 = _mm512_loadu_si512(in), v1 = _mm512_loadu_si512(in + 64),
                      v2 = _mm512_loadu_si512(in + 128);
        __m512i sums[2] = {_mm512_setzero_si512(), _mm512_setzero_si512()};
        for (int c = 0; c < 3; ++c) {
            const __m512i one = _mm512_mask_permutexvar_epi8(
                _mm512_permutex2var_epi8(v0, _mm512_load_si512(planes.fromFirst[c]), v1), planes.inThird[c],
                _mm512_load_si512(planes.fromThird[c]), v2);
            sums[0] = _mm512_add_epi16(sums[0], _mm512_cvtepu8_epi16(_mm512_castsi512_si256(one)));
            sums[1] = _mm512_add_epi16(sums[1], _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(one, 1)));
        }
        index[b] = _mm512_permutex2var_epi8(sums[0], low, sums[1]);
        const __m512i group =
            _mm512_permutex2var_epi8(_mm512_srli_epi16(sums[0], 7), low, _mm512_srli_epi16(sums[1], 7));
        for (int g = 1; g < 6; ++g)
            inGroup[b][g] = _mm512_cmpeq_epi8_mask(group, _mm512_set1_epi8(char(g)));
    }
    __m512i answers[Blocks][3];
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t* t = planes.entries[c];
        __m512i first = _mm512_load_si512(t), second = _mm512_load_si512(t + 64);
        for (int b = 0; b < Blocks; ++b)
            answers[b][c] = _mm512_permutex2var_epi8(first, index[b], second);
        for (int g = 1; g < 6; ++g) {
            first = _mm512_load_si512(t + 128 * g);
            second = _mm512_load_si512(t + 128 * g + 64);
            for (int b = 0; b < Blocks; ++b)
                answers[b][c] = _mm512_mask_mov_epi8(answers[b][c], inGroup[b][g],
                                                     _mm512_permutex2var_epi8(first, index[b], second));
        }
    }
    for (int b = 0; b < Blocks; ++b)
        for (int c = 0; c < 3; ++c)
            _mm512_storeu_si512(at + 192 * b + 64 * c,
                                _mm512_mask_permutexvar_epi8(
                                    _mm512_permutex2var_epi8(answers[b][0], _mm512_load_si512(planes.toOutput[c]),
                                                             answers[b][1]),
                                    planes.isRed[c], _mm512_load_si512(planes.toOutput[c]), answers[b][2]));
}

// 128 pixels at a time, then 64; the last 63 pixels or fewer go the plain
// way.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void MapChannelSumsAvx512(std::uint8_t* p,
                                                                                  std::size_t pixelCount,
                                                                                  const SumTable& table)
{
    SumPlanes planes;
    for (int c = 0; c < 3; ++c)
        for (int sum = 0; sum < 768; ++sum)
            planes.entries[c][sum] = static_cast<std::uint8_t>(table[std::min(sum, 765)] >> (8 * c));
    for (int j = 0; j < 64; ++j) {
        for (int c = 0; c < 3; ++c) {
            const int at = 3 * j + c; // byte of channel c of pixel j
            planes.fromFirst[c][j] = static_cast<std::uint8_t>(at < 128 ? at : 0);
            planes.fromThird[c][j] = static_cast<std::uint8_t>(at >= 128 ? at - 128 : 0);
            planes.inThird[c] |= std::uint64_t(at >= 128) << j;
            const int q = 64 * c + j, pixel = q / 3, channel = q % 3; // byte j of output vector c
            planes.toOutput[c][j] = static_cast<std::uint8_t>(channel == 1 ? 64 + pixel : pixel);
            planes.isRed[c] |= std::uint64_t(channel == 2) << j;
        }
        planes.lowBytes[j] = static_cast<std::uint8_t>(2 * j);
    }
    const __m512i low = _mm512_load_si512(planes.lowBytes);
    std::size_t i = 0;
    for (; i + 128 <= pixelCount; i += 128, p += 384)
        MapSumBlocksAvx512<2>(p, planes, low);
    for (; i + 64 <= pixelCount; i += 64, p += 192)
        MapSumBlocksAvx512<1>(p, planes, low);
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
    case gdi::Vectors::Avx512: return MapChannelSumsAvx512(pixels, pixelCount, table);
    case gdi::Vectors::Avx2: return MapChannelSumsAvx2(pixels, pixelCount, table);
    case gdi::Vectors::Plain: break;
    }
#endif
    MapChannelSumsPlain(pixels, pixelCount, table);
}

} // namespace zenvas
