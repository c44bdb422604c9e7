#pragma once

// Cursor files built byte by byte in memory, so a test can break exactly the
// field it means to.

#include <zlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cursortest {

using ByteVector = std::vector<std::uint8_t>;
using PixelFn = std::function<std::uint32_t(int x, int y)>;

// Little-endian unless `big`.
inline void Put(ByteVector& out, std::uint32_t v, int bytes = 4, bool big = false)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(std::uint8_t(v >> (8 * (big ? bytes - 1 - i : i))));
}

inline void Append(ByteVector& out, const ByteVector& more) { out.insert(out.end(), more.begin(), more.end()); }
inline void Append(ByteVector& out, const std::string& tag) { out.insert(out.end(), tag.begin(), tag.end()); }

// A bitmap as cursor files hold it: 40-byte header (height doubled), palette,
// colour rows and mask rows, both from the bottom and padded to 4 bytes.
// `colour` gives a palette index up to 8 bits, 0xAARRGGBB above; `masked`
// nonzero sets the see-through bit. Without a palette given, a full black one
// is written and its size left 0.
inline ByteVector Dib(int width, int height, int bits, const PixelFn& colour,
                      const PixelFn& masked = [](int, int) { return 0u; },
                      const std::vector<std::uint32_t>& palette = {}, bool withMask = true)
{
    ByteVector out;
    for (std::uint32_t v : {40u, std::uint32_t(width), std::uint32_t(height * 2), 1u | (std::uint32_t(bits) << 16), 0u,
                            0u, 0u, 0u, std::uint32_t(palette.size()), 0u})
        Put(out, v);
    for (std::size_t i = 0; i < (palette.empty() && bits <= 8 ? std::size_t(1) << bits : palette.size()); ++i)
        Put(out, palette.empty() ? 0 : palette[i]);
    auto rows = [&](int depth, const PixelFn& value) {
        for (int y = height - 1; y >= 0; --y) {
            ByteVector row((std::size_t(width) * std::size_t(depth) + 31) / 32 * 4, 0);
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = value(x, y);
                const std::size_t bit = std::size_t(x) * std::size_t(depth);
                for (int i = 0; i < depth / 8; ++i)
                    row[bit / 8 + std::size_t(i)] = std::uint8_t(v >> (8 * i));
                if (depth < 8)
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

// An 8-bit RGBA PNG; `rgba` gives 0xAARRGGBB.
inline ByteVector Png(int width, int height, const PixelFn& rgba)
{
    ByteVector out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&out](const std::string& type, const ByteVector& data) {
        Put(out, std::uint32_t(data.size()), 4, true);
        const std::size_t start = out.size();
        Append(out, type);
        Append(out, data);
        Put(out, std::uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))), 4, true);
    };
    ByteVector header;
    Put(header, std::uint32_t(width), 4, true);
    Put(header, std::uint32_t(height), 4, true);
    Append(header, ByteVector{8, 6, 0, 0, 0});
    chunk("IHDR", header);
    ByteVector raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x)
            Put(raw, (rgba(x, y) << 8) | (rgba(x, y) >> 24), 4, true);
    }
    ByteVector packed(compressBound(uLong(raw.size())));
    uLongf size = uLongf(packed.size());
    compress(packed.data(), &size, raw.data(), uLong(raw.size()));
    packed.resize(size);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return out;
}

// One directory entry: size as written (0 stands for 256) and the two
// fields that are the hot spot in a cursor (planes and bit count in an icon).
struct Entry {
    int width, height, hotspotX, hotspotY;
    ByteVector image;
};

// type 2: cursor, 1: icon. Images follow the directory in entry order.
inline ByteVector IconFile(const std::vector<Entry>& entries, int type = 2)
{
    ByteVector out;
    Put(out, std::uint32_t(type) << 16);
    Put(out, std::uint32_t(entries.size()), 2);
    std::size_t offset = 6 + 16 * entries.size();
    for (const Entry& e : entries) {
        Put(out, std::uint32_t(e.width & 255) | std::uint32_t(e.height & 255) << 8);
        for (std::uint32_t v : {std::uint32_t(e.hotspotX) | std::uint32_t(e.hotspotY) << 16,
                                std::uint32_t(e.image.size()), std::uint32_t(offset)})
            Put(out, v);
        offset += e.image.size();
    }
    for (const Entry& e : entries)
        Append(out, e.image);
    return out;
}

inline ByteVector Words(const std::vector<std::uint32_t>& values)
{
    ByteVector out;
    for (std::uint32_t v : values)
        Put(out, v);
    return out;
}

inline ByteVector Chunk(const std::string& tag, const ByteVector& data, bool pad = true)
{
    ByteVector out(tag.begin(), tag.end());
    Put(out, std::uint32_t(data.size()));
    Append(out, data);
    if (pad && data.size() % 2 != 0)
        out.push_back(0);
    return out;
}

// A RIFF chunk holding `type` then `chunks`: "RIFF" for a whole file, "LIST" inside.
inline ByteVector Riff(const std::string& type, const std::vector<ByteVector>& chunks, const std::string& tag = "LIST")
{
    ByteVector data(type.begin(), type.end());
    for (const ByteVector& c : chunks)
        Append(data, c);
    return Chunk(tag, data);
}

inline ByteVector Animation(const std::vector<ByteVector>& chunks, const std::string& form = "ACON")
{
    return Riff(form, chunks, "RIFF");
}

// The animation header; width, height, bit count and planes stay 0, as they
// are unused when the frames are icon data (flag 1).
inline ByteVector Anih(std::uint32_t frames, std::uint32_t steps, std::uint32_t jiffies, std::uint32_t flags = 1,
                       std::uint32_t headerSize = 36)
{
    return Chunk("anih", Words({headerSize, frames, steps, 0, 0, 0, 0, jiffies, flags}));
}

} // namespace cursortest
