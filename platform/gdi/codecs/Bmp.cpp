#include "platform/gdi/codecs/Bmp.h"

#include "platform/gdi/Error.h"
#include "platform/system/Files.h"
#include "platform/system/PosixIo.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <emmintrin.h>
#endif

namespace gdi {

namespace {

using Bytes = std::span<const std::uint8_t>;

[[noreturn]] void Fail(const std::string& why)
{
    throw Error("bad BMP: " + why);
}

std::uint32_t U16(Bytes b, std::size_t at)
{
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8);
}
std::uint32_t U32(Bytes b, std::size_t at)
{
    return U16(b, at) | (U16(b, at + 2) << 16);
}

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

// One colour channel described by a bit mask, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    static Channel From(std::uint32_t mask)
    {
        Channel c;
        c.mask = mask;
        if (mask == 0)
            return c;
        c.shift = std::countr_zero(mask);
        const std::uint32_t bits = mask >> c.shift;
        if ((bits & (bits + 1)) != 0)
            Fail("colour masks must be contiguous");
        c.max = bits;
        return c;
    }
    std::uint8_t operator()(std::uint32_t v) const
    {
        if (max == 0)
            return 0;
        const std::uint64_t x = (v & mask) >> shift;
        return std::uint8_t((x * 255 + max / 2) / max);
    }
};

struct Header {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0, height = 0;
    bool topDown = false;
    std::uint32_t bpp = 0, compression = 0, colorsUsed = 0;
    std::uint32_t masks[3] = {0, 0, 0};
    std::size_t paletteAt = 0, paletteEntry = 4;
    std::size_t pixelsAt = 0;
};

Header ReadHeader(Bytes file, std::uint64_t fileSize)
{
    if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M')
        Fail("not a BMP file");
    Header h;
    h.headerSize = U32(file, 14);
    const std::uint32_t sizes[] = {12, 40, 52, 56, 108, 124};
    if (std::find(std::begin(sizes), std::end(sizes), h.headerSize) == std::end(sizes))
        Fail("unknown header size " + std::to_string(h.headerSize));
    if (file.size() < 14 + std::size_t(h.headerSize))
        Fail("truncated header");
    if (h.headerSize == 12) {
        h.width = U16(file, 18);
        h.height = U16(file, 20);
        h.bpp = U16(file, 24);
        h.paletteEntry = 3;
    } else {
        h.width = std::int32_t(U32(file, 18));
        h.height = std::int32_t(U32(file, 22));
        h.bpp = U16(file, 28);
        h.compression = U32(file, 30);
        h.colorsUsed = U32(file, 46);
    }
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height;
    }
    if (h.width <= 0 || h.height <= 0)
        Fail("empty or negative size");
    if (std::uint64_t(h.width) * std::uint64_t(h.height) > kMaxBmpPixels)
        Fail("picture too large");
    switch (h.bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: Fail("unsupported bit depth " + std::to_string(h.bpp));
    }
    std::size_t after = 14 + h.headerSize;
    const bool bitFields = h.compression == kBitFields || h.compression == kAlphaBitFields;
    if (h.compression == kRle8 && h.bpp != 8)
        Fail("RLE8 needs 8 bits per pixel");
    if (h.compression == kRle4 && h.bpp != 4)
        Fail("RLE4 needs 4 bits per pixel");
    if (bitFields && h.bpp != 16 && h.bpp != 32)
        Fail("bit fields need 16 or 32 bits per pixel");
    if (h.compression != kRgb && h.compression != kRle8 && h.compression != kRle4 && !bitFields)
        Fail("unsupported compression " + std::to_string(h.compression));
    if ((h.compression == kRle8 || h.compression == kRle4) && h.topDown)
        Fail("compressed pictures cannot be top-down");
    if (bitFields) {
        if (h.headerSize == 40) { // the masks follow the header
            const std::size_t n = h.compression == kAlphaBitFields ? 16 : 12;
            if (file.size() < after + n)
                Fail("truncated colour masks");
            for (int i = 0; i < 3; ++i)
                h.masks[i] = U32(file, after + 4 * i);
            after += n;
        } else {
            for (int i = 0; i < 3; ++i)
                h.masks[i] = U32(file, 14 + 40 + 4 * i);
        }
    } else if (h.bpp == 16) {
        h.masks[0] = 0x7C00;
        h.masks[1] = 0x03E0;
        h.masks[2] = 0x001F;
    } else if (h.bpp == 32) {
        h.masks[0] = 0x00FF0000;
        h.masks[1] = 0x0000FF00;
        h.masks[2] = 0x000000FF;
    }
    h.paletteAt = after;
    const std::uint32_t offBits = U32(file, 10);
    h.pixelsAt = offBits != 0 ? offBits : after;
    if (h.pixelsAt >= fileSize)
        Fail("pixel data offset outside the file");
    return h;
}

std::vector<Color> ReadPalette(Bytes file, const Header& h)
{
    std::vector<Color> palette;
    if (h.bpp > 8)
        return palette;
    const std::size_t full = std::size_t(1) << h.bpp;
    std::size_t count = h.colorsUsed == 0 ? full : std::min<std::size_t>(h.colorsUsed, full);
    // A palette that runs into the pixels or past the file is cut short.
    const std::size_t end = std::min<std::size_t>(file.size(), std::max(h.pixelsAt, h.paletteAt));
    const std::size_t room = end > h.paletteAt ? (end - h.paletteAt) / h.paletteEntry : 0;
    count = std::min(count, room);
    if (count == 0)
        Fail("missing palette");
    palette.resize(full, 0); // indices beyond the palette read black
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = h.paletteAt + i * h.paletteEntry;
        palette[i] = Rgb(file[at + 2], file[at + 1], file[at]);
    }
    return palette;
}

void Put(std::uint8_t* p, Color c)
{
    p[0] = std::uint8_t(BlueOf(c));
    p[1] = std::uint8_t(GreenOf(c));
    p[2] = std::uint8_t(RedOf(c));
}

void DecodeRows(Bytes file, const Header& h, const std::vector<Color>& palette, Bitmap& out)
{
    const std::uint64_t stride = ((std::uint64_t(h.width) * h.bpp + 31) / 32) * 4;
    const std::uint64_t need = stride * std::uint64_t(h.height);
    // The last row needs only its own bytes, not its padding.
    const std::uint64_t lastRow = (std::uint64_t(h.width) * h.bpp + 7) / 8;
    if (h.pixelsAt + need - stride + lastRow > file.size())
        Fail("truncated pixel data");
    const Channel r = Channel::From(h.masks[0]), g = Channel::From(h.masks[1]), b = Channel::From(h.masks[2]);
    const int w = int(h.width);
    for (int row = 0; row < int(h.height); ++row) {
        const std::uint8_t* in = file.data() + h.pixelsAt + std::size_t(row) * stride;
        std::uint8_t* o = out.scanLine(h.topDown ? row : int(h.height) - 1 - row);
        switch (h.bpp) {
        case 24:
            MoveBytes(o, in, std::size_t(w) * 3);
            break;
        case 32:
            if (h.masks[0] == 0x00FF0000 && h.masks[1] == 0x0000FF00 && h.masks[2] == 0x000000FF) {
                for (int x = 0; x < w; ++x, o += 3, in += 4) {
                    o[0] = in[0];
                    o[1] = in[1];
                    o[2] = in[2];
                }
            } else {
                for (int x = 0; x < w; ++x, o += 3, in += 4) {
                    const std::uint32_t v = std::uint32_t(in[0]) | (std::uint32_t(in[1]) << 8) |
                                            (std::uint32_t(in[2]) << 16) | (std::uint32_t(in[3]) << 24);
                    o[0] = b(v);
                    o[1] = g(v);
                    o[2] = r(v);
                }
            }
            break;
        case 16:
            for (int x = 0; x < w; ++x, o += 3, in += 2) {
                const std::uint32_t v = std::uint32_t(in[0]) | (std::uint32_t(in[1]) << 8);
                o[0] = b(v);
                o[1] = g(v);
                o[2] = r(v);
            }
            break;
        default: { // 1, 4, 8 bits: palette indices, most significant bits first
            const int perByte = 8 / int(h.bpp);
            const unsigned mask = (1u << h.bpp) - 1;
            for (int x = 0; x < w; ++x, o += 3) {
                const int shift = int(h.bpp) * (perByte - 1 - x % perByte);
                Put(o, palette[(in[x / perByte] >> shift) & mask]);
            }
        }
        }
    }
}

// Compressed pictures may skip pixels; those keep palette entry 0.
void DecodeRle(Bytes file, const Header& h, const std::vector<Color>& palette, Bitmap& out)
{
    const Color background = palette[0];
    for (int y = 0; y < out.height(); ++y)
        FillPixels(out.scanLine(y), std::size_t(out.width()), background);
    const bool four = h.compression == kRle4;
    std::size_t at = h.pixelsAt;
    std::int64_t x = 0, row = 0; // row 0 is the bottom
    auto put = [&](unsigned index) {
        if (x < h.width && row < h.height)
            Put(out.scanLine(int(h.height - 1 - row)) + std::size_t(x) * 3, palette[index]);
        ++x;
    };
    while (row < h.height) {
        if (at + 2 > file.size())
            Fail("truncated compressed data");
        const unsigned count = file[at], value = file[at + 1];
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(four ? (i % 2 == 0 ? value >> 4 : value & 15) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++row;
        } else if (value == 1) { // end of picture
            break;
        } else if (value == 2) { // delta
            if (at + 2 > file.size())
                Fail("truncated compressed data");
            x += file[at];
            row += file[at + 1];
            at += 2;
        } else { // absolute run, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (at + bytes > file.size())
                Fail("truncated compressed data");
            for (unsigned i = 0; i < value; ++i) {
                const unsigned byte = file[at + (four ? i / 2 : i)];
                put(four ? (i % 2 == 0 ? byte >> 4 : byte & 15) : byte);
            }
            at += bytes + (bytes & 1);
        }
    }
}

void Decode(Bytes file, Bitmap& out)
{
    const Header h = ReadHeader(file, file.size());
    const std::vector<Color> palette = ReadPalette(file, h);
    if (h.compression == kRgb || h.compression == kBitFields || h.compression == kAlphaBitFields) {
        const std::uint64_t stride = ((std::uint64_t(h.width) * h.bpp + 31) / 32) * 4;
        if (h.pixelsAt + stride * std::uint64_t(h.height - 1) + (std::uint64_t(h.width) * h.bpp + 7) / 8 >
            file.size())
            Fail("truncated pixel data");
    } else {
        // A small file cannot describe a huge picture through end-of-line
        // and delta codes alone: demand some data per 4096 pixels above 16M,
        // before allocating.
        const std::uint64_t pixels = std::uint64_t(h.width) * std::uint64_t(h.height);
        if (pixels > (std::uint64_t(1) << 24) && (file.size() - h.pixelsAt) < pixels / 4096)
            Fail("compressed data too short for the picture size");
    }
    out.setSize(int(h.width), int(h.height));
    if (h.compression == kRle8 || h.compression == kRle4)
        DecodeRle(file, h, palette, out);
    else
        DecodeRows(file, h, palette, out);
}

// File contents are read into one buffer that is kept for the next call.
std::vector<std::uint8_t>& ReadBuffer()
{
    static std::vector<std::uint8_t> buffer;
    return buffer;
}

void ReadFile(const std::string& path, std::vector<std::uint8_t>& into)
{
    const int fd = sys::OpenFile(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Error("cannot open " + path);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw Error("not a readable file: " + path);
    }
    const std::size_t size = std::size_t(st.st_size);
    if (size > Bitmap::kMaxBytes + (std::size_t(1) << 20)) {
        ::close(fd);
        throw Error("file too large: " + path);
    }
    if (into.capacity() < size)
        into.reserve(size);
    into.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, into.data() + done, size - done);
        if (n <= 0) {
            ::close(fd);
            throw Error("cannot read " + path);
        }
        done += std::size_t(n);
    }
    ::close(fd);
}

} // namespace

Bitmap LoadBmp(std::span<const std::uint8_t> bytes)
{
    Bitmap out;
    Decode(bytes, out);
    return out;
}

// Reads all of `iov` from `offset`, however the kernel splits the reads.
bool ReadFully(int fd, std::vector<iovec>& iov, std::int64_t offset)
{
    std::size_t first = 0;
    while (first < iov.size()) {
        const int count = int(std::min<std::size_t>(iov.size() - first, IOV_MAX));
        const ssize_t n = ::preadv(fd, iov.data() + first, count, offset);
        if (n <= 0)
            return false;
        offset += n;
        std::size_t left = std::size_t(n);
        while (first < iov.size() && left >= iov[first].iov_len)
            left -= iov[first++].iov_len;
        if (left > 0) {
            iov[first].iov_base = static_cast<std::uint8_t*>(iov[first].iov_base) + left;
            iov[first].iov_len -= left;
        }
    }
    return true;
}

#ifdef _WIN32
// Copies with stores that go past the cache: the rows are not read again
// soon, and their old contents need not be fetched before they are
// overwritten.
void StreamCopy(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes)
{
    const std::size_t head = std::min(bytes, (16 - reinterpret_cast<std::uintptr_t>(to) % 16) % 16);
    std::memcpy(to, from, head);
    std::size_t i = head;
    for (; i + 64 <= bytes; i += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i + 32));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i + 48));
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + i), a);
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 16), b);
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 32), c);
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 48), d);
    }
    std::memcpy(to + i, from + i, bytes - i);
}

// Every read is a system call of its own on Windows, each costing about as
// much as moving a few kilobytes, so a read per row leaves a picture's rows
// much slower to arrive than one read of them all. Rows without padding
// sit in the file as in the bitmap, only bottom-up: runs of rows about
// 256 KiB long are read into a buffer that stays in the cache, and each
// row goes from there to its place.
bool ReadRowRuns(int fd, std::int64_t at, bool topDown, Bitmap& out)
{
    const std::size_t rowBytes = out.stride();
    const int height = out.height();
    const int perRun = int(std::max<std::size_t>(1, (std::size_t(256) << 10) / rowBytes));
    std::vector<std::uint8_t> run(std::size_t(perRun) * rowBytes);
    for (int first = 0; first < height; first += perRun) { // rows of the file
        const int count = std::min(perRun, height - first);
        const std::size_t bytes = std::size_t(count) * rowBytes;
        if (::pread(fd, run.data(), bytes, at + std::int64_t(first) * std::int64_t(rowBytes)) != ssize_t(bytes))
            return false;
        for (int i = 0; i < count; ++i)
            StreamCopy(out.scanLine(topDown ? first + i : height - 1 - first - i), run.data() + std::size_t(i) * rowBytes,
                       rowBytes);
    }
    _mm_sfence();
    return true;
}
#endif

void LoadBmp(const std::string& path, Bitmap& out)
{
    // Plain 24-bit pictures are read straight into the bitmap's rows; every
    // other kind is read into a buffer and decoded from there.
    const int fd = sys::OpenFile(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Error("cannot open " + path);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw Error("not a readable file: " + path);
    const std::uint64_t size = std::uint64_t(st.st_size);
    std::uint8_t head[14 + 124 + 16];
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    if (got < 0)
        throw Error("cannot read " + path);
    const Bytes start(head, std::size_t(got));
    // The bit count and compression sit at these offsets only in headers of
    // 40 bytes and more; the 12-byte header has its palette there.
    if (start.size() >= 54 && head[0] == 'B' && head[1] == 'M' && U32(start, 14) >= 40 && U16(start, 28) == 24 &&
        U32(start, 30) == kRgb) {
        const Header h = ReadHeader(start, size);
        const std::size_t rowBytes = std::size_t(h.width) * 3;
        const std::uint64_t stride = (rowBytes + 3) / 4 * 4;
        if (h.pixelsAt + stride * std::uint64_t(h.height - 1) + rowBytes > size)
            Fail("truncated pixel data");
        out.setSize(int(h.width), int(h.height));
#ifdef _WIN32
        if (stride == rowBytes) {
            if (!ReadRowRuns(fd, std::int64_t(h.pixelsAt), h.topDown, out))
                throw Error("cannot read " + path);
            return;
        }
#endif
        static std::uint8_t pad[4];
        std::vector<iovec> iov;
        iov.reserve(std::size_t(h.height) * 2);
        for (int r = 0; r < int(h.height); ++r) {
            iov.push_back({out.scanLine(h.topDown ? r : int(h.height) - 1 - r), rowBytes});
            if (stride > rowBytes && r + 1 < int(h.height))
                iov.push_back({pad, std::size_t(stride - rowBytes)});
        }
        if (!ReadFully(fd, iov, std::int64_t(h.pixelsAt)))
            throw Error("cannot read " + path);
        return;
    }
    std::vector<std::uint8_t>& buffer = ReadBuffer();
    ReadFile(path, buffer);
    Decode(buffer, out);
}

Bitmap LoadBmp(const std::string& path)
{
    Bitmap out;
    LoadBmp(path, out);
    return out;
}

void SaveBmp24(const std::string& path, const Bitmap& bitmap)
{
    if (bitmap.isEmpty())
        throw Error("an empty picture cannot be saved as BMP: " + path);
    const std::uint64_t stride = (std::uint64_t(bitmap.width()) * 3 + 3) / 4 * 4;
    const std::uint64_t imageSize = stride * std::uint64_t(bitmap.height());
    const std::uint64_t fileSize = 54 + imageSize;
    if (fileSize > UINT32_MAX)
        throw Error("picture too large for a BMP file: " + path);
    std::uint8_t header[54] = {};
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = std::uint8_t(v >> (8 * i));
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, std::uint32_t(fileSize));
    put32(10, 54);
    put32(14, 40);
    put32(18, std::uint32_t(bitmap.width()));
    put32(22, std::uint32_t(bitmap.height()));
    header[26] = 1;
    header[28] = 24;
    put32(34, std::uint32_t(imageSize));
    const int fd = sys::OpenFile(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw Error("cannot create " + path);
    // Rows go out bottom-up straight from the bitmap, gathered per call.
    static const std::uint8_t kPad[4] = {0, 0, 0, 0};
    const std::size_t pad = std::size_t(stride) - bitmap.stride();
    std::vector<iovec> iov;
    iov.reserve(1024);
    iov.push_back({header, sizeof header});
    bool ok = true;
    auto flush = [&] {
        std::size_t total = 0;
        for (const iovec& v : iov)
            total += v.iov_len;
        std::size_t first = 0;
        while (ok && total > 0) {
            const ssize_t n = ::writev(fd, iov.data() + first, int(iov.size() - first));
            if (n <= 0) {
                ok = false;
                break;
            }
            total -= std::size_t(n);
            std::size_t left = std::size_t(n);
            while (left > 0 && left >= iov[first].iov_len)
                left -= iov[first++].iov_len;
            if (left > 0) {
                iov[first].iov_base = static_cast<std::uint8_t*>(iov[first].iov_base) + left;
                iov[first].iov_len -= left;
            }
        }
        iov.clear();
    };
    for (int y = bitmap.height() - 1; y >= 0 && ok; --y) {
        iov.push_back({const_cast<std::uint8_t*>(bitmap.scanLine(y)), bitmap.stride()});
        if (pad)
            iov.push_back({const_cast<std::uint8_t*>(kPad), pad});
        if (iov.size() >= 1000)
            flush();
    }
    flush();
    if (::close(fd) != 0)
        ok = false;
    if (!ok)
        throw Error("cannot write " + path);
}

} // namespace gdi
