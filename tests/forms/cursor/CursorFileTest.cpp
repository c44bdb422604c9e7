#include "platform/forms/CursorFile.h"

#include "tests/forms/cursor/CursorBytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace forms {
namespace {

using namespace cursortest;
using gdi::Rgb;

std::shared_ptr<const CursorShape> Load(const ByteVector& bytes)
{
    return LoadCursorFromBytes(bytes);
}

std::string Describe(const ByteVector& bytes)
{
    auto shape = Load(bytes);
    return shape ? DescribeCursor(shape.get()) : "null";
}

// 32 x 32, one bit: a black first column on `white`, the top row see-through.
ByteVector Cursor32(int hotspotX = 3, int hotspotY = 4, std::uint32_t white = 0xFFFFFF)
{
    return IconFile({{32, 32, hotspotX, hotspotY,
                      Dib(32, 32, 1, [](int x, int) { return x == 0 ? 0u : 1u; },
                          [](int, int y) { return y == 0 ? 1u : 0u; }, {0, white})}});
}

ByteVector TwoFrames(std::vector<ByteVector> extra = {}, ByteVector header = Anih(2, 2, 1))
{
    extra.insert(extra.begin(), header);
    extra.push_back(Riff("fram", {Chunk("icon", Cursor32(1, 2, 0xFF)), Chunk("icon", Cursor32(1, 2, 0xFF00))}));
    return Animation(extra);
}

TEST(StaticCursor, OneBitPaletteMaskAndHotspot)
{
    auto shape = Load(Cursor32(3, 4));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "32x32 hotspot 3,4 frames 1");
    ASSERT_EQ(shape->steps().size(), 1u);
    EXPECT_EQ(shape->steps()[0].jiffies, 0u);
    const CursorFrame& f = shape->frame(0);
    EXPECT_EQ(f.image.pixel(0, 5), Rgb(0, 0, 0));
    EXPECT_EQ(f.image.pixel(31, 31), Rgb(255, 255, 255));
    // Rows are stored from the bottom: the see-through row is the top one.
    EXPECT_EQ(f.opacityAt(5, 0), 0);
    EXPECT_EQ(f.opacityAt(5, 1), 255);
}

TEST(StaticCursor, PalettedRowsOfOddWidthAndIndicesPastThePalette)
{
    auto four = Load(IconFile({{3, 2, 0, 0,
                                Dib(3, 2, 4, [](int x, int y) { return std::uint32_t(x + y); },
                                    [](int x, int y) { return x == 2 && y == 1 ? 1u : 0u; },
                                    {0x000000, 0x102030, 0x405060, 0x708090})}}));
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(four->frame(0).image.pixel(1, 0), Rgb(0x10, 0x20, 0x30));
    EXPECT_EQ(four->frame(0).image.pixel(2, 1), Rgb(0x70, 0x80, 0x90));
    EXPECT_EQ(four->frame(0).opacityAt(2, 1), 0);
    EXPECT_EQ(four->frame(0).opacityAt(1, 1), 255);

    auto eight = Load(IconFile({{2, 1, 0, 0,
                                 Dib(2, 1, 8, [](int x, int) { return x == 0 ? 1u : 200u; },
                                     [](int, int) { return 0u; }, {0xFF0000, 0x00FF00})}}));
    ASSERT_NE(eight, nullptr);
    EXPECT_EQ(eight->frame(0).image.pixel(0, 0), Rgb(0, 255, 0));
    EXPECT_EQ(eight->frame(0).image.pixel(1, 0), Rgb(0, 0, 0));
}

TEST(StaticCursor, DeepImagesTheirPaddingAndAlpha)
{
    auto rgb = Load(IconFile({{3, 2, 0, 0, Dib(3, 2, 24, [](int x, int y) {
                                   return std::uint32_t(0x010203 * (x + 1) + 0x100000 * y);
                               })}}));
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(rgb->frame(0).image.pixel(2, 0), Rgb(0x03, 0x06, 0x09));
    EXPECT_EQ(rgb->frame(0).image.pixel(0, 1), Rgb(0x11, 0x02, 0x03));

    // Any alpha wins over the mask; all-zero alpha leaves the mask in charge.
    auto everyMasked = [](int, int) { return 1u; };
    auto alpha = Load(IconFile({{2, 2, 0, 0, Dib(2, 2, 32, [](int x, int y) {
                                     return (std::uint32_t(x * 100 + y * 50) << 24) | 0x336699;
                                 }, everyMasked)}}));
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->frame(0).image.pixel(1, 1), Rgb(0x33, 0x66, 0x99));
    EXPECT_EQ(alpha->frame(0).opacityAt(0, 0), 0);
    EXPECT_EQ(alpha->frame(0).image.pixel(0, 0), Rgb(0, 0, 0)); // not an inverting pixel
    EXPECT_EQ(alpha->frame(0).opacityAt(1, 1), 150);
    auto noAlpha = Load(IconFile({{2, 2, 0, 0, Dib(2, 2, 32, [](int, int) { return 0x123456u; },
                                                   [](int x, int) { return x == 1 ? 1u : 0u; })}}));
    ASSERT_NE(noAlpha, nullptr);
    EXPECT_EQ(noAlpha->frame(0).opacityAt(0, 1), 255);
    EXPECT_EQ(noAlpha->frame(0).opacityAt(1, 1), 0);
    // Only a 32-bit image may leave the mask out.
    auto half = [](int, int) { return 0x80FFFFFFu; };
    auto unmasked = Load(IconFile({{2, 2, 0, 0, Dib(2, 2, 32, half, everyMasked, {}, false)}}));
    ASSERT_NE(unmasked, nullptr);
    EXPECT_EQ(unmasked->frame(0).opacityAt(1, 1), 0x80);
    EXPECT_EQ(Load(IconFile({{2, 2, 0, 0, Dib(2, 2, 24, half, everyMasked, {}, false)}})), nullptr);
}

TEST(StaticCursor, PngImageKeepsColoursAndAlpha)
{
    auto shape = Load(IconFile({{3, 2, 2, 1, Png(3, 2, [](int x, int y) {
                                     return (std::uint32_t(x * 80 + y) << 24) |
                                            std::uint32_t(0x010000 * (10 + x) + 0x100 * (20 + y) + 30);
                                 })}}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "3x2 hotspot 2,1 frames 1");
    EXPECT_EQ(shape->frame(0).image.pixel(0, 0), Rgb(0, 0, 0)); // see-through
    EXPECT_EQ(shape->frame(0).image.pixel(0, 1), Rgb(10, 21, 30));
    EXPECT_EQ(shape->frame(0).image.pixel(2, 1), Rgb(12, 21, 30));
    EXPECT_EQ(shape->frame(0).opacityAt(0, 0), 0);
    EXPECT_EQ(shape->frame(0).opacityAt(2, 1), 161);
}

TEST(CursorDirectory, ChoosesThe32By32ImageElseTheLargestThenTheDeepest)
{
    EXPECT_EQ(Describe(IconFile({{16, 16, 1, 1, Solid(16, 16, 32)},
                                 {48, 48, 2, 2, Solid(48, 48, 32)},
                                 {32, 32, 3, 3, Solid(32, 32)}})),
              "32x32 hotspot 3,3 frames 1");
    EXPECT_EQ(Describe(IconFile({{32, 32, 1, 1, Solid(32, 32, 4)},
                                 {32, 32, 2, 2, Solid(32, 32, 24)},
                                 {32, 32, 3, 3, Solid(32, 32, 8)},
                                 {32, 32, 4, 4, Solid(32, 32, 24)}})),
              "32x32 hotspot 2,2 frames 1");
    EXPECT_EQ(Describe(IconFile({{48, 48, 1, 1, Solid(48, 48)},
                                 {0, 0, 200, 9, Solid(256, 256)},
                                 {16, 16, 3, 3, Solid(16, 16, 32)}})),
              "256x256 hotspot 200,9 frames 1");
    // An entry whose bytes lie outside the file is passed over.
    ByteVector file = IconFile({{32, 32, 1, 1, Solid(32, 32)}, {16, 16, 2, 2, Solid(16, 16)}});
    Set32(file, 6 + 12, 0xFFFFFFF0u);
    EXPECT_EQ(Describe(file), "16x16 hotspot 2,2 frames 1");
}

TEST(CursorDirectory, HotspotsAreClampedAndIconsPointWithTheirCentre)
{
    EXPECT_EQ(Describe(Cursor32(40, 65535)), "32x32 hotspot 31,31 frames 1");
    // In an icon the two fields are planes and bit count.
    EXPECT_EQ(Describe(IconFile({{32, 32, 1, 32, Solid(32, 32)}}, 1)), "32x32 hotspot 16,16 frames 1");
    EXPECT_EQ(Describe(IconFile({{5, 3, 1, 1, Solid(5, 3)}}, 1)), "5x3 hotspot 2,1 frames 1");
}

TEST(AnimatedCursor, RatesAndSequenceGiveTheSteps)
{
    auto shape = Load(Animation({Anih(3, 4, 10, 3), Chunk("rate", Words({5, 6, 7, 8})),
                                 Chunk("seq ", Words({2, 0, 2, 1})),
                                 Riff("fram", {Chunk("icon", Cursor32(3, 4, 0xFF)), Chunk("icon", Cursor32(9, 9, 0xFF00)),
                                               Chunk("icon", Cursor32(9, 9, 0xFF0000))})}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "32x32 hotspot 3,4 frames 3");
    ASSERT_EQ(shape->steps().size(), 4u);
    const int frames[] = {2, 0, 2, 1};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(shape->steps()[i].frame, frames[i]);
        EXPECT_EQ(shape->steps()[i].jiffies, 5 + i);
    }
    EXPECT_EQ(shape->frame(0).image.pixel(5, 5), Rgb(0, 0, 255));
    EXPECT_EQ(shape->frame(2).image.pixel(5, 5), Rgb(255, 0, 0));

    // Without them, step i shows frame i (wrapping) for the header's rate.
    auto plain = Load(TwoFrames({}, Anih(2, 3, 12)));
    ASSERT_NE(plain, nullptr);
    ASSERT_EQ(plain->steps().size(), 3u);
    EXPECT_EQ(plain->steps()[1].frame, 1);
    EXPECT_EQ(plain->steps()[2].frame, 0);
    EXPECT_EQ(plain->steps()[2].jiffies, 12u);
}

TEST(AnimatedCursor, UnknownChunksPaddingAndTrailingBytes)
{
    ByteVector file = Animation({Riff("INFO", {Chunk("INAM", {'a', 'b', 'c'}), Chunk("IART", {'x'})}),
                                 Chunk("junk", {1, 2, 3}), Anih(1, 1, 4),
                                 Riff("fram", {Chunk("zzzz", {9}), Chunk("icon", Cursor32(2, 3))})});
    file.insert(file.end(), {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF}); // after the RIFF length
    EXPECT_EQ(Describe(file), "32x32 hotspot 2,3 frames 1");

    // An odd last chunk without its pad byte; the icon ignores the extra byte.
    ByteVector odd = Cursor32();
    odd.push_back(0);
    ByteVector fram{'f', 'r', 'a', 'm'};
    Append(fram, Chunk("icon", odd, false));
    EXPECT_EQ(Describe(Animation({Anih(1, 1, 4), Chunk("LIST", fram, false)})), "32x32 hotspot 3,4 frames 1");

    EXPECT_EQ(Describe(Animation({Anih(1, 1, 4), Riff("fram", {Chunk("icon", IconFile({{16, 16, 1, 1, Solid(16, 16)}}, 1))})})),
              "16x16 hotspot 8,8 frames 1");
}

// --- Broken and hostile files ---------------------------------------------------

TEST(BrokenCursorFile, EveryTruncationFails)
{
    for (const ByteVector& good : {Cursor32(), TwoFrames()}) {
        ASSERT_NE(Load(good), nullptr);
        for (std::size_t n = 0; n < good.size(); ++n)
            EXPECT_EQ(Load(ByteVector(good.begin(), good.begin() + std::ptrdiff_t(n))), nullptr) << n;
    }
}

ByteVector Patched(ByteVector bytes, std::size_t at, std::uint32_t value, int width = 4)
{
    for (int i = 0; i < width; ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
    return bytes;
}

TEST(BrokenCursorFile, StaticFieldsAreChecked)
{
    const ByteVector good = Cursor32();
    const std::size_t dib = 22; // the image's header, after a one-entry directory
    const std::pair<const char*, ByteVector> cases[] = {
        {"reserved", Patched(good, 0, 1, 2)},
        {"type 3", Patched(good, 2, 3, 2)},
        {"no entries", Patched(good, 4, 0, 2)},
        {"65535 entries", Patched(good, 4, 0xFFFF, 2)},
        {"image past the end", Patched(good, 6 + 8, std::uint32_t(good.size()))},
        {"empty image", Patched(good, 6 + 8, 0)},
        {"core header", Patched(good, dib, 12)},
        {"header past the image", Patched(good, dib, 0x7FFFFFFF)},
        {"no width", Patched(good, dib + 4, 0)},
        {"negative width", Patched(good, dib + 4, 0xFFFFFFE0)},
        {"257 wide", Patched(good, dib + 4, 257)},
        {"top-down", Patched(good, dib + 8, 0xFFFFFFC0)},
        {"no rows", Patched(good, dib + 8, 1)},
        {"huge height", Patched(good, dib + 8, 0x40000000)},
        {"16 bits", Patched(good, dib + 14, 16, 2)},
        {"2 bits", Patched(good, dib + 14, 2, 2)},
        {"run-length", Patched(good, dib + 16, 1)},
        {"3 colours in 1 bit", Patched(good, dib + 32, 3)},
        {"vast palette", Patched(good, dib + 32, 0xFFFFFFFF)},
        {"animation inside", Patched(good, 0, 0x46464952)}, // "RIFF"
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_EQ(Load(bytes), nullptr) << name;
}

TEST(BrokenCursorFile, BadPngImagesFail)
{
    auto solid = [](int, int) { return 0xFF000000u; };
    const ByteVector png = Png(4, 4, solid);
    ASSERT_NE(Load(IconFile({{4, 4, 0, 0, png}})), nullptr);
    std::vector<ByteVector> images{Patched(png, 29, png[29] ^ 1u, 1), // header checksum
                                   Patched(png, 16, 0x7F, 1),         // a vast width
                                   Png(257, 1, solid)};
    for (std::size_t n : {8u, 20u, 33u, 50u, unsigned(png.size() - 13)})
        images.emplace_back(png.begin(), png.begin() + std::ptrdiff_t(n));
    for (const ByteVector& image : images)
        EXPECT_EQ(Load(IconFile({{4, 4, 0, 0, image}})), nullptr) << image.size();
}

TEST(BrokenCursorFile, AnimationFieldsAreChecked)
{
    const ByteVector good = TwoFrames();
    const ByteVector fram = Riff("fram", {Chunk("icon", Cursor32())});
    const std::size_t firstIcon = 12 + 44 + 12;
    ASSERT_NE(Load(good), nullptr);
    const std::pair<const char*, ByteVector> cases[] = {
        {"no frames", TwoFrames({}, Anih(0, 2, 1))},
        {"no steps", TwoFrames({}, Anih(2, 0, 1))},
        {"fewer icons than frames", TwoFrames({}, Anih(3, 3, 1))},
        {"1025 frames", TwoFrames({}, Anih(1025, 2, 1))},
        {"absurd frames", TwoFrames({}, Anih(0xFFFFFFFF, 2, 1))},
        {"4097 steps", TwoFrames({}, Anih(2, 4097, 1))},
        {"frames not icons", TwoFrames({}, Anih(2, 2, 1, 0))},
        {"header size 40", TwoFrames({}, Anih(2, 2, 1, 1, 40))},
        {"short header", TwoFrames({}, Chunk("anih", Words({36, 2, 2})))},
        {"short rate", TwoFrames({Chunk("rate", Words({1}))})},
        {"short sequence", TwoFrames({Chunk("seq ", Words({0}))})},
        {"sequence past the frames", TwoFrames({Chunk("seq ", Words({0, 2}))})},
        {"two rates", TwoFrames({Chunk("rate", Words({1, 1})), Chunk("rate", Words({1, 1}))})},
        {"two headers", TwoFrames({Anih(2, 2, 1)})},
        {"two frame lists", TwoFrames({fram})},
        {"no header", Animation({fram})},
        {"no frame list", Animation({Anih(1, 1, 1)})},
        {"not ACON", Animation({Anih(1, 1, 1), fram}, "AVI ")},
        {"RIFF length one past the end", Patched(good, 4, std::uint32_t(good.size() - 7))},
        {"RIFF length 0xFFFFFFFF", Patched(good, 4, 0xFFFFFFFF)},
        {"RIFF length 3", Patched(good, 4, 3)},
        {"RIFF length cuts a chunk", Patched(good, 4, std::uint32_t(good.size() - 28))},
        {"chunk length 0xFFFFFFFF", Patched(good, 16, 0xFFFFFFFF)},
        {"chunk length wrapping", Patched(good, 16, 0xFFFFFFF8)},
        {"icon length past its list", Patched(good, firstIcon + 4, 0x7FFFFFFF)},
        {"icons in a nested list", Animation({Anih(1, 1, 1), Riff("fram", {fram})})},
        {"an animation as a frame", Animation({Anih(1, 1, 1), Riff("fram", {Chunk("icon", good)})})},
        {"an empty frame", Animation({Anih(1, 1, 1), Riff("fram", {Chunk("icon", {})})})},
        {"frames of two sizes", Animation({Anih(2, 2, 1), Riff("fram", {Chunk("icon", Cursor32()),
                                                                       Chunk("icon", IconFile({{16, 16, 0, 0, Solid(16, 16)}}))})})},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_EQ(Load(bytes), nullptr) << name;
}

TEST(BrokenCursorFile, FrameAndPixelLimits)
{
    const ByteVector tiny = Chunk("icon", IconFile({{1, 1, 0, 0, Solid(1, 1)}}));
    std::vector<ByteVector> icons(1025, tiny);
    EXPECT_EQ(Load(Animation({Anih(1, 1, 1), Riff("fram", icons)})), nullptr);
    icons.pop_back();
    EXPECT_EQ(Describe(Animation({Anih(1024, 1, 1), Riff("fram", icons)})), "1x1 hotspot 0,0 frames 1024");

    // 257 frames of 256 x 256 exceed 16M pixels; 256 do not.
    std::vector<ByteVector> large(257, Chunk("icon", IconFile({{0, 0, 0, 0, Solid(256, 256)}})));
    EXPECT_EQ(Load(Animation({Anih(257, 1, 1), Riff("fram", large)})), nullptr);
    large.pop_back();
    EXPECT_EQ(Describe(Animation({Anih(256, 1, 1), Riff("fram", large)})), "256x256 hotspot 0,0 frames 256");

    // Thousands of empty chunks are walked past, one header at a time.
    std::vector<ByteVector> chunks(5000, Chunk("null", {}));
    chunks.push_back(Anih(1, 1, 1));
    chunks.push_back(Riff("fram", {Chunk("icon", Cursor32())}));
    EXPECT_NE(Load(Animation(chunks)), nullptr);
}

// Overwrites bytes of valid files at pseudo-random places: whatever still
// loads keeps every promise of a shape, and nothing reads out of bounds.
TEST(BrokenCursorFile, CorruptedBytesNeverBreakAShapesPromises)
{
    const ByteVector samples[] = {
        Cursor32(),
        IconFile({{4, 4, 1, 1, Png(4, 4, [](int x, int) { return 0x80000000u * std::uint32_t(x % 2); })}}),
        TwoFrames({Chunk("rate", Words({1, 2})), Chunk("seq ", Words({1, 0}))}),
    };
    std::uint32_t state = 12345;
    auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 8; };
    for (const ByteVector& sample : samples) {
        for (int round = 0; round < 400; ++round) {
            ByteVector bytes = sample;
            for (int i = 0, flips = 1 + int(next() % 4); i < flips; ++i)
                bytes[next() % bytes.size()] = std::uint8_t(next());
            auto shape = Load(bytes);
            if (!shape)
                continue;
            EXPECT_TRUE(shape->width() >= 1 && shape->width() <= 256 && shape->height() >= 1 && shape->height() <= 256);
            EXPECT_TRUE(shape->hotspotX() >= 0 && shape->hotspotX() < shape->width() && shape->hotspotY() >= 0 &&
                        shape->hotspotY() < shape->height());
            for (const CursorFrame& f : shape->frames())
                EXPECT_TRUE(f.image.width() == shape->width() && f.image.height() == shape->height() &&
                            f.opacity.size() == std::size_t(shape->width() * shape->height()));
            for (const CursorStep& s : shape->steps())
                EXPECT_TRUE(s.frame >= 0 && s.frame < shape->frameCount());
        }
    }
}

TEST(CursorFiles, LoadsByContentsAndRejectsWhatIsNotAFile)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("zenvas-cursor-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "folder.cur");
    auto write = [&dir](const std::string& name, const ByteVector& bytes) {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return (dir / name).string();
    };
    EXPECT_EQ(DescribeCursor(LoadCursorFile(write("arrow.cur", Cursor32(6, 7))).get()), "32x32 hotspot 6,7 frames 1");
    EXPECT_EQ(DescribeCursor(LoadCursorFile(write("busy.cur", TwoFrames())).get()), "32x32 hotspot 1,2 frames 2");
    EXPECT_EQ(LoadCursorFile(write("empty.cur", {})), nullptr);
    EXPECT_EQ(LoadCursorFile(write("text.ani", {'h', 'i'})), nullptr);
    EXPECT_EQ(LoadCursorFile((dir / "absent.cur").string()), nullptr);
    EXPECT_EQ(LoadCursorFile((dir / "folder.cur").string()), nullptr);
    EXPECT_EQ(LoadCursorFile(""), nullptr);
    // A file past the size limit is refused before it is read (a sparse file).
    const std::string huge = write("huge.cur", Cursor32());
    std::filesystem::resize_file(huge, (std::uintmax_t(32) << 20) + 1);
    EXPECT_EQ(LoadCursorFile(huge), nullptr);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace forms
