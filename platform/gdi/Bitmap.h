#pragma once

#include "platform/gdi/Color.h"
#include "platform/gdi/Rect.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace gdi {

// A 24-bit picture. Rows are stored from the top, each a run of width * 3
// bytes in the order blue, green, red, with no padding between rows.
// A view (Bitmap::View) is a window onto part of another bitmap's pixels:
// its rows are the other bitmap's rows, stride() apart, and it cannot be
// resized. Copying a view makes an ordinary bitmap.
class Bitmap {
public:
    // The largest pixel store a bitmap may have (2 GiB). Larger sizes, and
    // sizes whose byte count overflows, throw gdi::Error.
    static constexpr std::uint64_t kMaxBytes = std::uint64_t(1) << 31;

    Bitmap() = default;
    // A white bitmap; negative sizes count as 0.
    Bitmap(int width, int height);
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;
    ~Bitmap() = default;

    // A view of `area` of `source` (cut to its bounds). The view stays valid
    // while `source` keeps its size.
    static Bitmap View(Bitmap& source, const IntRect& area);
    bool isView() const { return data_ && !pixels_; }

    int width() const { return width_; }
    int height() const { return height_; }
    bool isEmpty() const { return width_ == 0 || height_ == 0; }
    IntRect bounds() const { return {0, 0, width_, height_}; }
    // Bytes from one row to the next (width * 3 except in a view).
    std::size_t stride() const { return stride_; }

    std::uint8_t* scanLine(int y) { return data_ + std::size_t(y) * stride_; }
    const std::uint8_t* scanLine(int y) const { return data_ + std::size_t(y) * stride_; }

    // kNoPixel outside the bitmap.
    Color pixel(int x, int y) const;
    // Ignored outside the bitmap; system colours are resolved.
    void setPixel(int x, int y, Color c);
    void fill(Color c);

    // Resizing keeps this object and the overlapping top-left pixels; new
    // pixels are white. On failure, and for a view (which throws
    // gdi::Error), the bitmap is unchanged.
    void setSize(int width, int height);
    void setWidth(int width) { setSize(width, height_); }
    void setHeight(int height) { setSize(width_, height); }

private:
    static std::unique_ptr<std::uint8_t[]> allocate(int width, int height);

    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;
    std::unique_ptr<std::uint8_t[]> pixels_;
    std::uint8_t* data_ = nullptr; // pixels_, or the viewed bitmap's pixels
};

// Fills `count` pixels starting at `row` with one colour (already resolved).
void FillPixels(std::uint8_t* row, std::size_t count, Color c);

// memmove, for rows of pixels. On Windows memmove is the system C
// runtime's (wine's moves a word at a time, and a call costs as much as a
// short move), so there every move is our own: string moves for long ones
// where the processor makes them fast, 16-byte vector moves otherwise.
void MoveBytes(void* to, const void* from, std::size_t bytes);

// memset, for rows of pixels; on Windows long runs are our own string
// stores, as with MoveBytes.
void SetBytes(void* to, std::uint8_t value, std::size_t bytes);

} // namespace gdi
