// The enlarged-pixels transform. Each window is filled in turn, cell
// columns from the left and each from the top, so when cell (i, j) takes
// its average, the first row of its window already holds the colour of
// cell (i, j - 1) and its first column that of cell (i - 1, j), except the
// column's last pixel, which cell (i - 1, j + 1) has filled since; every
// other pixel of the window (its "fresh" part) is still as it was. So the
// work splits in three: the sums of the fresh parts, in one pass down the
// picture; the cell colours, each from its fresh sum and the colours of
// cells (i, j - 1), (i - 1, j) and (i - 1, j + 1); and the fill, in which
// each pixel takes the colour of the last window that covered it, that of
// the cell it lies in.
#include "effects/Transforms.h"
#include "effects/Working.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Error.h"
#include "platform/gdi/Vectors.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZENVAS_CELL_VECTORS 1
// GCC 12's 512-bit intrinsics start some results from an undefined value.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace zenvas {
namespace {

// Cells are worked on in bands of kLanes columns. Cell (i, j) depends on
// (i, j - 1), (i - 1, j) and (i - 1, j + 1), so cells with equal 2i + j do
// not depend on each other: a band is worked through by rising step
// s = j + 2k, k being the cell's place in its band, and each step's cells
// all at once. Each band keeps its cells by step, the kLanes cells of a
// step side by side, so that what one step reads and writes is one run of
// memory: four values a cell, blue, green, red and a spare that means
// nothing. The sums of the fresh parts are kept by cell row instead, the
// band's kLanes cells of a row side by side, so that the pass that makes
// them writes each band's memory in order; the vector steps gather them.
constexpr std::ptrdiff_t kLanes = 16;

// Truncating division by a pixel count. Sums that fit 32 bits divide
// directly; wider ones through a reciprocal, made exact by one correction
// step either way (they stay far below 2^52).
template <class Total>
class CountDivider {
public:
    std::uint8_t operator()(Total sum, Total count)
    {
        if constexpr (sizeof(Total) <= 4) {
            return static_cast<std::uint8_t>(sum / count);
        } else {
            if (count != divisor_) [[unlikely]] {
                divisor_ = count;
                reciprocal_ = 1.0 / double(count);
            }
            Total q = static_cast<Total>(double(sum) * reciprocal_);
            if (q * count > sum)
                --q;
            else if ((q + 1) * count <= sum)
                ++q;
            return static_cast<std::uint8_t>(q);
        }
    }

private:
    Total divisor_ = 0;
    double reciprocal_ = 0;
};

// What the vector steps need of an inner cell's window: the weights of the
// cell above and the cell beside, and the division by the window's pixel
// count as a 16-bit multiply-high and a shift.
struct InnerWindow {
    std::uint16_t across = 0;
    std::uint16_t beside = 0;
    std::uint16_t multiplier = 0;
    int shift = 0;
};

// Finds a multiplier and shift that divide every sum up to count * 255 by
// count exactly, trying each against all of them.
bool FindDivision(std::uint32_t count, InnerWindow& window)
{
    const std::uint32_t largest = count * 255;
    for (int shift = 0; shift < 16; ++shift) {
        const std::uint64_t multiplier = ((std::uint64_t(1) << (16 + shift)) + count - 1) / count;
        if (multiplier > 0xFFFF)
            return false;
        bool exact = true;
        for (std::uint32_t n = 0; n <= largest && exact; ++n) // n * multiplier < 2^32
            exact = ((n * std::uint32_t(multiplier)) >> (16 + shift)) == n / count;
        if (exact) {
            window.multiplier = std::uint16_t(multiplier);
            window.shift = shift;
            return true;
        }
    }
    return false;
}

#if ZENVAS_CELL_VECTORS
// The steps from..to of a band whose cells are all inner ones, four cells
// a 256-bit vector of 16-bit values, sixteen cells as four vectors. sums
// and colours are the band's; left is the band to its left, or null for
// the first band, whose first column has no cells to its left.
//
// A step's sums lie on the cell rows s, s - 2, ... s - 2 (kLanes - 1), a
// cell's four values a 64-bit word: lane k's word is kSumSkew bytes before
// lane k - 1's. The rows a band's steps read next are fetched kStepsAhead
// steps ahead of the first lane's.
constexpr std::ptrdiff_t kSumRow = kLanes * 4 * 2;      // bytes of a band's cell row of sums
constexpr std::ptrdiff_t kSumSkew = 2 * kSumRow - 8;    // from lane k - 1's word to lane k's, backwards
constexpr std::ptrdiff_t kStepsAhead = 8;

inline const char* SumStep(const std::uint16_t* sums, std::ptrdiff_t s)
{
    const char* at = reinterpret_cast<const char*>(sums) + s * kSumRow;
    _mm_prefetch(at + kStepsAhead * kSumRow, _MM_HINT_T0);
    _mm_prefetch(at + kStepsAhead * kSumRow + 64, _MM_HINT_T0);
    return at;
}
// The cell that comes in first when the cells of step s are shifted one
// along: cell (first - 1, j + 2) for the first lane's cell (first, j),
// which stands at step j + 2 + 2 (kLanes - 1) of the band to the left.
// The first band has none: its first column's windows have no cells to
// their left, and a colour of 0 adds nothing.
inline std::int32_t LeftCell(const std::uint8_t* left, std::ptrdiff_t s)
{
    std::int32_t cell = 0;
    if (left)
        std::memcpy(&cell, left + ((s + 2 * kLanes) * kLanes + kLanes - 1) * 4, 4);
    return cell;
}

__attribute__((target("avx2"))) inline __m256i ShiftCellAvx2(__m256i cells, __m256i carry)
{
    // [carry's last cell, cells 0, 1, 2]
    const __m256i across = _mm256_permute2x128_si256(cells, carry, 0x03);
    return _mm256_alignr_epi8(cells, across, 8);
}

__attribute__((target("avx2"))) inline __m256i WidenAvx2(const std::uint8_t* p)
{
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

__attribute__((target("avx2"))) inline __m256i CarryAvx2(const std::uint8_t* left, std::ptrdiff_t s)
{
    return _mm256_cvtepu8_epi16(_mm_set1_epi32(LeftCell(left, s)));
}

__attribute__((target("avx2"))) void ColourStepsAvx2(const std::uint16_t* sums, std::uint8_t* colours,
                                                     const std::uint8_t* left, std::ptrdiff_t from, std::ptrdiff_t to,
                                                     const InnerWindow& window)
{
    constexpr std::ptrdiff_t kRow = kLanes * 4; // values of one step
    const __m256i across = _mm256_set1_epi16(std::int16_t(window.across));
    const __m256i beside = _mm256_set1_epi16(std::int16_t(window.beside));
    const __m256i multiplier = _mm256_set1_epi16(std::int16_t(window.multiplier));
    const __m128i shift = _mm_cvtsi32_si128(window.shift);
    __m256i skew[4];
    for (int v = 0; v < 4; ++v)
        skew[v] = _mm256_setr_epi64x(-kSumSkew * (4 * v), -kSumSkew * (4 * v + 1), -kSumSkew * (4 * v + 2),
                                     -kSumSkew * (4 * v + 3));
    __m256i up[4], beside1[4];
    {
        __m256i older[4];
        for (int v = 0; v < 4; ++v) {
            up[v] = WidenAvx2(colours + (from - 1) * kRow + 16 * v);
            older[v] = WidenAvx2(colours + (from - 2) * kRow + 16 * v);
        }
        beside1[0] = ShiftCellAvx2(older[0], CarryAvx2(left, from - 2));
        for (int v = 1; v < 4; ++v)
            beside1[v] = ShiftCellAvx2(older[v], older[v - 1]);
    }
    for (std::ptrdiff_t s = from; s <= to; ++s) {
        const __m256i in = CarryAvx2(left, s - 1);
        const char* fresh = SumStep(sums, s);
        __m256i next[4], below[4];
        for (int v = 0; v < 4; ++v) {
            below[v] = ShiftCellAvx2(up[v], v ? up[v - 1] : in);
            __m256i sum = _mm256_i64gather_epi64(reinterpret_cast<const long long*>(fresh), skew[v], 1);
            sum = _mm256_add_epi16(sum, _mm256_mullo_epi16(up[v], across));
            sum = _mm256_add_epi16(sum, _mm256_mullo_epi16(beside1[v], beside));
            sum = _mm256_add_epi16(sum, below[v]);
            next[v] = _mm256_srl_epi16(_mm256_mulhi_epu16(sum, multiplier), shift);
        }
        std::uint8_t* out = colours + s * kRow;
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                            _mm256_permute4x64_epi64(_mm256_packus_epi16(next[0], next[1]), 0xD8));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32),
                            _mm256_permute4x64_epi64(_mm256_packus_epi16(next[2], next[3]), 0xD8));
        for (int v = 0; v < 4; ++v) {
            up[v] = next[v];
            beside1[v] = below[v];
        }
    }
}

// The same with eight cells a 512-bit vector.
__attribute__((target("avx512f,avx512bw"))) inline __m512i Carry512(const std::uint8_t* left, std::ptrdiff_t s)
{
    return _mm512_cvtepu8_epi16(_mm256_set1_epi32(LeftCell(left, s)));
}

__attribute__((target("avx512f,avx512bw"))) inline __m512i Widen512(const std::uint8_t* p)
{
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
}

__attribute__((target("avx512f,avx512bw"))) void ColourStepsAvx512(const std::uint16_t* sums,
                                                                   std::uint8_t* colours, const std::uint8_t* left,
                                                                   std::ptrdiff_t from, std::ptrdiff_t to,
                                                                   const InnerWindow& window)
{
    constexpr std::ptrdiff_t kRow = kLanes * 4;
    const __m512i across = _mm512_set1_epi16(std::int16_t(window.across));
    const __m512i beside = _mm512_set1_epi16(std::int16_t(window.beside));
    const __m512i multiplier = _mm512_set1_epi16(std::int16_t(window.multiplier));
    const __m128i shift = _mm_cvtsi32_si128(window.shift);
    __m512i skew[2];
    for (int v = 0; v < 2; ++v)
        skew[v] = _mm512_setr_epi64(-kSumSkew * (8 * v), -kSumSkew * (8 * v + 1), -kSumSkew * (8 * v + 2),
                                    -kSumSkew * (8 * v + 3), -kSumSkew * (8 * v + 4), -kSumSkew * (8 * v + 5),
                                    -kSumSkew * (8 * v + 6), -kSumSkew * (8 * v + 7));
    __m512i up[2], beside1[2];
    {
        const __m512i older[2] = {Widen512(colours + (from - 2) * kRow), Widen512(colours + (from - 2) * kRow + 32)};
        up[0] = Widen512(colours + (from - 1) * kRow);
        up[1] = Widen512(colours + (from - 1) * kRow + 32);
        beside1[0] = _mm512_alignr_epi64(older[0], Carry512(left, from - 2), 7);
        beside1[1] = _mm512_alignr_epi64(older[1], older[0], 7);
    }
    for (std::ptrdiff_t s = from; s <= to; ++s) {
        const char* fresh = SumStep(sums, s);
        const __m512i below[2] = {_mm512_alignr_epi64(up[0], Carry512(left, s - 1), 7), _mm512_alignr_epi64(up[1], up[0], 7)};
        __m512i next[2];
        for (int v = 0; v < 2; ++v) {
            __m512i sum = _mm512_i64gather_epi64(skew[v], fresh, 1);
            sum = _mm512_add_epi16(sum, _mm512_mullo_epi16(up[v], across));
            sum = _mm512_add_epi16(sum, _mm512_mullo_epi16(beside1[v], beside));
            sum = _mm512_add_epi16(sum, below[v]);
            next[v] = _mm512_srl_epi16(_mm512_mulhi_epu16(sum, multiplier), shift);
        }
        std::uint8_t* out = colours + s * kRow;
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm512_cvtepi16_epi8(next[0]));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32), _mm512_cvtepi16_epi8(next[1]));
        for (int v = 0; v < 2; ++v) {
            up[v] = next[v];
            beside1[v] = below[v];
        }
    }
}
#endif

using StepsKernel = void (*)(const std::uint16_t*, std::uint8_t*, const std::uint8_t*, std::ptrdiff_t, std::ptrdiff_t,
                             const InnerWindow&);

StepsKernel ChooseSteps()
{
#if ZENVAS_CELL_VECTORS
    if (gdi::ActiveVectors() >= gdi::Vectors::Avx512)
        return &ColourStepsAvx512;
    if (gdi::ActiveVectors() >= gdi::Vectors::Avx2)
        return &ColourStepsAvx2;
#endif
    return nullptr;
}

// From one cell to the next in a band and a cell row: two steps on and one
// lane along.
constexpr std::ptrdiff_t kSlotStep = 2 * kLanes + 1;

// Cell rows filled at a time.
constexpr std::ptrdiff_t kTile = 16;

inline std::uint64_t Load64(const void* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// Eight bytes in one move, also where general registers hold four.
inline void Copy8(void* to, const void* from)
{
#if defined(__i386__) && defined(__SSE2__)
    _mm_storel_epi64(static_cast<__m128i*>(to), _mm_loadl_epi64(static_cast<const __m128i*>(from)));
#else
    std::memcpy(to, from, 8);
#endif
}

inline std::uint32_t Load32(const void* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Sums `rows` rows of bytes, `stride` apart, down into one row of sums.
template <class Sum>
void SumDown(Sum* sums, const std::uint8_t* first, std::size_t stride, std::ptrdiff_t rows, std::size_t count)
{
    std::fill(sums, sums + count, Sum(0));
    for (std::ptrdiff_t r = 0; r < rows; ++r, first += stride)
        for (std::size_t e = 0; e < count; ++e)
            sums[e] = Sum(sums[e] + first[e]);
}

#if ZENVAS_CELL_VECTORS
// How far ahead of the columns being summed each row is fetched: the
// processor's own prefetch follows one run of memory well but falls behind
// on several rows read side by side.
constexpr std::size_t kSumAhead = 2048;

// Sixty-four columns at a time through all the rows, kept in registers.
__attribute__((target("avx2"))) void SumDownAvx2(std::uint16_t* sums, const std::uint8_t* first, std::size_t stride,
                                                 std::ptrdiff_t rows, std::size_t count)
{
    std::size_t e = 0;
    for (; e + 64 <= count; e += 64) {
        const std::uint8_t* p = first + e;
        __m256i total[4] = {_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256(),
                            _mm256_setzero_si256()};
        for (std::ptrdiff_t r = 0; r < rows; ++r, p += stride) {
            _mm_prefetch(reinterpret_cast<const char*>(p + kSumAhead), _MM_HINT_T0);
            for (int v = 0; v < 4; ++v)
                total[v] = _mm256_add_epi16(
                    total[v], _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * v))));
        }
        for (int v = 0; v < 4; ++v)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + e + 16 * v), total[v]);
    }
    SumDown(sums + e, first + e, stride, rows, count - e);
}

__attribute__((target("avx512f,avx512bw"))) void SumDownAvx512(std::uint16_t* sums, const std::uint8_t* first,
                                                               std::size_t stride, std::ptrdiff_t rows,
                                                               std::size_t count)
{
    std::size_t e = 0;
    for (; e + 64 <= count; e += 64) {
        const std::uint8_t* p = first + e;
        __m512i low = _mm512_setzero_si512(), high = _mm512_setzero_si512();
        for (std::ptrdiff_t r = 0; r < rows; ++r, p += stride) {
            _mm_prefetch(reinterpret_cast<const char*>(p + kSumAhead), _MM_HINT_T0);
            const __m512i bytes = _mm512_loadu_si512(p);
            low = _mm512_add_epi16(low, _mm512_cvtepu8_epi16(_mm512_castsi512_si256(bytes)));
            high = _mm512_add_epi16(high, _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(bytes, 1)));
        }
        _mm512_storeu_si512(sums + e, low);
        _mm512_storeu_si512(sums + e + 32, high);
    }
    SumDown(sums + e, first + e, stride, rows, count - e);
}
#endif

template <class Sum>
using SumDownKernel = void (*)(Sum*, const std::uint8_t*, std::size_t, std::ptrdiff_t, std::size_t);

template <class Sum>
SumDownKernel<Sum> ChooseSumDown()
{
#if ZENVAS_CELL_VECTORS
    if constexpr (sizeof(Sum) == 2) {
        if (gdi::ActiveVectors() >= gdi::Vectors::Avx512)
            return &SumDownAvx512;
        if (gdi::ActiveVectors() >= gdi::Vectors::Avx2)
            return &SumDownAvx2;
    }
#endif
    return &SumDown<Sum>;
}

// Turns a row of column sums, three values a pixel, into the sums of runs
// of `width` pixels: value v takes values v, v + 3, ... v + 3 (width - 1).
// It runs forward in place, each value reading only values not yet
// rewritten; values past the row's end are zeros, so a run that leaves the
// row sums what lies within it.
void SumAcross(std::uint16_t* sums, std::size_t count, std::ptrdiff_t width)
{
    // Four values a 64-bit word: no value's sum leaves its 16 bits, so none
    // carries into the next.
    std::size_t v = 0;
    for (; v + 4 <= count; v += 4) {
        std::uint64_t total = Load64(sums + v);
        for (std::ptrdiff_t t = 1; t < width; ++t)
            total += Load64(sums + v + 3 * std::size_t(t));
        std::memcpy(sums + v, &total, 8);
    }
    for (; v < count; ++v) {
        std::uint16_t total = 0;
        for (std::ptrdiff_t t = 0; t < width; ++t)
            total = std::uint16_t(total + sums[v + 3 * std::size_t(t)]);
        sums[v] = total;
    }
}

#if ZENVAS_CELL_VECTORS
__attribute__((target("avx2"))) void SumAcrossAvx2(std::uint16_t* sums, std::size_t count, std::ptrdiff_t width)
{
    std::size_t v = 0;
    for (; v + 16 <= count; v += 16) {
        __m256i total = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + v));
        for (std::ptrdiff_t t = 1; t < width; ++t)
            total = _mm256_add_epi16(
                total, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + v + 3 * std::size_t(t))));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + v), total);
    }
    SumAcross(sums + v, count - v, width);
}
#endif

#if ZENVAS_CELL_VECTORS
// A band's row of sixteen cells' sums, each cell's four values from `run`
// on, `step` values apart, written past the caches: the steps read them
// only once every row of sums is made, long after they would have left.
// `out` is 32-byte aligned.
__attribute__((target("avx2"))) void StreamSumRow(std::uint16_t* out, const std::uint16_t* run, std::ptrdiff_t step)
{
    for (int v = 0; v < 4; ++v, run += 4 * step)
        _mm256_stream_si256(reinterpret_cast<__m256i*>(out + 16 * v),
                            _mm256_setr_epi64x(std::int64_t(Load64(run)), std::int64_t(Load64(run + step)),
                                               std::int64_t(Load64(run + 2 * step)),
                                               std::int64_t(Load64(run + 3 * step))));
}
#endif

using SumAcrossKernel = void (*)(std::uint16_t*, std::size_t, std::ptrdiff_t);

SumAcrossKernel ChooseSumAcross()
{
#if ZENVAS_CELL_VECTORS
    if (gdi::ActiveVectors() >= gdi::Vectors::Avx2)
        return &SumAcrossAvx2;
#endif
    return &SumAcross;
}

#if ZENVAS_CELL_VECTORS
// Sixteen whole cells of a band into a pixel row, four at a time: their
// colours loaded into one vector (by four loads: a gather instruction here,
// just after the stores, made the fill three times slower), and each 16
// bytes of their pixels shuffled out of it. A group's last chunk reaches
// past its cells, into bytes the next group writes.
__attribute__((target("avx2"))) void FillCellsAvx2(std::uint8_t* out, const std::uint8_t* colours,
                                                   const std::uint8_t* masks, int chunks, std::ptrdiff_t group)
{
    constexpr std::ptrdiff_t kCell = kSlotStep * 4;
    for (int g = 0; g < 4; ++g, out += group, colours += 4 * kCell) {
        // Each colour moved into a vector register of its own and the four
        // joined there: built in memory instead, as 32-bit builds would,
        // the wide load waits for the four narrow stores.
        __m128i cell[4];
        for (int k = 0; k < 4; ++k)
            cell[k] = _mm_cvtsi32_si128(int(Load32(colours + k * kCell)));
        const __m128i four =
            _mm_unpacklo_epi64(_mm_unpacklo_epi32(cell[0], cell[1]), _mm_unpacklo_epi32(cell[2], cell[3]));
        for (int c = 0; c < chunks; ++c)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * c),
                             _mm_shuffle_epi8(four, _mm_loadu_si128(reinterpret_cast<const __m128i*>(masks + 16 * c))));
    }
}
#endif

// The fill of a band's sixteen whole cells, where a vector path has one
// for the cell width.
class CellFill {
public:
    explicit CellFill(std::ptrdiff_t cellWidth)
    {
#if ZENVAS_CELL_VECTORS
        if (gdi::ActiveVectors() >= gdi::Vectors::Avx2 && cellWidth <= kWidest) {
            group_ = 12 * cellWidth;
            chunks_ = int((group_ + 15) / 16);
            for (std::ptrdiff_t b = 0; b < chunks_ * 16; ++b)
                masks_[b] = b < group_ ? std::uint8_t(b / (3 * cellWidth) * 4 + b % (3 * cellWidth) % 3) : 0x80;
        }
#else
        (void)cellWidth;
#endif
    }

    explicit operator bool() const { return chunks_ > 0; }

    // The end of what a fill of sixteen cells from p writes.
    const std::uint8_t* reach(const std::uint8_t* p) const { return p + 3 * group_ + 16 * chunks_; }

    void operator()(std::uint8_t* out, const std::uint8_t* colours) const
    {
#if ZENVAS_CELL_VECTORS
        FillCellsAvx2(out, colours, masks_, chunks_, group_);
#else
        (void)out;
        (void)colours;
#endif
    }

private:
    static constexpr std::ptrdiff_t kWidest = 16;
    std::uint8_t masks_[12 * kWidest] = {};
    int chunks_ = 0;
    std::ptrdiff_t group_ = 0;
};

// Fetches the `bytes` from `first` that a tile uses of a band. Bands lie
// far apart, and a tile reads or writes only part of one, so the
// processor's own prefetch comes in late on each.
inline void PrefetchTile(const void* first, std::size_t bytes)
{
    const char* p = static_cast<const char*>(first);
    for (const char* const end = p + bytes; p < end; p += 64)
        __builtin_prefetch(p, 1, 3);
}

template <class Sum>
class CellAverages {
    // Every sum of a window's parts fits what its whole sum fits, and at
    // least 32 bits (the native width on every target).
    using Total = std::conditional_t<sizeof(Sum) <= 4, std::uint32_t, std::uint64_t>;

public:
    CellAverages(gdi::Bitmap& bitmap, std::ptrdiff_t cellWidth, std::ptrdiff_t cellHeight)
        : base_(bitmap.scanLine(0)), stride_(bitmap.stride()), width_(bitmap.width()), height_(bitmap.height()),
          cellWidth_(cellWidth), cellHeight_(cellHeight), columns_((width_ - 1) / cellWidth + 1),
          rows_((height_ - 1) / cellHeight + 1), bands_((columns_ + kLanes - 1) / kLanes),
          steps_(rows_ + 2 * (kLanes - 1))
    {
        const std::uint64_t slots = std::uint64_t(bands_) * std::uint64_t(steps_) * kLanes;
        if (slots * 4 * sizeof(Sum) > std::uint64_t(PTRDIFF_MAX))
            throw gdi::Error("picture too large for enlarged pixels of this size");
        const std::size_t cells = std::size_t(bands_) * std::size_t(rows_) * kLanes;
        sums_ = reinterpret_cast<Sum*>(Working().sums.reserve(cells * 4 * sizeof(Sum)));
        colours_ = Working().colours.reserve(std::size_t(slots) * 4);
    }

    void run()
    {
        sumFreshParts();
        const StepsKernel steps = sizeof(Sum) == 2 ? ChooseSteps() : nullptr;
        InnerWindow window;
        window.across = std::uint16_t(cellWidth_ + 1);
        window.beside = std::uint16_t(cellHeight_ - 1);
        const bool vectors = steps && FindDivision(std::uint32_t((cellWidth_ + 1) * (cellHeight_ + 1)), window);
        for (std::ptrdiff_t band = 0; band < bands_; ++band)
            colourBand(band, vectors ? steps : nullptr, window);
        fill();
    }

private:
    // The first of cell (i, j)'s four colour values, and of its four sums.
    std::size_t at(std::ptrdiff_t i, std::ptrdiff_t j) const
    {
        const std::ptrdiff_t k = i % kLanes;
        return ((std::size_t(i / kLanes) * std::size_t(steps_) + std::size_t(j + 2 * k)) * kLanes + std::size_t(k)) * 4;
    }
    std::size_t sumAt(std::ptrdiff_t i, std::ptrdiff_t j) const
    {
        return ((std::size_t(i / kLanes) * std::size_t(rows_) + std::size_t(j)) * kLanes + std::size_t(i % kLanes)) * 4;
    }

    // Column 0 is fresh in cell 0, columns w*i + 1 .. w*(i + 1) in cell i;
    // row 0 in cell row 0, rows h*j + 1 .. h*(j + 1) in cell row j. Each
    // cell row's fresh rows are summed down first, then across each cell.
    void sumFreshParts()
    {
        // A cell's last sum is read as four values; 16-bit rows are summed
        // across in place, reading w - 1 pixels past the row's end, and
        // vectors read sixteen values at a time.
        const std::size_t used = std::size_t(width_) * 3;
        std::vector<Sum> down(used + std::size_t(cellWidth_) * 3 + 16);
        const SumDownKernel<Sum> sumDown = ChooseSumDown<Sum>();
        const SumAcrossKernel across = ChooseSumAcross();
#if ZENVAS_CELL_VECTORS
        const bool stream = sizeof(Sum) == 2 && gdi::ActiveVectors() >= gdi::Vectors::Avx2;
#else
        const bool stream = false;
#endif
        for (std::ptrdiff_t j = 0; j < rows_; ++j) {
            const std::ptrdiff_t top = j == 0 ? 0 : cellHeight_ * j + 1;
            const std::ptrdiff_t bottom = std::min(cellHeight_ * (j + 1), height_ - 1);
            sumDown(down.data(), base_ + std::size_t(top) * stride_, stride_,
                    std::max<std::ptrdiff_t>(bottom - top + 1, 0), used);
            // Each cell's fresh columns but cell 0's first are a run of w
            // pixels from column w*i + 1: summed across from column 1 on, a
            // cell's sum is one value of the row.
            if constexpr (sizeof(Sum) == 2)
                if (cellWidth_ > 1)
                    across(down.data() + 3, used - 3, cellWidth_);
            for (std::ptrdiff_t first = 0; first < columns_; first += kLanes)
                sumBandRow(down.data(), first, std::min(first + kLanes, columns_), j, stream);
        }
#if ZENVAS_CELL_VECTORS
        if (stream)
            _mm_sfence();
#endif
    }

    // The sums of cells first..end - 1 of cell row j, from the row summed
    // down (and, for 16-bit sums, across); a whole band's past the caches
    // when `stream` is set.
    void sumBandRow(const Sum* down, std::ptrdiff_t first, std::ptrdiff_t end, std::ptrdiff_t j,
                    [[maybe_unused]] bool stream)
    {
        Sum* out = sums_ + sumAt(first, j);
        if constexpr (sizeof(Sum) == 2) {
#if ZENVAS_CELL_VECTORS
            if (stream && first > 0 && end - first == kLanes) {
                StreamSumRow(out, down + 3 * (cellWidth_ * first + 1), 3 * cellWidth_);
                return;
            }
#endif
            // Four 16-bit sums in a 64-bit word: the three colour sums never
            // carry into their neighbours, and the spare's carry leaves the
            // word. Cell 0 adds its column 0.
            std::ptrdiff_t i = first;
            if (i == 0) {
                const std::uint64_t all = Load64(down) + Load64(down + 3);
                std::memcpy(out, &all, 8);
                ++i;
                out += 4;
            }
            const Sum* run = down + 3 * (cellWidth_ * i + 1);
            for (; i < end; ++i, out += 4, run += 3 * cellWidth_)
                Copy8(out, run);
        } else {
            for (std::ptrdiff_t i = first; i < end; ++i, out += 4) {
                const std::ptrdiff_t right = std::min(cellWidth_ * (i + 1), width_ - 1);
                const Sum* column = down + 3 * (i == 0 ? 0 : cellWidth_ * i + 1);
                const Sum* const past = down + 3 * (right + 1);
                Sum b = 0, g = 0, r = 0;
                for (; column < past; column += 3) {
                    b += column[0];
                    g += column[1];
                    r += column[2];
                }
                out[0] = b;
                out[1] = g;
                out[2] = r;
            }
        }
    }

    void colourCell(std::ptrdiff_t i, std::ptrdiff_t j, CountDivider<Total>& divide)
    {
        const std::ptrdiff_t x1 = cellWidth_ * i;
        const Total across = Total(std::min(cellWidth_ * (i + 1), width_ - 1) - x1 + 1);
        const std::ptrdiff_t y1 = cellHeight_ * j;
        const std::ptrdiff_t y2 = std::min(cellHeight_ * (j + 1), height_ - 1);
        const Sum* fresh = sums_ + sumAt(i, j);
        Total b = fresh[0], g = fresh[1], r = fresh[2];
        const std::ptrdiff_t freshTop = j > 0 ? y1 + 1 : y1;
        if (j > 0) {
            const std::uint8_t* above = colours_ + at(i, j - 1);
            b += across * above[0];
            g += across * above[1];
            r += across * above[2];
        }
        if (i > 0 && freshTop <= y2) {
            Total left = Total(y2 - freshTop + 1);
            if (j + 1 < rows_) {
                const std::uint8_t* below = colours_ + at(i - 1, j + 1);
                b += below[0];
                g += below[1];
                r += below[2];
                --left;
            }
            const std::uint8_t* beside = colours_ + at(i - 1, j);
            b += left * beside[0];
            g += left * beside[1];
            r += left * beside[2];
        }
        const Total count = across * Total(y2 - y1 + 1);
        std::uint8_t* out = colours_ + at(i, j);
        out[0] = divide(b, count);
        out[1] = divide(g, count);
        out[2] = divide(r, count);
    }

    // A band's steps in order. When the band's cells are all inner ones
    // (their windows whole, with cells on every side) and a vector kernel
    // runs, it takes the steps in which every one of the band's cells is
    // inner; the steps before and after, where the band enters and leaves
    // the picture, go cell by cell.
    void colourBand(std::ptrdiff_t band, StepsKernel steps, const InnerWindow& window)
    {
        const std::ptrdiff_t first = band * kLanes;
        const std::ptrdiff_t lanes = std::min(kLanes, columns_ - first);
        const std::ptrdiff_t innerColumns = (width_ - 1) / cellWidth_; // cells i with w*(i + 1) <= width - 1
        std::ptrdiff_t from = steps_, to = steps_;
        if (steps && lanes == kLanes && first + kLanes <= innerColumns && rows_ > 2 * kLanes) {
            from = 2 * (kLanes - 1) + 1; // the last lane's cell row 1
            to = rows_ - 2;              // the first lane's last cell row but one
        }
        CountDivider<Total> divide;
        for (std::ptrdiff_t s = 0; s < steps_; ++s) {
            if (s == from) {
                const std::size_t start = std::size_t(band) * std::size_t(steps_) * kLanes * 4;
                steps(reinterpret_cast<const std::uint16_t*>(sums_) + sumAt(first, 0), colours_ + start,
                      band > 0 ? colours_ + start - std::size_t(steps_) * kLanes * 4 : nullptr, from, to, window);
                s = to;
                continue;
            }
            for (std::ptrdiff_t k = 0; k < lanes; ++k) {
                const std::ptrdiff_t j = s - 2 * k;
                if (j >= 0 && j < rows_)
                    colourCell(first + k, j, divide);
            }
        }
    }

    // Rows of one row of cells are alike: the first is built, the others
    // copied from it. Cell rows go kTile at a time, band by band, so that
    // each band's colours are read a run at a time.
    void fill()
    {
        const std::size_t rowBytes = std::size_t(width_) * 3;
        const CellFill cellFill(cellWidth_);
        for (std::ptrdiff_t tile = 0; tile < rows_; tile += kTile) {
            const std::ptrdiff_t tileEnd = std::min(tile + kTile, rows_);
            for (std::ptrdiff_t first = 0; first < columns_; first += kLanes) {
                if (first + kLanes < columns_)
                    PrefetchTile(colours_ + at(first + kLanes, tile),
                                 std::size_t(tileEnd - tile + 2 * (kLanes - 1)) * kLanes * 4);
                for (std::ptrdiff_t j = tile; j < tileEnd; ++j)
                    fillBandRow(cellFill, first, std::min(first + kLanes, columns_), j);
            }
            for (std::ptrdiff_t j = tile; j < tileEnd; ++j) {
                const std::ptrdiff_t top = cellHeight_ * j;
                const std::ptrdiff_t bottom = std::min(top + cellHeight_, height_);
                for (std::ptrdiff_t y = top + 1; y < bottom; ++y)
                    gdi::MoveBytes(base_ + std::size_t(y) * stride_, base_ + std::size_t(top) * stride_, rowBytes);
            }
        }
    }

    // Cells first..end - 1 of the first pixel row of cell row j. Each pixel
    // is written as four bytes, the spare landing on the next pixel, which
    // is written after; the row's last pixel as three. A vector fill of the
    // band's cells writes past them, so it runs only where the row goes on
    // far enough.
    void fillBandRow(const CellFill& cellFill, std::ptrdiff_t first, std::ptrdiff_t end, std::ptrdiff_t j)
    {
        std::uint8_t* const row = base_ + std::size_t(cellHeight_ * j) * stride_;
        std::uint8_t* p = row + std::size_t(cellWidth_ * first) * 3;
        const std::uint8_t* c = colours_ + at(first, j);
        if (cellFill && end == first + kLanes && cellFill.reach(p) <= row + std::size_t(width_) * 3) {
            cellFill(p, c);
            return;
        }
        const std::ptrdiff_t whole = std::min(end, columns_ - 1); // every cell but the last is whole
        if (cellWidth_ == 2) {
            for (std::ptrdiff_t i = first; i < whole; ++i, c += kSlotStep * 4, p += 6) {
#if defined(__i386__) && defined(__SSE2__)
                const __m128i colour = _mm_cvtsi32_si128(int(Load32(c) & 0xFFFFFF));
                _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_or_si128(colour, _mm_slli_epi64(colour, 24)));
#else
                const std::uint64_t colour = Load32(c) & 0xFFFFFF;
                const std::uint64_t pair = colour | colour << 24;
                std::memcpy(p, &pair, 8);
#endif
            }
        } else {
            for (std::ptrdiff_t i = first; i < whole; ++i, c += kSlotStep * 4)
                for (std::ptrdiff_t k = 0; k < cellWidth_; ++k, p += 3)
                    std::memcpy(p, c, 4);
        }
        if (end == columns_) {
            std::uint8_t* const last = row + std::size_t(width_ - 1) * 3;
            for (; p < last; p += 3)
                std::memcpy(p, c, 4);
            std::memcpy(p, c, 3);
        }
    }

    std::uint8_t* const base_;
    const std::size_t stride_;
    const std::ptrdiff_t width_, height_, cellWidth_, cellHeight_, columns_, rows_, bands_, steps_;
    Sum* sums_ = nullptr;
    std::uint8_t* colours_ = nullptr;
};

} // namespace

void BitmapMonoPixel(gdi::Bitmap& bitmap, std::uint16_t cellWidth, std::uint16_t cellHeight)
{
    if (cellWidth == 1 && cellHeight == 1)
        return;
    if (cellWidth == 0 || cellHeight == 0)
        throw gdi::Error("cell size of 0");
    if (bitmap.isEmpty())
        return;
    // A fresh part holds at most (w + 1) * (h + 1) pixels.
    const std::uint64_t largestSum = (std::uint64_t(cellWidth) + 1) * (std::uint64_t(cellHeight) + 1) * 255;
    if (largestSum <= 0xFFFFu)
        CellAverages<std::uint16_t>(bitmap, cellWidth, cellHeight).run();
    else if (largestSum <= 0xFFFFFFFFu)
        CellAverages<std::uint32_t>(bitmap, cellWidth, cellHeight).run();
    else
        CellAverages<std::uint64_t>(bitmap, cellWidth, cellHeight).run();
}

} // namespace zenvas
