#include "platform/gdi/FloodFill.h"

#include "platform/gdi/Vectors.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZENVAS_WIDE_RUNS 1
#endif

namespace gdi {

namespace {

// Pixels are compared as the low three bytes of a 32-bit load; the bitmap
// keeps spare bytes after its last pixel for this.
inline std::uint32_t Load24(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v & 0x00FFFFFFu;
}

#if ZENVAS_WIDE_RUNS
// The first x >= from, in steps of 64 (or 32) pixels, whose step does not
// wholly match `pattern` (64 pixels of the key colour); the step is read
// only where it lies before `limit`.
__attribute__((target("avx512f,avx512bw"))) int WholeRuns512(const std::uint8_t* row, int x, int limit,
                                                              const std::uint8_t* pattern)
{
    const __m512i k0 = _mm512_loadu_si512(pattern), k1 = _mm512_loadu_si512(pattern + 64),
                  k2 = _mm512_loadu_si512(pattern + 128);
    for (; x + 64 <= limit; x += 64) {
        const std::uint8_t* p = row + std::size_t(x) * 3;
        const __mmask64 same = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p), k0) &
                               _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p + 64), k1) &
                               _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p + 128), k2);
        if (same != ~__mmask64(0))
            break;
    }
    return x;
}

__attribute__((target("avx2"))) int WholeRuns256(const std::uint8_t* row, int x, int limit,
                                                 const std::uint8_t* pattern)
{
    const __m256i k0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern));
    const __m256i k1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern + 32));
    const __m256i k2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern + 64));
    for (; x + 32 <= limit; x += 32) {
        const __m256i* p = reinterpret_cast<const __m256i*>(row + std::size_t(x) * 3);
        const __m256i same = _mm256_and_si256(_mm256_and_si256(_mm256_cmpeq_epi8(_mm256_loadu_si256(p), k0),
                                                               _mm256_cmpeq_epi8(_mm256_loadu_si256(p + 1), k1)),
                                              _mm256_cmpeq_epi8(_mm256_loadu_si256(p + 2), k2));
        if (_mm256_movemask_epi8(same) != -1)
            break;
    }
    return x;
}
#endif

class Walker {
public:
    Walker(const Bitmap& bmp, std::uint32_t key, std::vector<std::uint64_t>& visited, FloodEmit emit,
           void* context)
        : bmp_(bmp), key_(key), visited_(visited), emit_(emit), context_(context), w_(bmp.width())
    {
        // Four pixels of the key colour as 12 bytes, to compare runs quickly.
        std::uint8_t pattern[12];
        for (int i = 0; i < 4; ++i)
            std::memcpy(pattern + 3 * i, &key, 3);
        std::memcpy(&quadLow_, pattern, 8);
        std::memcpy(&quadHigh_, pattern + 8, 4);
        for (int i = 0; i < 64; ++i)
            std::memcpy(pattern_ + 3 * i, &key, 3);
    }

    void run(int x, int y)
    {
        seeds_.push_back({y, x, x + 1});
        while (!seeds_.empty()) {
            const Seed s = seeds_.back();
            seeds_.pop_back();
            // A seed is part of one maximal run: either all of it or none
            // of it has been visited.
            if (isVisited(s.x0, s.y))
                continue;
            const std::uint8_t* row = bmp_.scanLine(s.y);
            int x0 = s.x0;
            while (x0 > 0 && Load24(row + std::size_t(x0 - 1) * 3) == key_)
                --x0;
            const int x1 = runEnd(row, s.x1, w_);
            markVisited(s.y, x0, x1);
            // The caller may repaint the span now: a run is decided by its
            // unvisited pixels and the first mismatch after them, which
            // lies outside the region, so no visited pixel is compared
            // again (a 16-pixel step that reads one only fails earlier).
            emit_(context_, {s.y, x0, x1});
            if (s.y > 0)
                scanNeighbour(s.y - 1, x0, x1);
            if (s.y + 1 < bmp_.height())
                scanNeighbour(s.y + 1, x0, x1);
        }
    }

private:
    struct Seed {
        int y, x0, x1; // a run of matching pixels known so far
    };

    // The first x >= from (up to `limit`) whose pixel does not match.
    int runEnd(const std::uint8_t* row, int from, int limit) const
    {
        int x = from;
#if ZENVAS_WIDE_RUNS
        // Long runs (a plain fill's whole rows) go by wide steps where the
        // processor has them; the narrower steps below finish the run.
        if (limit - x >= 64 && vectors_ != Vectors::Plain)
            x = vectors_ == Vectors::Avx512 ? WholeRuns512(row, x, limit, pattern_)
                                            : WholeRuns256(row, x, limit, pattern_);
#endif
#if defined(__SSE2__)
        // Sixteen pixels (48 bytes) at a time, where the processor always
        // has 16-byte vectors.
        const __m128i k0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern_));
        const __m128i k1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern_ + 16));
        const __m128i k2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern_ + 32));
        while (x + 16 <= limit) {
            const __m128i* p = reinterpret_cast<const __m128i*>(row + std::size_t(x) * 3);
            const __m128i same = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(p), k0),
                                                             _mm_cmpeq_epi8(_mm_loadu_si128(p + 1), k1)),
                                               _mm_cmpeq_epi8(_mm_loadu_si128(p + 2), k2));
            if (_mm_movemask_epi8(same) != 0xFFFF)
                break;
            x += 16;
        }
#endif
        while (x + 4 <= limit) {
            std::uint64_t low;
            std::uint32_t high;
            std::memcpy(&low, row + std::size_t(x) * 3, 8);
            std::memcpy(&high, row + std::size_t(x) * 3 + 8, 4);
            if (low != quadLow_ || high != quadHigh_)
                break;
            x += 4;
        }
        while (x < limit && Load24(row + std::size_t(x) * 3) == key_)
            ++x;
        return x;
    }

    std::size_t bit(int x, int y) const { return std::size_t(y) * std::size_t(w_) + std::size_t(x); }
    bool isVisited(int x, int y) const
    {
        const std::size_t b = bit(x, y);
        return (visited_[b >> 6] >> (b & 63)) & 1;
    }
    // The first x >= from (up to `limit`) that is not visited.
    int visitedEnd(int y, int from, int limit) const
    {
        std::size_t b = bit(from, y);
        const std::size_t e = bit(limit, y);
        while (b < e) {
            const std::uint64_t word = ~visited_[b >> 6] >> (b & 63);
            if (word != 0)
                return int(std::min(b + std::size_t(__builtin_ctzll(word)), e) - bit(0, y));
            b = (b | 63) + 1;
        }
        return limit;
    }
    void markVisited(int y, int x0, int x1)
    {
        std::size_t b = bit(x0, y);
        const std::size_t e = bit(x1, y);
        while (b < e && (b & 63)) {
            visited_[b >> 6] |= std::uint64_t(1) << (b & 63);
            ++b;
        }
        while (b + 64 <= e) {
            visited_[b >> 6] = ~std::uint64_t(0);
            b += 64;
        }
        while (b < e) {
            visited_[b >> 6] |= std::uint64_t(1) << (b & 63);
            ++b;
        }
    }

    // Pushes one seed per run of matching, unvisited pixels in [x0, x1).
    void scanNeighbour(int y, int x0, int x1)
    {
        const std::uint8_t* row = bmp_.scanLine(y);
        int x = x0;
        while (x < x1) {
            if (isVisited(x, y)) {
                x = visitedEnd(y, x, x1);
                continue;
            }
            if (Load24(row + std::size_t(x) * 3) != key_) {
                ++x;
                continue;
            }
            const int end = runEnd(row, x + 1, x1);
            seeds_.push_back({y, x, end});
            x = end;
        }
    }

    const Bitmap& bmp_;
    std::uint32_t key_;
    std::vector<std::uint64_t>& visited_;
    FloodEmit emit_;
    void* context_;
    std::vector<Seed> seeds_;
    int w_;
    std::uint64_t quadLow_ = 0;
    std::uint32_t quadHigh_ = 0;
    Vectors vectors_ = ActiveVectors();
    std::uint8_t pattern_[192] = {}; // 64 pixels of the key colour
};

} // namespace

void FloodWalk(const Bitmap& bmp, int x, int y, Color color, std::vector<std::uint64_t>& visited, FloodEmit emit,
               void* context)
{
    if (x < 0 || y < 0 || x >= bmp.width() || y >= bmp.height())
        return;
    color = ResolveColor(color);
    const std::uint32_t key = std::uint32_t(BlueOf(color)) | (std::uint32_t(GreenOf(color)) << 8) |
                              (std::uint32_t(RedOf(color)) << 16);
    if (Load24(bmp.scanLine(y) + std::size_t(x) * 3) != key)
        return;
    const std::size_t words = (std::size_t(bmp.width()) * std::size_t(bmp.height()) + 63) / 64;
    visited.resize(words);
    SetBytes(visited.data(), 0, words * sizeof(std::uint64_t));
    Walker(bmp, key, visited, emit, context).run(x, y);
}

void FloodRegion(const Bitmap& bmp, int x, int y, Color color, std::vector<std::uint64_t>& visited,
                 std::vector<FloodSpan>& spans)
{
    spans.clear();
    FloodVisit(bmp, x, y, color, visited, [&spans](const FloodSpan& span) { spans.push_back(span); });
}

} // namespace gdi
