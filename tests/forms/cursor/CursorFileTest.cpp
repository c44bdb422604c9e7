#include "platform/forms/CursorFile.h"

#include "tests/forms/cursor/CursorBytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace forms {
namespace {

using namespace cursortest;

std::shared_ptr<const CursorShape> Load(const ByteVector& bytes)
{
    return LoadCursorFromBytes(bytes);
}

// A 32 x 32 one-bit cursor whose pixels are all palette colour 1 (white)
// except a black first column; the top row is see-through.
ByteVector Cursor32(int hotspotX = 3, int hotspotY = 4, std::uint32_t white = 0xFFFFFF)
{
    Dib dib;
    dib.width = dib.height = 32;
    dib.palette = {0x000000, white};
    dib.colour = [](int x, int) { return x == 0 ? 0u : 1u; };
    dib.masked = [](int, int y) { return y == 0; };
    return IconFile({{32, 32, hotspotX, hotspotY, dib.bytes()}});
}

// Checks what every loaded shape promises, whatever the file was.
void ExpectConsistent(const CursorShape& shape)
{
    ASSERT_GE(shape.frameCount(), 1);
    ASSERT_FALSE(shape.steps().empty());
    EXPECT_GE(shape.width(), 1);
    EXPECT_LE(shape.width(), 256);
    EXPECT_GE(shape.height(), 1);
    EXPECT_LE(shape.height(), 256);
    EXPECT_GE(shape.hotspotX(), 0);
    EXPECT_LT(shape.hotspotX(), shape.width());
    EXPECT_GE(shape.hotspotY(), 0);
    EXPECT_LT(shape.hotspotY(), shape.height());
    for (const CursorFrame& f : shape.frames()) {
        EXPECT_EQ(f.image.width(), shape.width());
        EXPECT_EQ(f.image.height(), shape.height());
        EXPECT_EQ(f.opacity.size(), std::size_t(shape.width()) * std::size_t(shape.height()));
    }
    for (const CursorStep& s : shape.steps()) {
        EXPECT_GE(s.frame, 0);
        EXPECT_LT(s.frame, shape.frameCount());
    }
}

// --- Static cursors: pixels ---------------------------------------------------

TEST(StaticCursor, OneBitImageGivesPaletteColoursMaskAndHotspot)
{
    auto shape = Load(Cursor32(3, 4));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "32x32 hotspot 3,4 frames 1");
    ASSERT_EQ(shape->steps().size(), 1u);
    EXPECT_EQ(shape->steps()[0].frame, 0);
    EXPECT_EQ(shape->steps()[0].jiffies, 0u);
    const CursorFrame& f = shape->frame(0);
    EXPECT_EQ(f.image.pixel(0, 5), gdi::Rgb(0, 0, 0));
    EXPECT_EQ(f.image.pixel(1, 5), gdi::Rgb(255, 255, 255));
    EXPECT_EQ(f.image.pixel(31, 31), gdi::Rgb(255, 255, 255));
    // Rows are stored from the bottom: the mask's see-through row is the top.
    EXPECT_EQ(f.opacityAt(5, 0), 0);
    EXPECT_EQ(f.opacityAt(5, 1), 255);
    EXPECT_EQ(f.opacityAt(31, 31), 255);
}

TEST(StaticCursor, FourBitRowsWithOddWidthKeepTheirPadding)
{
    Dib dib;
    dib.width = 3;
    dib.height = 2;
    dib.bits = 4;
    dib.palette = {0x000000, 0x102030, 0x405060, 0x708090};
    dib.coloursUsed = 4;
    dib.colour = [](int x, int y) { return std::uint32_t(x + y) % 4; };
    dib.masked = [](int x, int y) { return x == 2 && y == 1; };
    auto shape = Load(IconFile({{3, 2, 0, 0, dib.bytes()}}));
    ASSERT_NE(shape, nullptr);
    const CursorFrame& f = shape->frame(0);
    EXPECT_EQ(f.image.pixel(0, 0), gdi::Rgb(0, 0, 0));
    EXPECT_EQ(f.image.pixel(1, 0), gdi::Rgb(0x10, 0x20, 0x30));
    EXPECT_EQ(f.image.pixel(2, 0), gdi::Rgb(0x40, 0x50, 0x60));
    EXPECT_EQ(f.image.pixel(2, 1), gdi::Rgb(0x70, 0x80, 0x90));
    EXPECT_EQ(f.opacityAt(2, 1), 0);
    EXPECT_EQ(f.opacityAt(1, 1), 255);
}

TEST(StaticCursor, EightBitIndexPastAShortPaletteIsBlack)
{
    Dib dib;
    dib.width = 2;
    dib.height = 1;
    dib.bits = 8;
    dib.palette = {0x00FF0000, 0x0000FF00};
    dib.coloursUsed = 2;
    dib.colour = [](int x, int) { return x == 0 ? 1u : 200u; };
    auto shape = Load(IconFile({{2, 1, 0, 0, dib.bytes()}}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->frame(0).image.pixel(0, 0), gdi::Rgb(0, 255, 0));
    EXPECT_EQ(shape->frame(0).image.pixel(1, 0), gdi::Rgb(0, 0, 0));
}

TEST(StaticCursor, TwentyFourBitRowsArePaddedToFourBytes)
{
    Dib dib;
    dib.width = 3;
    dib.height = 2;
    dib.bits = 24;
    dib.palette = {};
    dib.colour = [](int x, int y) { return std::uint32_t(0x010203 * (x + 1) + 0x100000 * y); };
    auto shape = Load(IconFile({{3, 2, 0, 0, dib.bytes()}}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->frame(0).image.pixel(2, 0), gdi::Rgb(0x03, 0x06, 0x09));
    EXPECT_EQ(shape->frame(0).image.pixel(0, 1), gdi::Rgb(0x11, 0x02, 0x03));
}

TEST(StaticCursor, ThirtyTwoBitAlphaWinsOverTheMask)
{
    Dib dib;
    dib.width = dib.height = 2;
    dib.bits = 32;
    dib.palette = {};
    dib.colour = [](int x, int y) { return (std::uint32_t(x * 100 + y * 50) << 24) | 0x336699; };
    dib.masked = [](int, int) { return true; };
    auto shape = Load(IconFile({{2, 2, 1, 1, dib.bytes()}}));
    ASSERT_NE(shape, nullptr);
    const CursorFrame& f = shape->frame(0);
    EXPECT_EQ(f.image.pixel(1, 1), gdi::Rgb(0x33, 0x66, 0x99));
    EXPECT_EQ(f.opacityAt(0, 0), 0);
    EXPECT_EQ(f.opacityAt(1, 0), 100);
    EXPECT_EQ(f.opacityAt(1, 1), 150);
}

TEST(StaticCursor, ThirtyTwoBitWithoutAlphaFallsBackToTheMask)
{
    Dib dib;
    dib.width = dib.height = 2;
    dib.bits = 32;
    dib.palette = {};
    dib.colour = [](int, int) { return 0x00123456u; };
    dib.masked = [](int x, int) { return x == 1; };
    auto shape = Load(IconFile({{2, 2, 0, 0, dib.bytes()}}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->frame(0).opacityAt(0, 1), 255);
    EXPECT_EQ(shape->frame(0).opacityAt(1, 1), 0);
}

TEST(StaticCursor, ThirtyTwoBitMayOmitTheMask)
{
    Dib dib;
    dib.width = dib.height = 2;
    dib.bits = 32;
    dib.palette = {};
    dib.colour = [](int, int) { return 0x80FFFFFFu; };
    dib.withMask = false;
    auto shape = Load(IconFile({{2, 2, 0, 0, dib.bytes()}}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->frame(0).opacityAt(1, 1), 0x80);
}

TEST(StaticCursor, PngImageKeepsColoursAndAlpha)
{
    const ByteVector png = Png(3, 2, [](int x, int y) {
        return (std::uint32_t(x * 80 + y) << 24) | std::uint32_t(0x010000 * (10 + x) + 0x100 * (20 + y) + 30);
    });
    auto shape = Load(IconFile({{3, 2, 2, 1, png}}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "3x2 hotspot 2,1 frames 1");
    const CursorFrame& f = shape->frame(0);
    EXPECT_EQ(f.image.pixel(0, 0), gdi::Rgb(10, 20, 30));
    EXPECT_EQ(f.image.pixel(2, 1), gdi::Rgb(12, 21, 30));
    EXPECT_EQ(f.opacityAt(0, 0), 0);
    EXPECT_EQ(f.opacityAt(2, 1), 161);
}

// --- Static cursors: directory --------------------------------------------------

ByteVector SolidDib(int width, int height, int bits)
{
    Dib dib;
    dib.width = width;
    dib.height = height;
    dib.bits = bits;
    dib.palette.assign(bits <= 8 ? std::size_t(1) << bits : 0, 0);
    dib.colour = [](int, int) { return 0u; };
    return dib.bytes();
}

TEST(CursorDirectory, PrefersThe32By32Image)
{
    auto shape = Load(IconFile({{16, 16, 1, 1, SolidDib(16, 16, 32)},
                                {48, 48, 2, 2, SolidDib(48, 48, 32)},
                                {32, 32, 3, 3, SolidDib(32, 32, 1)}}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "32x32 hotspot 3,3 frames 1");
}

TEST(CursorDirectory, Among32By32ImagesTheDeepestWins)
{
    auto shape = Load(IconFile({{32, 32, 1, 1, SolidDib(32, 32, 4)},
                                {32, 32, 2, 2, SolidDib(32, 32, 24)},
                                {32, 32, 3, 3, SolidDib(32, 32, 8)},
                                {32, 32, 4, 4, SolidDib(32, 32, 24)}}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->hotspotX(), 2);
}

TEST(CursorDirectory, Without32By32TheLargestWinsAndZeroMeans256)
{
    auto shape = Load(IconFile({{48, 48, 1, 1, SolidDib(48, 48, 1)},
                                {0, 0, 200, 9, SolidDib(256, 256, 1)},
                                {16, 16, 3, 3, SolidDib(16, 16, 32)}}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "256x256 hotspot 200,9 frames 1");
}

TEST(CursorDirectory, EntriesWhoseBytesLieOutsideTheFileArePassedOver)
{
    ByteVector file = IconFile({{32, 32, 1, 1, SolidDib(32, 32, 1)}, {16, 16, 2, 2, SolidDib(16, 16, 1)}});
    Set32(file, 6 + 12, 0xFFFFFFF0u); // first entry's offset: wraps a 32-bit sum
    auto shape = Load(file);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "16x16 hotspot 2,2 frames 1");
}

TEST(CursorDirectory, HotspotOutsideTheImageIsClampedIntoIt)
{
    auto shape = Load(Cursor32(40, 65535));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->hotspotX(), 31);
    EXPECT_EQ(shape->hotspotY(), 31);
}

TEST(CursorDirectory, AnIconPointsWithItsCentre)
{
    // In an icon these two fields are planes and bit count, not a hot spot.
    auto shape = Load(IconFile({{32, 32, 1, 32, SolidDib(32, 32, 1)}}, 1));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "32x32 hotspot 16,16 frames 1");
    auto odd = Load(IconFile({{5, 3, 1, 1, SolidDib(5, 3, 1)}}, 1));
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(DescribeCursor(odd.get()), "5x3 hotspot 2,1 frames 1");
}

// --- Static cursors: broken files ---------------------------------------------

TEST(BrokenStaticCursor, DirectoryFieldsAreChecked)
{
    EXPECT_EQ(Load({}), nullptr);
    EXPECT_EQ(Load({0, 0, 2, 0}), nullptr);
    ByteVector good = Cursor32();
    ASSERT_NE(Load(good), nullptr);

    ByteVector reserved = good;
    reserved[0] = 1;
    EXPECT_EQ(Load(reserved), nullptr);
    ByteVector type = good;
    type[2] = 3;
    EXPECT_EQ(Load(type), nullptr);
    ByteVector none = good;
    none[4] = 0;
    EXPECT_EQ(Load(none), nullptr);
    ByteVector tooMany = good;
    tooMany[4] = 0xFF;
    tooMany[5] = 0xFF;
    EXPECT_EQ(Load(tooMany), nullptr);
    ByteVector longer = good;
    Set32(longer, 6 + 8, std::uint32_t(good.size())); // the image claims more bytes than there are
    EXPECT_EQ(Load(longer), nullptr);
    ByteVector empty = good;
    Set32(empty, 6 + 8, 0);
    EXPECT_EQ(Load(empty), nullptr);
}

TEST(BrokenStaticCursor, EveryTruncationFails)
{
    const ByteVector good = Cursor32();
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(Load(ByteVector(good.begin(), good.begin() + std::ptrdiff_t(n))), nullptr) << n;
}

// Replaces a 32-bit field of the bitmap header of Cursor32's single image.
ByteVector WithHeaderField(std::size_t field, std::uint32_t value)
{
    ByteVector file = Cursor32();
    Set32(file, 22 + field, value);
    return file;
}

TEST(BrokenStaticCursor, BitmapHeaderFieldsAreChecked)
{
    EXPECT_EQ(Load(WithHeaderField(0, 12)), nullptr);          // core header
    EXPECT_EQ(Load(WithHeaderField(0, 0x7FFFFFFF)), nullptr);  // header past the image
    EXPECT_EQ(Load(WithHeaderField(4, 0)), nullptr);           // no width
    EXPECT_EQ(Load(WithHeaderField(4, 0xFFFFFFE0)), nullptr);  // negative width
    EXPECT_EQ(Load(WithHeaderField(4, 257)), nullptr);        // too wide
    EXPECT_EQ(Load(WithHeaderField(8, 0xFFFFFFC0)), nullptr);  // top-down
    EXPECT_EQ(Load(WithHeaderField(8, 1)), nullptr);           // no rows
    EXPECT_EQ(Load(WithHeaderField(8, 0x40000000)), nullptr);  // huge height
    EXPECT_EQ(Load(WithHeaderField(12, 0x00100001)), nullptr); // 16 bits per pixel
    EXPECT_EQ(Load(WithHeaderField(12, 0x00020001)), nullptr); // 2 bits per pixel
    EXPECT_EQ(Load(WithHeaderField(16, 1)), nullptr);          // run-length compressed
    EXPECT_EQ(Load(WithHeaderField(32, 3)), nullptr);          // palette beyond 2 colours
    EXPECT_EQ(Load(WithHeaderField(32, 0xFFFFFFFF)), nullptr); // palette size overflow
}

TEST(BrokenStaticCursor, MissingMaskFailsBelowThirtyTwoBits)
{
    Dib dib;
    dib.width = dib.height = 8;
    dib.withMask = false;
    EXPECT_EQ(Load(IconFile({{8, 8, 0, 0, dib.bytes()}})), nullptr);
}

TEST(BrokenStaticCursor, BadPngImagesFail)
{
    auto solid = [](int, int) { return 0xFF000000u; };
    const ByteVector png = Png(4, 4, solid);
    ASSERT_NE(Load(IconFile({{4, 4, 0, 0, png}})), nullptr);

    ByteVector badCrc = png;
    badCrc[8 + 8 + 13] ^= 1; // the header chunk's checksum
    EXPECT_EQ(Load(IconFile({{4, 4, 0, 0, badCrc}})), nullptr);
    for (std::size_t n : {8u, 20u, 33u, 50u, unsigned(png.size() - 13)})
        EXPECT_EQ(Load(IconFile({{4, 4, 0, 0, ByteVector(png.begin(), png.begin() + std::ptrdiff_t(n))}})), nullptr)
            << n;
    EXPECT_EQ(Load(IconFile({{0, 0, 0, 0, Png(257, 1, solid)}})), nullptr);
    // A header claiming a vast picture fails before anything is allocated.
    ByteVector vast = png;
    vast[16] = 0x7F;
    EXPECT_EQ(Load(IconFile({{4, 4, 0, 0, vast}})), nullptr);
}

// --- Animated cursors ---------------------------------------------------------

ByteVector Frame(int hotspot, std::uint32_t white)
{
    return Cursor32(hotspot, hotspot + 1, white);
}

TEST(AnimatedCursor, RatesAndSequenceGiveTheSteps)
{
    auto shape = Load(Riff({Anih(3, 4, 10, 3), Chunk("rate", Words({5, 6, 7, 8})),
                            Chunk("seq ", Words({2, 0, 2, 1})),
                            List("fram", {Chunk("icon", Frame(3, 0x0000FF)), Chunk("icon", Frame(9, 0x00FF00)),
                                          Chunk("icon", Frame(9, 0xFF0000))})}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "32x32 hotspot 3,4 frames 3");
    EXPECT_TRUE(shape->isAnimated());
    ASSERT_EQ(shape->steps().size(), 4u);
    const int frames[] = {2, 0, 2, 1};
    const std::uint32_t jiffies[] = {5, 6, 7, 8};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(shape->steps()[i].frame, frames[i]);
        EXPECT_EQ(shape->steps()[i].jiffies, jiffies[i]);
    }
    EXPECT_EQ(shape->frame(0).image.pixel(5, 5), gdi::Rgb(0, 0, 255));
    EXPECT_EQ(shape->frame(1).image.pixel(5, 5), gdi::Rgb(0, 255, 0));
    EXPECT_EQ(shape->frame(2).image.pixel(5, 5), gdi::Rgb(255, 0, 0));
}

TEST(AnimatedCursor, WithoutRateAndSequenceEveryStepShowsTheNextFrameAtTheHeaderRate)
{
    auto shape = Load(Riff({Anih(2, 3, 12),
                            List("fram", {Chunk("icon", Frame(1, 1)), Chunk("icon", Frame(1, 2))})}));
    ASSERT_NE(shape, nullptr);
    ASSERT_EQ(shape->steps().size(), 3u);
    EXPECT_EQ(shape->steps()[0].frame, 0);
    EXPECT_EQ(shape->steps()[1].frame, 1);
    EXPECT_EQ(shape->steps()[2].frame, 0);
    EXPECT_EQ(shape->steps()[2].jiffies, 12u);
}

TEST(AnimatedCursor, UnknownChunksAndOddLengthsAreSkipped)
{
    const ByteVector icon = Frame(2, 7);
    auto shape = Load(Riff({List("INFO", {Chunk("INAM", {'a', 'b', 'c'}), Chunk("IART", {'x'})}),
                            Chunk("junk", {1, 2, 3}), Anih(1, 1, 4),
                            List("fram", {Chunk("zzzz", {9}), Chunk("icon", icon)})}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "32x32 hotspot 2,3 frames 1");
}

TEST(AnimatedCursor, TheLastChunkMayLackItsPadByte)
{
    ByteVector odd = Cursor32();
    odd.push_back(0); // an odd-length frame: the icon tolerates trailing bytes
    ASSERT_EQ(odd.size() % 2, 1u);
    ByteVector fram;
    PutTag(fram, "fram");
    Append(fram, Chunk("icon", odd, false));
    auto shape = Load(Riff({Anih(1, 1, 4), Chunk("LIST", fram, false)}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->frameCount(), 1);
}

TEST(AnimatedCursor, BytesAfterTheRiffLengthAreIgnored)
{
    ByteVector file = Riff({Anih(1, 1, 4), List("fram", {Chunk("icon", Frame(2, 7))})});
    file.insert(file.end(), {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_NE(Load(file), nullptr);
}

TEST(AnimatedCursor, IconFramesPointWithTheirCentre)
{
    auto shape = Load(Riff({Anih(1, 1, 4), List("fram", {Chunk("icon", IconFile({{16, 16, 1, 1, SolidDib(16, 16, 1)}}, 1))})}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "16x16 hotspot 8,8 frames 1");
}

// --- Animated cursors: broken files ---------------------------------------------

ByteVector Animation(const ByteVector& header, std::vector<ByteVector> more = {}, int icons = 2)
{
    std::vector<ByteVector> frameChunks;
    for (int i = 0; i < icons; ++i)
        frameChunks.push_back(Chunk("icon", Frame(1, std::uint32_t(i))));
    std::vector<ByteVector> chunks{header};
    chunks.insert(chunks.end(), more.begin(), more.end());
    chunks.push_back(List("fram", frameChunks));
    return Riff(chunks);
}

TEST(BrokenAnimatedCursor, HeaderFieldsAreChecked)
{
    ASSERT_NE(Load(Animation(Anih(2, 2, 1))), nullptr);
    EXPECT_EQ(Load(Animation(Anih(0, 2, 1))), nullptr);          // no frames
    EXPECT_EQ(Load(Animation(Anih(2, 0, 1))), nullptr);          // no steps
    EXPECT_EQ(Load(Animation(Anih(3, 3, 1))), nullptr);          // fewer icons than frames
    EXPECT_EQ(Load(Animation(Anih(1025, 2, 1))), nullptr);       // too many frames
    EXPECT_EQ(Load(Animation(Anih(0xFFFFFFFF, 2, 1))), nullptr); // absurd frame count
    EXPECT_EQ(Load(Animation(Anih(2, 4097, 1))), nullptr);       // too many steps
    EXPECT_EQ(Load(Animation(Anih(2, 2, 1, 0))), nullptr);       // frames not icons
    EXPECT_EQ(Load(Animation(Anih(2, 2, 1, 1, 40))), nullptr);   // wrong header size
    ByteVector shortHeader = Chunk("anih", Words({36, 2, 2}));
    EXPECT_EQ(Load(Animation(shortHeader)), nullptr);
}

TEST(BrokenAnimatedCursor, RequiredChunksMustBePresentOnce)
{
    const ByteVector icons = List("fram", {Chunk("icon", Frame(1, 0))});
    EXPECT_EQ(Load(Riff({icons})), nullptr);
    EXPECT_EQ(Load(Riff({Anih(1, 1, 1)})), nullptr);
    EXPECT_EQ(Load(Riff({Anih(1, 1, 1), Anih(1, 1, 1), icons})), nullptr);
    EXPECT_EQ(Load(Riff({Anih(1, 1, 1), icons, icons})), nullptr);
    EXPECT_EQ(Load(Riff({Anih(1, 1, 1), Chunk("rate", Words({1})), Chunk("rate", Words({1})), icons})), nullptr);
    EXPECT_EQ(Load(Riff({Anih(1, 1, 1), icons}, "AVI ")), nullptr);
}

TEST(BrokenAnimatedCursor, RateAndSequenceMustCoverEveryStep)
{
    EXPECT_EQ(Load(Animation(Anih(2, 3, 1), {Chunk("rate", Words({1, 2}))})), nullptr);
    EXPECT_EQ(Load(Animation(Anih(2, 3, 1), {Chunk("seq ", Words({0, 1}))})), nullptr);
    EXPECT_EQ(Load(Animation(Anih(2, 3, 1), {Chunk("seq ", Words({0, 1, 2}))})), nullptr);
    EXPECT_EQ(Load(Animation(Anih(2, 3, 1), {Chunk("seq ", Words({0, 0xFFFFFFFF, 1}))})), nullptr);
    EXPECT_NE(Load(Animation(Anih(2, 3, 1), {Chunk("seq ", Words({1, 1, 0}))})), nullptr);
}

TEST(BrokenAnimatedCursor, LyingRiffLengthsFail)
{
    const ByteVector good = Animation(Anih(2, 2, 1));
    ByteVector longer = good;
    Set32(longer, 4, std::uint32_t(good.size() - 7)); // one byte past the end
    EXPECT_EQ(Load(longer), nullptr);
    ByteVector vast = good;
    Set32(vast, 4, 0xFFFFFFFF);
    EXPECT_EQ(Load(vast), nullptr);
    ByteVector tiny = good;
    Set32(tiny, 4, 3);
    EXPECT_EQ(Load(tiny), nullptr);
    ByteVector cut = good; // a chunk runs past the RIFF body
    Set32(cut, 4, std::uint32_t(good.size() - 8 - 20));
    EXPECT_EQ(Load(cut), nullptr);
}

TEST(BrokenAnimatedCursor, ChunkLengthsPastTheEndFail)
{
    ByteVector good = Animation(Anih(2, 2, 1));
    ByteVector header = good;
    Set32(header, 16, 0xFFFFFFFF); // the anih chunk's length
    EXPECT_EQ(Load(header), nullptr);
    ByteVector header2 = good;
    Set32(header2, 16, 0xFFFFFFF8); // a length that wraps a 32-bit position to the start
    EXPECT_EQ(Load(header2), nullptr);
    // The first icon chunk claims more than its LIST holds.
    ByteVector icon = good;
    const std::size_t iconAt = 12 + 44 + 12;
    ASSERT_EQ(std::string(icon.begin() + std::ptrdiff_t(iconAt), icon.begin() + std::ptrdiff_t(iconAt + 4)), "icon");
    Set32(icon, iconAt + 4, 0x7FFFFFFF);
    EXPECT_EQ(Load(icon), nullptr);
}

TEST(BrokenAnimatedCursor, EveryTruncationFails)
{
    const ByteVector good = Animation(Anih(2, 2, 1));
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(Load(ByteVector(good.begin(), good.begin() + std::ptrdiff_t(n))), nullptr) << n;
}

TEST(BrokenAnimatedCursor, ZeroLengthChunksEndTheWalk)
{
    std::vector<ByteVector> chunks(5000, Chunk("null", {}));
    chunks.push_back(Anih(1, 1, 1));
    chunks.push_back(List("fram", {Chunk("icon", Frame(1, 0))}));
    EXPECT_NE(Load(Riff(chunks)), nullptr);
}

TEST(BrokenAnimatedCursor, FramesAreNotFollowedIntoNestedLists)
{
    const ByteVector nested = List("fram", {Chunk("icon", Frame(1, 0)), Chunk("icon", Frame(1, 0))});
    EXPECT_EQ(Load(Riff({Anih(2, 2, 1), List("fram", {nested})})), nullptr);
}

TEST(BrokenAnimatedCursor, AFrameMustBeACursorOrIcon)
{
    const ByteVector inner = Riff({Anih(1, 1, 1), List("fram", {Chunk("icon", Frame(1, 0))})});
    EXPECT_EQ(Load(Riff({Anih(1, 1, 1), List("fram", {Chunk("icon", inner)})})), nullptr);
    EXPECT_EQ(Load(Riff({Anih(1, 1, 1), List("fram", {Chunk("icon", {})})})), nullptr);
    ByteVector bad = Frame(1, 0);
    bad[22] = 0; // header size 0
    EXPECT_EQ(Load(Riff({Anih(2, 2, 1), List("fram", {Chunk("icon", Frame(1, 0)), Chunk("icon", bad)})})), nullptr);
}

TEST(BrokenAnimatedCursor, FramesMustShareOneSize)
{
    const ByteVector small = IconFile({{16, 16, 0, 0, SolidDib(16, 16, 1)}});
    EXPECT_EQ(Load(Riff({Anih(2, 2, 1), List("fram", {Chunk("icon", Frame(1, 0)), Chunk("icon", small)})})),
              nullptr);
}

TEST(BrokenAnimatedCursor, TooManyIconChunksFail)
{
    const ByteVector icon = Chunk("icon", IconFile({{1, 1, 0, 0, SolidDib(1, 1, 1)}}));
    std::vector<ByteVector> icons(1025, icon);
    EXPECT_EQ(Load(Riff({Anih(1, 1, 1), List("fram", icons)})), nullptr);
    icons.pop_back();
    EXPECT_NE(Load(Riff({Anih(1024, 1, 1), List("fram", icons)})), nullptr);
}

TEST(BrokenAnimatedCursor, TheFramesTogetherHaveAPixelBudget)
{
    // 257 frames of 256 x 256 exceed 16M pixels; 256 do not.
    const ByteVector icon = Chunk("icon", IconFile({{0, 0, 0, 0, SolidDib(256, 256, 1)}}));
    std::vector<ByteVector> icons(257, icon);
    EXPECT_EQ(Load(Riff({Anih(257, 1, 1), List("fram", icons)})), nullptr);
    icons.pop_back();
    auto shape = Load(Riff({Anih(256, 1, 1), List("fram", icons)}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "256x256 hotspot 0,0 frames 256");
}

// Flips bytes of valid files at pseudo-random places: whatever loads must
// still keep every promise of a shape, and nothing may read out of bounds.
TEST(BrokenCursorFiles, CorruptedBytesNeverBreakAShapesPromises)
{
    const ByteVector samples[] = {
        Cursor32(),
        IconFile({{4, 4, 1, 1, Png(4, 4, [](int x, int) { return 0x80000000u * std::uint32_t(x % 2); })}}),
        Animation(Anih(2, 3, 5), {Chunk("rate", Words({1, 2, 3})), Chunk("seq ", Words({1, 0, 1}))}),
    };
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    for (const ByteVector& sample : samples) {
        for (int round = 0; round < 400; ++round) {
            ByteVector bytes = sample;
            const int flips = 1 + int(next() % 4);
            for (int i = 0; i < flips; ++i)
                bytes[next() % bytes.size()] = std::uint8_t(next());
            if (auto shape = Load(bytes))
                ExpectConsistent(*shape);
        }
    }
}

// --- Files ---------------------------------------------------------------------

class CursorFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() /
               ("zenvas-cursor-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string write(const std::string& name, const ByteVector& bytes)
    {
        const std::filesystem::path path = dir_ / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path.string();
    }

    std::filesystem::path dir_;
};

TEST_F(CursorFiles, StaticAndAnimatedFilesLoad)
{
    auto still = LoadCursorFile(write("arrow.cur", Cursor32(6, 7)));
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(DescribeCursor(still.get()), "32x32 hotspot 6,7 frames 1");
    // The contents decide, not the name.
    auto moving = LoadCursorFile(write("busy.cur", Animation(Anih(2, 2, 1))));
    ASSERT_NE(moving, nullptr);
    EXPECT_EQ(DescribeCursor(moving.get()), "32x32 hotspot 1,2 frames 2");
}

TEST_F(CursorFiles, MissingEmptyAndDirectoryPathsFail)
{
    EXPECT_EQ(LoadCursorFile((dir_ / "absent.cur").string()), nullptr);
    EXPECT_EQ(LoadCursorFile(""), nullptr);
    EXPECT_EQ(LoadCursorFile(write("empty.cur", {})), nullptr);
    std::filesystem::create_directories(dir_ / "folder.cur");
    EXPECT_EQ(LoadCursorFile((dir_ / "folder.cur").string()), nullptr);
    EXPECT_EQ(LoadCursorFile(write("text.ani", {'h', 'e', 'l', 'l', 'o'})), nullptr);
}

} // namespace
} // namespace forms
