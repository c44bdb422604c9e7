#pragma once

// Cursor files built byte by byte in memory, so a test can break exactly the
// field it means to.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cursortest {

using ByteVector = std::vector<std::uint8_t>;
using PixelFn = std::function<std::uint32_t(int x, int y)>;

inline void Put(ByteVector& out, std::uint32_t v, int bytes = 4)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

inline void PutBig32(ByteVector& out, std::uint32_t v)
{
    for (int i = 3; i >= 0; --i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

inline void Append(ByteVector& out, const ByteVector& more) { out.insert(out.end(), more.begin(), more.end()); }
inline void Append(ByteVector& out, const std::string& tag) { out.insert(out.end(), tag.begin(), tag.end()); }

inline void Set32(ByteVector& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

// A bitmap as cursor files hold it: 40-byte header (height doubled), palette,
// colour rows and mask rows, both from the bottom and padded to 4 bytes.
// `colour` gives a palette index up to 8 bits, 0xAARRGGBB above; `masked`
// nonzero sets the see-through bit.
inline ByteVector Dib(int width, int height, int bits, const PixelFn& colour,
                      const PixelFn& masked = [](int, int) { return 0u; },
                      const std::vector<std::uint32_t>& palette = {}, bool withMask = true)
{
    ByteVector out;
    for (std::uint32_t v : {40u, std::uint32_t(width), std::uint32_t(height * 2)})
        Put(out, v);
    Put(out, 1, 2);
    Put(out, std::uint32_t(bits), 2);
    for (std::uint32_t v : {0u, 0u, 0u, 0u, std::uint32_t(palette.size()), 0u})
        Put(out, v);
    // Without a palette given, a full black one is written and its size left 0.
    for (std::size_t i = 0; i < (palette.empty() && bits <= 8 ? std::size_t(1) << bits : palette.size()); ++i)
        Put(out, palette.empty() ? 0 : palette[i]);
    auto rows = [&](int depth, const PixelFn& value) {
        const std::size_t stride = (std::size_t(width) * std::size_t(depth) + 31) / 32 * 4;
        for (int y = height - 1; y >= 0; --y) {
            ByteVector row(stride, 0);
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = value(x, y);
                const std::size_t bit = std::size_t(x) * std::size_t(depth);
                if (depth >= 24)
                    for (int i = 0; i < depth / 8; ++i)
                        row[bit / 8 + std::size_t(i)] = std::uint8_t(v >> (8 * i));
                else
                    row[bit / 8] |= std::uint8_t((v & ((1u << depth) - 1)) << (8 - depth - int(bit % 8)));
            }
            Append(out, row);
        }
    };
    rows(bits, colour);
    if (withMask)
        rows(1, masked);
    return out;
}

inline ByteVector Solid(int width, int height, int bits = 1)
{
    return Dib(width, height, bits, [](int, int) { return 0u; });
}

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// An 8-bit RGBA PNG (`rgba` gives 0xAARRGGBB) in stored deflate blocks.
inline ByteVector Png(int width, int height, const PixelFn& rgba)
{
    ByteVector out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&out](const std::string& type, const ByteVector& data) {
        PutBig32(out, std::uint32_t(data.size()));
        const std::size_t start = out.size();
        Append(out, type);
        Append(out, data);
        PutBig32(out, Crc32(out.data() + start, out.size() - start));
    };
    ByteVector header;
    PutBig32(header, std::uint32_t(width));
    PutBig32(header, std::uint32_t(height));
    Append(header, ByteVector{8, 6, 0, 0, 0});
    chunk("IHDR", header);

    ByteVector raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgba(x, y);
            Append(raw, ByteVector{std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), std::uint8_t(c >> 24)});
        }
    }
    ByteVector zlib{0x78, 0x01};
    for (std::size_t at = 0; at < raw.size();) {
        const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
        zlib.push_back(at + n == raw.size() ? 1 : 0);
        Put(zlib, std::uint32_t(n), 2);
        Put(zlib, std::uint32_t(~n & 0xFFFF), 2);
        zlib.insert(zlib.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + n));
        at += n;
    }
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(zlib, (b << 16) | a);
    chunk("IDAT", zlib);
    chunk("IEND", {});
    return out;
}

// One directory entry: size as written (0 stands for 256) and the two
// fields that are the hot spot in a cursor (planes and bit count in an icon).
struct Entry {
    int width;
    int height;
    int hotspotX;
    int hotspotY;
    ByteVector image;
};

// type 2: cursor, 1: icon. Images follow the directory in entry order.
inline ByteVector IconFile(const std::vector<Entry>& entries, int type = 2)
{
    ByteVector out;
    Put(out, 0, 2);
    Put(out, std::uint32_t(type), 2);
    Put(out, std::uint32_t(entries.size()), 2);
    std::size_t offset = 6 + 16 * entries.size();
    for (const Entry& e : entries) {
        Append(out, ByteVector{std::uint8_t(e.width), std::uint8_t(e.height), 0, 0});
        Put(out, std::uint32_t(e.hotspotX), 2);
        Put(out, std::uint32_t(e.hotspotY), 2);
        Put(out, std::uint32_t(e.image.size()));
        Put(out, std::uint32_t(offset));
        offset += e.image.size();
    }
    for (const Entry& e : entries)
        Append(out, e.image);
    return out;
}

inline ByteVector Chunk(const std::string& tag, const ByteVector& data, bool pad = true)
{
    ByteVector out;
    Append(out, tag);
    Put(out, std::uint32_t(data.size()));
    Append(out, data);
    if (pad && data.size() % 2 != 0)
        out.push_back(0);
    return out;
}

// A RIFF chunk holding `type` then `chunks`: "RIFF" for a whole file, "LIST" inside.
inline ByteVector Riff(const std::string& type, const std::vector<ByteVector>& chunks,
                       const std::string& tag = "LIST")
{
    ByteVector data;
    Append(data, type);
    for (const ByteVector& c : chunks)
        Append(data, c);
    return Chunk(tag, data);
}

inline ByteVector Animation(const std::vector<ByteVector>& chunks, const std::string& form = "ACON")
{
    return Riff(form, chunks, "RIFF");
}

inline ByteVector Words(const std::vector<std::uint32_t>& values)
{
    ByteVector out;
    for (std::uint32_t v : values)
        Put(out, v);
    return out;
}

// The animation header; width, height, bit count and planes stay 0, as they
// are unused when the frames are icon data (flag 1).
inline ByteVector Anih(std::uint32_t frames, std::uint32_t steps, std::uint32_t jiffies,
                       std::uint32_t flags = 1, std::uint32_t headerSize = 36)
{
    return Chunk("anih", Words({headerSize, frames, steps, 0, 0, 0, 0, jiffies, flags}));
}

} // namespace cursortest
