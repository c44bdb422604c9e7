#include "platform/gdi/Error.h"
#include "platform/gdi/codecs/Jpeg.h"
#include "platform/gdi/codecs/Png.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace gdi {

using test::ReadAll;
using test::TempPath;

namespace {

Bitmap Gradient(int w, int h)
{
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.setPixel(x, y, Rgb(x * 255 / (w - 1), y * 255 / (h - 1), 128));
    return b;
}

} // namespace

TEST(Jpeg, RoundTripKeepsSizeAndColoursWithinTolerance)
{
    const Bitmap b = Gradient(67, 45);
    const std::string path = TempPath("round.jpg");
    SaveJpeg(path, b, 95);
    EXPECT_EQ(ReadJpegSize(path).width, 67);
    EXPECT_EQ(ReadJpegSize(path).height, 45);
    const Bitmap back = LoadJpeg(path);
    ASSERT_EQ(back.width(), 67);
    ASSERT_EQ(back.height(), 45);
    int worst = 0;
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 67; ++x)
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(int((b.pixel(x, y) >> shift) & 255) - int((back.pixel(x, y) >> shift) & 255)));
    EXPECT_LE(worst, 6);
    // Baseline: a start-of-frame 0 marker, and lower quality is smaller.
    const auto file = ReadAll(path);
    const std::uint8_t sof0[] = {0xFF, 0xC0};
    EXPECT_NE(std::search(file.begin(), file.end(), sof0, sof0 + 2), file.end());
    EXPECT_LT(EncodeJpeg(b, 20).size(), file.size());
    std::remove(path.c_str());
}

TEST(Jpeg, CorruptOrTruncatedDataThrows)
{
    const std::vector<std::uint8_t> good = EncodeJpeg(Gradient(40, 40), 90);
    EXPECT_NO_THROW(LoadJpeg(good));
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(good.size() / 2));
    EXPECT_THROW(LoadJpeg(cut), Error);
    // A Huffman table whose code counts add up to more than 256 codes.
    std::vector<std::uint8_t> damaged = good;
    const std::uint8_t dhtMarker[] = {0xFF, 0xC4};
    const auto dht = std::search(damaged.begin(), damaged.end(), dhtMarker, dhtMarker + 2);
    ASSERT_LT(dht + 21, damaged.end());
    std::fill(dht + 5, dht + 21, 0xFF);
    EXPECT_THROW(LoadJpeg(damaged), Error);
    EXPECT_THROW(LoadJpeg(std::vector<std::uint8_t>{'n', 'o', 'p', 'e'}), Error);
    EXPECT_THROW(LoadJpeg(std::vector<std::uint8_t>{}), Error);
    const std::string path = TempPath("bad.jpg");
    std::ofstream(path, std::ios::binary) << "not a picture at all";
    EXPECT_THROW(ReadJpegSize(path), Error);
    EXPECT_THROW(LoadJpeg(path), Error);
    std::remove(path.c_str());
    EXPECT_THROW(ReadJpegSize("/nonexistent-dir/x.jpg"), Error);
    EXPECT_THROW(SaveJpeg("/nonexistent-dir/x.jpg", Gradient(4, 4), 95), Error);
    EXPECT_THROW(EncodeJpeg(Bitmap(), 95), Error);
}

TEST(Png, WritesSignatureAndSize)
{
    const std::string path = TempPath("snap.png");
    SavePng(path, Gradient(300, 2));
    const auto file = ReadAll(path);
    ASSERT_GT(file.size(), 33u);
    EXPECT_EQ(file[1], 'P');
    EXPECT_EQ(file[12], 'I'); // IHDR: width and height, big-endian
    EXPECT_EQ(file[18], 0x01);
    EXPECT_EQ(file[19], 0x2C);
    EXPECT_EQ(file[23], 2);
    std::remove(path.c_str());
    EXPECT_THROW(SavePng("/nonexistent-dir/x.png", Gradient(2, 2)), Error);
}

} // namespace gdi
