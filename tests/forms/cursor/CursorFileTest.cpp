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

std::shared_ptr<const CursorShape> Load(const ByteVector& bytes) { return LoadCursorFromBytes(bytes); }

ByteVector Cut(const ByteVector& bytes, std::size_t size) { return {bytes.begin(), bytes.begin() + std::ptrdiff_t(size)}; }

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

ByteVector Patched(ByteVector bytes, std::size_t at, std::uint32_t value, int width = 4)
{
    for (int i = 0; i < width; ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
    return bytes;
}

ByteVector Frames(std::uint32_t count, const ByteVector& icon, std::vector<ByteVector> before = {})
{
    before.push_back(Anih(count, 1, 1));
    before.push_back(Riff("fram", std::vector<ByteVector>(count, Chunk("icon", icon))));
    return Animation(before);
}

TEST(StaticCursor, EveryImageKindGivesItsColoursAndOpacity)
{
    const PixelFn none = [](int, int) { return 0u; }, all = [](int, int) { return 1u; };
    auto one = [](int w, int h, const ByteVector& image) { return IconFile({{w, h, 0, 0, image}}); };
    const struct {
        const char* name;
        ByteVector file;
        struct Probe {
            int x, y;
            gdi::Color colour;
            int opacity;
        };
        std::vector<Probe> probes;
    } cases[] = {
        {"1 bit; rows from the bottom, so the see-through row is the top one", Cursor32(),
         {{0, 5, Rgb(0, 0, 0), 255}, {31, 31, Rgb(255, 255, 255), 255}, {5, 0, Rgb(255, 255, 255), 0}}},
        {"4 bits, odd width",
         one(3, 2, Dib(3, 2, 4, [](int x, int y) { return std::uint32_t(x + y); },
                       [](int x, int y) { return x == 2 && y == 1 ? 1u : 0u; }, {0, 0x102030, 0x405060, 0x708090})),
         {{1, 0, Rgb(0x10, 0x20, 0x30), 255}, {1, 1, Rgb(0x40, 0x50, 0x60), 255}, {2, 1, Rgb(0x70, 0x80, 0x90), 0}}},
        {"8 bits, an index past the palette reads black",
         one(2, 1, Dib(2, 1, 8, [](int x, int) { return x == 0 ? 1u : 200u; }, none, {0xFF0000, 0x00FF00})),
         {{0, 0, Rgb(0, 255, 0), 255}, {1, 0, Rgb(0, 0, 0), 255}}},
        {"24 bits", one(3, 2, Dib(3, 2, 24, [](int x, int y) { return 0x010203u * (x + 1) + 0x100000u * y; })),
         {{2, 0, Rgb(0x03, 0x06, 0x09), 255}, {0, 1, Rgb(0x11, 0x02, 0x03), 255}}},
        {"32 bits: any alpha wins over the mask; see-through is not inverting",
         one(2, 2, Dib(2, 2, 32, [](int x, int y) { return (std::uint32_t(x * 100 + y * 50) << 24) | 0x336699; }, all)),
         {{1, 1, Rgb(0x33, 0x66, 0x99), 150}, {0, 0, Rgb(0, 0, 0), 0}}},
        {"32 bits with all alpha zero: the mask decides",
         one(2, 2, Dib(2, 2, 32, [](int, int) { return 0x123456u; }, [](int x, int) { return x == 1 ? 1u : 0u; })),
         {{0, 1, Rgb(0x12, 0x34, 0x56), 255}, {1, 1, Rgb(0x12, 0x34, 0x56), 0}}},
        {"32 bits may leave the mask out", one(2, 2, Dib(2, 2, 32, [](int, int) { return 0x80FFFFFFu; }, all, {}, false)),
         {{1, 1, Rgb(255, 255, 255), 0x80}}},
        {"PNG keeps colours and alpha",
         one(3, 2, Png(3, 2, [](int x, int y) {
                 return (std::uint32_t(x * 80 + y) << 24) | (0x010000u * (10 + x) + 0x100u * (20 + y) + 30);
             })),
         {{0, 0, Rgb(0, 0, 0), 0}, {0, 1, Rgb(10, 21, 30), 1}, {2, 1, Rgb(12, 21, 30), 161}}},
    };
    for (const auto& t : cases) {
        auto shape = Load(t.file);
        ASSERT_NE(shape, nullptr) << t.name;
        ASSERT_EQ(shape->steps().size(), 1u) << t.name;
        EXPECT_EQ(shape->steps()[0].jiffies, 0u) << t.name;
        for (const auto& p : t.probes) {
            EXPECT_EQ(shape->frame(0).image.pixel(p.x, p.y), p.colour) << t.name << " at " << p.x << "," << p.y;
            EXPECT_EQ(shape->frame(0).opacityAt(p.x, p.y), p.opacity) << t.name << " at " << p.x << "," << p.y;
        }
    }
}

TEST(CursorFile, SizeHotspotAndFrameCount)
{
    ByteVector outside = IconFile({{32, 32, 1, 1, Solid(32, 32)}, {16, 16, 2, 2, Solid(16, 16)}});
    outside = Patched(outside, 6 + 12, 0xFFFFFFF0u);
    ByteVector odd = Cursor32();
    odd.push_back(0); // the icon ignores it
    ByteVector fram{'f', 'r', 'a', 'm'};
    Append(fram, Chunk("icon", odd, false));
    ByteVector trailing = Animation({Riff("INFO", {Chunk("INAM", {'a', 'b', 'c'}), Chunk("IART", {'x'})}),
                                     Chunk("junk", {1, 2, 3}), Anih(1, 1, 4),
                                     Riff("fram", {Chunk("zzzz", {9}), Chunk("icon", Cursor32(2, 3))})});
    trailing.insert(trailing.end(), {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF}); // after the RIFF length
    const std::pair<ByteVector, const char*> cases[] = {
        // The 32 x 32 image, else the largest, then the deepest.
        {IconFile({{16, 16, 1, 1, Solid(16, 16, 32)}, {48, 48, 2, 2, Solid(48, 48, 32)}, {32, 32, 3, 3, Solid(32, 32)}}),
         "32x32 hotspot 3,3 frames 1"},
        {IconFile({{32, 32, 1, 1, Solid(32, 32, 4)}, {32, 32, 2, 2, Solid(32, 32, 24)}, {32, 32, 4, 4, Solid(32, 32, 8)}}),
         "32x32 hotspot 2,2 frames 1"},
        {IconFile({{48, 48, 1, 1, Solid(48, 48)}, {0, 0, 200, 9, Solid(256, 256)}, {16, 16, 3, 3, Solid(16, 16, 32)}}),
         "256x256 hotspot 200,9 frames 1"},
        {outside, "16x16 hotspot 2,2 frames 1"}, // an entry outside the file is passed over
        {Cursor32(40, 65535), "32x32 hotspot 31,31 frames 1"},
        // In an icon the hot spot fields are planes and bit count: the centre.
        {IconFile({{32, 32, 1, 32, Solid(32, 32)}}, 1), "32x32 hotspot 16,16 frames 1"},
        {IconFile({{5, 3, 1, 1, Solid(5, 3)}}, 1), "5x3 hotspot 2,1 frames 1"},
        {Frames(1, IconFile({{16, 16, 1, 1, Solid(16, 16)}}, 1)), "16x16 hotspot 8,8 frames 1"},
        // Unknown chunks, odd sizes, a last pad byte missing, trailing bytes.
        {trailing, "32x32 hotspot 2,3 frames 1"},
        {Animation({Anih(1, 1, 4), Chunk("LIST", fram, false)}), "32x32 hotspot 3,4 frames 1"},
        // Limits: 1024 frames, 256 frames of 256 x 256, thousands of chunks.
        {Frames(1024, IconFile({{1, 1, 0, 0, Solid(1, 1)}})), "1x1 hotspot 0,0 frames 1024"},
        {Frames(256, IconFile({{0, 0, 0, 0, Solid(256, 256)}})), "256x256 hotspot 0,0 frames 256"},
        {Frames(1, Cursor32(), std::vector<ByteVector>(5000, Chunk("null", {}))), "32x32 hotspot 3,4 frames 1"},
    };
    for (const auto& [file, want] : cases)
        EXPECT_EQ(DescribeCursor(Load(file).get()), want) << &file - &cases[0].first;
}

TEST(AnimatedCursor, RatesAndSequenceGiveTheSteps)
{
    auto shape = Load(Animation({Anih(3, 4, 10, 3), Chunk("rate", Words({5, 6, 7, 8})), Chunk("seq ", Words({2, 0, 2, 1})),
                                 Riff("fram", {Chunk("icon", Cursor32(3, 4, 0xFF)), Chunk("icon", Cursor32(9, 9, 0xFF00)),
                                               Chunk("icon", Cursor32(9, 9, 0xFF0000))})}));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(DescribeCursor(shape.get()), "32x32 hotspot 3,4 frames 3");
    ASSERT_EQ(shape->steps().size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(shape->steps()[i].frame, (std::vector<int>{2, 0, 2, 1}[i]));
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

// One file per kind of damage; random damage is the fuzzer's (fuzz/CursorFuzz.cpp).
TEST(BrokenCursorFile, DamagedFieldsFail)
{
    const ByteVector good = Cursor32(), ani = TwoFrames(), fram = Riff("fram", {Chunk("icon", good)});
    const ByteVector png = Png(4, 4, [](int, int) { return 0xFF000000u; });
    ASSERT_NE(Load(IconFile({{4, 4, 0, 0, png}})), nullptr);
    const std::size_t dib = 22; // the image's header, after a one-entry directory
    const std::pair<const char*, ByteVector> cases[] = {
        {"cut in the directory", Cut(good, 10)},
        {"cut in the image header", Cut(good, dib + 8)},
        {"cut in the last mask row", Cut(good, good.size() - 1)},
        {"animation cut in its header", Cut(ani, 30)},
        {"animation cut in its last frame", Cut(ani, ani.size() - 1)},
        {"type 3", Patched(good, 2, 3, 2)},
        {"no entries", Patched(good, 4, 0, 2)},
        {"65535 entries", Patched(good, 4, 0xFFFF, 2)},
        {"image past the end", Patched(good, 6 + 8, std::uint32_t(good.size()))},
        {"core header", Patched(good, dib, 12)},
        {"header past the image", Patched(good, dib, 0x7FFFFFFF)},
        {"no width", Patched(good, dib + 4, 0)},
        {"257 wide", Patched(good, dib + 4, 257)},
        {"top-down", Patched(good, dib + 8, 0xFFFFFFC0)},
        {"16 bits", Patched(good, dib + 14, 16, 2)},
        {"run-length", Patched(good, dib + 16, 1)},
        {"vast palette", Patched(good, dib + 32, 0xFFFFFFFF)},
        {"24 bits without a mask",
         IconFile({{2, 2, 0, 0, Dib(2, 2, 24, [](int, int) { return 0u; }, [](int, int) { return 0u; }, {}, false)}})},
        {"PNG header checksum", IconFile({{4, 4, 0, 0, Patched(png, 29, png[29] ^ 1u, 1)}})},
        {"PNG 257 wide", IconFile({{4, 4, 0, 0, Png(257, 1, [](int, int) { return 0u; })}})},
        {"PNG cut short", IconFile({{4, 4, 0, 0, ByteVector(png.begin(), png.end() - 13)}})},
        {"animation in a .cur", Patched(good, 0, 0x46464952)}, // "RIFF"
        {"no frames", TwoFrames({}, Anih(0, 2, 1))},
        {"fewer icons than frames", TwoFrames({}, Anih(3, 3, 1))},
        {"1025 frames", Frames(1025, IconFile({{1, 1, 0, 0, Solid(1, 1)}}))},
        {"257 frames of 256 x 256", Frames(257, IconFile({{0, 0, 0, 0, Solid(256, 256)}}))},
        {"4097 steps", TwoFrames({}, Anih(2, 4097, 1))},
        {"frames not icons", TwoFrames({}, Anih(2, 2, 1, 0))},
        {"short header", TwoFrames({}, Chunk("anih", Words({36, 2, 2})))},
        {"short rate", TwoFrames({Chunk("rate", Words({1}))})},
        {"sequence past the frames", TwoFrames({Chunk("seq ", Words({0, 2}))})},
        {"two headers", TwoFrames({Anih(2, 2, 1)})},
        {"no frame list", Animation({Anih(1, 1, 1)})},
        {"not ACON", Animation({Anih(1, 1, 1), fram}, "AVI ")},
        {"RIFF length one past the end", Patched(ani, 4, std::uint32_t(ani.size() - 7))},
        {"chunk length wrapping", Patched(ani, 16, 0xFFFFFFF8)},
        {"icon length past its list", Patched(ani, 12 + 44 + 12 + 4, 0x7FFFFFFF)},
        {"icons in a nested list", Animation({Anih(1, 1, 1), Riff("fram", {fram})})},
        {"an animation as a frame", Frames(1, ani)},
        {"frames of two sizes", Animation({Anih(2, 2, 1), Riff("fram", {Chunk("icon", good),
                                                                       Chunk("icon", IconFile({{16, 16, 0, 0, Solid(16, 16)}}))})})},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_EQ(Load(bytes), nullptr) << name;
}

TEST(CursorFiles, LoadsByContentsAndRejectsWhatIsNotAFile)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("zenvas-cursor-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "folder.cur");
    auto write = [&dir](const std::string& name, const ByteVector& bytes) {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return (dir / name).string();
    };
    EXPECT_EQ(DescribeCursor(LoadCursorFile(write("arrow.cur", Cursor32(6, 7))).get()), "32x32 hotspot 6,7 frames 1");
    EXPECT_EQ(DescribeCursor(LoadCursorFile(write("busy.cur", TwoFrames())).get()), "32x32 hotspot 1,2 frames 2");
    for (const std::string& path : {write("empty.cur", {}), write("text.ani", {'h', 'i'}), (dir / "absent.cur").string(),
                                    (dir / "folder.cur").string(), std::string()})
        EXPECT_EQ(LoadCursorFile(path), nullptr) << path;
    // A file past the size limit is refused before it is read (a sparse file).
    const std::string huge = write("huge.cur", Cursor32());
    std::filesystem::resize_file(huge, (std::uintmax_t(32) << 20) + 1);
    EXPECT_EQ(LoadCursorFile(huge), nullptr);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace forms
