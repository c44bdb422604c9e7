#include "platform/gdi/Error.h"
#include "platform/gdi/codecs/Jpeg.h"
#include "platform/gdi/codecs/Png.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace gdi {

using test::ReadAll;
using test::TempPath;
using test::WriteAll;

namespace {

Bitmap Gradient(int w, int h)
{
    return test::Picture(w, h, [=](int x, int y) { return Rgb(x * 255 / (w - 1), y * 255 / (h - 1), 128); });
}

struct JpegOptions {
    bool progressive = false;
    bool arithmetic = false;
    bool gray = false;
};

// Encodes with libjpeg directly, for the kinds of file our encoder never
// writes (libjpeg's errors end the test).
std::vector<std::uint8_t> EncodeWith(const Bitmap& b, JpegOptions o)
{
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(b.width());
    info.image_height = JDIMENSION(b.height());
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    if (o.gray)
        jpeg_set_colorspace(&info, JCS_GRAYSCALE);
    if (o.progressive)
        jpeg_simple_progression(&info);
    info.arith_code = o.arithmetic ? TRUE : FALSE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(b.scanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
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

TEST(Jpeg, CorruptTruncatedOrUnbackedDataThrowsBeforeAnythingIsSized)
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

    // A frame header claiming 32785 x 16395 pixels with the file ending
    // right after the scan header.
    std::vector<std::uint8_t> file = EncodeJpeg(Gradient(8, 8), 90);
    const std::uint8_t sof[] = {0xFF, 0xC0}, sos[] = {0xFF, 0xDA};
    const auto frame = std::search(file.begin(), file.end(), sof, sof + 2);
    const auto scan = std::search(file.begin(), file.end(), sos, sos + 2);
    ASSERT_LT(scan + 4, file.end());
    frame[5] = 16395 >> 8, frame[6] = 16395 & 0xFF, frame[7] = 32785 >> 8, frame[8] = 32785 & 0xFF;
    file.erase(scan + 2 + (scan[2] << 8 | scan[3]), file.end());
    WriteAll(path, file);
    EXPECT_EQ(ReadJpegSize(path).width, 32785);
    Bitmap out(3, 3);
    EXPECT_THROW(LoadJpeg(path, out), Error);
    EXPECT_EQ(out.width(), 3);
    EXPECT_THROW(LoadJpeg(file), Error);
    std::remove(path.c_str());
    // Over the pixel cap, whatever the file's size.
    frame[5] = frame[6] = frame[7] = frame[8] = 0xFF;
    file.resize(std::size_t(1) << 20, 0);
    EXPECT_THROW(LoadJpeg(file), Error);
    // Arithmetic-coded data has no floor: its own cap applies.
    std::vector<std::uint8_t> arithmetic = EncodeWith(Gradient(8, 8), {.arithmetic = true});
    const std::uint8_t sof9[] = {0xFF, 0xC9};
    const auto arithmeticFrame = std::search(arithmetic.begin(), arithmetic.end(), sof9, sof9 + 2);
    ASSERT_LT(arithmeticFrame + 9, arithmetic.end());
    arithmeticFrame[5] = 0x20, arithmeticFrame[7] = 0x20; // 8200 x 8200, just over the cap
    EXPECT_THROW(LoadJpeg(arithmetic), Error);
}

TEST(Jpeg, EveryCodingLoadsFromFilesAndMemory)
{
    Bitmap flat(2000, 1500);
    flat.fill(Rgb(10, 200, 30));
    const std::string path = TempPath("kinds.jpg");
    for (const JpegOptions o : {JpegOptions{}, JpegOptions{.progressive = true}, JpegOptions{.arithmetic = true},
                                JpegOptions{.progressive = true, .arithmetic = true}, JpegOptions{.gray = true}}) {
        const std::string kind = std::string(o.progressive ? "progressive" : "sequential") +
                                 (o.arithmetic ? " arithmetic" : " Huffman") + (o.gray ? " grey" : "");
        const Bitmap small = LoadJpeg(EncodeWith(Gradient(40, 30), o));
        EXPECT_EQ(small.width(), 40) << kind;
        EXPECT_NEAR(GreenOf(small.pixel(39, 29)), o.gray ? 240 : 255, 6) << kind;
        // A flat picture codes in far fewer bytes with arithmetic coding
        // than the Huffman floor of a bit per block: it still loads.
        const std::vector<std::uint8_t> bytes = EncodeWith(flat, o);
        WriteAll(path, bytes);
        Bitmap big(3, 3);
        LoadJpeg(path, big);
        EXPECT_EQ(big.width(), 2000) << kind;
        EXPECT_EQ(big.height(), 1500) << kind;
        EXPECT_NEAR(GreenOf(big.pixel(1999, 1499)), o.gray ? 124 : 200, 3) << kind;
        // Cut short, it fails and leaves the bitmap it was read into alone.
        WriteAll(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end() - std::ptrdiff_t(bytes.size() / 3)));
        Bitmap kept(3, 3);
        EXPECT_THROW(LoadJpeg(path, kept), Error) << kind;
        EXPECT_EQ(kept.width(), 3) << kind;
    }
    std::remove(path.c_str());
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
