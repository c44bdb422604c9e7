#include "platform/gdi/Error.h"
#include "platform/gdi/codecs/Bmp.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>

namespace gdi {

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
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
    Put32(b, 14, s.headerSize);
    if (s.headerSize == 12) {
        Put16(b, 18, std::uint32_t(s.width));
        Put16(b, 20, std::uint32_t(s.height));
        Put16(b, 22, 1);
        Put16(b, 24, s.bpp);
    } else {
        Put32(b, 18, std::uint32_t(s.width));
        Put32(b, 22, std::uint32_t(s.height));
        Put16(b, 26, 1);
        Put16(b, 28, s.bpp);
        Put32(b, 30, s.compression);
        Put32(b, 46, s.colorsUsed);
        if (!s.masksAfter)
            for (std::size_t i = 0; i < s.masks.size(); ++i)
                Put32(b, 54 + 4 * i, s.masks[i]);
    }
    if (s.masksAfter)
        for (std::uint32_t m : s.masks)
            for (int i = 0; i < 4; ++i)
                b.push_back(std::uint8_t(m >> (8 * i)));
    for (Color c : s.palette) {
        b.push_back(std::uint8_t(BlueOf(c)));
        b.push_back(std::uint8_t(GreenOf(c)));
        b.push_back(std::uint8_t(RedOf(c)));
        if (s.headerSize != 12)
            b.push_back(0);
    }
    Put32(b, 10, std::uint32_t(b.size()));
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    Put32(b, 2, std::uint32_t(b.size()));
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

} // namespace

TEST(Bmp, Save24RoundTripsWithPaddedBottomUpRows)
{
    Bitmap b(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            b.setPixel(x, y, Rgb(x * 50, y * 100, 7));
    const std::string path = test::TempPath("round.bmp");
    SaveBmp24(path, b);
    const Bytes file = test::ReadAll(path);
    ASSERT_EQ(file.size(), 54u + 16u * 3u); // rows of 15 bytes padded to 16
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(file[14], 40);
    EXPECT_EQ(file[54 + 2], 0);   // first stored row is the bottom one: red of (0, 2)
    EXPECT_EQ(file[54 + 1], 200); // green of (0, 2)
    const Bitmap back = LoadBmp(path);
    ASSERT_EQ(back.width(), 5);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(Row(back, y), Row(b, y));
    std::remove(path.c_str());
}

TEST(Bmp, FilesReadFromDiskAreCheckedLikeBytes)
{
    const std::string path = test::TempPath("disk.bmp");
    auto load = [&](const Bytes& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return LoadBmp(path);
    };
    // Top-down 24 bits with row padding, read straight into the rows.
    const Bytes topDown = Make({.width = 2, .height = -2, .bpp = 24,
                                .pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}});
    Bitmap b = load(topDown);
    EXPECT_EQ(Row(b, 0), (std::vector<Color>{Rgb(3, 2, 1), Rgb(6, 5, 4)}));
    EXPECT_EQ(Row(b, 1), (std::vector<Color>{Rgb(9, 8, 7), Rgb(12, 11, 10)}));
    // The last row's padding may be missing; its pixels may not.
    EXPECT_NO_THROW(load(Bytes(topDown.begin(), topDown.end() - 2)));
    EXPECT_THROW(load(Bytes(topDown.begin(), topDown.end() - 3)), Error);
    // Into an existing bitmap of the same size: same object, new pixels.
    Bitmap reused(2, 2);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(topDown.data()), std::streamsize(topDown.size()));
    LoadBmp(path, reused);
    EXPECT_EQ(reused.pixel(1, 1), Rgb(12, 11, 10));
    // Other kinds go through the general decoder.
    b = load(Make({.width = 1, .height = 1, .bpp = 8, .palette = {kGreen}, .pixels = {0, 0, 0, 0}}));
    EXPECT_EQ(b.pixel(0, 0), kGreen);
    std::remove(path.c_str());
}

TEST(Bmp, SaveFailuresThrow)
{
    EXPECT_THROW(SaveBmp24("/nonexistent-dir/x.bmp", Bitmap(2, 2)), Error);
    EXPECT_THROW(SaveBmp24(test::TempPath("empty.bmp"), Bitmap()), Error);
    EXPECT_THROW(LoadBmp(std::string("/nonexistent-dir/x.bmp")), Error);
}

TEST(Bmp, PaletteDepthsAndHeaderKinds)
{
    // 1 bit, 10 wide: two bytes of bits plus two of padding per row.
    const Bitmap one = LoadBmp(Make({.width = 10, .height = 2, .bpp = 1, .palette = {kRed, kBlue},
                                     .pixels = {0b10100000, 0b01000000, 0, 0, 0b11111111, 0b11000000, 0, 0}}));
    EXPECT_EQ(Row(one, 1), (std::vector<Color>{kBlue, kRed, kBlue, kRed, kRed, kRed, kRed, kRed, kRed, kBlue}));
    EXPECT_EQ(Row(one, 0), std::vector<Color>(10, kBlue));

    // 4 bits with the 12-byte header and its 3-byte palette entries.
    std::vector<Color> sixteen(16, kBlack);
    sixteen[15] = kGreen;
    sixteen[2] = kRed;
    const Bitmap four2 = LoadBmp(Make({.headerSize = 12, .width = 3, .height = 1, .bpp = 4, .palette = sixteen,
                                       .pixels = {0x0F, 0x20, 0, 0}}));
    EXPECT_EQ(Row(four2, 0), (std::vector<Color>{kBlack, kGreen, kRed}));

    // 8 bits, top-down, a short palette; indices past it read black.
    const Bitmap eight = LoadBmp(Make({.width = 2, .height = -2, .bpp = 8, .palette = {kRed, kGreen, kBlue},
                                       .colorsUsed = 3, .pixels = {0, 1, 0, 0, 2, 200, 0, 0}}));
    EXPECT_EQ(Row(eight, 0), (std::vector<Color>{kRed, kGreen}));
    EXPECT_EQ(Row(eight, 1), (std::vector<Color>{kBlue, kBlack}));
}

TEST(Bmp, DirectColourDepthsAndMasks)
{
    // 16 bits without masks is 5-5-5: 0x7C00 red, 0x001F blue.
    const Bitmap rgb555 = LoadBmp(Make({.width = 2, .height = 1, .bpp = 16, .pixels = {0x00, 0x7C, 0x1F, 0x00}}));
    EXPECT_EQ(Row(rgb555, 0), (std::vector<Color>{kRed, kBlue}));
    // 5-6-5 through masks after a 40-byte header; 0x0400 is green 32/63.
    const Bitmap rgb565 = LoadBmp(Make({.width = 2, .height = 1, .bpp = 16, .compression = 3,
                                        .masks = {0xF800, 0x07E0, 0x001F}, .masksAfter = true,
                                        .pixels = {0xE0, 0x07, 0x00, 0x04}}));
    EXPECT_EQ(Row(rgb565, 0), (std::vector<Color>{kGreen, Rgb(0, 130, 0)}));
    // 32 bits plain: blue, green, red, unused.
    const Bitmap plain32 = LoadBmp(Make({.width = 1, .height = 1, .bpp = 32, .pixels = {1, 2, 3, 99}}));
    EXPECT_EQ(plain32.pixel(0, 0), Rgb(3, 2, 1));
    // 32 bits with unusual masks in a V5 header.
    const Bitmap v5 = LoadBmp(Make({.headerSize = 124, .width = 1, .height = 1, .bpp = 32, .compression = 3,
                                    .masks = {0x0000FF00, 0x00FF0000, 0xFF000000}, .pixels = {0, 10, 20, 30}}));
    EXPECT_EQ(v5.pixel(0, 0), Rgb(10, 20, 30));
    // 24 bits under V4, 52 and 56-byte headers.
    for (std::uint32_t size : {52u, 56u, 108u}) {
        const Bitmap b = LoadBmp(Make({.headerSize = size, .width = 1, .height = 2, .bpp = 24,
                                       .pixels = {1, 2, 3, 0, 4, 5, 6, 0}}));
        EXPECT_EQ(b.pixel(0, 1), Rgb(3, 2, 1)) << size;
        EXPECT_EQ(b.pixel(0, 0), Rgb(6, 5, 4)) << size;
    }
}

TEST(Bmp, Rle8RunsAbsoluteRunsLineEndsAndDeltas)
{
    std::vector<Color> palette(256, kBlack);
    palette[0] = kWhite;
    palette[1] = kRed;
    palette[2] = kGreen;
    palette[3] = kBlue;
    const Bitmap b = LoadBmp(Make({.width = 6, .height = 3, .bpp = 8, .compression = 1, .palette = palette,
                                   .pixels = {
                                       3, 1,          // bottom row: three red
                                       0, 3, 2, 3, 2, 0, // absolute: green blue green, padded
                                       0, 0,          // end of line
                                       0, 2, 2, 1,    // delta: two right, one up
                                       2, 3,          // two blue at x 2..3 of the top row
                                       0, 1,          // end of picture
                                   }}));
    EXPECT_EQ(Row(b, 2), (std::vector<Color>{kRed, kRed, kRed, kGreen, kBlue, kGreen}));
    EXPECT_EQ(Row(b, 1), std::vector<Color>(6, kWhite));
    EXPECT_EQ(Row(b, 0), (std::vector<Color>{kWhite, kWhite, kBlue, kBlue, kWhite, kWhite}));
}

TEST(Bmp, Rle4AlternatesNibbles)
{
    std::vector<Color> palette(16, kBlack);
    palette[1] = kRed;
    palette[2] = kGreen;
    palette[3] = kBlue;
    const Bitmap b = LoadBmp(Make({.width = 8, .height = 1, .bpp = 4, .compression = 2, .palette = palette,
                                   .pixels = {5, 0x12, 0, 3, 0x31, 0x20, 0, 1}}));
    EXPECT_EQ(Row(b, 0), (std::vector<Color>{kRed, kGreen, kRed, kGreen, kRed, kBlue, kRed, kGreen}));
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
        EXPECT_THROW(LoadBmp(Make(s)), Error) << &edit - edits;
    }
    Bytes offset = Make(good);
    Put32(offset, 10, 1u << 31);
    EXPECT_THROW(LoadBmp(offset), Error);
    EXPECT_THROW(LoadBmp(Bytes{'B', 'M'}), Error);
    EXPECT_THROW(LoadBmp(Bytes{}), Error);
}

TEST(Bmp, EveryTruncationAndRandomDamageFailsCleanly)
{
    std::vector<Color> palette(256, kBlack);
    const std::vector<Bytes> files = {
        Make({.width = 3, .height = 3, .bpp = 24, .pixels = Bytes(36, 7)}),
        Make({.width = 9, .height = 2, .bpp = 4, .palette = std::vector<Color>(16, kRed), .pixels = Bytes(16, 0x12)}),
        Make({.width = 6, .height = 3, .bpp = 8, .compression = 1, .palette = palette,
              .pixels = {3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 2, 1, 2, 3, 0, 1}}),
        Make({.headerSize = 124, .width = 2, .height = -2, .bpp = 32, .compression = 3,
              .masks = {0xFF, 0xFF00, 0xFF0000}, .pixels = Bytes(16, 9)}),
    };
    for (const Bytes& file : files) {
        const Bitmap full = LoadBmp(file);
        for (std::size_t n = 0; n < file.size(); ++n) {
            const Bytes cut(file.begin(), file.begin() + std::ptrdiff_t(n));
            try {
                const Bitmap b = LoadBmp(cut);
                // Only the padding after the last row may be missing.
                EXPECT_EQ(b.width(), full.width());
                EXPECT_GE(n, file.size() - 3);
            } catch (const Error&) {
            }
        }
    }
    std::mt19937 rng(11);
    for (int round = 0; round < 3000; ++round) {
        Bytes file = files[std::size_t(round) % files.size()];
        for (int k = 0; k < 3; ++k)
            file[rng() % file.size()] = std::uint8_t(rng());
        try {
            const Bitmap b = LoadBmp(file);
            EXPECT_LE(std::uint64_t(b.width()) * std::uint64_t(b.height()), kMaxBmpPixels);
        } catch (const Error&) {
        }
    }
}

} // namespace gdi
