#include "platform/gdi/Error.h"
#include "platform/gdi/codecs/Bmp.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

namespace gdi {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Little-endian: two bytes, or four when `wide`.
void Put(Bytes& b, std::size_t at, std::uint32_t v, bool wide = true)
{
    for (int i = 0; i < (wide ? 4 : 2); ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

// A BMP file from its parts; `masks` go into the header (52 bytes and up)
// or after a 40-byte header when `masksAfter` is set.
struct BmpLayout {
    std::uint32_t headerSize = 40;
    std::int32_t width = 0, height = 0;
    std::uint16_t bpp = 24;
    std::uint32_t compression = 0;
    std::vector<Color> palette;
    std::vector<std::uint32_t> masks;
    bool masksAfter = false;
    std::uint32_t colorsUsed = 0;
    Bytes pixels;
};

Bytes Make(const BmpLayout& s)
{
    Bytes b(14 + s.headerSize, 0);
    b[0] = 'B';
    b[1] = 'M';
    const bool core = s.headerSize == 12; // 16-bit sizes, no compression
    Put(b, 14, s.headerSize);
    Put(b, 18, std::uint32_t(s.width), !core);
    Put(b, core ? 20 : 22, std::uint32_t(s.height), !core);
    Put(b, core ? 22 : 26, 1, false);
    Put(b, core ? 24 : 28, s.bpp, false);
    if (!core) {
        Put(b, 30, s.compression);
        Put(b, 46, s.colorsUsed);
    }
    if (s.masksAfter)
        b.resize(b.size() + 4 * s.masks.size());
    for (std::size_t i = 0; i < s.masks.size(); ++i)
        Put(b, 54 + 4 * i, s.masks[i]);
    for (Color c : s.palette) {
        const std::uint8_t entry[] = {std::uint8_t(BlueOf(c)), std::uint8_t(GreenOf(c)), std::uint8_t(RedOf(c)), 0};
        b.insert(b.end(), entry, entry + (core ? 3 : 4));
    }
    Put(b, 10, std::uint32_t(b.size()));
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    Put(b, 2, std::uint32_t(b.size()));
    return b;
}

constexpr Color kRed = Rgb(255, 0, 0), kGreen = Rgb(0, 255, 0), kBlue = Rgb(0, 0, 255);
constexpr Color kWhite = Rgb(255, 255, 255), kBlack = 0;

std::vector<Color> Row(const Bitmap& b, int y)
{
    std::vector<Color> row;
    for (int x = 0; x < b.width(); ++x)
        row.push_back(b.pixel(x, y));
    return row;
}

// Loads through memory and through a file, which must agree: both fail,
// or both give the same picture.
Bitmap LoadBoth(const Bytes& bytes)
{
    static const std::string path = test::TempPath("both.bmp");
    test::WriteAll(path, bytes);
    std::optional<Bitmap> fromFile;
    try {
        fromFile = LoadBmp(path);
    } catch (const Error&) {
    }
    try {
        Bitmap b = LoadBmp(bytes);
        EXPECT_TRUE(fromFile) << "the file fails where the same bytes in memory load";
        if (fromFile) {
            EXPECT_EQ(test::Diff(*fromFile, b), "");
        }
        return b;
    } catch (const Error&) {
        EXPECT_FALSE(fromFile) << "the file loads where the same bytes in memory fail";
        throw;
    }
}

} // namespace

TEST(Bmp, FilesRoundTripAreCheckedLikeBytesAndFailuresThrow)
{
    const Bitmap b = test::Picture(5, 3, [](int x, int y) { return Rgb(x * 50, y * 100, 7); });
    const std::string path = test::TempPath("round.bmp");
    SaveBmp24(path, b);
    Bytes file = test::ReadAll(path);
    ASSERT_EQ(file.size(), 54u + 16u * 3u); // rows of 15 bytes padded to 16
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(file[14], 40);
    EXPECT_EQ(file[54 + 2], 0);   // first stored row is the bottom one: red of (0, 2)
    EXPECT_EQ(file[54 + 1], 200); // green of (0, 2)
    Bitmap back = LoadBmp(path);
    EXPECT_EQ(test::Diff(back, b), "");
    auto load = [&](const Bytes& bytes) {
        test::WriteAll(path, bytes);
        back.fill(0);
        LoadBmp(path, back); // into an existing bitmap: same object, new size and pixels
        return Row(back, back.height() - 1);
    };
    // Top-down 24 bits with row padding, read straight into the rows; the
    // last row's padding may be missing, its pixels may not.
    file = Make({.width = 2, .height = -2, .bpp = 24, .pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}});
    EXPECT_EQ(load(file), (std::vector<Color>{Rgb(9, 8, 7), Rgb(12, 11, 10)}));
    EXPECT_EQ(back.pixel(0, 0), Rgb(3, 2, 1));
    EXPECT_EQ(load(Bytes(file.begin(), file.end() - 2)), (std::vector<Color>{Rgb(9, 8, 7), Rgb(12, 11, 10)}));
    EXPECT_THROW(load(Bytes(file.begin(), file.end() - 3)), Error);
    // Other kinds go through the general decoder.
    EXPECT_EQ(load(Make({.width = 1, .height = 1, .bpp = 8, .palette = {kGreen}, .pixels = {0, 0, 0, 0}})),
              std::vector<Color>{kGreen});
    std::remove(path.c_str());
    EXPECT_THROW(SaveBmp24("/nonexistent-dir/x.bmp", Bitmap(2, 2)), Error);
    EXPECT_THROW(SaveBmp24(test::TempPath("empty.bmp"), Bitmap()), Error);
    EXPECT_THROW(LoadBmp(std::string("/nonexistent-dir/x.bmp")), Error);
}

// 24-bit files are read straight into the rows and written straight from
// them, in runs of many rows per call: every row must land in its place
// whichever way up the file is, with and without row padding, in pictures
// of one run, several, and several with a part run at the end.
TEST(Bmp, LargeFilesArriveRowForRowEitherWayUp)
{
    struct Shape {
        int width, height;
    };
    const Shape shapes[] = {{1, 1}, {4, 30000}, {5, 1000}, {4096, 50}, {3001, 90}};
    const std::string path = test::TempPath("large.bmp");
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(std::to_string(shape.width) + " x " + std::to_string(shape.height));
        Bitmap b(shape.width, shape.height);
        std::uint32_t seed = std::uint32_t(shape.width * 7919 + shape.height);
        for (int y = 0; y < b.height(); ++y)
            for (std::size_t i = 0; i < b.stride(); ++i) {
                seed = seed * 1103515245u + 12345u;
                b.scanLine(y)[i] = std::uint8_t(seed >> 24);
            }
        SaveBmp24(path, b);
        const Bytes file = test::ReadAll(path);
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
            Bytes bytes = file;
            if (topDown) { // the same rows in the other order, the height negative
                const std::size_t stride = (std::size_t(shape.width) * 3 + 3) / 4 * 4;
                for (int y = 0; y < shape.height; ++y)
                    std::copy_n(file.begin() + 54 + std::ptrdiff_t(stride) * (shape.height - 1 - y), stride,
                                bytes.begin() + 54 + std::ptrdiff_t(stride) * y);
                Put(bytes, 22, std::uint32_t(-shape.height));
            }
            test::WriteAll(path, bytes);
            Bitmap back;
            LoadBmp(path, back);
            EXPECT_EQ(test::Diff(back, b), "");
        }
    }
    std::remove(path.c_str());
}

TEST(Bmp, EveryDepthHeaderKindAndCompressionDecodes)
{
    std::vector<Color> sixteen(16, kBlack);
    sixteen[15] = kGreen;
    sixteen[2] = kRed;
    const struct {
        const char* name;
        BmpLayout layout;
        std::vector<std::vector<Color>> rows; // from the top
    } cases[] = {
        {"1 bit, 10 wide: two bytes of bits and two of padding per row",
         {.width = 10, .height = 2, .bpp = 1, .palette = {kRed, kBlue},
          .pixels = {0b10100000, 0b01000000, 0, 0, 0b11111111, 0b11000000, 0, 0}},
         {std::vector<Color>(10, kBlue), {kBlue, kRed, kBlue, kRed, kRed, kRed, kRed, kRed, kRed, kBlue}}},
        {"8 bits, 12-byte header whose first palette red sits where a 40-byte header has its bit count",
         {.headerSize = 12, .width = 2, .height = 2, .bpp = 8, .palette = {Rgb(24, 0, 0), kBlack, kBlack, kBlack,
          kBlack, kBlack, kBlack, kGreen}, .pixels = {0, 7, 0, 0, 7, 0, 0, 0}},
         {{kGreen, Rgb(24, 0, 0)}, {Rgb(24, 0, 0), kGreen}}},
        {"4 bits, 12-byte header with 3-byte palette entries",
         {.headerSize = 12, .width = 3, .height = 1, .bpp = 4, .palette = sixteen, .pixels = {0x0F, 0x20, 0, 0}},
         {{kBlack, kGreen, kRed}}},
        {"8 bits, top-down, a short palette: indices past it read black",
         {.width = 2, .height = -2, .bpp = 8, .palette = {kRed, kGreen, kBlue}, .colorsUsed = 3,
          .pixels = {0, 1, 0, 0, 2, 200, 0, 0}},
         {{kRed, kGreen}, {kBlue, kBlack}}},
        {"16 bits without masks is 5-5-5",
         {.width = 2, .height = 1, .bpp = 16, .pixels = {0x00, 0x7C, 0x1F, 0x00}},
         {{kRed, kBlue}}},
        {"5-6-5 masks after a 40-byte header; 0x0400 is green 32/63",
         {.width = 2, .height = 1, .bpp = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F},
          .masksAfter = true, .pixels = {0xE0, 0x07, 0x00, 0x04}},
         {{kGreen, Rgb(0, 130, 0)}}},
        {"32 bits plain: blue, green, red, unused",
         {.width = 1, .height = 1, .bpp = 32, .pixels = {1, 2, 3, 99}}, {{Rgb(3, 2, 1)}}},
        {"32 bits, unusual masks in a V5 header",
         {.headerSize = 124, .width = 1, .height = 1, .bpp = 32, .compression = 3,
          .masks = {0x0000FF00, 0x00FF0000, 0xFF000000}, .pixels = {0, 10, 20, 30}},
         {{Rgb(10, 20, 30)}}},
        {"24 bits, 52-byte header", {.headerSize = 52, .width = 1, .height = 2, .pixels = {1, 2, 3, 0, 4, 5, 6, 0}},
         {{Rgb(6, 5, 4)}, {Rgb(3, 2, 1)}}},
        {"24 bits, 56-byte header", {.headerSize = 56, .width = 1, .height = 1, .pixels = {1, 2, 3, 0}},
         {{Rgb(3, 2, 1)}}},
        {"24 bits, V4 header", {.headerSize = 108, .width = 1, .height = 1, .pixels = {1, 2, 3, 0}},
         {{Rgb(3, 2, 1)}}},
        {"RLE8: a run, an absolute run, end of line, a delta, end of picture",
         {.width = 6, .height = 3, .bpp = 8, .compression = 1, .palette = {kWhite, kRed, kGreen, kBlue},
          .pixels = {3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 2, 1, 2, 3, 0, 1}},
         {{kWhite, kWhite, kBlue, kBlue, kWhite, kWhite}, std::vector<Color>(6, kWhite),
          {kRed, kRed, kRed, kGreen, kBlue, kGreen}}},
        {"RLE4 runs alternate their two nibbles",
         {.width = 8, .height = 1, .bpp = 4, .compression = 2, .palette = {kBlack, kRed, kGreen, kBlue},
          .pixels = {5, 0x12, 0, 3, 0x31, 0x20, 0, 1}},
         {{kRed, kGreen, kRed, kGreen, kRed, kBlue, kRed, kGreen}}},
    };
    for (const auto& t : cases) {
        const Bitmap b = LoadBoth(Make(t.layout));
        ASSERT_EQ(b.height(), int(t.rows.size())) << t.name;
        for (int y = 0; y < b.height(); ++y)
            EXPECT_EQ(Row(b, y), t.rows[std::size_t(y)]) << t.name << ", row " << y;
    }
}

TEST(Bmp, HostileHeadersFailWithoutAllocating)
{
    const BmpLayout good{.width = 2, .height = 2, .bpp = 24, .pixels = Bytes(16, 0)};
    const std::function<void(BmpLayout&)> edits[] = {
        [](BmpLayout& s) { s.width = 1 << 30, s.height = 1 << 30; },
        [](BmpLayout& s) { s.width = 65536, s.height = 65536; },
        [](BmpLayout& s) { s.width = -2; },
        [](BmpLayout& s) { s.height = INT32_MIN; },
        [](BmpLayout& s) { s.bpp = 7; },
        [](BmpLayout& s) { s.compression = 4; },
        [](BmpLayout& s) { s.headerSize = 64; },
        [](BmpLayout& s) { s.compression = 1; }, // RLE8 at 24 bits
        [](BmpLayout& s) { s.bpp = 8, s.compression = 1, s.height = -2, s.palette = {kRed}; }, // compressed top-down
        [](BmpLayout& s) { s.bpp = 16, s.compression = 3, s.masks = {0x0F0F, 0, 0}, s.masksAfter = true; }, // split mask
        // A huge RLE picture that a few bytes cannot describe.
        [](BmpLayout& s) { s.width = s.height = 16000, s.bpp = 8, s.compression = 1, s.palette = {kRed}, s.pixels = {0, 1}; },
    };
    for (const auto& edit : edits) {
        BmpLayout s = good;
        edit(s);
        EXPECT_THROW(LoadBoth(Make(s)), Error) << &edit - edits;
    }
    Bytes offset = Make(good);
    Put(offset, 10, 1u << 31);
    EXPECT_THROW(LoadBoth(offset), Error);
    EXPECT_THROW(LoadBoth(Bytes{'B', 'M'}), Error);
    EXPECT_THROW(LoadBoth(Bytes{}), Error);
}

// Random damage is the fuzzer's (fuzz/BmpFuzz.cpp): it holds both paths to
// the same answer on every input. The rule here: a file cut in its headers,
// palette or masks, or one byte into its last row's pixels, fails.
TEST(Bmp, FilesCutBeforeTheLastRowsPaddingFail)
{
    const std::vector<Bytes> files = {
        Make({.width = 3, .height = 3, .bpp = 24, .pixels = Bytes(36, 7)}),
        Make({.width = 9, .height = 2, .bpp = 4, .palette = std::vector<Color>(16, kRed), .pixels = Bytes(16, 0x12)}),
        Make({.width = 6, .height = 3, .bpp = 8, .compression = 1, .palette = {kWhite, kRed, kGreen, kBlue},
              .pixels = {3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 2, 1, 2, 3, 0, 1}}),
        Make({.headerSize = 124, .width = 2, .height = -2, .bpp = 32, .compression = 3,
              .masks = {0xFF, 0xFF00, 0xFF0000}, .pixels = Bytes(16, 9)}),
    };
    for (const Bytes& file : files) {
        EXPECT_NO_THROW(LoadBoth(file));
        for (std::size_t n : {std::size_t(1), std::size_t(13), std::size_t(30), std::size_t(60), file.size() - 4})
            EXPECT_THROW(LoadBoth(Bytes(file.begin(), file.begin() + std::ptrdiff_t(n))), Error) << n;
    }
}

} // namespace gdi
