#include "pictures/PictureFiles.h"

#include "platform/gdi/Error.h"
#include "platform/gdi/codecs/Jpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zenvas {
namespace {

namespace fs = std::filesystem;

gdi::Bitmap Pattern(int width, int height)
{
    gdi::Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y, gdi::Rgb(x * 7, y * 11, (x + y) * 3));
    return bitmap;
}

bool SamePixels(const gdi::Bitmap& a, const gdi::Bitmap& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("zenvas-pictures-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path dir_;
};

TEST(FileNames, ExtensionStartsAtTheLastDotAfterTheLastSeparator)
{
    EXPECT_EQ(FileExtension("C:\\pics\\a.jpg"), ".jpg");
    EXPECT_EQ(FileExtension("photo.tar.JPEG"), ".JPEG");
    EXPECT_EQ(FileExtension("C:\\pics.d\\a"), "");
    EXPECT_EQ(FileExtension("pics.d/a"), "");
    EXPECT_EQ(FileExtension("C:a.b"), ".b");
    EXPECT_EQ(FileExtension("a.b:c"), "");
    EXPECT_EQ(FileExtension("name."), ".");
    EXPECT_EQ(FileExtension("plain"), "");
}

TEST(FileNames, SaveTargetRules)
{
    EXPECT_EQ(SavePictureTarget("C:\\pics\\a", ".jpg"), (SaveTarget{"C:\\pics\\a.jpg", true}));
    EXPECT_EQ(SavePictureTarget("C:\\pics\\a.bmp", ".jpg"), (SaveTarget{"C:\\pics\\a.jpg", true}));
    EXPECT_EQ(SavePictureTarget("C:\\pics\\a.jpg", ".bmp"), (SaveTarget{"C:\\pics\\a.bmp", false}));
    // The name's ending is compared exactly, the extension in any case and
    // appended as written.
    EXPECT_EQ(SavePictureTarget("C:\\pics\\a.JPG", ".jpg"), (SaveTarget{"C:\\pics\\a.JPG.jpg", true}));
    EXPECT_EQ(SavePictureTarget("a", ".JPG"), (SaveTarget{"a.JPG", true}));
    EXPECT_EQ(SavePictureTarget("a", ".Bmp"), (SaveTarget{"a.Bmp", false}));
    for (auto other : {"JPG", ".png", ".jpeg", ""})
        EXPECT_EQ(SavePictureTarget("a", other), (SaveTarget{"a.bmp", false})) << other;
}

TEST(PictureAreas, CropOrExtendInWhite)
{
    const gdi::Bitmap picture = Pattern(4, 3);
    const gdi::Bitmap crop = PictureArea(picture, 2, 2);
    EXPECT_EQ(crop.width(), 2);
    EXPECT_EQ(crop.pixel(1, 1), picture.pixel(1, 1));
    const gdi::Bitmap wide = PictureArea(picture, 6, 3);
    EXPECT_EQ(wide.pixel(3, 2), picture.pixel(3, 2));
    EXPECT_EQ(wide.pixel(5, 0), 0xFFFFFFu);
}

TEST_F(PictureFiles, BmpRoundTripIsExact)
{
    const gdi::Bitmap picture = Pattern(13, 7);
    SavePicture(picture, 13, 7, path("a"), ".bmp");
    EXPECT_EQ(files(), (std::vector<std::string>{"a.bmp"}));
    const auto loaded = LoadPictureFile(path("a.bmp"));
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(SamePixels(*loaded, picture));
    EXPECT_EQ(PictureFileSize(path("a.bmp")), (PictureSize{13, 7}));
    // 24 bits per pixel: 54 header bytes and rows of 13 * 3 bytes padded to 40.
    EXPECT_EQ(fs::file_size(path("a.bmp")), 54u + 40u * 7u);
}

TEST_F(PictureFiles, JpegRoundTripKeepsSizeAndColoursClose)
{
    gdi::Bitmap picture(64, 48);
    picture.fill(gdi::Rgb(200, 40, 90));
    SavePicture(picture, 64, 48, path("photo"), ".JPG");
    EXPECT_EQ(files(), (std::vector<std::string>{"photo.JPG"}));
    EXPECT_EQ(PictureFileSize(path("photo.JPG")), (PictureSize{64, 48}));
    const auto loaded = LoadPictureFile(path("photo.JPG"));
    ASSERT_TRUE(loaded);
    const gdi::Color c = loaded->pixel(30, 20);
    EXPECT_NEAR(gdi::RedOf(c), 200, 3);
    EXPECT_NEAR(gdi::GreenOf(c), 40, 3);
    EXPECT_NEAR(gdi::BlueOf(c), 90, 3);
    // Baseline (start of frame 0), three colour components, quality 95.
    std::ifstream in(path("photo.JPG"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const std::size_t frame = bytes.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    EXPECT_EQ(bytes[frame + 9], 3);
    const std::vector<std::uint8_t> encoded = gdi::EncodeJpeg(picture, 95);
    EXPECT_EQ(bytes, std::string(encoded.begin(), encoded.end()));
    fs::copy_file(path("photo.JPG"), path("copy.jpeg"));
    EXPECT_EQ(PictureFileSize(path("copy.jpeg")), (PictureSize{64, 48}));
}

TEST_F(PictureFiles, SavingDeletesTheFileNamedExactlyFirst)
{
    write("a.bmp", "old");
    SavePicture(Pattern(3, 3), 3, 3, path("a.bmp"), ".jpg");
    EXPECT_EQ(files(), (std::vector<std::string>{"a.jpg"}));

    write("b.JPG", "old");
    SavePicture(Pattern(3, 3), 3, 3, path("b.JPG"), ".jpg");
    EXPECT_EQ(files(), (std::vector<std::string>{"a.jpg", "b.JPG.jpg"}));

    SavePicture(Pattern(3, 3), 3, 3, path("c"), ".png");
    SavePicture(Pattern(3, 3), 3, 3, "", ".bmp");
    EXPECT_EQ(files(), (std::vector<std::string>{"a.jpg", "b.JPG.jpg", "c.bmp"}));
}

TEST_F(PictureFiles, UnwritablePlacesFail)
{
    EXPECT_THROW(SavePicture(Pattern(3, 3), 3, 3, path("missing/dir/a"), ".bmp"), gdi::Error);
    fs::create_directories(path("taken.bmp"));
    EXPECT_THROW(SavePicture(Pattern(3, 3), 3, 3, path("taken"), ".bmp"), gdi::Error);
}

TEST_F(PictureFiles, OnlyBmpAndJpegExtensionsAreRead)
{
    SavePicture(Pattern(5, 4), 5, 4, path("p"), ".bmp");
    fs::copy_file(path("p.bmp"), path("p.png"));
    fs::copy_file(path("p.bmp"), path("P2.BMP"));
    EXPECT_FALSE(LoadPictureFile(path("p.png")));
    EXPECT_FALSE(PictureFileSize(path("p.png")));
    EXPECT_EQ(PictureFileSize(path("P2.BMP")), (PictureSize{5, 4}));
}

TEST_F(PictureFiles, BrokenFilesThrowInsteadOfCrashing)
{
    write("empty.bmp", "");
    write("junk.jpg", "not a picture at all");
    write("junk.bmp", "BM not a picture at all");
    gdi::Bitmap picture(40, 30);
    SavePicture(picture, 40, 30, path("whole"), ".jpg");
    std::string bytes;
    {
        std::ifstream in(path("whole.jpg"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    write("cut.jpg", bytes.substr(0, bytes.size() / 2));
    fs::create_directories(path("folder.bmp"));
    for (auto name : {"empty.bmp", "junk.jpg", "junk.bmp", "cut.jpg", "folder.bmp", "absent.jpg"}) {
        EXPECT_THROW(LoadPictureFile(path(name)), gdi::Error) << name;
        EXPECT_THROW(PictureFileSize(path(name)), gdi::Error) << name;
    }
}

TEST(MemorySlot, CopiesThePictureAreaAndPastesAtTheCorner)
{
    ClearMemory();
    gdi::Bitmap target(6, 6);
    gdi::Canvas canvas(target);
    PasteFromMemory(canvas);
    EXPECT_EQ(MemoryPicture(), nullptr);
    EXPECT_EQ(target.pixel(0, 0), 0xFFFFFFu);

    gdi::Bitmap source = Pattern(8, 8);
    CopyToMemory(source, 4, 10);
    source.fill(0); // the slot holds a copy
    ASSERT_NE(MemoryPicture(), nullptr);
    EXPECT_EQ(MemoryPicture()->width(), 4);
    EXPECT_EQ(MemoryPicture()->height(), 10);
    PasteFromMemory(canvas);
    EXPECT_EQ(target.pixel(3, 5), Pattern(8, 8).pixel(3, 5));
    EXPECT_EQ(target.pixel(4, 0), 0xFFFFFFu);

    CopyToMemory(Pattern(2, 2), 1, 1);
    EXPECT_EQ(MemoryPicture()->width(), 1);
    ClearMemory();
}

} // namespace
} // namespace zenvas
