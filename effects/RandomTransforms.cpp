// The transforms that draw from the shared generator: blocks, frosted glass
// and noise. Each takes exactly the draws, in exactly the order, of the
// plain description (block by block, pixel by pixel), whichever path runs.
#include "effects/Draws.h"
#include "effects/Transforms.h"
#include "effects/Working.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Error.h"
#include "platform/gdi/Vectors.h"
#if defined(__SSE2__) && defined(_WIN32)
#include "platform/gdi/ShortMoves.h"
#endif

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZENVAS_RANDOM_VECTORS 1
// GCC 12's 512-bit intrinsics start some results from an undefined value.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace zenvas {
namespace {

// A picture holds at most kMaxBytes bytes, three to a pixel, so its width
// and its height are each below 2^31 / 3, and a sum of three of them (or of
// their negatives) fits a ptrdiff_t even where that is 32 bits. Blocks and
// frosted glass count pixels and rows in that native width, having first
// limited every move and reach to the picture's size.
static_assert(gdi::Bitmap::kMaxBytes / 3 * 3 <= std::uint64_t(PTRDIFF_MAX), "three sides fit a ptrdiff_t");

bool VectorsAllowed()
{
#if ZENVAS_RANDOM_VECTORS
    return gdi::ActiveVectors() >= gdi::Vectors::Avx2;
#else
    return false;
#endif
}

// A colour as the three bytes of a pixel (blue, green, red) in the low
// bytes of a word.
std::uint32_t PixelWord(gdi::Color colour)
{
    colour = gdi::ResolveColor(colour);
    return std::uint32_t(gdi::BlueOf(colour)) | std::uint32_t(gdi::GreenOf(colour)) << 8 |
           std::uint32_t(gdi::RedOf(colour)) << 16;
}

// The rows within `reach` of the one being made, kept in `count` slots
// (row r in slot r % count) so a transform can write the picture's rows in
// place while later rows still read what was there. Rows lie a cache line
// more than their length apart: with picture widths of a power of two,
// the same column of neighbouring rows would otherwise share the low
// address bits that the processor matches loads against earlier stores by.
template <class Pixel>
class RowRing {
public:
    RowRing(sys::PageBuffer& buffer, std::size_t rowPixels, std::size_t count, std::size_t rings)
        : stride_(rowPixels + 64 / sizeof(Pixel)), count_(count)
    {
        base_ = reinterpret_cast<Pixel*>(buffer.reserve(stride_ * count * rings * sizeof(Pixel)));
    }
    Pixel* row(std::size_t ring, std::ptrdiff_t y) const
    {
        return base_ + (ring * count_ + std::size_t(y) % count_) * stride_;
    }
    // Pixels from the start of one row to the next slot's.
    std::size_t stride() const { return stride_; }

private:
    Pixel* base_;
    std::size_t stride_, count_;
};

// ---------------------------------------------------------------- blocks

// A hint that the cache line at p is read soon (into the second-level
// cache, as _MM_HINT_T1 asks, without needing an instruction set).
inline void Fetch(const void* p)
{
    __builtin_prefetch(p, 0, 2);
}

// A block's move, at most the picture's size either way (a longer one
// lands nowhere, as one of exactly that size does).
struct BlockShift {
    std::int32_t dx, dy;
};

// The move of one coordinate by up to r - 1: the coin, then the amount.
// Both stay within 32 bits, where a moved coordinate might not.
std::int32_t DrawMove(Draws& draws, std::int32_t r)
{
    const std::int32_t coin = draws.random(2);
    const std::int32_t amount = draws.random(r);
    return coin ? -amount : amount;
}

std::int32_t Limit(std::int32_t move, std::int32_t side)
{
    return std::min(std::max(move, -side), side);
}

// Bytes from one place to another that does not overlap it. The runs of a
// block's row are a few hundred bytes, for which a call into the system's
// C runtime on Windows costs about as much as the copy itself.
#if defined(__SSE2__) && defined(_WIN32)
inline void CopyRun(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes)
{
    if (bytes >= 1024) {
        gdi::MoveBytes(to, from, bytes);
    } else if (bytes > 64) {
        // Whole 64-byte lines, then the last 64 bytes, overlapping them.
        const std::size_t last = bytes - 64;
        for (std::size_t i = 0; i < last; i += 64)
            gdi::MoveShort(to + i, from + i, 64);
        gdi::MoveShort(to + last, from + last, 64);
    } else {
        gdi::MoveShort(to, from, bytes);
    }
}
#else
inline void CopyRun(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes)
{
    std::memcpy(to, from, bytes);
}
#endif

// Blocks in place, a row at a time: each row is first filled with the seam
// colour, then takes the parts of the moved blocks that cover it, in block
// order. Rows within the reach of a move are kept aside before they are
// overwritten. The block sizes are at most the picture's and the reach is
// below its height.
template <void (*Copy)(std::uint8_t*, const std::uint8_t*, std::size_t)>
void MoveBlocksByRows(gdi::Bitmap& bitmap, std::ptrdiff_t blockWidth, std::ptrdiff_t blockHeight,
                      const std::vector<BlockShift>& shifts, std::ptrdiff_t reach, gdi::Color colour)
{
    const std::ptrdiff_t width = bitmap.width(), height = bitmap.height();
    const std::ptrdiff_t columns = (width - 1) / blockWidth + 1, rows = (height - 1) / blockHeight + 1;
    const std::size_t stride = bitmap.stride();
    const std::ptrdiff_t slots = std::min(2 * reach + 1, height);
    RowRing<std::uint8_t> ring(Working().rows, stride, std::size_t(slots), 1);
    const std::uint8_t* const kept = ring.row(0, 0);
    const std::ptrdiff_t keptStride = std::ptrdiff_t(ring.stride());
    std::vector<std::uint8_t> fill(stride);
    const std::uint32_t word = PixelWord(colour);
    for (std::size_t x = 0; x < stride; x += 3)
        std::memcpy(fill.data() + x, &word, 3);
    // The next row is fetched a share at a time, the shares' ends being
    // stride * (i + 1) / columns bytes: whole bytes and a remainder.
    const std::size_t share = stride / std::size_t(columns), extra = stride % std::size_t(columns);
    // Each block's run of bytes in every row it moves to: its place there
    // and in the block's own row, and its length (0 if it lands outside).
    struct BlockRun {
        std::int32_t dy, to, from, bytes;
    };
    std::vector<BlockRun> runs(shifts.size());
    for (std::ptrdiff_t i = 0; i < columns; ++i) {
        const std::ptrdiff_t sx = blockWidth * i, right = std::min(sx + blockWidth, width);
        for (std::ptrdiff_t j = 0; j < rows; ++j) {
            const BlockShift shift = shifts[std::size_t(i * rows + j)];
            const std::ptrdiff_t x0 = std::max<std::ptrdiff_t>(sx, -shift.dx);
            const std::ptrdiff_t x1 = std::min<std::ptrdiff_t>(right, width - shift.dx);
            BlockRun& run = runs[std::size_t(i * rows + j)];
            run = {shift.dy, 0, 0, 0};
            if (x0 < x1)
                run = {shift.dy, std::int32_t((x0 + shift.dx) * 3), std::int32_t(x0 * 3), std::int32_t((x1 - x0) * 3)};
        }
    }
    std::ptrdiff_t loaded = 0, here = 0; // here: the slot of row y
    for (std::ptrdiff_t y = 0; y < height; ++y, here = here + 1 == slots ? 0 : here + 1) {
        for (; loaded < height && loaded <= y + reach; ++loaded)
            gdi::MoveBytes(ring.row(0, loaded), bitmap.scanLine(int(loaded)), stride);
        std::uint8_t* out = bitmap.scanLine(int(y));
        gdi::MoveBytes(out, fill.data(), stride);
        // The row read next is fetched while this one is made, a share of
        // its cache lines with each column of blocks: all at once they
        // would wait on each other.
        const std::uint8_t* next = bitmap.scanLine(int(std::min(loaded, height - 1)));
        std::size_t fetched = 0, end = 0, carried = 0;
        // Rows of blocks whose moved rows may hold y.
        const std::ptrdiff_t firstRow = std::max<std::ptrdiff_t>(0, (y - reach - blockHeight + 1) / blockHeight);
        const std::ptrdiff_t lastRow = std::min(rows - 1, (y + reach) / blockHeight);
        for (std::ptrdiff_t i = 0; i < columns; ++i) {
            end += share;
            carried += extra;
            if (carried >= std::size_t(columns)) {
                carried -= std::size_t(columns);
                ++end;
            }
            for (; fetched < end; fetched += 64)
                Fetch(next + fetched);
            const BlockRun* column = runs.data() + i * rows;
            for (std::ptrdiff_t j = firstRow, sy = blockHeight * firstRow; j <= lastRow; ++j, sy += blockHeight) {
                const BlockRun run = column[j];
                const std::ptrdiff_t source = y - run.dy;
                if (run.bytes == 0 || source < sy || source >= std::min(sy + blockHeight, height))
                    continue;
                // The source row is within reach of y, so its slot is y's
                // moved at most once around the ring.
                std::ptrdiff_t slot = here - run.dy;
                slot += slot < 0 ? slots : slot >= slots ? -slots : 0;
                Copy(out + run.to, kept + slot * keptStride + run.from, std::size_t(run.bytes));
            }
        }
    }
}

#if defined(_WIN32) && ZENVAS_RANDOM_VECTORS

__attribute__((target("avx2"))) inline __m256i LoadRun32(const std::uint8_t* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

__attribute__((target("avx2"))) inline void StoreRun32(std::uint8_t* p, __m256i v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// 128 bytes in 32-byte moves, every load before any store.
__attribute__((target("avx2"))) inline void Copy128Avx2(std::uint8_t* to, const std::uint8_t* from)
{
    const __m256i a = LoadRun32(from), b = LoadRun32(from + 32), c = LoadRun32(from + 64), d = LoadRun32(from + 96);
    StoreRun32(to, a);
    StoreRun32(to + 32, b);
    StoreRun32(to + 64, c);
    StoreRun32(to + 96, d);
}

// CopyRun in 32-byte moves.
__attribute__((target("avx2"))) inline void CopyRunAvx2(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes)
{
    using V = __m256i;
    if (bytes >= 1024) {
        gdi::MoveBytes(to, from, bytes);
    } else if (bytes >= 128) {
        // Whole 128-byte blocks, then the last 128 bytes, overlapping them.
        const std::size_t last = bytes - 128;
        for (std::size_t i = 0; i < last; i += 128)
            Copy128Avx2(to + i, from + i);
        Copy128Avx2(to + last, from + last);
    } else if (bytes >= 64) {
        const V a = LoadRun32(from), b = LoadRun32(from + 32), c = LoadRun32(from + bytes - 64),
                d = LoadRun32(from + bytes - 32);
        StoreRun32(to, a);
        StoreRun32(to + 32, b);
        StoreRun32(to + bytes - 64, c);
        StoreRun32(to + bytes - 32, d);
    } else if (bytes >= 32) {
        const V a = LoadRun32(from), b = LoadRun32(from + bytes - 32);
        StoreRun32(to, a);
        StoreRun32(to + bytes - 32, b);
    } else {
        CopyRun(to, from, bytes);
    }
}

// Everything the row moves call is compiled into this one function, so
// that the 32-byte moves are inlined into the loop over blocks.
__attribute__((target("avx2"), flatten)) void MoveBlocksByRowsAvx2(gdi::Bitmap& bitmap, std::ptrdiff_t blockWidth,
                                                                    std::ptrdiff_t blockHeight,
                                                                    const std::vector<BlockShift>& shifts,
                                                                    std::ptrdiff_t reach, gdi::Color colour)
{
    MoveBlocksByRows<CopyRunAvx2>(bitmap, blockWidth, blockHeight, shifts, reach, colour);
}

#endif

// Each block copied whole from a copy of the picture, in block order; the
// block sizes are at most the picture's.
void MoveBlocksWhole(gdi::Bitmap& bitmap, std::ptrdiff_t blockWidth, std::ptrdiff_t blockHeight,
                     std::int32_t seam, gdi::Color colour, Draws& draws)
{
    const std::ptrdiff_t width = bitmap.width(), height = bitmap.height();
    const std::uint8_t* copy = TakeCopy(bitmap);
    const std::size_t stride = bitmap.stride();
    bitmap.fill(colour);
    for (std::ptrdiff_t i = 0; i <= (width - 1) / blockWidth; ++i) {
        for (std::ptrdiff_t j = 0; j <= (height - 1) / blockHeight; ++j) {
            const std::ptrdiff_t sx = blockWidth * i, sy = blockHeight * j;
            const std::ptrdiff_t dy = Limit(DrawMove(draws, seam), std::int32_t(height));
            const std::ptrdiff_t dx = Limit(DrawMove(draws, seam), std::int32_t(width));
            // The part of the block inside the copy whose destination lies
            // inside the picture.
            const std::ptrdiff_t x0 = std::max(sx, -dx);
            const std::ptrdiff_t x1 = std::min({sx + blockWidth, width, width - dx});
            const std::ptrdiff_t y0 = std::max(sy, -dy);
            const std::ptrdiff_t y1 = std::min({sy + blockHeight, height, height - dy});
            if (x0 >= x1 || y0 >= y1)
                continue;
            const std::size_t bytes = std::size_t(x1 - x0) * 3;
            for (std::ptrdiff_t y = y0; y < y1; ++y)
                CopyRun(bitmap.scanLine(int(y + dy)) + (x0 + dx) * 3,
                        copy + std::size_t(y) * stride + std::size_t(x0) * 3, bytes);
        }
    }
}

// ---------------------------------------------------------------- frost

// The pixels of a row that trade with a partner: each one's partner as
// words from the pixel's own place in the rings, or kNoTrade when the
// partner lies outside the picture or in its last column or row. The rings
// span less than 2^31 words.
constexpr std::int32_t kNoTrade = INT32_MIN;

// What a row's draws need: its place, the picture's size, the ranges, and
// the words from the row's slot to the slot of each row within reach
// (slot k holds row y + k - reach).
// When every move up or down stays within reach and the amounts are few,
// `up` and `down` (kRowTable words each) hold the words to the row that
// amount a above and below, or kNoTrade when that row cannot take a
// partner; the vector paths then look a move's row up instead of working
// its slot out.
constexpr std::size_t kRowTable = 16;

struct FrostRowPlan {
    std::ptrdiff_t y, width, height;
    std::int32_t rangeX, rangeY, reach;
    const std::ptrdiff_t* offsets;
    std::ptrdiff_t here, slots, stride; // the row's slot, the ring's slots, words from slot to slot
    const std::int32_t *up, *down;    // null when the amounts do not fit the tables
    std::size_t rowWords;             // words of a row in use; the rest of the slot is spare
    const std::uint8_t* next;         // the picture's row that is read next, fetched ahead meanwhile
};

// Four draws per pixel: coin and amount for x, then for y.
void FrostDrawsPlain(std::uint32_t seed, const FrostRowPlan& plan, std::int32_t* there)
{
    constexpr Jump kOne = Jump::Steps(1);
    const std::size_t lastColumn = std::size_t(plan.width - 1), lastRow = std::size_t(plan.height - 1);
    for (std::ptrdiff_t x = 0; x < plan.width; ++x) {
        std::uint32_t s[4];
        for (std::uint32_t& one : s)
            one = seed = kOne(seed);
        const std::int32_t amountX = Draws::Scale(s[1], plan.rangeX), amountY = Draws::Scale(s[3], plan.rangeY);
        const std::ptrdiff_t dx = s[0] >> 31 ? -amountX : amountX, dy = s[2] >> 31 ? -amountY : amountY;
        // Moved places as unsigned sums: one off either edge lies past the
        // last (a side and a move together stay below 2^32).
        const bool inside =
            std::size_t(x) + std::size_t(dx) < lastColumn && std::size_t(plan.y) + std::size_t(dy) < lastRow;
        there[x] = inside ? std::int32_t(plan.offsets[dy + plan.reach] + dx) : kNoTrade;
    }
}

#if ZENVAS_RANDOM_VECTORS

// Random(n) for eight (sixteen) stepped seeds: the high halves of the
// products.
__attribute__((target("avx2"))) inline __m256i ScaleAvx2(__m256i seeds, __m256i n)
{
    const __m256i even = _mm256_shuffle_epi32(_mm256_mul_epu32(seeds, n), 0xF5);
    const __m256i odd = _mm256_mul_epu32(_mm256_shuffle_epi32(seeds, 0xF5), n);
    return _mm256_blend_epi32(even, odd, 0xAA);
}

// The odd seeds and the even products' high halves are moved by
// shuffles rather than shifts, which would share a port with the products.
__attribute__((target("avx512f,avx512bw"))) inline __m512i Scale512(__m512i seeds, __m512i n)
{
    const __m512i even = _mm512_mul_epu32(seeds, n);
    const __m512i odd = _mm512_mul_epu32(_mm512_shuffle_epi32(seeds, _MM_PERM_DDBB), n);
    return _mm512_mask_shuffle_epi32(odd, 0x5555, even, _MM_PERM_DDBB);
}

// The vectors of draws carried from one group of pixels to the next. A
// 32-bit build has eight vector registers, too few for the loops' state
// with all four: it makes the first afresh for each group (GroupStarts
// below) and the other three from it (vector k holds the draws k steps
// after the first's).
constexpr int kCarried = sizeof(void*) == 4 ? 1 : 4;
constexpr Jump kNext[4] = {Jump::Steps(0), Jump::Steps(1), Jump::Steps(2), Jump::Steps(3)};

// Jump k steps, for k from 1 to 64: where each lane of a row's first
// vectors starts from the row's seed, worked out once rather than per row.
struct LaneStarts {
    Jump steps[64];
    constexpr LaneStarts() : steps()
    {
        for (int k = 0; k < 64; ++k)
            steps[k] = Jump::Steps(std::uint64_t(k + 1));
    }
};
constexpr LaneStarts kLaneStarts;

// Carried from group to group, even that first vector would chain every
// group's draws to the last group's through a product, and with eight
// registers the compiler sends it to the stack and back within the chain.
// So a 32-bit build makes it from a seed that moves on only every
// kGroupsAJump groups: group g of a run takes
// seed * multiplier + increment from row g of this table, lane by lane
// (lane l of group g holds draw 4 * Lanes * g + 4l, counted from the run's
// seed).
constexpr std::ptrdiff_t kGroupsAJump = 256;

template <int Lanes>
struct GroupStarts {
    alignas(64) std::uint32_t multiplier[kGroupsAJump][Lanes];
    alignas(64) std::uint32_t increment[kGroupsAJump][Lanes];
    Jump run; // from one run's seed to the next's

    GroupStarts() : run(Jump::Steps(std::uint64_t(4 * Lanes * kGroupsAJump)))
    {
        for (std::ptrdiff_t g = 0; g < kGroupsAJump; ++g)
            for (int l = 0; l < Lanes; ++l) {
                const Jump jump = Jump::Steps(std::uint64_t(4 * Lanes * g + 4 * l + 1));
                multiplier[g][l] = jump.multiplier;
                increment[g][l] = jump.increment;
            }
    }
};

template <int Lanes>
const GroupStarts<Lanes>& TheGroupStarts()
{
    static const GroupStarts<Lanes> starts;
    return starts;
}

// The partner writes of a group, in lane order. A 64-bit build reads the
// targets and the words two at a time from memory; left to itself, the
// compiler takes each target out of the vector just stored, two vector
// operations a lane.
template <int Lanes>
inline void TradeWrites(const std::int32_t* target, const std::uint32_t* source, std::uint32_t* made)
{
    if constexpr (sizeof(void*) == 8) {
        __asm__("" : : "m"(*reinterpret_cast<const std::int32_t(*)[Lanes]>(target)));
        for (int l = 0; l < Lanes; l += 2) {
            std::uint64_t to, words;
            std::memcpy(&to, target + l, 8);
            std::memcpy(&words, source + l, 8);
            made[std::int32_t(to)] = std::uint32_t(words);
            made[std::int32_t(to >> 32)] = std::uint32_t(words >> 32);
        }
    } else {
        for (int l = 0; l < Lanes; ++l)
            made[target[l]] = source[l];
    }
}

// Eight pixels at a time: lane l of vector k holds draw 4l + k, and every
// lane steps 32 draws on. Each pixel's partner is either looked up in the
// row tables (Table) or its slot is worked out from the row's own (a move
// wraps around the ring at most once) and its distance in words taken as a
// product of 16-bit words, so a row is at most 32767 words.
//
// The trades of the eight are then made together: each pixel's own word is
// gathered and stored, then each partner takes the pixel's word in lane
// order. Done one after another, a pixel's own word would come after the
// partner writes of the earlier pixels of the group; so a partner write that
// lands on a later pixel of the group which trades itself is left out (the
// later pixel's own word is what stays there). Writes that are left out go
// to a spare word past the row.
template <bool Table>
__attribute__((target("avx2"))) void FrostRowAvx2(std::uint32_t seed, const FrostRowPlan& plan,
                                                  const std::uint32_t* source, std::uint32_t* made)
{
    __m256i lanes[4];
    for (int k = 0; k < 4; ++k) {
        alignas(32) std::uint32_t start[8];
        for (int l = 0; l < 8; ++l)
            start[l] = kLaneStarts.steps[4 * l + k](seed);
        lanes[k] = _mm256_load_si256(reinterpret_cast<const __m256i*>(start));
    }
    constexpr Jump kStep = Jump::Steps(32);
    const __m256i multiplier = _mm256_set1_epi32(std::int32_t(kStep.multiplier));
    const __m256i increment = _mm256_set1_epi32(std::int32_t(kStep.increment));
    const __m256i nx = _mm256_set1_epi32(plan.rangeX), ny = _mm256_set1_epi32(plan.rangeY);
    const __m256i lastColumn = _mm256_set1_epi32(std::int32_t(plan.width - 2));
    const __m256i lastPixel = _mm256_set1_epi32(std::int32_t(plan.width - 1));
    const __m256i lastRow = _mm256_set1_epi32(std::int32_t(plan.height - 2));
    const __m256i row = _mm256_set1_epi32(std::int32_t(plan.y));
    const __m256i here = _mm256_set1_epi32(std::int32_t(plan.here)), slots = _mm256_set1_epi32(std::int32_t(plan.slots));
    const __m256i stride = _mm256_set1_epi32(std::int32_t(plan.stride)); // high word 0
    const __m256i none = _mm256_set1_epi32(kNoTrade), zero = _mm256_setzero_si256();
    const __m256i iota = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), eight = _mm256_set1_epi32(8);
    __m256i up = zero, down = zero;
    if (Table) {
        up = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plan.up));
        down = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plan.down));
    }
    alignas(32) std::int32_t target[8];
    const GroupStarts<8>* const groupStarts = kCarried == 1 ? &TheGroupStarts<8>() : nullptr;
    std::uint32_t runSeed = seed;
    for (std::ptrdiff_t x = 0; x < plan.width; x += 8) {
        _mm_prefetch(reinterpret_cast<const char*>(plan.next + 3 * x), _MM_HINT_T1);
        if constexpr (kCarried == 1) {
            const std::ptrdiff_t group = (x / 8) % kGroupsAJump;
            if (group == 0 && x > 0)
                runSeed = groupStarts->run(runSeed);
            lanes[0] = _mm256_add_epi32(
                _mm256_mullo_epi32(_mm256_set1_epi32(std::int32_t(runSeed)),
                                   _mm256_load_si256(reinterpret_cast<const __m256i*>(groupStarts->multiplier[group]))),
                _mm256_load_si256(reinterpret_cast<const __m256i*>(groupStarts->increment[group])));
        }
        for (int k = kCarried; k < 4; ++k)
            lanes[k] = _mm256_add_epi32(
                _mm256_mullo_epi32(lanes[0], _mm256_set1_epi32(std::int32_t(kNext[k].multiplier))),
                _mm256_set1_epi32(std::int32_t(kNext[k].increment)));
        // The sign of a move is the coin, the seed's top bit.
        const __m256i coinX = _mm256_srai_epi32(lanes[0], 31);
        const __m256i dx = _mm256_sub_epi32(_mm256_xor_si256(ScaleAvx2(lanes[1], nx), coinX), coinX);
        // Each lane's column, made afresh rather than carried.
        const __m256i toX = _mm256_add_epi32(iota, _mm256_set1_epi32(std::int32_t(x)));
        const __m256i nxs = _mm256_add_epi32(toX, dx);
        // 0 <= v <= last as one unsigned comparison.
        __m256i inside = _mm256_cmpeq_epi32(_mm256_min_epu32(nxs, lastColumn), nxs);
        __m256i words;
        if (Table) {
            const __m256i amount = ScaleAvx2(lanes[3], ny);
            const __m256i rows = _mm256_castps_si256(
                _mm256_blendv_ps(_mm256_castsi256_ps(_mm256_permutevar8x32_epi32(up, amount)),
                                 _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(down, amount)),
                                 _mm256_castsi256_ps(lanes[2])));
            inside = _mm256_andnot_si256(_mm256_cmpeq_epi32(rows, none), inside);
            words = _mm256_add_epi32(rows, dx);
        } else {
            const __m256i coinY = _mm256_srai_epi32(lanes[2], 31);
            const __m256i dy = _mm256_sub_epi32(_mm256_xor_si256(ScaleAvx2(lanes[3], ny), coinY), coinY);
            const __m256i nys = _mm256_add_epi32(row, dy);
            inside = _mm256_and_si256(inside, _mm256_cmpeq_epi32(_mm256_min_epu32(nys, lastRow), nys));
            __m256i slot = _mm256_add_epi32(here, dy);
            slot = _mm256_add_epi32(slot, _mm256_and_si256(_mm256_cmpgt_epi32(zero, slot), slots));
            slot = _mm256_sub_epi32(slot, _mm256_andnot_si256(_mm256_cmpgt_epi32(slots, slot), slots));
            // Slot differences fit a 16-bit word; the high words meet a 0.
            words = _mm256_add_epi32(_mm256_madd_epi16(_mm256_sub_epi32(slot, here), stride), dx);
        }
        inside = _mm256_andnot_si256(_mm256_cmpgt_epi32(toX, lastPixel), inside); // lanes past the row's end
        if constexpr (kCarried > 1)
            for (int k = 0; k < kCarried; ++k)
                lanes[k] = _mm256_add_epi32(_mm256_mullo_epi32(lanes[k], multiplier), increment);

        const __m256i at = _mm256_add_epi32(iota, words);
        const __m256i own = _mm256_mask_i32gather_epi32(zero, reinterpret_cast<const int*>(source + x), at, inside, 4);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(made + x), inside, own);
        const __m256i ahead = _mm256_and_si256(_mm256_cmpgt_epi32(words, zero), _mm256_cmpgt_epi32(eight, at));
        const __m256i blocked = _mm256_and_si256(ahead, _mm256_permutevar8x32_epi32(inside, at));
        const __m256i spare = _mm256_set1_epi32(std::int32_t(std::ptrdiff_t(plan.rowWords) - x));
        _mm256_store_si256(reinterpret_cast<__m256i*>(target),
                           _mm256_blendv_epi8(spare, at, _mm256_andnot_si256(blocked, inside)));
        TradeWrites<8>(target, source + x, made + x);
    }
}

// The same sixteen pixels at a time on 512-bit vectors: lane l of vector k
// holds draw 4l + k, and every lane steps 64 draws on. The partner writes
// go out one at a time as on 256-bit vectors: a scatter, though it keeps
// lane order, costs more here.
template <bool Table>
__attribute__((target("avx512f,avx512bw"))) void FrostRow512(std::uint32_t seed, const FrostRowPlan& plan,
                                                             const std::uint32_t* source, std::uint32_t* made)
{
    __m512i lanes[4];
    for (int k = 0; k < 4; ++k) {
        alignas(64) std::uint32_t start[16];
        for (int l = 0; l < 16; ++l)
            start[l] = kLaneStarts.steps[4 * l + k](seed);
        lanes[k] = _mm512_load_si512(start);
    }
    constexpr Jump kStep = Jump::Steps(64);
    const __m512i multiplier = _mm512_set1_epi32(std::int32_t(kStep.multiplier));
    const __m512i increment = _mm512_set1_epi32(std::int32_t(kStep.increment));
    const __m512i nx = _mm512_set1_epi32(plan.rangeX), ny = _mm512_set1_epi32(plan.rangeY);
    const __m512i lastColumn = _mm512_set1_epi32(std::int32_t(plan.width - 2));
    const __m512i lastRow = _mm512_set1_epi32(std::int32_t(plan.height - 2));
    const __m512i row = _mm512_set1_epi32(std::int32_t(plan.y));
    const __m512i here = _mm512_set1_epi32(std::int32_t(plan.here)), slots = _mm512_set1_epi32(std::int32_t(plan.slots));
    const __m512i stride = _mm512_set1_epi32(std::int32_t(plan.stride)); // high word 0
    const __m512i none = _mm512_set1_epi32(kNoTrade), zero = _mm512_setzero_si512();
    const __m512i iota = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m512i sixteen = _mm512_set1_epi32(16), ones = _mm512_set1_epi32(-1);
    __m512i up = zero, down = zero;
    if (Table) {
        up = _mm512_loadu_si512(plan.up);
        down = _mm512_loadu_si512(plan.down);
    }
    alignas(64) std::int32_t target[16];
    const GroupStarts<16>* const groupStarts = kCarried == 1 ? &TheGroupStarts<16>() : nullptr;
    std::uint32_t runSeed = seed;
    for (std::ptrdiff_t x = 0; x < plan.width; x += 16) {
        _mm_prefetch(reinterpret_cast<const char*>(plan.next + 3 * x), _MM_HINT_T1);
        if constexpr (kCarried == 1) {
            const std::ptrdiff_t group = (x / 16) % kGroupsAJump;
            if (group == 0 && x > 0)
                runSeed = groupStarts->run(runSeed);
            lanes[0] = _mm512_add_epi32(_mm512_mullo_epi32(_mm512_set1_epi32(std::int32_t(runSeed)),
                                                           _mm512_load_si512(groupStarts->multiplier[group])),
                                        _mm512_load_si512(groupStarts->increment[group]));
        }
        for (int k = kCarried; k < 4; ++k)
            lanes[k] = _mm512_add_epi32(
                _mm512_mullo_epi32(lanes[0], _mm512_set1_epi32(std::int32_t(kNext[k].multiplier))),
                _mm512_set1_epi32(std::int32_t(kNext[k].increment)));
        const __m512i amountX = Scale512(lanes[1], nx);
        const __m512i dx = _mm512_mask_sub_epi32(amountX, _mm512_cmplt_epi32_mask(lanes[0], zero), zero, amountX);
        const __m512i toX = _mm512_add_epi32(iota, _mm512_set1_epi32(std::int32_t(x)));
        __mmask16 inside = _mm512_cmple_epu32_mask(_mm512_add_epi32(toX, dx), lastColumn);
        __m512i words;
        if (Table) {
            const __m512i amount = Scale512(lanes[3], ny);
            const __m512i rows = _mm512_mask_blend_epi32(_mm512_cmplt_epi32_mask(lanes[2], zero),
                                                         _mm512_permutexvar_epi32(amount, up),
                                                         _mm512_permutexvar_epi32(amount, down));
            inside &= _mm512_cmpneq_epi32_mask(rows, none);
            words = _mm512_add_epi32(rows, dx);
        } else {
            const __m512i amountY = Scale512(lanes[3], ny);
            const __m512i dy = _mm512_mask_sub_epi32(amountY, _mm512_cmplt_epi32_mask(lanes[2], zero), zero, amountY);
            inside &= _mm512_cmple_epu32_mask(_mm512_add_epi32(row, dy), lastRow);
            __m512i slot = _mm512_add_epi32(here, dy);
            slot = _mm512_mask_add_epi32(slot, _mm512_cmplt_epi32_mask(slot, zero), slot, slots);
            slot = _mm512_mask_sub_epi32(slot, _mm512_cmpge_epi32_mask(slot, slots), slot, slots);
            words = _mm512_add_epi32(_mm512_madd_epi16(_mm512_sub_epi32(slot, here), stride), dx);
        }
        if (plan.width - x < 16)
            inside &= __mmask16((1u << (plan.width - x)) - 1);
        if constexpr (kCarried > 1)
            for (int k = 0; k < kCarried; ++k)
                lanes[k] = _mm512_add_epi32(_mm512_mullo_epi32(lanes[k], multiplier), increment);

        const __m512i at = _mm512_add_epi32(iota, words);
        const __m512i own = _mm512_mask_i32gather_epi32(zero, inside, at, source + x, 4);
        _mm512_mask_storeu_epi32(made + x, inside, own);
        const __mmask16 ahead = _mm512_cmpgt_epi32_mask(words, zero) & _mm512_cmplt_epi32_mask(at, sixteen);
        const __m512i trades = _mm512_maskz_mov_epi32(inside, ones);
        const __m512i partnerTrades = _mm512_permutexvar_epi32(at, trades);
        const __mmask16 blocked = _mm512_mask_test_epi32_mask(ahead, partnerTrades, partnerTrades);
        const __m512i spare = _mm512_set1_epi32(std::int32_t(std::ptrdiff_t(plan.rowWords) - x));
        _mm512_store_si512(target, _mm512_mask_blend_epi32(__mmask16(inside & ~blocked), spare, at));
        TradeWrites<16>(target, source + x, made + x);
    }
}

// A row of pixels as words and back, eight pixels at a time while the
// loads and stores stay inside the row; the rest one at a time.
__attribute__((target("avx2"))) std::ptrdiff_t RowToWordsAvx2(const std::uint8_t* in, std::uint32_t* out,
                                                             std::ptrdiff_t width)
{
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, //
                                            0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    std::ptrdiff_t x = 0;
    for (; x + 10 <= width; x += 8) {
        const __m256i bytes = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(in + 3 * x + 12),
                                                  reinterpret_cast<const __m128i*>(in + 3 * x));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_shuffle_epi8(bytes, spread));
    }
    return x;
}

__attribute__((target("avx2"))) std::ptrdiff_t WordsToRowAvx2(const std::uint32_t* in, std::uint8_t* out,
                                                             std::ptrdiff_t width)
{
    const __m256i gather = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, //
                                            0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    std::ptrdiff_t x = 0;
    for (; x + 10 <= width; x += 8) {
        const __m256i bytes = _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + x)), gather);
        // Each store's last four bytes are overwritten by the next one.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm256_castsi256_si128(bytes));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x + 12), _mm256_extracti128_si256(bytes, 1));
    }
    return x;
}

#endif

// Frosted glass in place: the rows within reach of the one being worked on
// are held as words, the picture's own in one ring and the rows being made
// in another; a row leaves the second for the picture once no later pixel
// can reach it.
void FrostByRows(gdi::Bitmap& bitmap, std::int32_t rangeX, std::int32_t rangeY, gdi::Color colour, Draws& draws)
{
    const std::ptrdiff_t width = bitmap.width(), height = bitmap.height();
    // Moves of a row or more than the picture's height never land inside,
    // so the reach is below the height.
    const std::int32_t reach = std::min(std::max(rangeY - 1, 0), bitmap.height() - 1);
    const std::ptrdiff_t slots = std::min<std::ptrdiff_t>(2 * std::ptrdiff_t(reach) + 1, height);
    // Rounded up to whole vectors of draws; the spare words are never read.
    const std::size_t rowWords = std::size_t(width + 15) / 16 * 16;
    // Partners are found by 32-bit distances within the rings; only a
    // picture of a billion pixels or more, moved over its whole height,
    // would need longer ones.
    if (std::uint64_t(slots) * (rowWords + 64) * 2 >= (std::uint64_t(1) << 31))
        throw gdi::Error("picture too large for frosted glass");
    RowRing<std::uint32_t> rings(Working().rows, rowWords, std::size_t(slots), 2);
    const std::uint32_t fill = PixelWord(colour);
    std::vector<std::int32_t> there(rowWords);
    std::int32_t up[kRowTable], down[kRowTable];
    // The vector paths make a row's draws and trades together.
    using VectorRow = void (*)(std::uint32_t, const FrostRowPlan&, const std::uint32_t*, std::uint32_t*);
    VectorRow vectorRow = nullptr;
    bool table = false, vectors = false;
#if ZENVAS_RANDOM_VECTORS
    vectors = VectorsAllowed();
    if (vectors) {
        const bool wide = gdi::ActiveVectors() >= gdi::Vectors::Avx512;
        // The tables take the amounts a 256-bit (512-bit) permute can index.
        table = std::max(rangeY, 1) - 1 <= reach && rangeY <= (wide ? 16 : 8);
        if (table)
            vectorRow = wide ? &FrostRow512<true> : &FrostRowAvx2<true>;
        else if (rings.stride() <= 32767)
            vectorRow = wide ? &FrostRow512<false> : &FrostRowAvx2<false>;
    }
#endif
    const Jump rowStep = Jump::Steps(std::uint64_t(width) * 4);
    std::uint32_t seed = draws.seed();
    std::vector<std::ptrdiff_t> offsets(std::size_t(2 * reach + 1));
    std::ptrdiff_t loaded = 0, done = 0;
    // Words to the picture's row and back; the last pixel of a row moves
    // alone so no byte past the row is read or written.
    const auto load = [&](std::ptrdiff_t y) {
        const std::uint8_t* in = bitmap.scanLine(int(y));
        std::uint32_t* source = rings.row(0, y);
        std::ptrdiff_t x = 0;
#if ZENVAS_RANDOM_VECTORS
        if (vectors)
            x = RowToWordsAvx2(in, source, width);
#endif
        for (; x + 1 < width; ++x)
            std::memcpy(source + x, in + 3 * x, 4);
        source[width - 1] = std::uint32_t(in[3 * width - 3]) | std::uint32_t(in[3 * width - 2]) << 8 |
                            std::uint32_t(in[3 * width - 1]) << 16;
        std::fill_n(rings.row(1, y), width, fill);
    };
    const auto store = [&](std::ptrdiff_t y) {
        std::uint8_t* out = bitmap.scanLine(int(y));
        const std::uint32_t* made = rings.row(1, y);
        std::ptrdiff_t x = 0;
#if ZENVAS_RANDOM_VECTORS
        if (vectors)
            x = WordsToRowAvx2(made, out, width);
#endif
        for (; x + 1 < width; ++x)
            std::memcpy(out + 3 * x, made + x, 4);
        std::memcpy(out + 3 * width - 3, made + width - 1, 3);
    };
    const std::ptrdiff_t stride = std::ptrdiff_t(rings.stride());
    std::ptrdiff_t here = 0; // the slot of row y
    for (std::ptrdiff_t y = 0; y < height; ++y, here = here + 1 == slots ? 0 : here + 1) {
        for (; loaded < height && loaded <= y + reach; ++loaded)
            load(loaded);
        // Words to the row `rows` below y (above, if negative), one within
        // reach: its slot is y's moved at most once around the ring.
        const auto wordsTo = [&](std::ptrdiff_t rows) {
            const std::ptrdiff_t slot = here + rows;
            return (slot < 0 ? rows + slots : slot >= slots ? rows - slots : rows) * stride;
        };
        for (std::ptrdiff_t k = 0; k <= 2 * std::ptrdiff_t(reach); ++k) {
            const std::ptrdiff_t row = y + k - reach;
            offsets[std::size_t(k)] = row >= 0 && row < height ? wordsTo(k - reach) : 0;
        }
        if (table)
            for (std::ptrdiff_t a = 0; a < std::ptrdiff_t(kRowTable); ++a) {
                const auto words = [&](std::ptrdiff_t rows) {
                    const bool trades = a <= reach && y + rows >= 0 && y + rows < height - 1;
                    return trades ? std::int32_t(wordsTo(rows)) : kNoTrade;
                };
                up[a] = words(a);
                down[a] = words(-a);
            }
        const FrostRowPlan plan{y,    width,  height, rangeX, rangeY, reach, offsets.data(), here, slots,
                                stride, up, down, rowWords, bitmap.scanLine(int(std::min(loaded, height - 1)))};
        const std::uint32_t* source = rings.row(0, y);
        std::uint32_t* made = rings.row(1, y);
        if (vectorRow) {
            vectorRow(seed, plan, source, made);
        } else {
            FrostDrawsPlain(seed, plan, there.data());
            for (std::ptrdiff_t x = 0; x < width; ++x) {
                const std::int32_t t = there[std::size_t(x)];
                if (t == kNoTrade)
                    continue;
                made[x] = source[x + t];
                made[x + t] = source[x];
            }
        }
        seed = rowStep(seed);
        for (; done < height && done < y + 1 - reach; ++done)
            store(done);
    }
    for (; done < height; ++done)
        store(done);
    draws.skip(std::uint64_t(width) * std::uint64_t(height) * 4);
}

// ---------------------------------------------------------------- noise

// Offsets amount/2 below to amount - 1 - amount/2 above the channel, which
// is then limited to 0..255.
void AddNoisePlain(std::uint8_t* p, std::size_t pixels, std::int32_t amount, bool blackAndWhite, Draws& draws)
{
    const std::int32_t half = amount / 2;
    // Offsets stay within about +-2^30, so the sums fit an int; the clamp
    // is branch-free because noise makes it unpredictable.
    const auto clamp = [](int v) { return static_cast<std::uint8_t>(std::min(std::max(v, 0), 255)); };
    const std::int32_t pattern[1] = {amount};
    std::int32_t drawn[Draws::kBatch];
    const std::size_t perPixel = blackAndWhite ? 1 : 3;
    const std::size_t pixelsPerBatch = Draws::kBatch / 3;
    for (std::size_t start = 0; start < pixels; start += pixelsPerBatch) {
        const std::size_t run = std::min(pixels - start, pixelsPerBatch);
        draws.take(drawn, run * perPixel, pattern);
        if (blackAndWhite) {
            for (std::size_t k = 0; k < run; ++k, p += 3) {
                const int d = drawn[k] - half;
                p[2] = clamp(p[2] + d);
                p[1] = clamp(p[1] + d);
                p[0] = clamp(p[0] + d);
            }
        } else {
            for (std::size_t k = 0; k < run; ++k, p += 3) {
                p[2] = clamp(p[2] + (drawn[3 * k] - half));
                p[1] = clamp(p[1] + (drawn[3 * k + 1] - half));
                p[0] = clamp(p[0] + (drawn[3 * k + 2] - half));
            }
        }
    }
}

#if ZENVAS_RANDOM_VECTORS

// Noise works on the picture in place at a pace the memory's own fetching
// ahead does not keep up with; the vector paths ask for the bytes this far
// ahead themselves.
constexpr std::size_t kNoiseAhead = 4096;

// Random(n) - half for sixteen stepped seeds as words in seed order,
// limited to the range of a word (which changes no sum after the limit to
// 0..255); then every seed is stepped on.
__attribute__((target("avx2"))) inline __m256i NoiseWordsOfAvx2(__m256i first, __m256i second, __m256i n,
                                                               __m256i half)
{
    const __m256i low = _mm256_sub_epi32(ScaleAvx2(first, n), half);
    const __m256i high = _mm256_sub_epi32(ScaleAvx2(second, n), half);
    // Packing works within 128-bit halves; the permute restores the order.
    return _mm256_permute4x64_epi64(_mm256_packs_epi32(low, high), 0xD8);
}

// Adds three vectors of word offsets to 48 bytes, each sum limited to
// 0..255.
__attribute__((target("avx2"))) inline void AddOffsetsAvx2(std::uint8_t* p, const __m256i (&offsets)[3])
{
    __m256i sums[3];
    for (int v = 0; v < 3; ++v) {
        const __m256i bytes = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * v)));
        sums[v] = _mm256_adds_epi16(bytes, offsets[v]);
    }
    const __m256i first = _mm256_permute4x64_epi64(_mm256_packus_epi16(sums[0], sums[1]), 0xD8);
    const __m256i last = _mm256_permute4x64_epi64(_mm256_packus_epi16(sums[2], sums[2]), 0x08);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), first);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), _mm256_castsi256_si128(last));
}

// Seeds jumped on by the same number of steps in every lane.
__attribute__((target("avx2"))) inline __m256i JumpedAvx2(__m256i seeds, Jump jump)
{
    return _mm256_add_epi32(_mm256_mullo_epi32(seeds, _mm256_set1_epi32(std::int32_t(jump.multiplier))),
                            _mm256_set1_epi32(std::int32_t(jump.increment)));
}

// Black-and-white noise on sixteen pixels (48 bytes): `first` and `second`
// hold the seeds of their draws 0..7 and 8..15, each offset then repeated
// over the pixel's three bytes.
__attribute__((target("avx2"))) inline void BlackAndWhiteBlockAvx2(std::uint8_t* p, __m256i first, __m256i second,
                                                                  __m256i n, __m256i half)
{
    // Words 0..7 of each half repeated three times over 24 words.
    const __m256i spreadA = _mm256_broadcastsi128_si256(_mm_setr_epi8(0, 1, 0, 1, 0, 1, 2, 3, 2, 3, 2, 3, 4, 5, 4, 5));
    const __m256i spreadB = _mm256_broadcastsi128_si256(_mm_setr_epi8(4, 5, 6, 7, 6, 7, 6, 7, 8, 9, 8, 9, 8, 9, 10, 11));
    const __m256i spreadC =
        _mm256_broadcastsi128_si256(_mm_setr_epi8(10, 11, 10, 11, 12, 13, 12, 13, 12, 13, 14, 15, 14, 15, 14, 15));
    const __m256i words = NoiseWordsOfAvx2(first, second, n, half);
    const __m256i a = _mm256_shuffle_epi8(words, spreadA);
    const __m256i b = _mm256_shuffle_epi8(words, spreadB);
    const __m256i c = _mm256_shuffle_epi8(words, spreadC);
    const __m256i offsets[3] = {_mm256_permute2x128_si256(a, b, 0x20), _mm256_permute2x128_si256(c, a, 0x30),
                                _mm256_permute2x128_si256(b, c, 0x31)};
    AddOffsetsAvx2(p, offsets);
}

// Black-and-white noise, thirty-two pixels a step. Only one vector of
// seeds, those of the step's draws 0..7, is carried from step to step; the
// other three are jumped on from it. The carried vector's product and sum
// are the one chain from step to step, and it is taken once for two
// blocks, half as often as with both halves of a block carried. Returns
// the pixels done, a multiple of 16.
__attribute__((target("avx2"))) std::size_t AddBlackAndWhiteNoiseAvx2(std::uint8_t* p, std::size_t pixels,
                                                                      std::int32_t amount, std::uint32_t seed)
{
    const std::size_t blocks = pixels / 16;
    alignas(32) std::uint32_t start[8];
    for (int l = 0; l < 8; ++l)
        start[l] = kLaneStarts.steps[l](seed);
    __m256i seeds = _mm256_load_si256(reinterpret_cast<const __m256i*>(start));
    const __m256i n = _mm256_set1_epi32(amount), half = _mm256_set1_epi32(amount / 2);
    constexpr Jump k8 = Jump::Steps(8), k16 = Jump::Steps(16), k24 = Jump::Steps(24), k32 = Jump::Steps(32);
    std::size_t b = 0;
    for (; b + 2 <= blocks; b += 2, p += 96) {
        _mm_prefetch(reinterpret_cast<const char*>(p + kNoiseAhead), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(p + kNoiseAhead + 64), _MM_HINT_T0);
        BlackAndWhiteBlockAvx2(p, seeds, JumpedAvx2(seeds, k8), n, half);
        BlackAndWhiteBlockAvx2(p + 48, JumpedAvx2(seeds, k16), JumpedAvx2(seeds, k24), n, half);
        seeds = JumpedAvx2(seeds, k32);
    }
    if (b < blocks)
        BlackAndWhiteBlockAvx2(p, seeds, JumpedAvx2(seeds, k8), n, half);
    return blocks * 16;
}

// The draw that byte g of a block of coloured noise takes: the bytes of a
// pixel, blue, green and red, take its draws 3, 2 and 1.
constexpr int ColouredDraw(int g)
{
    return g + 2 - 2 * (g % 3);
}

// Coloured noise in 32-bit builds, whose eight vector registers do not hold
// six vectors of seeds besides the constants: only the first is carried,
// and vector v is made from it, each lane jumped on to its own draw, at the
// same number of products.
template <int Lanes>
struct NoiseLaneJumps {
    alignas(64) std::uint32_t multiplier[6][Lanes];
    alignas(64) std::uint32_t increment[6][Lanes];
    constexpr NoiseLaneJumps() : multiplier(), increment()
    {
        for (int v = 0; v < 6; ++v)
            for (int l = 0; l < Lanes; ++l) {
                const Jump jump = Jump::Steps(std::uint64_t(ColouredDraw(Lanes * v + l) - ColouredDraw(l)));
                multiplier[v][l] = jump.multiplier;
                increment[v][l] = jump.increment;
            }
    }
};
constexpr NoiseLaneJumps<8> kNoiseLaneJumps;
constexpr NoiseLaneJumps<16> kNoiseLaneJumps512;

// Coloured noise, sixteen pixels (48 bytes) at a time, one lane per byte:
// lane g holds the draw its byte takes (the bytes of a pixel, blue, green
// and red, take its draws 3, 2 and 1), so the offsets come out in byte
// order. Returns the pixels done, a multiple of 16.
__attribute__((target("avx2"))) std::size_t AddColouredNoiseAvx2(std::uint8_t* p, std::size_t pixels,
                                                                 std::int32_t amount, std::uint32_t seed)
{
    const std::size_t blocks = pixels / 16;
    __m256i lanes[6];
    for (int v = 0; v < 6; ++v) {
        alignas(32) std::uint32_t start[8];
        for (int l = 0; l < 8; ++l)
            start[l] = Jump::Steps(std::uint64_t(ColouredDraw(8 * v + l) + 1))(seed);
        lanes[v] = _mm256_load_si256(reinterpret_cast<const __m256i*>(start));
    }
    constexpr Jump step = Jump::Steps(48);
    const __m256i n = _mm256_set1_epi32(amount), half = _mm256_set1_epi32(amount / 2);
    for (std::size_t b = 0; b < blocks; ++b, p += 48) {
        _mm_prefetch(reinterpret_cast<const char*>(p + kNoiseAhead), _MM_HINT_T0);
        __m256i offsets[3];
        if constexpr (sizeof(void*) == 4) {
            for (int v = 1; v < 6; ++v)
                lanes[v] = _mm256_add_epi32(
                    _mm256_mullo_epi32(lanes[0], _mm256_load_si256(reinterpret_cast<const __m256i*>(
                                                     kNoiseLaneJumps.multiplier[v]))),
                    _mm256_load_si256(reinterpret_cast<const __m256i*>(kNoiseLaneJumps.increment[v])));
            for (int v = 0; v < 3; ++v)
                offsets[v] = NoiseWordsOfAvx2(lanes[2 * v], lanes[2 * v + 1], n, half);
            lanes[0] = JumpedAvx2(lanes[0], step);
        } else {
            for (int v = 0; v < 3; ++v) {
                offsets[v] = NoiseWordsOfAvx2(lanes[2 * v], lanes[2 * v + 1], n, half);
                lanes[2 * v] = JumpedAvx2(lanes[2 * v], step);
                lanes[2 * v + 1] = JumpedAvx2(lanes[2 * v + 1], step);
            }
        }
        AddOffsetsAvx2(p, offsets);
    }
    return blocks * 16;
}

// Random(n) - half for thirty-two seeds as words in seed order.
__attribute__((target("avx512f,avx512bw"))) inline __m512i NoiseWordsOf512(__m512i first, __m512i second, __m512i n,
                                                                          __m512i half)
{
    const __m512i low = _mm512_sub_epi32(Scale512(first, n), half);
    const __m512i high = _mm512_sub_epi32(Scale512(second, n), half);
    // After packing, quarter q holds lanes 4q..4q+3 of each; the permute
    // lays the first's four quarters before the second's.
    return _mm512_permutexvar_epi64(_mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7), _mm512_packs_epi32(low, high));
}

__attribute__((target("avx512f,avx512bw"))) inline __m512i Jumped512(__m512i seeds, Jump jump)
{
    return _mm512_add_epi32(_mm512_mullo_epi32(seeds, _mm512_set1_epi32(std::int32_t(jump.multiplier))),
                            _mm512_set1_epi32(std::int32_t(jump.increment)));
}

// Adds three vectors of word offsets to 96 bytes, each sum limited to
// 0..255.
__attribute__((target("avx512f,avx512bw"))) inline void AddOffsets512(std::uint8_t* p, const __m512i (&offsets)[3])
{
    const __m512i zero = _mm512_setzero_si512(), top = _mm512_set1_epi16(255);
    for (int v = 0; v < 3; ++v) {
        const __m512i bytes = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * v)));
        const __m512i sum = _mm512_min_epi16(_mm512_max_epi16(_mm512_adds_epi16(bytes, offsets[v]), zero), top);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 32 * v), _mm512_cvtepi16_epi8(sum));
    }
}

// Word w of the offsets of bytes 32v..32v + 31 is that of pixel
// (32v + w) / 3.
struct PixelSpread {
    alignas(64) std::uint16_t words[3][32];
    constexpr PixelSpread() : words()
    {
        for (int v = 0; v < 3; ++v)
            for (int w = 0; w < 32; ++w)
                words[v][w] = std::uint16_t((32 * v + w) / 3);
    }
};
constexpr PixelSpread kPixelSpread;

// Black-and-white noise on thirty-two pixels (96 bytes), from the seeds of
// their draws 0..15 and 16..31.
__attribute__((target("avx512f,avx512bw"))) inline void BlackAndWhiteBlock512(std::uint8_t* p, __m512i first,
                                                                             __m512i second, __m512i n, __m512i half)
{
    const __m512i perPixel = NoiseWordsOf512(first, second, n, half);
    __m512i offsets[3];
    for (int v = 0; v < 3; ++v)
        offsets[v] = _mm512_permutexvar_epi16(_mm512_load_si512(kPixelSpread.words[v]), perPixel);
    AddOffsets512(p, offsets);
}

// The 256-bit paths' layouts on 512-bit vectors: black and white, sixty-
// four pixels a step from one carried vector of seeds; coloured, thirty-
// two pixels (96 bytes) at a time.
__attribute__((target("avx512f,avx512bw"))) std::size_t AddBlackAndWhiteNoise512(std::uint8_t* p, std::size_t pixels,
                                                                                 std::int32_t amount,
                                                                                 std::uint32_t seed)
{
    const std::size_t blocks = pixels / 32;
    alignas(64) std::uint32_t start[16];
    for (int l = 0; l < 16; ++l)
        start[l] = kLaneStarts.steps[l](seed);
    __m512i seeds = _mm512_load_si512(start);
    const __m512i n = _mm512_set1_epi32(amount), half = _mm512_set1_epi32(amount / 2);
    constexpr Jump k16 = Jump::Steps(16), k32 = Jump::Steps(32), k48 = Jump::Steps(48), k64 = Jump::Steps(64);
    std::size_t b = 0;
    for (; b + 2 <= blocks; b += 2, p += 192) {
        for (int line = 0; line < 3; ++line)
            _mm_prefetch(reinterpret_cast<const char*>(p + kNoiseAhead + 64 * line), _MM_HINT_T0);
        BlackAndWhiteBlock512(p, seeds, Jumped512(seeds, k16), n, half);
        BlackAndWhiteBlock512(p + 96, Jumped512(seeds, k32), Jumped512(seeds, k48), n, half);
        seeds = Jumped512(seeds, k64);
    }
    if (b < blocks)
        BlackAndWhiteBlock512(p, seeds, Jumped512(seeds, k16), n, half);
    return blocks * 32;
}

__attribute__((target("avx512f,avx512bw"))) std::size_t AddColouredNoise512(std::uint8_t* p, std::size_t pixels,
                                                                            std::int32_t amount, std::uint32_t seed)
{
    const std::size_t blocks = pixels / 32;
    __m512i lanes[6];
    for (int v = 0; v < 6; ++v) {
        alignas(64) std::uint32_t start[16];
        for (int l = 0; l < 16; ++l)
            start[l] = Jump::Steps(std::uint64_t(ColouredDraw(16 * v + l) + 1))(seed);
        lanes[v] = _mm512_load_si512(start);
    }
    constexpr Jump step = Jump::Steps(96);
    const __m512i n = _mm512_set1_epi32(amount), half = _mm512_set1_epi32(amount / 2);
    for (std::size_t b = 0; b < blocks; ++b, p += 96) {
        _mm_prefetch(reinterpret_cast<const char*>(p + kNoiseAhead), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(p + kNoiseAhead + 64), _MM_HINT_T0);
        __m512i offsets[3];
        if constexpr (sizeof(void*) == 4) {
            for (int v = 1; v < 6; ++v)
                lanes[v] = _mm512_add_epi32(_mm512_mullo_epi32(lanes[0], _mm512_load_si512(kNoiseLaneJumps512.multiplier[v])),
                                            _mm512_load_si512(kNoiseLaneJumps512.increment[v]));
            for (int v = 0; v < 3; ++v)
                offsets[v] = NoiseWordsOf512(lanes[2 * v], lanes[2 * v + 1], n, half);
            lanes[0] = Jumped512(lanes[0], step);
        } else {
            for (int v = 0; v < 3; ++v) {
                offsets[v] = NoiseWordsOf512(lanes[2 * v], lanes[2 * v + 1], n, half);
                lanes[2 * v] = Jumped512(lanes[2 * v], step);
                lanes[2 * v + 1] = Jumped512(lanes[2 * v + 1], step);
            }
        }
        AddOffsets512(p, offsets);
    }
    return blocks * 32;
}

#endif

} // namespace

void BitmapBlock(gdi::Bitmap& bitmap, std::int32_t blockWidth, std::int32_t blockHeight, std::int32_t seam,
                 gdi::Color colour)
{
    if (blockWidth < 1 || blockHeight < 1)
        return;
    seam = std::max(seam, 0);
    EffectReseed()();
    Draws draws;
    if (bitmap.isEmpty()) {
        const std::uint64_t blocks = std::uint64_t((std::max(bitmap.width(), 1) - 1) / blockWidth + 1) *
                                     std::uint64_t((std::max(bitmap.height(), 1) - 1) / blockHeight + 1);
        draws.skip(blocks * 4);
        bitmap.fill(colour);
        return;
    }
    const std::int64_t width = bitmap.width(), height = bitmap.height();
    const std::int64_t columns = (width - 1) / blockWidth + 1, rows = (height - 1) / blockHeight + 1;
    // Blocks wider or taller than the picture are one column or row of
    // blocks, moved from its edge, as blocks of the picture's size are.
    const std::ptrdiff_t fitWidth = std::min(blockWidth, bitmap.width());
    const std::ptrdiff_t fitHeight = std::min(blockHeight, bitmap.height());
    // Row by row needs the moves of every block at hand; for blocks of a
    // few pixels those would outweigh the picture, and the blocks are
    // moved whole from a copy.
    if (columns * rows * 16 > width * height) {
        MoveBlocksWhole(bitmap, fitWidth, fitHeight, seam, colour, draws);
        return;
    }
    std::vector<BlockShift> shifts(std::size_t(columns * rows));
    for (BlockShift& shift : shifts) {
        shift.dy = Limit(DrawMove(draws, seam), bitmap.height());
        shift.dx = Limit(DrawMove(draws, seam), bitmap.width());
    }
    // A move reaches seam - 1 rows; one of the picture's height or more
    // needs every row kept, which a reach of height - 1 keeps.
    const std::ptrdiff_t reach = std::min(std::max(seam - 1, 0), bitmap.height() - 1);
#if defined(_WIN32) && ZENVAS_RANDOM_VECTORS
    // The C runtime's moves on Windows are not the widest the processor
    // has, as the C library's are elsewhere.
    if (VectorsAllowed()) {
        MoveBlocksByRowsAvx2(bitmap, fitWidth, fitHeight, shifts, reach, colour);
        return;
    }
#endif
    MoveBlocksByRows<CopyRun>(bitmap, fitWidth, fitHeight, shifts, reach, colour);
}

void BitmapFrostGlass(gdi::Bitmap& bitmap, std::int32_t rangeX, std::int32_t rangeY, gdi::Color colour)
{
    EffectReseed()();
    rangeX = std::max(rangeX, 0);
    rangeY = std::max(rangeY, 0);
    Draws draws;
    if (bitmap.width() < 2 || bitmap.height() < 2) {
        // No pixel has a partner short of the last column and row.
        draws.skip(std::uint64_t(bitmap.width()) * std::uint64_t(bitmap.height()) * 4);
        bitmap.fill(colour);
        return;
    }
    FrostByRows(bitmap, rangeX, rangeY, colour, draws);
}

void BitmapAddNoise(gdi::Bitmap& bitmap, std::int32_t amount, bool blackAndWhite)
{
    EffectReseed()();
    amount = std::max(amount, 0);
    if (bitmap.isEmpty())
        return;
    std::uint8_t* p = bitmap.scanLine(0);
    std::size_t pixels = std::size_t(bitmap.width()) * std::size_t(bitmap.height());
    Draws draws;
#if ZENVAS_RANDOM_VECTORS
    if (VectorsAllowed()) {
        const bool wide = gdi::ActiveVectors() >= gdi::Vectors::Avx512;
        const std::size_t done =
            blackAndWhite ? (wide ? AddBlackAndWhiteNoise512 : AddBlackAndWhiteNoiseAvx2)(p, pixels, amount, draws.seed())
                          : (wide ? AddColouredNoise512 : AddColouredNoiseAvx2)(p, pixels, amount, draws.seed());
        draws.skip(done * (blackAndWhite ? 1 : 3));
        p += done * 3;
        pixels -= done;
    }
#endif
    AddNoisePlain(p, pixels, amount, blackAndWhite, draws);
}

} // namespace zenvas
