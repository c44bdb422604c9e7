#include "effects/Transforms.h"
#include "effects/ColourMaps.h"
#include "platform/gdi/Error.h"
#include "platform/gdi/Vectors.h"
#include "plugin/Random.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace zenvas {
namespace {

constexpr std::uint32_t kSeed = 12345;
constexpr gdi::Color kSeam = gdi::Rgb(0, 0, 255);
using Grid = std::vector<std::vector<int>>;
using gdi::test::Diff;
using gdi::test::Picture;

// Pixel (x, y) has red 10y + x, so a moved pixel shows where it came from.
gdi::Bitmap Numbered(int width, int height)
{
    return Picture(width, height, [](int x, int y) { return gdi::Rgb(y * 10 + x, 7, 9); });
}

// The red channel of every pixel; -1 where the pixel is the seam colour.
Grid Reds(const gdi::Bitmap& bitmap)
{
    Grid rows(bitmap.height());
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            rows[y].push_back(bitmap.pixel(x, y) == kSeam ? -1 : gdi::RedOf(bitmap.pixel(x, y)));
    return rows;
}

// The random transforms reseed to a fixed value; expected pixels were
// worked out from the generator's rule by hand (a short script).
class FixedSeed : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = EffectReseed();
        EffectReseed() = [] { SetRandomSeed(kSeed); };
    }
    void TearDown() override { EffectReseed() = saved_; }

private:
    ReseedRoutine saved_ = nullptr;
};

TEST(ColourAdjustments, ShiftsKeepChannelsThatWouldLeaveTheRange)
{
    gdi::Bitmap bitmap = Picture(2, 1, [](int x, int) { return x ? gdi::Rgb(255, 10, 255) : gdi::Rgb(100, 20, 250); });
    EXPECT_TRUE(BitmapChangeRGB(bitmap, 10, 0, 10));
    EXPECT_EQ(bitmap.pixel(0, 0), gdi::Rgb(110, 20, 250));
    BitmapChangeRGB(bitmap, -255, -255, -255);
    EXPECT_EQ(bitmap.pixel(1, 0), gdi::Rgb(0, 10, 0));
    BitmapChangeRGB(bitmap, 2147483647, -2147483647 - 1, 0);
    EXPECT_EQ(bitmap.pixel(1, 0), gdi::Rgb(0, 10, 0));
    EXPECT_FALSE(BitmapChangeRGB(bitmap, 0, 0, 0));
}

TEST(ColourAdjustments, GammaTableMatchesTheCurvePoints)
{
    const int at[] = {16, 32, 64, 128, 192, 254, 255};
    const int seven[] = {5, 13, 35, 95, 170, 254, 255};
    const int five[] = {1, 4, 16, 64, 145, 253, 255};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(GammaTable(0.7)[at[k]], seven[k]) << at[k];
        EXPECT_EQ(GammaTable(0.5)[at[k]], five[k]) << at[k];
    }
    // Gamma 0 acts as 0.01: zero up to 239.
    const auto zero = GammaTable(0.0);
    EXPECT_EQ(zero, GammaTable(0.01));
    EXPECT_EQ(zero[239], 0);
    const int high[] = {240, 243, 248, 250, 252, 253, 254, 255};
    const int highValues[] = {1, 2, 16, 35, 78, 116, 172, 255};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(zero[high[k]], highValues[k]) << high[k];
    // 1 is the identity; a negative gamma saturates instead of wrapping.
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(GammaTable(1.0)[i], i);
        EXPECT_EQ(GammaTable(-0.3)[i], i == 0 ? 0 : 255);
    }
}

TEST(ColourAdjustments, NegativeInvertsAndTwiceRestores)
{
    gdi::Bitmap bitmap = Numbered(5, 3);
    const gdi::Bitmap before = bitmap;
    BitmapNegative(bitmap);
    EXPECT_EQ(bitmap.pixel(4, 2), gdi::Rgb(231, 248, 246));
    BitmapNegative(bitmap);
    EXPECT_EQ(Diff(bitmap, before), "");
}

TEST(ColourAdjustments, MonochromeTintsByTheChannelSum)
{
    const int components[] = {1, 2, 10, 30, 50, 70, 90, 99, 100, 101, 255};
    const int factors[] = {3, 5, 26, 76, 128, 178, 230, 252, 255, 255, 255};
    for (int k = 0; k < 11; ++k)
        EXPECT_EQ(TintFactor(components[k]), factors[k]) << components[k];

    // Channel sums 150, 765, 0 and 300.
    const gdi::Color pixels[] = {gdi::Rgb(50, 50, 50), gdi::Rgb(255, 255, 255), 0, gdi::Rgb(100, 100, 100)};
    const auto tinted = [&](gdi::Color tint, int x) {
        gdi::Bitmap bitmap = Picture(4, 1, [&](int px, int) { return pixels[px]; });
        BitmapMonochrome(bitmap, tint);
        return bitmap.pixel(x, 0);
    };
    EXPECT_EQ(tinted(gdi::Rgb(100, 100, 100), 0), gdi::Rgb(128, 128, 128)); // 127.5 to even
    EXPECT_EQ(tinted(gdi::Rgb(100, 100, 100), 1), gdi::Rgb(255, 255, 255));
    EXPECT_EQ(tinted(gdi::Rgb(100, 100, 100), 2), 0u);
    EXPECT_EQ(tinted(gdi::Rgb(50, 10, 90), 3), gdi::Rgb(128, 26, 230));
    EXPECT_EQ(tinted(gdi::Rgb(2, 2, 2), 0), gdi::Rgb(2, 2, 2));            // 2.5 to even
    EXPECT_EQ(tinted(gdi::Rgb(1, 1, 1), 0), gdi::Rgb(2, 2, 2));            // 1.5 to even
    EXPECT_EQ(tinted(gdi::Rgb(200, 128, 0), 3), gdi::Rgb(255, 255, 0));    // limited, not wrapped
}

// Random pictures whose first row runs through every byte in every
// channel (partial vectors are left to the alignment test below).
std::vector<gdi::Bitmap> VectorTestPictures()
{
    std::uint32_t state = 777;
    const auto next = [&] { return int((state = state * 1103515245u + 12345u) >> 24); };
    std::vector<gdi::Bitmap> pictures;
    for (auto [w, h] : {std::pair{259, 3}, {97, 1}})
        pictures.push_back(Picture(w, h, [&](int x, int y) {
            return y == 0 ? gdi::Rgb(x % 256, (x + 85) % 256, (x + 170) % 256) : gdi::Rgb(next(), next(), next());
        }));
    return pictures;
}

// Every vector path the processor has gives the plain path's bytes.
void ExpectVectorsMatchPlain(const std::function<void(gdi::Bitmap&)>& transform, const std::string& what)
{
    for (const gdi::Bitmap& picture : VectorTestPictures()) {
        gdi::Bitmap plain = picture;
        const gdi::Vectors saved = gdi::LimitVectors(gdi::Vectors::Plain);
        transform(plain);
        for (gdi::Vectors level : {gdi::Vectors::Avx2, gdi::Vectors::Avx512}) {
            if (level > gdi::MachineVectors())
                continue;
            gdi::Bitmap vector = picture;
            gdi::LimitVectors(level);
            transform(vector);
            gdi::LimitVectors(saved);
            ASSERT_EQ(Diff(vector, plain), "")
                << what << " " << gdi::VectorsName(level) << " " << picture.width() << "x" << picture.height();
        }
        gdi::LimitVectors(saved);
    }
}

TEST(ColourAdjustments, VectorPathsMatchThePlainOneOnEveryTable)
{
    // Every gamma the action makes from tenths up to 10, some far beyond,
    // and the saturating negatives.
    for (int tenths = -30; tenths <= 100; ++tenths)
        ExpectVectorsMatchPlain([&](gdi::Bitmap& b) { BitmapChangeGamma(b, tenths / 10.0); },
                                "gamma " + std::to_string(tenths));
    for (int tenths : {1000, 123456, 2147483647})
        ExpectVectorsMatchPlain([&](gdi::Bitmap& b) { BitmapChangeGamma(b, tenths / 10.0); },
                                "gamma " + std::to_string(tenths));
    // Every change from -256 to 256 in each channel, and the far ones.
    for (int c = -256; c <= 256; ++c) {
        const int green = (c * 37 + 4096) % 513 - 256;
        ExpectVectorsMatchPlain([&](gdi::Bitmap& b) { BitmapChangeRGB(b, c, green, -c); },
                                "shift " + std::to_string(c) + "," + std::to_string(green));
    }
    ExpectVectorsMatchPlain([](gdi::Bitmap& b) { BitmapChangeRGB(b, 2147483647, -2147483647 - 1, 300); }, "far shift");
    // Every tint factor in each channel.
    for (int k = 0; k <= 101; ++k)
        ExpectVectorsMatchPlain([&](gdi::Bitmap& b) { BitmapMonochrome(b, gdi::Rgb(k, 101 - k, (k * 37) % 102)); },
                                "tint " + std::to_string(k));
    ExpectVectorsMatchPlain([](gdi::Bitmap& b) { BitmapMonochrome(b, gdi::Rgb(255, 200, 0)); }, "tint above 100");
}

// The vector paths start and end runs wherever a picture's bytes happen to
// lie: every start within a 64-byte line and every length up to 200 pixels
// (past the widest step, 128 pixels, and one of each narrower after it).
TEST(ColourAdjustments, VectorPathsMatchThePlainOneAtEveryAlignment)
{
    std::vector<std::uint8_t> random(64 + 600 + 64);
    std::uint32_t state = 99;
    for (auto& byte : random)
        byte = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    const ByteTable gamma = GammaTable(0.7);
    SumTable sums{};
    for (std::size_t s = 0; s < sums.size(); ++s)
        sums[s] = std::uint32_t(s * 7 % 256) | std::uint32_t(255 - s / 3) << 8 | std::uint32_t(s % 256) << 16;
    const std::array<std::int32_t, 3> shift{-20, 200, 7};
    const auto apply = [&](std::uint8_t* p, std::size_t pixels) {
        MapEveryByte(p, pixels * 3, gamma);
        ShiftChannels(p, pixels, shift);
        MapChannelSums(p, pixels, sums);
    };
    for (gdi::Vectors level : {gdi::Vectors::Avx2, gdi::Vectors::Avx512}) {
        if (level > gdi::MachineVectors())
            continue;
        for (std::size_t start = 0; start < 64; ++start)
            for (std::size_t pixels = 0; pixels <= 200; ++pixels) {
                alignas(64) std::uint8_t plain[64 + 600 + 64], vector[64 + 600 + 64];
                std::memcpy(plain, random.data(), sizeof plain);
                std::memcpy(vector, random.data(), sizeof vector);
                const gdi::Vectors saved = gdi::LimitVectors(gdi::Vectors::Plain);
                apply(plain + start, pixels);
                gdi::LimitVectors(level);
                apply(vector + start, pixels);
                gdi::LimitVectors(saved);
                ASSERT_EQ(std::memcmp(plain, vector, sizeof plain), 0)
                    << gdi::VectorsName(level) << " from " << start << ", " << pixels << " pixels";
            }
    }
}

TEST_F(FixedSeed, EmptyPicturesAreLeftAlone)
{
    for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 4}, std::pair{4, 0}}) {
        gdi::Bitmap bitmap(w, h);
        BitmapChangeRGB(bitmap, 5, 5, 5);
        BitmapChangeGamma(bitmap, 0.3);
        BitmapNegative(bitmap);
        BitmapMonochrome(bitmap, kSeam);
        BitmapBlock(bitmap, 1, 1, 3, kSeam);
        BitmapFrostGlass(bitmap, 3, 3, kSeam);
        BitmapMonoPixel(bitmap, 1, 2);
        BitmapAddNoise(bitmap, 100, false);
        EXPECT_EQ(bitmap.width(), w);
        EXPECT_EQ(bitmap.height(), h);
    }
}

TEST_F(FixedSeed, BlocksMoveByTheirDraws)
{
    // Row draw then column draw per block; columns of blocks from the left,
    // later blocks covering earlier ones.
    gdi::Bitmap bitmap = Numbered(5, 4);
    BitmapBlock(bitmap, 2, 2, 3, kSeam);
    EXPECT_EQ(Reds(bitmap), (Grid{{-1, 0, 1, -1, -1}, {20, 21, 11, -1, -1}, {30, 31, 2, 24, -1}, {-1, -1, 12, 34, -1}}));
    EXPECT_EQ(RandomSeed(), 1872036929u);

    for (int seam : {0, 1, -7}) {
        gdi::Bitmap still = Numbered(7, 5);
        BitmapBlock(still, 3, 2, seam, kSeam);
        EXPECT_EQ(Diff(still, Numbered(7, 5)), "") << seam;
    }
    gdi::Bitmap untouched = Numbered(4, 4);
    BitmapBlock(untouched, 0, 2, 2, kSeam);
    EXPECT_EQ(Diff(untouched, Numbered(4, 4)), "");
}

TEST_F(FixedSeed, FrostSwapsWithNeighboursShortOfTheLastColumnAndRow)
{
    gdi::Bitmap bitmap = Numbered(4, 3);
    BitmapFrostGlass(bitmap, 2, 2, kSeam);
    EXPECT_EQ(Reds(bitmap), (Grid{{10, 1, -1, -1}, {20, 21, -1, -1}, {10, 11, -1, -1}}));

    for (int size : {0, 1, -3}) {
        gdi::Bitmap still = Numbered(4, 3);
        BitmapFrostGlass(still, size, size, kSeam);
        EXPECT_EQ(Reds(still), (Grid{{0, 1, 2, -1}, {10, 11, 12, -1}, {-1, -1, -1, -1}})) << size;
    }
    gdi::Bitmap thin = Numbered(1, 5);
    BitmapFrostGlass(thin, 3, 3, kSeam);
    EXPECT_EQ(Reds(thin), (Grid{{-1}, {-1}, {-1}, {-1}, {-1}}));
}

// Every window filled in turn, straight from the description.
void ReferenceMonoPixel(gdi::Bitmap& bitmap, int cellWidth, int cellHeight)
{
    const int width = bitmap.width(), height = bitmap.height();
    for (int i = 0; i <= (width - 1) / cellWidth; ++i)
        for (int j = 0; j <= (height - 1) / cellHeight; ++j) {
            const int x1 = cellWidth * i, x2 = std::min(cellWidth * (i + 1), width - 1);
            const int y1 = cellHeight * j, y2 = std::min(cellHeight * (j + 1), height - 1);
            long sums[3] = {0, 0, 0};
            for (int y = y1; y <= y2; ++y)
                for (int x = x1; x <= x2; ++x) {
                    sums[0] += gdi::RedOf(bitmap.pixel(x, y));
                    sums[1] += gdi::GreenOf(bitmap.pixel(x, y));
                    sums[2] += gdi::BlueOf(bitmap.pixel(x, y));
                }
            const long n = long(x2 - x1 + 1) * (y2 - y1 + 1);
            for (int y = y1; y <= y2; ++y)
                for (int x = x1; x <= x2; ++x)
                    bitmap.setPixel(x, y, gdi::Rgb(int(sums[0] / n), int(sums[1] / n), int(sums[2] / n)));
        }
}

TEST(MonoPixel, WindowsShareTheirLastColumnAndRowSizeOneLeavesThePictureAndZeroFails)
{
    // Windows x 0..2, 2..4 and 4..4: the second averages the first's fill.
    gdi::Bitmap row = Picture(5, 1, [](int x, int) { return gdi::Rgb(0, 0, 10 * (x + 1)); });
    BitmapMonoPixel(row, 2, 2);
    const int blues[] = {20, 20, 36, 36, 36};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(row.pixel(x, 0), gdi::Rgb(0, 0, blues[x])) << x;

    // Pictures wide and tall enough for several bands of cells worked on
    // at vector width, and the edges where bands enter and leave.
    std::uint32_t state = 12345;
    const auto next = [&] { return int((state = state * 1103515245u + 12345u) >> 24); };
    for (gdi::Vectors level : {gdi::Vectors::Plain, gdi::Vectors::Avx2, gdi::Vectors::Avx512}) {
        if (level > gdi::MachineVectors())
            continue;
        const gdi::Vectors cap = gdi::LimitVectors(level);
        for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {3, 3}, {17, 13}, {64, 33}, {40, 90}, {211, 250}})
            for (auto [cw, ch] : {std::pair{2, 2}, {1, 2}, {2, 1}, {3, 5}, {7, 7}, {16, 16}, {100, 3}, {2, 40}}) {
                gdi::Bitmap actual = Picture(w, h, [&](int, int) { return gdi::Rgb(next(), next(), next()); });
                gdi::Bitmap expected = actual;
                BitmapMonoPixel(actual, std::uint16_t(cw), std::uint16_t(ch));
                ReferenceMonoPixel(expected, cw, ch);
                EXPECT_EQ(Diff(actual, expected), "")
                    << w << "x" << h << " cells " << cw << "x" << ch << ", " << gdi::VectorsName(level);
            }
        gdi::LimitVectors(cap);
    }

    gdi::Bitmap bitmap = Numbered(4, 3);
    BitmapMonoPixel(bitmap, 1, 1);
    EXPECT_THROW(BitmapMonoPixel(bitmap, 0, 2), gdi::Error);
    EXPECT_THROW(BitmapMonoPixel(bitmap, 2, 0), gdi::Error);
    EXPECT_EQ(Diff(bitmap, Numbered(4, 3)), "");
}

// The random transforms straight from their description: one draw after
// another from the shared generator, a copy of the picture to read from.
void ReferenceBlock(gdi::Bitmap& bitmap, int blockWidth, int blockHeight, int seam, gdi::Color colour)
{
    const gdi::Bitmap copy = bitmap;
    bitmap.fill(colour);
    seam = std::max(seam, 0);
    for (int i = 0; i <= (bitmap.width() - 1) / blockWidth; ++i)
        for (int j = 0; j <= (bitmap.height() - 1) / blockHeight; ++j) {
            const std::int64_t dy = RandomShift(blockHeight * j, seam) - blockHeight * j;
            const std::int64_t dx = RandomShift(blockWidth * i, seam) - blockWidth * i;
            for (int y = blockHeight * j; y < std::min(blockHeight * (j + 1), copy.height()); ++y)
                for (int x = blockWidth * i; x < std::min(blockWidth * (i + 1), copy.width()); ++x)
                    if (x + dx >= 0 && x + dx < copy.width() && y + dy >= 0 && y + dy < copy.height())
                        bitmap.setPixel(int(x + dx), int(y + dy), copy.pixel(x, y));
        }
}

void ReferenceFrost(gdi::Bitmap& bitmap, int rangeX, int rangeY, gdi::Color colour)
{
    const gdi::Bitmap copy = bitmap;
    bitmap.fill(colour);
    for (int y = 0; y < copy.height(); ++y)
        for (int x = 0; x < copy.width(); ++x) {
            const std::int64_t nx = RandomShift(x, std::max(rangeX, 0));
            const std::int64_t ny = RandomShift(y, std::max(rangeY, 0));
            if (nx < 0 || nx >= copy.width() - 1 || ny < 0 || ny >= copy.height() - 1)
                continue;
            bitmap.setPixel(x, y, copy.pixel(int(nx), int(ny)));
            bitmap.setPixel(int(nx), int(ny), copy.pixel(x, y));
        }
}

void ReferenceNoise(gdi::Bitmap& bitmap, int amount, bool blackAndWhite)
{
    amount = std::max(amount, 0);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) {
            const gdi::Color c = bitmap.pixel(x, y);
            int channels[3] = {gdi::RedOf(c), gdi::GreenOf(c), gdi::BlueOf(c)};
            const int shared = blackAndWhite ? Random(amount) - amount / 2 : 0;
            for (int& channel : channels)
                channel = ClampByte(channel + (blackAndWhite ? shared : Random(amount) - amount / 2));
            bitmap.setPixel(x, y, gdi::Rgb(channels[0], channels[1], channels[2]));
        }
}

TEST(RandomTransforms, EveryPathTakesTheDescribedDrawsPixelForPixel)
{
    enum Kind { Blocks, Frost, Noise };
    struct Case {
        Kind kind;
        int a, b, c; // blocks: width, height, seam; frost: ranges; noise: amount, black and white
        void run(gdi::Bitmap& bitmap, bool reference) const
        {
            if (kind == Blocks)
                reference ? ReferenceBlock(bitmap, a, b, c, kSeam) : BitmapBlock(bitmap, a, b, c, kSeam);
            else if (kind == Frost)
                reference ? ReferenceFrost(bitmap, a, b, kSeam) : BitmapFrostGlass(bitmap, a, b, kSeam);
            else
                reference ? ReferenceNoise(bitmap, a, b) : BitmapAddNoise(bitmap, a, b);
        }
    };
    constexpr int kFar = 2147483647;
    const Case cases[] = {
        {Blocks, 7, 5, 3}, {Blocks, 2, 3, 9}, {Blocks, 16, 16, 40},
        // Moves, reaches and blocks far past any picture's size, moved
        // whole (small blocks) and row by row.
        {Blocks, 2, 3, kFar}, {Blocks, 5, 4, kFar}, {Blocks, 6, 5, 40}, {Blocks, kFar, kFar, kFar},
        {Blocks, 9, kFar, 30}, {Blocks, kFar, 2, 3},
        {Blocks, 100, 2, 5}, // runs of several hundred bytes in each row
        {Frost, 5, 5}, {Frost, 1, 3}, {Frost, 30, 2000},
        {Frost, 3, 12}, // moves up and down of more than a 256-bit row table holds
        {Frost, kFar, kFar}, {Frost, kFar, 4}, {Frost, 2, kFar},
        {Noise, 100, false}, {Noise, 1000, true}, {Noise, kFar, false},
    };
    std::uint32_t state = 777;
    const auto next = [&] { return int((state = state * 1103515245u + 12345u) >> 24); };
    const ReseedRoutine saved = EffectReseed();
    static std::uint32_t seed;
    EffectReseed() = [] { SetRandomSeed(seed); };
    for (gdi::Vectors level : {gdi::Vectors::Plain, gdi::Vectors::Avx2, gdi::Vectors::Avx512}) {
        if (level > gdi::MachineVectors())
            continue;
        const gdi::Vectors cap = gdi::LimitVectors(level);
        for (const Case& c : cases)
            // 40000 x 3: rows longer than a 16-bit distance in words.
            for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {17, 1}, {1, 9}, {3, 40}, {37, 29}, {64, 48}, {40000, 3}}) {
                seed = std::uint32_t(next()) * 16777619u;
                const gdi::Bitmap original = Picture(w, h, [&](int, int) { return gdi::Rgb(next(), next(), next()); });
                gdi::Bitmap actual = original, expected = original;
                c.run(actual, false);
                const std::uint32_t after = RandomSeed();
                SetRandomSeed(seed);
                c.run(expected, true);
                SCOPED_TRACE(testing::Message() << "kind " << c.kind << " " << c.a << "," << c.b << "," << c.c << " on "
                                                << w << "x" << h << ", " << gdi::VectorsName(level));
                EXPECT_EQ(Diff(actual, expected), "");
                EXPECT_EQ(after, RandomSeed());
            }
        gdi::LimitVectors(cap);
    }
    EffectReseed() = saved;
}

gdi::Bitmap NoisePicture()
{
    const gdi::Color colours[] = {gdi::Rgb(10, 128, 250), gdi::Rgb(0, 255, 60), gdi::Rgb(200, 100, 5)};
    return Picture(3, 1, [&](int x, int) { return colours[x]; });
}

TEST_F(FixedSeed, NoiseDrawsPerPixelOrPerChannelInRedGreenBlueOrder)
{
    gdi::Bitmap coloured = NoisePicture(), blackAndWhite = NoisePicture();
    SetRandomSeed(99); // replaced by the reseed
    BitmapAddNoise(coloured, 100, false);
    EXPECT_EQ(coloured.pixel(0, 0), gdi::Rgb(0, 106, 207));
    EXPECT_EQ(coloured.pixel(1, 0), gdi::Rgb(5, 255, 44));
    EXPECT_EQ(coloured.pixel(2, 0), gdi::Rgb(193, 57, 0));
    BitmapAddNoise(blackAndWhite, 10, true);
    EXPECT_EQ(blackAndWhite.pixel(0, 0), gdi::Rgb(8, 126, 248));
    EXPECT_EQ(blackAndWhite.pixel(1, 0), gdi::Rgb(0, 252, 57));
    EXPECT_EQ(blackAndWhite.pixel(2, 0), gdi::Rgb(195, 95, 0));

    for (int amount : {1, 0, -50}) {
        gdi::Bitmap still = NoisePicture();
        BitmapAddNoise(still, amount, false);
        EXPECT_EQ(Diff(still, NoisePicture()), "") << amount;
    }
}

} // namespace
} // namespace zenvas
