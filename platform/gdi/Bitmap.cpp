#include "platform/gdi/Bitmap.h"

#include "platform/gdi/Error.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#if defined(_WIN32) && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>
#include "platform/gdi/ShortMoves.h"
#define ZENVAS_OWN_MOVES 1
#endif

namespace gdi {

namespace {

// Spare bytes after the last pixel let readers load a pixel as one 32-bit
// word without reading past the allocation.
constexpr std::size_t kTailBytes = 4;

#if ZENVAS_OWN_MOVES
// Processors with fast string moves (ERMS) copy and fill long runs with
// `rep movsb` / `rep stosb` in whole cache lines, which no loop of vector
// moves matches; the C library on Linux does the same from about 2 KiB on.
constexpr std::size_t kStringBytes = 2048;

bool FastStrings()
{
    static const bool fast = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & (1u << 9)) != 0;
    }();
    return fast;
}
#endif

} // namespace

std::unique_ptr<std::uint8_t[]> Bitmap::allocate(int width, int height)
{
    const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) * 3;
    if (bytes > kMaxBytes)
        throw Error("bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels is too large");
    try {
        return std::unique_ptr<std::uint8_t[]>(new std::uint8_t[bytes + kTailBytes]);
    } catch (const std::bad_alloc&) {
        throw Error("out of memory for a bitmap of " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels");
    }
}

Bitmap::Bitmap(int width, int height)
{
    setSize(width, height);
}

Bitmap::Bitmap(const Bitmap& other)
    : width_(other.width_), height_(other.height_), stride_(std::size_t(other.width_) * 3),
      pixels_(allocate(other.width_, other.height_)), data_(pixels_.get())
{
    if (other.isView()) {
        for (int y = 0; y < height_; ++y)
            std::memcpy(scanLine(y), other.scanLine(y), stride_);
        std::memset(data_ + stride_ * std::size_t(height_), 0, kTailBytes);
    } else if (other.pixels_) {
        std::memcpy(data_, other.data_, stride_ * std::size_t(height_) + kTailBytes);
    } else {
        std::memset(data_, 0, kTailBytes);
    }
}

Bitmap Bitmap::View(Bitmap& source, const IntRect& area)
{
    const IntRect inside = area.intersected(source.bounds());
    Bitmap view;
    if (inside.isEmpty() || !source.data_)
        return view;
    view.width_ = int(inside.width());
    view.height_ = int(inside.height());
    view.stride_ = source.stride_;
    view.data_ = source.scanLine(inside.top) + std::size_t(inside.left) * 3;
    return view;
}

Bitmap& Bitmap::operator=(const Bitmap& other)
{
    if (this != &other) {
        Bitmap copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Bitmap::Bitmap(Bitmap&& other) noexcept
    : width_(other.width_), height_(other.height_), stride_(other.stride_), pixels_(std::move(other.pixels_)),
      data_(other.data_)
{
    other.width_ = other.height_ = 0;
    other.stride_ = 0;
    other.pixels_ = nullptr;
    other.data_ = nullptr;
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept
{
    if (this != &other) {
        width_ = other.width_;
        height_ = other.height_;
        stride_ = other.stride_;
        pixels_ = std::move(other.pixels_);
        data_ = other.data_;
        other.width_ = other.height_ = 0;
        other.stride_ = 0;
        other.data_ = nullptr;
    }
    return *this;
}

Color Bitmap::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return kNoPixel;
    const std::uint8_t* p = scanLine(y) + std::size_t(x) * 3;
    return Rgb(p[2], p[1], p[0]);
}

void Bitmap::setPixel(int x, int y, Color c)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    c = ResolveColor(c);
    std::uint8_t* p = scanLine(y) + std::size_t(x) * 3;
    p[0] = std::uint8_t(BlueOf(c));
    p[1] = std::uint8_t(GreenOf(c));
    p[2] = std::uint8_t(RedOf(c));
}

void FillPixels(std::uint8_t* row, std::size_t count, Color c)
{
    if (count == 0)
        return;
    const std::uint8_t b = std::uint8_t(BlueOf(c)), g = std::uint8_t(GreenOf(c)), r = std::uint8_t(RedOf(c));
    if (b == g && g == r) {
        SetBytes(row, b, count * 3);
        return;
    }
    // Seed a few pixels, then double the filled part with block copies.
    const std::size_t total = count * 3;
    const std::size_t seed = std::min<std::size_t>(count, 16) * 3;
    for (std::size_t i = 0; i < seed; i += 3) {
        row[i] = b;
        row[i + 1] = g;
        row[i + 2] = r;
    }
    std::size_t done = seed;
    while (done < total) {
        const std::size_t n = std::min(done, total - done);
        MoveBytes(row + done, row, n);
        done += n;
    }
}

void SetBytes(void* to, std::uint8_t value, std::size_t bytes)
{
#if ZENVAS_OWN_MOVES
    if (bytes >= kStringBytes && FastStrings()) {
        asm volatile("rep stosb" : "+D"(to), "+c"(bytes) : "a"(value) : "memory");
        return;
    }
#endif
    std::memset(to, value, bytes);
}

void MoveBytes(void* to, const void* from, std::size_t bytes)
{
#if ZENVAS_OWN_MOVES
    auto* d = static_cast<std::uint8_t*>(to);
    const auto* s = static_cast<const std::uint8_t*>(from);
    if (bytes <= 64) {
        MoveShort(d, s, bytes);
        return;
    }
    using V = __m128i;
    // A string move goes up, byte by byte as far as the result is
    // concerned, so it suits every destination below the source; one
    // closer than a cache line below it runs slowly, so those too take the
    // vector loop.
    const bool upward = d + bytes <= s || d >= s + bytes || (d < s && s - d >= 64);
    if (upward && bytes >= kStringBytes && FastStrings()) {
        // It runs at full speed only to a destination on a cache line, so
        // the bytes up to the first line go first (less than a line: they
        // end below the source where the two overlap).
        const std::size_t head = std::size_t(-reinterpret_cast<std::uintptr_t>(d)) & 63;
        MoveShort(d, s, head);
        d += head;
        s += head;
        bytes -= head;
        asm volatile("rep movsb" : "+D"(d), "+S"(s), "+c"(bytes) : : "memory");
        return;
    }
    if (d <= s || d >= s + bytes) {
        // Forwards: each 64-byte block is read whole before it is written,
        // and a destination below the source never reaches source bytes
        // not yet read.
        std::size_t i = 0;
        for (; i + 64 <= bytes; i += 64) {
            const V a = _mm_loadu_si128(reinterpret_cast<const V*>(s + i));
            const V b = _mm_loadu_si128(reinterpret_cast<const V*>(s + i + 16));
            const V c = _mm_loadu_si128(reinterpret_cast<const V*>(s + i + 32));
            const V e = _mm_loadu_si128(reinterpret_cast<const V*>(s + i + 48));
            _mm_storeu_si128(reinterpret_cast<V*>(d + i), a);
            _mm_storeu_si128(reinterpret_cast<V*>(d + i + 16), b);
            _mm_storeu_si128(reinterpret_cast<V*>(d + i + 32), c);
            _mm_storeu_si128(reinterpret_cast<V*>(d + i + 48), e);
        }
        MoveShort(d + i, s + i, bytes - i);
    } else {
        // Backwards, for a destination overlapping above the source.
        std::size_t n = bytes;
        for (; n >= 64; n -= 64) {
            const V a = _mm_loadu_si128(reinterpret_cast<const V*>(s + n - 64));
            const V b = _mm_loadu_si128(reinterpret_cast<const V*>(s + n - 48));
            const V c = _mm_loadu_si128(reinterpret_cast<const V*>(s + n - 32));
            const V e = _mm_loadu_si128(reinterpret_cast<const V*>(s + n - 16));
            _mm_storeu_si128(reinterpret_cast<V*>(d + n - 64), a);
            _mm_storeu_si128(reinterpret_cast<V*>(d + n - 48), b);
            _mm_storeu_si128(reinterpret_cast<V*>(d + n - 32), c);
            _mm_storeu_si128(reinterpret_cast<V*>(d + n - 16), e);
        }
        MoveShort(d, s, n);
    }
#else
    std::memmove(to, from, bytes);
#endif
}

void Bitmap::fill(Color c)
{
    if (isEmpty())
        return;
    c = ResolveColor(c);
    FillPixels(scanLine(0), std::size_t(width_), c);
    for (int y = 1; y < height_; ++y)
        MoveBytes(scanLine(y), scanLine(0), std::size_t(width_) * 3);
}

void Bitmap::setSize(int width, int height)
{
    if (isView())
        throw Error("a view of another bitmap cannot be resized");
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_ && pixels_)
        return;
    auto fresh = allocate(width, height);
    const std::size_t newStride = std::size_t(width) * 3;
    std::memset(fresh.get() + newStride * std::size_t(height), 0, kTailBytes);
    const int keepW = std::min(width, width_);
    const int keepH = std::min(height, height_);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* dst = fresh.get() + std::size_t(y) * newStride;
        std::size_t kept = 0;
        if (y < keepH) {
            kept = std::size_t(keepW) * 3;
            std::memcpy(dst, scanLine(y), kept);
        }
        std::memset(dst + kept, 0xFF, newStride - kept);
    }
    pixels_ = std::move(fresh);
    data_ = pixels_.get();
    stride_ = newStride;
    width_ = width;
    height_ = height;
}

} // namespace gdi
