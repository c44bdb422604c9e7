#include "platform/gdi/Stretch.h"
#include "platform/gdi/Int128.h"
#include "platform/gdi/Vectors.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <vector>

// The wide vector paths on every x86 build; an AVX2 copy of the plain loop
// where the loader picks it at run time (ifunc), and on Windows, which has
// no ifunc, a copy chosen by a test of the processor on each call.
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZENVAS_WIDE_HALFTONE 1
#endif
#if defined(__x86_64__) && !defined(_WIN32)
#define ZENVAS_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ZENVAS_AVX2_CLONES
#endif
#if defined(_WIN32) && (defined(__x86_64__) || defined(__i386__))
#define ZENVAS_AVX2_COPIES 1
#endif

namespace gdi {

namespace {

using i64 = std::int64_t;

// The destination cells of one axis that land in the bitmap, each with the
// source cells it covers and their coverage weights. Destination cell i
// covers [i * srcUnit, (i + 1) * srcUnit) and source cell k covers
// [k * dstUnit, (k + 1) * dstUnit), so the weights of a cell sum to srcUnit.
struct AxisMap {
    i64 first = 0, last = 0;       // visible destination cells [first, last)
    i64 srcFirst = 0, srcLast = 0; // source cells they read [srcFirst, srcLast)
    i64 srcUnit = 1;
    std::vector<i64> start;        // per visible cell: first source cell
    std::vector<std::uint32_t> offset; // per visible cell + 1: index into weights
    std::vector<std::uint32_t> weights;

    void build(i64 dstPos, i64 dstSize, i64 srcSize, i64 limit)
    {
        const i64 g = std::gcd(dstSize, srcSize);
        srcUnit = srcSize / g;
        const i64 dstUnit = dstSize / g;
        first = std::max<i64>(0, -dstPos);
        last = std::min<i64>(dstSize, limit - dstPos);
        start.clear();
        offset.assign(1, 0);
        weights.clear();
        if (first >= last)
            return;
        for (i64 i = first; i < last; ++i) {
            const i64 a = i * srcUnit, b = a + srcUnit;
            const i64 k0 = a / dstUnit, k1 = (b - 1) / dstUnit;
            start.push_back(k0);
            for (i64 k = k0; k <= k1; ++k) {
                const i64 lo = std::max(a, k * dstUnit), hi = std::min(b, (k + 1) * dstUnit);
                weights.push_back(std::uint32_t(hi - lo));
            }
            offset.push_back(std::uint32_t(weights.size()));
        }
        srcFirst = start.front();
        srcLast = start.back() + (offset.back() - offset[offset.size() - 2]);
    }
};

struct Scratch {
    AxisMap xs, ys;
    std::vector<std::uint32_t> xWeights; // per visible column: `taps` weights, zero-padded
    std::vector<std::uint64_t> acc64, sums64;
    std::vector<std::uint32_t> acc32, sums32;
    std::vector<int> columns;
    // The vector paths: per segment of a block of output channels, the
    // window of source bytes it reads and, per pair of taps, byte indices
    // and weights (PlanWide).
    std::vector<std::uint32_t> segmentBase, segmentBytes;
    std::vector<std::uint8_t> pairIndex;
    std::vector<std::int16_t> pairWeights;
    std::vector<std::uint32_t> rows; // horizontally filtered source rows, a ring
    std::vector<i64> rowOf;          // the source row each ring slot holds
};

Scratch& StretchScratch()
{
    static Scratch scratch; // the layer runs on one thread; reused to keep allocation out of loops
    return scratch;
}

// Acc holds column sums and pixel sums; it is 32 bits whenever 255 times
// the denominator fits, which is the case for all but extreme ratios.
template <typename Acc, int Taps>
[[gnu::always_inline]] inline void Halftone(Bitmap& dst, const IntRect& destRect, const Bitmap& src, const IntRect& srcRect, Scratch& s,
              std::vector<Acc>& acc, std::vector<Acc>& sums, int taps)
{
    const AxisMap& xs = s.xs;
    const AxisMap& ys = s.ys;
    if (Taps > 0)
        taps = Taps;
    const Acc den = Acc(xs.srcUnit * ys.srcUnit);
    const double inv = 1.0 / double(den);
    int shift = 0;
    std::uint64_t magic = 0;
    if (std::uint64_t(den) <= (std::uint64_t(1) << 23)) {
        const int bits = std::bit_width(std::uint64_t(den) - 1); // 2^bits >= den
        shift = 8 + 2 * bits;
        magic = ((std::uint64_t(1) << shift) + std::uint64_t(den) - 1) / std::uint64_t(den);
    }
    const std::size_t cols = std::size_t(xs.srcLast - xs.srcFirst) * 3;
    const std::size_t outCount = std::size_t(xs.last - xs.first);
    acc.assign(cols + std::size_t(taps) * 3 + 1, Acc(0)); // padding read by zero weights and spare lanes
    sums.resize(outCount * 3 + 1);
    const std::uint32_t* xw = s.xWeights.data();
    for (i64 j = ys.first; j < ys.last; ++j) {
        const std::size_t jj = std::size_t(j - ys.first);
        const i64 k0 = ys.start[jj];
        Acc* __restrict a = acc.data();
        for (std::uint32_t w = ys.offset[jj]; w < ys.offset[jj + 1]; ++w) {
            const Acc wy = Acc(ys.weights[w]);
            const std::uint8_t* __restrict row =
                src.scanLine(int(srcRect.top + k0 + (w - ys.offset[jj]))) + std::size_t(srcRect.left + xs.srcFirst) * 3;
            if (w == ys.offset[jj]) {
                for (std::size_t c = 0; c < cols; ++c)
                    a[c] = wy * row[c];
            } else {
                for (std::size_t c = 0; c < cols; ++c)
                    a[c] += wy * row[c];
            }
        }
        Acc* __restrict sum = sums.data();
        if constexpr (sizeof(Acc) == 4) {
            // One destination pixel at a time as a four-lane vector (blue,
            // green, red and a spare lane that the next pixel overwrites).
            typedef std::uint32_t Lanes __attribute__((vector_size(16)));
            for (std::size_t ii = 0; ii < outCount; ++ii) {
                const Acc* p = a + std::size_t(xs.start[ii] - xs.srcFirst) * 3;
                const std::uint32_t* wt = xw + ii * std::size_t(taps);
                Lanes total = {den / 2, den / 2, den / 2, 0};
                for (int t = 0; t < taps; ++t) {
                    Lanes v;
                    std::memcpy(&v, p + 3 * t, sizeof v);
                    total += wt[t] * v;
                }
                std::memcpy(sum + 3 * ii, &total, sizeof total);
            }
        } else {
            for (std::size_t ii = 0; ii < outCount; ++ii) {
                const Acc* p = a + std::size_t(xs.start[ii] - xs.srcFirst) * 3;
                const std::uint32_t* wt = xw + ii * std::size_t(taps);
                Acc r = den / 2, g = den / 2, b = den / 2;
                for (int t = 0; t < taps; ++t) {
                    r += Acc(wt[t]) * p[3 * t];
                    g += Acc(wt[t]) * p[3 * t + 1];
                    b += Acc(wt[t]) * p[3 * t + 2];
                }
                sum[3 * ii] = r;
                sum[3 * ii + 1] = g;
                sum[3 * ii + 2] = b;
            }
        }
        std::uint8_t* __restrict out = dst.scanLine(int(destRect.top + j)) + std::size_t(destRect.left + xs.first) * 3;
        if (shift > 0) {
            // Exact division by multiplication: n < 256 * den and
            // 256 * den^2 <= 2^shift make floor(n * magic / 2^shift) = floor(n / den).
            for (std::size_t c = 0; c < outCount * 3; ++c)
                out[c] = std::uint8_t((std::uint64_t(sum[c]) * magic) >> shift);
            continue;
        }
        // Otherwise a floating estimate corrected by one step.
        for (std::size_t c = 0; c < outCount * 3; ++c) {
            const Acc n = sum[c];
            Acc q = Acc(double(n) * inv);
            q -= Acc(q * den > n);
            q += Acc((q + 1) * den <= n);
            out[c] = std::uint8_t(q);
        }
    }
}

template <typename Acc>
[[gnu::always_inline]] inline void HalftoneTaps(Bitmap& dst, const IntRect& d, const Bitmap& src,
                                                const IntRect& sr, Scratch& s, std::vector<Acc>& acc,
                                                std::vector<Acc>& sums, int taps)
{
    switch (taps) {
    case 1: Halftone<Acc, 1>(dst, d, src, sr, s, acc, sums, taps); break;
    case 2: Halftone<Acc, 2>(dst, d, src, sr, s, acc, sums, taps); break;
    case 3: Halftone<Acc, 3>(dst, d, src, sr, s, acc, sums, taps); break;
    default: Halftone<Acc, 0>(dst, d, src, sr, s, acc, sums, taps); break;
    }
}

// Built twice; the AVX2 copy is chosen at load time where the processor has it.
ZENVAS_AVX2_CLONES void Halftone32(Bitmap& dst, const IntRect& d, const Bitmap& src,
                                                                  const IntRect& sr, Scratch& s, int taps)
{
    HalftoneTaps(dst, d, src, sr, s, s.acc32, s.sums32, taps);
}

ZENVAS_AVX2_CLONES void Halftone64(Bitmap& dst, const IntRect& d, const Bitmap& src,
                                                                  const IntRect& sr, Scratch& s, int taps)
{
    HalftoneTaps(dst, d, src, sr, s, s.acc64, s.sums64, taps);
}

#if ZENVAS_AVX2_COPIES
__attribute__((target("avx2"))) void Halftone32Avx2(Bitmap& dst, const IntRect& d, const Bitmap& src,
                                                    const IntRect& sr, Scratch& s, int taps)
{
    HalftoneTaps(dst, d, src, sr, s, s.acc32, s.sums32, taps);
}

__attribute__((target("avx2"))) void Halftone64Avx2(Bitmap& dst, const IntRect& d, const Bitmap& src,
                                                    const IntRect& sr, Scratch& s, int taps)
{
    HalftoneTaps(dst, d, src, sr, s, s.acc64, s.sums64, taps);
}

bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

#if ZENVAS_WIDE_HALFTONE

// GCC 12's 512-bit intrinsics start some results from an undefined value.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// Exact division of n < 256 * den by den as (n * magic) >> shift with a
// 32-bit magic; see Halftone for the bound. False when den is too large.
bool DivisionMagic(std::uint64_t den, std::uint32_t& magic, int& shift)
{
    if (den > (std::uint64_t(1) << 23))
        return false;
    shift = 8 + 2 * std::bit_width(den - 1);
    const std::uint64_t m = ((std::uint64_t(1) << shift) + den - 1) / den;
    if (m > UINT32_MAX)
        return false;
    magic = std::uint32_t(m);
    return true;
}

// How the horizontal pass sits in vector registers: output channel o
// (pixel o / 3, channel o % 3) is lane o % lanes of block o / lanes. A
// block is cut into segments of `segment` lanes, each reading one window of
// `window` source bytes from its own start (512-bit: one segment of 16
// lanes over 64 bytes; 256-bit: two of 4 lanes over 16 bytes, one per
// 128-bit half, since byte shuffles stay inside halves).
struct WideLayout {
    std::size_t lanes, segment, window;
};
constexpr WideLayout kLayout512{16, 16, 64};
constexpr WideLayout kLayout256{8, 4, 16};

// A lane holds two taps as 16-bit pairs, so one multiply-add per pair of
// taps gives its sum; index bytes of 0x80 give 0 on either path. False
// when a segment's taps do not fit in its window or a weight in 15 bits.
bool PlanWide(Scratch& s, int taps, const WideLayout& layout, std::size_t& blocks, int& pairs)
{
    const AxisMap& xs = s.xs;
    const std::size_t outCount = std::size_t(xs.last - xs.first);
    const std::size_t channels = outCount * 3;
    blocks = (channels + layout.lanes - 1) / layout.lanes;
    pairs = (taps + 1) / 2;
    const std::size_t segments = blocks * (layout.lanes / layout.segment);
    const std::size_t readable = std::size_t(xs.srcLast - xs.srcFirst) * 3;
    s.segmentBase.resize(segments);
    s.segmentBytes.resize(segments);
    s.pairIndex.assign(blocks * std::size_t(pairs) * layout.lanes * 4, 0x80);
    s.pairWeights.assign(blocks * std::size_t(pairs) * layout.lanes * 2, 0);
    for (std::size_t g = 0; g < segments; ++g) {
        const std::size_t firstChannel = g * layout.segment;
        const i64 firstStart = xs.start[std::min(firstChannel, channels - 1) / 3];
        const std::size_t base = std::size_t(firstStart - xs.srcFirst) * 3;
        s.segmentBase[g] = std::uint32_t(base);
        s.segmentBytes[g] = std::uint32_t(std::min(readable - base, layout.window));
        for (std::size_t k = 0; k < layout.segment && firstChannel + k < channels; ++k) {
            const std::size_t o = firstChannel + k, i = o / 3, c = o % 3;
            const std::size_t block = o / layout.lanes, lane = o % layout.lanes;
            for (std::uint32_t w = xs.offset[i]; w < xs.offset[i + 1]; ++w) {
                const std::size_t t = w - xs.offset[i];
                const std::size_t byte = std::size_t(xs.start[i] - firstStart + i64(t)) * 3 + c;
                if (byte >= layout.window || xs.weights[w] > 32767)
                    return false;
                const std::size_t pair = block * std::size_t(pairs) + t / 2;
                s.pairIndex[pair * layout.lanes * 4 + lane * 4 + (t % 2) * 2] = std::uint8_t(byte);
                s.pairWeights[pair * layout.lanes * 2 + lane * 2 + t % 2] = std::int16_t(xs.weights[w]);
            }
        }
    }
    return true;
}

// The blocks from the first on whose segments all read a whole window;
// windows only shrink towards the end of the row.
std::size_t WholeBlocks(const Scratch& s, std::size_t blocks, const WideLayout& layout)
{
    const std::size_t perBlock = layout.lanes / layout.segment;
    std::size_t whole = blocks;
    while (whole > 0 && s.segmentBytes[perBlock * whole - 1] < layout.window)
        --whole;
    return whole;
}

// Filters Rows source rows, one after the other within each block, so each
// block's indices and weights are loaded once for all of them and, for one
// or two pairs, stay in registers with a row's window and sum even where
// there are only eight (32-bit x86).
template <int Pairs, int Rows>
__attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi"))) void Rows512(const std::uint8_t* const* in,
                                                                               std::uint32_t* const* out,
                                                                               const Scratch& s, std::size_t blocks,
                                                                               int pairs)
{
    if (Pairs > 0)
        pairs = Pairs;
    constexpr int kHeld = Pairs > 0 ? Pairs : 1;
    const std::uint8_t* index = s.pairIndex.data();
    const std::int16_t* weights = s.pairWeights.data();
    const std::uint32_t* base = s.segmentBase.data();
    const std::size_t whole = WholeBlocks(s, blocks, kLayout512);
    const __mmask64 evenBytes = 0x5555555555555555ull;
    for (std::size_t b = 0; b < blocks; ++b, index += 64 * pairs, weights += 32 * pairs) {
        const __mmask64 readable = b < whole ? ~__mmask64(0) : (__mmask64(1) << s.segmentBytes[b]) - 1;
        __m512i idx[kHeld], w[kHeld];
        for (int p = 0; p < Pairs; ++p) {
            idx[p] = _mm512_loadu_si512(index + 64 * p);
            w[p] = _mm512_loadu_si512(weights + 32 * p);
        }
        for (int r = 0; r < Rows; ++r) {
            const __m512i window = _mm512_maskz_loadu_epi8(readable, in[r] + base[b]);
            __m512i sum = _mm512_setzero_si512();
            for (int p = 0; p < pairs; ++p) {
                const __m512i i = Pairs > 0 ? idx[p] : _mm512_loadu_si512(index + 64 * p);
                const __m512i v = Pairs > 0 ? w[p] : _mm512_loadu_si512(weights + 32 * p);
                sum = _mm512_add_epi32(sum, _mm512_madd_epi16(_mm512_maskz_permutexvar_epi8(evenBytes, i, window), v));
            }
            _mm512_storeu_si512(out[r] + 16 * b, sum);
        }
    }
}

template <int Taps>
__attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi"))) void Column512(const std::uint32_t* const* rows,
                                                                                 const std::uint32_t* wy, int taps,
                                                                                 std::uint8_t* out, std::size_t channels,
                                                                                 std::uint32_t den, std::uint32_t magic,
                                                                                 int shift)
{
    if (Taps > 0)
        taps = Taps;
    const __m512i half = _mm512_set1_epi32(int(den / 2));
    const __m512i m = _mm512_set1_epi64(magic);
    const __m128i count = _mm_cvtsi32_si128(shift);
    for (std::size_t o = 0; o < channels; o += 16) {
        __m512i n = half;
        for (int t = 0; t < taps; ++t)
            n = _mm512_add_epi32(n, _mm512_mullo_epi32(_mm512_loadu_si512(rows[t] + o), _mm512_set1_epi32(int(wy[t]))));
        const __m512i even = _mm512_srl_epi64(_mm512_mul_epu32(n, m), count);
        const __m512i odd = _mm512_srl_epi64(_mm512_mul_epu32(_mm512_srli_epi64(n, 32), m), count);
        const __m128i q = _mm512_cvtepi32_epi8(_mm512_or_si512(even, _mm512_slli_epi64(odd, 32)));
        if (o + 16 <= channels)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), q);
        else
            _mm_mask_storeu_epi8(out + o, (__mmask16)((1u << (channels - o)) - 1), q);
    }
}

// A segment's 16-byte window; near the end of the readable bytes, through
// a zero-padded copy so nothing past them is read.
__attribute__((target("avx2"))) inline __m128i Window128(const std::uint8_t* row, const Scratch& s, std::size_t g)
{
    if (s.segmentBytes[g] >= 16)
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + s.segmentBase[g]));
    alignas(16) std::uint8_t padded[16] = {};
    std::memcpy(padded, row + s.segmentBase[g], s.segmentBytes[g]);
    return _mm_load_si128(reinterpret_cast<const __m128i*>(padded));
}

// As Rows512; blocks whose two windows are whole are loaded straight.
template <int Pairs, int Rows>
__attribute__((target("avx2"))) void Rows256(const std::uint8_t* const* in, std::uint32_t* const* out,
                                             const Scratch& s, std::size_t blocks, int pairs)
{
    if (Pairs > 0)
        pairs = Pairs;
    constexpr int kHeld = Pairs > 0 ? Pairs : 1;
    const std::uint8_t* index = s.pairIndex.data();
    const std::int16_t* weights = s.pairWeights.data();
    const std::uint32_t* base = s.segmentBase.data();
    const std::size_t whole = WholeBlocks(s, blocks, kLayout256);
    for (std::size_t b = 0; b < blocks; ++b, index += 32 * pairs, weights += 16 * pairs) {
        __m256i idx[kHeld], w[kHeld];
        for (int p = 0; p < Pairs; ++p) {
            idx[p] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(index + 32 * p));
            w[p] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + 16 * p));
        }
        const std::uint32_t low = base[2 * b], high = base[2 * b + 1];
        for (int r = 0; r < Rows; ++r) {
            const __m256i window =
                b < whole ? _mm256_inserti128_si256(
                                _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in[r] + low))),
                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(in[r] + high)), 1)
                          : _mm256_inserti128_si256(_mm256_castsi128_si256(Window128(in[r], s, 2 * b)),
                                                    Window128(in[r], s, 2 * b + 1), 1);
            __m256i sum = _mm256_setzero_si256();
            for (int p = 0; p < pairs; ++p) {
                const __m256i i = Pairs > 0 ? idx[p] : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(index + 32 * p));
                const __m256i v =
                    Pairs > 0 ? w[p] : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + 16 * p));
                sum = _mm256_add_epi32(sum, _mm256_madd_epi16(_mm256_shuffle_epi8(window, i), v));
            }
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out[r] + 8 * b), sum);
        }
    }
}

// The sums of 8 channels from `o` on, divided: 32-bit quotients below 256.
__attribute__((target("avx2"))) inline __m256i Quotients256(const std::uint32_t* const* rows, const std::uint32_t* wy,
                                                            int taps, std::size_t o, __m256i half, __m256i m,
                                                            __m128i count)
{
    __m256i n = half;
    for (int t = 0; t < taps; ++t)
        n = _mm256_add_epi32(n, _mm256_mullo_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[t] + o)),
                                                   _mm256_set1_epi32(int(wy[t]))));
    const __m256i even = _mm256_srl_epi64(_mm256_mul_epu32(n, m), count);
    const __m256i odd = _mm256_srl_epi64(_mm256_mul_epu32(_mm256_srli_epi64(n, 32), m), count);
    return _mm256_or_si256(even, _mm256_slli_epi64(odd, 32));
}

template <int Taps>
__attribute__((target("avx2"))) void Column256(const std::uint32_t* const* rows, const std::uint32_t* wy, int taps,
                                               std::uint8_t* out, std::size_t channels, std::uint32_t den,
                                               std::uint32_t magic, int shift)
{
    if (Taps > 0)
        taps = Taps;
    const __m256i half = _mm256_set1_epi32(int(den / 2));
    const __m256i m = _mm256_set1_epi64x(magic);
    const __m128i count = _mm_cvtsi32_si128(shift);
    // The low byte of each quotient, gathered into the first 8 bytes.
    const __m256i low = _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, //
                                         0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i together = _mm256_setr_epi32(0, 4, 1, 1, 1, 1, 1, 1);
    std::size_t o = 0;
#if defined(__x86_64__)
    // 32 channels at a time, packed to bytes by two saturating packs (which
    // interleave 128-bit halves; one permute puts them back in order).
    for (; o + 32 <= channels; o += 32) {
        __m256i q[4];
        for (int k = 0; k < 4; ++k)
            q[k] = Quotients256(rows, wy, taps, o + 8 * std::size_t(k), half, m, count);
        const __m256i words0 = _mm256_packus_epi32(q[0], q[1]), words1 = _mm256_packus_epi32(q[2], q[3]);
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words0, words1),
                                                          _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + o), bytes);
    }
#else
    // 16 at a time with only eight vector registers, packed the same way:
    // the bytes of the first 8 and the next 8 channels land in 32-bit
    // groups 0, 4 and 1, 5.
    for (; o + 16 <= channels; o += 16) {
        const __m256i q0 = Quotients256(rows, wy, taps, o, half, m, count);
        const __m256i q1 = Quotients256(rows, wy, taps, o + 8, half, m, count);
        const __m256i words = _mm256_packus_epi32(q0, q1);
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words, words),
                                                          _mm256_setr_epi32(0, 4, 1, 5, 0, 4, 1, 5));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), _mm256_castsi256_si128(bytes));
    }
#endif
    for (; o < channels; o += 8) {
        const __m256i q = Quotients256(rows, wy, taps, o, half, m, count);
        const __m128i bytes = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(q, low), together));
        if (o + 8 <= channels) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + o), bytes);
        } else {
            alignas(16) std::uint8_t last[16];
            _mm_store_si128(reinterpret_cast<__m128i*>(last), bytes);
            std::memcpy(out + o, last, channels - o);
        }
    }
}

using RowsKernel = void (*)(const std::uint8_t* const*, std::uint32_t* const*, const Scratch&, std::size_t, int);
using ColumnKernel = void (*)(const std::uint32_t* const*, const std::uint32_t*, int, std::uint8_t*, std::size_t,
                              std::uint32_t, std::uint32_t, int);

// The kernels of one vector width, specialised for the common counts of
// tap pairs (horizontal) and taps (vertical).
struct WideKernels {
    WideLayout layout;
    RowsKernel one[3], batch[3]; // by pairs 1, 2, any
    ColumnKernel column[4];      // by taps 1, 2, 3, any

    RowsKernel rows(bool batched, int pairs) const
    {
        const int k = pairs <= 2 ? pairs - 1 : 2;
        return batched ? batch[k] : one[k];
    }
    ColumnKernel columnFor(int taps) const { return column[taps <= 3 ? taps - 1 : 3]; }
};

constexpr int kBatch = 4; // source rows filtered together

constexpr WideKernels kKernels512{kLayout512,
                                  {Rows512<1, 1>, Rows512<2, 1>, Rows512<0, 1>},
                                  {Rows512<1, kBatch>, Rows512<2, kBatch>, Rows512<0, kBatch>},
                                  {Column512<1>, Column512<2>, Column512<3>, Column512<0>}};
constexpr WideKernels kKernels256{kLayout256,
                                  {Rows256<1, 1>, Rows256<2, 1>, Rows256<0, 1>},
                                  {Rows256<1, kBatch>, Rows256<2, kBatch>, Rows256<0, kBatch>},
                                  {Column256<1>, Column256<2>, Column256<3>, Column256<0>}};

// Horizontal pass first, each source row once into a small ring, then the
// vertical pass and the division per output row. Same sums as Halftone.
bool HalftoneWide(Bitmap& dst, const IntRect& destRect, const Bitmap& src, const IntRect& srcRect, Scratch& s,
                  int taps, const WideKernels& kernels)
{
    const AxisMap& xs = s.xs;
    const AxisMap& ys = s.ys;
    const std::uint64_t den = std::uint64_t(xs.srcUnit) * std::uint64_t(ys.srcUnit);
    std::uint32_t magic = 0;
    int shift = 0;
    std::size_t blocks = 0;
    int pairs = 0;
    if (den * 260 >= (std::uint64_t(1) << 32) || !DivisionMagic(den, magic, shift) ||
        !PlanWide(s, taps, kernels.layout, blocks, pairs))
        return false;
    int most = 1; // source rows per output row
    for (std::size_t j = 0; j + 1 < ys.offset.size(); ++j)
        most = std::max(most, int(ys.offset[j + 1] - ys.offset[j]));
    constexpr int kMaxRows = 64;
    if (most > kMaxRows)
        return false;
    // Rows are filtered kBatch at a time from the first one missing; the
    // ring keeps every row the current output row needs plus the batch.
    const int ring = most + kBatch - 1;
    const std::size_t rowLength = blocks * kernels.layout.lanes;
    // Slots start on 64-byte lines (a row is whole blocks, so each slot
    // does), whatever alignment the allocator gives: a vector load split
    // across two lines costs two.
    s.rows.resize(std::size_t(ring) * rowLength + 16);
    std::uint32_t* ringStart = s.rows.data() + (16 - reinterpret_cast<std::uintptr_t>(s.rows.data()) / 4 % 16) % 16;
    s.rowOf.assign(std::size_t(ring), -1);
    const std::size_t channels = std::size_t(xs.last - xs.first) * 3;
    const std::size_t srcOffset = std::size_t(srcRect.left + xs.srcFirst) * 3;
    const std::uint32_t* rows[kMaxRows];
    auto slotOf = [&](i64 k) { return ringStart + std::size_t(k % ring) * rowLength; };
    const RowsKernel batch = kernels.rows(true, pairs), one = kernels.rows(false, pairs);
    for (i64 j = ys.first; j < ys.last; ++j) {
        const std::size_t jj = std::size_t(j - ys.first);
        const int count = int(ys.offset[jj + 1] - ys.offset[jj]);
        for (int t = 0; t < count; ++t) {
            const i64 k = ys.start[jj] + t;
            if (s.rowOf[std::size_t(k % ring)] != k) {
                const int filled = int(std::min<i64>(kBatch, ys.srcLast - k));
                const std::uint8_t* in[kBatch];
                std::uint32_t* out[kBatch];
                for (int r = 0; r < filled; ++r) {
                    in[r] = src.scanLine(int(srcRect.top + k + r)) + srcOffset;
                    out[r] = slotOf(k + r);
                    s.rowOf[std::size_t((k + r) % ring)] = k + r;
                }
                if (filled == kBatch)
                    batch(in, out, s, blocks, pairs);
                else
                    for (int r = 0; r < filled; ++r)
                        one(in + r, out + r, s, blocks, pairs);
            }
            rows[t] = slotOf(k);
        }
        const std::uint32_t* wy = ys.weights.data() + ys.offset[jj];
        std::uint8_t* out = dst.scanLine(int(destRect.top + j)) + std::size_t(destRect.left + xs.first) * 3;
        kernels.columnFor(count)(rows, wy, count, out, channels, std::uint32_t(den), magic, shift);
    }
    return true;
}

#pragma GCC diagnostic pop
#endif

} // namespace

void TrimStretchScratch(std::size_t bytes)
{
    Scratch& s = StretchScratch();
    const auto held = [](const auto& v) { return v.capacity() * sizeof(v[0]); };
    const std::size_t total = held(s.xs.start) + held(s.xs.offset) + held(s.xs.weights) + held(s.ys.start) +
                              held(s.ys.offset) + held(s.ys.weights) + held(s.xWeights) + held(s.acc64) +
                              held(s.sums64) + held(s.acc32) + held(s.sums32) + held(s.columns) +
                              held(s.segmentBase) + held(s.segmentBytes) + held(s.pairIndex) +
                              held(s.pairWeights) + held(s.rows) + held(s.rowOf);
    if (total > bytes)
        s = Scratch{};
}

void StretchHalftone(Bitmap& dst, const IntRect& destRect, const Bitmap& src, const IntRect& srcRect)
{
    const IntRect d = destRect.normalized();
    const IntRect sr = srcRect.normalized();
    if (d.isEmpty() || sr.isEmpty() || sr.intersected(src.bounds()) != sr)
        return;
    Scratch& s = StretchScratch();
    s.xs.build(d.left, d.width(), sr.width(), dst.width());
    s.ys.build(d.top, d.height(), sr.height(), dst.height());
    if (s.xs.first >= s.xs.last || s.ys.first >= s.ys.last)
        return;
    int taps = 1;
    for (std::size_t i = 0; i + 1 < s.xs.offset.size(); ++i)
        taps = std::max(taps, int(s.xs.offset[i + 1] - s.xs.offset[i]));
#if ZENVAS_WIDE_HALFTONE
    const Vectors level = ActiveVectors();
    if (level == Vectors::Avx512 && HalftoneWide(dst, d, src, sr, s, taps, kKernels512))
        return;
    if (level >= Vectors::Avx2 && HalftoneWide(dst, d, src, sr, s, taps, kKernels256))
        return;
#endif
    // Weights per destination column, padded to the largest count.
    s.xWeights.assign(s.xs.start.size() * std::size_t(taps), 0);
    for (std::size_t i = 0; i + 1 < s.xs.offset.size(); ++i)
        for (std::uint32_t w = s.xs.offset[i]; w < s.xs.offset[i + 1]; ++w)
            s.xWeights[i * std::size_t(taps) + (w - s.xs.offset[i])] = s.xs.weights[w];
    const std::uint64_t den = std::uint64_t(s.xs.srcUnit) * std::uint64_t(s.ys.srcUnit);
    const bool narrow = den * 260 < (std::uint64_t(1) << 32);
#if ZENVAS_AVX2_COPIES
    if (HasAvx2()) {
        (narrow ? Halftone32Avx2 : Halftone64Avx2)(dst, d, src, sr, s, taps);
        return;
    }
#endif
    (narrow ? Halftone32 : Halftone64)(dst, d, src, sr, s, taps);
}

void StretchNearest(Bitmap& dst, const IntRect& destRect, const Bitmap& src, const IntRect& srcRect)
{
    const IntRect d = destRect.normalized();
    const IntRect sr = srcRect.normalized();
    if (d.isEmpty() || sr.isEmpty())
        return;
    const i64 x0 = std::max<i64>(0, -i64(d.left)), x1 = std::min<i64>(d.width(), dst.width() - i64(d.left));
    const i64 y0 = std::max<i64>(0, -i64(d.top)), y1 = std::min<i64>(d.height(), dst.height() - i64(d.top));
    if (x0 >= x1 || y0 >= y1)
        return;
    // Below 2^32 each, the product fits 64 bits: the usual case, and the
    // only cheap one on 32-bit targets, whose 128-bit division is a loop.
    auto sourceIndex = [](i64 di, i64 dSize, i64 sSize) {
        constexpr std::uint64_t kLimit = std::uint64_t(1) << 32;
        if (std::uint64_t(2 * di + 1) < kLimit && std::uint64_t(sSize) < kLimit)
            return i64(std::uint64_t(2 * di + 1) * std::uint64_t(sSize) / (2 * std::uint64_t(dSize)));
        return i64((Int128(2 * di + 1) * sSize) / (2 * Int128(dSize)));
    };
    const std::size_t count = std::size_t(x1 - x0);
    std::vector<int>& columns = StretchScratch().columns;
    columns.resize(count);
    bool allColumns = true;
    for (i64 i = x0; i < x1; ++i) {
        const i64 sx = sr.left + sourceIndex(i, d.width(), sr.width());
        columns[std::size_t(i - x0)] = (sx >= 0 && sx < src.width()) ? int(sx) : -1;
        allColumns &= sx >= 0 && sx < src.width();
    }
    const bool same = &dst == &src;
    Bitmap copy;
    const Bitmap& from = same ? (copy = src) : src;
    i64 previous = -1; // source row of the last output row written
    for (i64 j = y0; j < y1; ++j) {
        const i64 sy = sr.top + sourceIndex(j, d.height(), sr.height());
        if (sy < 0 || sy >= from.height())
            continue;
        const std::uint8_t* in = from.scanLine(int(sy));
        std::uint8_t* out = dst.scanLine(int(d.top + j)) + std::size_t(d.left + x0) * 3;
        if (sy == previous && allColumns) { // a magnified row: copy the one above
            MoveBytes(out, out - dst.stride(), count * 3);
            continue;
        }
        previous = sy;
        // Counted in size_t, so 32-bit builds keep 64-bit arithmetic out
        // of the loop.
        const int* column = columns.data();
        for (std::size_t i = 0; i < count; ++i, out += 3) {
            const int sx = column[i];
            if (sx < 0)
                continue;
            const std::uint8_t* p = in + std::size_t(sx) * 3;
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        }
    }
}

} // namespace gdi
