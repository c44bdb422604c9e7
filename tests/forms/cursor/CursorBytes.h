#pragma once

// Builders for cursor files in memory: bitmaps, PNG images, icon
// directories and RIFF animations, each written byte by byte so a test can
// break exactly the field it means to.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cursortest {

using ByteVector = std::vector<std::uint8_t>;

inline void Put16(ByteVector& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

inline void Put32(ByteVector& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

inline void PutTag(ByteVector& out, const std::string& tag)
{
    out.insert(out.end(), tag.begin(), tag.end());
}

inline void Append(ByteVector& out, const ByteVector& more)
{
    out.insert(out.end(), more.begin(), more.end());
}

inline void Set32(ByteVector& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

// A bitmap as cursor files store it: a 40-byte header whose height counts
// the colour rows and the mask rows, the palette, colour rows and mask rows,
// both from the bottom and padded to 4 bytes. `colour(x, y)` gives a palette
// index for 1 to 8 bits and 0xAARRGGBB otherwise; `masked(x, y)` sets the
// mask bit (see-through).
struct Dib {
    int width = 2;
    int height = 2;
    int bits = 1;
    std::vector<std::uint32_t> palette{0x000000, 0xFFFFFF}; // 0x00RRGGBB
    std::uint32_t coloursUsed = 0;
    std::function<std::uint32_t(int, int)> colour = [](int x, int y) { return std::uint32_t((x + y) % 2); };
    std::function<bool(int, int)> masked = [](int, int) { return false; };
    bool withMask = true;

    ByteVector bytes() const
    {
        ByteVector out;
        Put32(out, 40);
        Put32(out, std::uint32_t(width));
        Put32(out, std::uint32_t(height * 2));
        Put16(out, 1);
        Put16(out, std::uint32_t(bits));
        Put32(out, 0);
        Put32(out, 0);
        Put32(out, 0);
        Put32(out, 0);
        Put32(out, coloursUsed);
        Put32(out, 0);
        for (std::uint32_t c : palette)
            Put32(out, c);
        const std::size_t colourStride = (std::size_t(width) * std::size_t(bits) + 31) / 32 * 4;
        for (int y = height - 1; y >= 0; --y) {
            ByteVector row(colourStride, 0);
            for (int x = 0; x < width; ++x) {
                const std::uint32_t c = colour(x, y);
                if (bits >= 24) {
                    for (int i = 0; i < bits / 8; ++i)
                        row[std::size_t(x * (bits / 8) + i)] = std::uint8_t(c >> (8 * i));
                } else {
                    const std::size_t bit = std::size_t(x) * std::size_t(bits);
                    row[bit / 8] |= std::uint8_t(c << (8 - bits - int(bit % 8)));
                }
            }
            Append(out, row);
        }
        if (withMask) {
            const std::size_t maskStride = (std::size_t(width) + 31) / 32 * 4;
            for (int y = height - 1; y >= 0; --y) {
                ByteVector row(maskStride, 0);
                for (int x = 0; x < width; ++x)
                    if (masked(x, y))
                        row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
                Append(out, row);
            }
        }
        return out;
    }
};

// --- PNG, with stored (uncompressed) deflate blocks --------------------------

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

inline void PutBig32(ByteVector& out, std::uint32_t v)
{
    for (int i = 3; i >= 0; --i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

inline void PutPngChunk(ByteVector& out, const std::string& type, const ByteVector& data)
{
    PutBig32(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    PutTag(out, type);
    Append(out, data);
    PutBig32(out, Crc32(out.data() + start, out.size() - start));
}

// An 8-bit RGBA PNG; `rgba(x, y)` gives 0xAARRGGBB.
inline ByteVector Png(int width, int height, const std::function<std::uint32_t(int, int)>& rgba)
{
    ByteVector out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ByteVector header;
    PutBig32(header, std::uint32_t(width));
    PutBig32(header, std::uint32_t(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});
    PutPngChunk(out, "IHDR", header);

    ByteVector raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgba(x, y);
            raw.insert(raw.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c),
                                   std::uint8_t(c >> 24)});
        }
    }
    ByteVector zlib{0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
        zlib.push_back(at + n == raw.size() ? 1 : 0);
        Put16(zlib, std::uint32_t(n));
        Put16(zlib, std::uint32_t(~n & 0xFFFF));
        zlib.insert(zlib.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(zlib, (b << 16) | a);
    PutPngChunk(out, "IDAT", zlib);
    PutPngChunk(out, "IEND", {});
    return out;
}

// --- Icon directories ---------------------------------------------------------

struct Entry {
    int width = 2;  // as written in the directory: 0 stands for 256
    int height = 2;
    int hotspotX = 0; // or planes, in an icon
    int hotspotY = 0; // or bit count, in an icon
    ByteVector image;
};

// type 2: cursor, 1: icon. Images follow the directory in entry order.
inline ByteVector IconFile(const std::vector<Entry>& entries, int type = 2)
{
    ByteVector out;
    Put16(out, 0);
    Put16(out, std::uint32_t(type));
    Put16(out, std::uint32_t(entries.size()));
    std::size_t offset = 6 + 16 * entries.size();
    for (const Entry& e : entries) {
        out.push_back(std::uint8_t(e.width));
        out.push_back(std::uint8_t(e.height));
        out.push_back(0);
        out.push_back(0);
        Put16(out, std::uint32_t(e.hotspotX));
        Put16(out, std::uint32_t(e.hotspotY));
        Put32(out, std::uint32_t(e.image.size()));
        Put32(out, std::uint32_t(offset));
        offset += e.image.size();
    }
    for (const Entry& e : entries)
        Append(out, e.image);
    return out;
}

// --- RIFF ---------------------------------------------------------------------

inline ByteVector Chunk(const std::string& tag, const ByteVector& data, bool pad = true)
{
    ByteVector out;
    PutTag(out, tag);
    Put32(out, std::uint32_t(data.size()));
    Append(out, data);
    if (pad && data.size() % 2 != 0)
        out.push_back(0);
    return out;
}

inline ByteVector List(const std::string& type, const std::vector<ByteVector>& chunks)
{
    ByteVector data;
    PutTag(data, type);
    for (const ByteVector& c : chunks)
        Append(data, c);
    return Chunk("LIST", data);
}

inline ByteVector Riff(const std::vector<ByteVector>& chunks, const std::string& form = "ACON")
{
    ByteVector body;
    PutTag(body, form);
    for (const ByteVector& c : chunks)
        Append(body, c);
    ByteVector out;
    PutTag(out, "RIFF");
    Put32(out, std::uint32_t(body.size()));
    Append(out, body);
    return out;
}

inline ByteVector Anih(std::uint32_t frames, std::uint32_t steps, std::uint32_t jiffies,
                       std::uint32_t flags = 1, std::uint32_t headerSize = 36)
{
    ByteVector data;
    Put32(data, headerSize);
    Put32(data, frames);
    Put32(data, steps);
    for (int i = 0; i < 4; ++i) // width, height, bit count, planes: unused with icon frames
        Put32(data, 0);
    Put32(data, jiffies);
    Put32(data, flags);
    return Chunk("anih", data);
}

inline ByteVector Words(const std::vector<std::uint32_t>& values)
{
    ByteVector out;
    for (std::uint32_t v : values)
        Put32(out, v);
    return out;
}

} // namespace cursortest
