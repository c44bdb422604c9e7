#include "pictures/PictureFiles.h"

#include "platform/gdi/Error.h"
#include "platform/gdi/codecs/Jpeg.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace zenvas {
namespace {

namespace fs = std::filesystem;

gdi::Bitmap Pattern(int width, int height)
{
    return gdi::test::Picture(width, height, [](int x, int y) { return gdi::Rgb(x * 7, y * 11, (x + y) * 3); });
}

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("zenvas-pictures-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
};

TEST(FileNames, ExtensionsAndSaveTargets)
{
    EXPECT_EQ(FileExtension("C:\\pics\\a.jpg"), ".jpg");
    EXPECT_EQ(FileExtension("C:\\pics.d\\a"), "");
    EXPECT_EQ(FileExtension("pics.d/a"), "");
    EXPECT_EQ(FileExtension("C:a.b"), ".b");
    EXPECT_EQ(FileExtension("a.b:c"), "");

    EXPECT_EQ(SavePictureTarget("C:\\pics\\a", ".jpg"), (SaveTarget{"C:\\pics\\a.jpg", true}));
    EXPECT_EQ(SavePictureTarget("C:\\pics\\a.bmp", ".jpg"), (SaveTarget{"C:\\pics\\a.jpg", true}));
    // The name's ending is compared exactly; the extension in any case, and
    // appended as written.
    EXPECT_EQ(SavePictureTarget("C:\\pics\\a.JPG", ".jpg"), (SaveTarget{"C:\\pics\\a.JPG.jpg", true}));
    EXPECT_EQ(SavePictureTarget("a", ".JPG"), (SaveTarget{"a.JPG", true}));
    for (auto other : {"JPG", ".png", ".jpeg", ""})
        EXPECT_EQ(SavePictureTarget("a", other), (SaveTarget{"a.bmp", false})) << other;
}

TEST_F(PictureFiles, RoundTripsThroughBmpAndJpeg)
{
    const gdi::Bitmap picture = Pattern(13, 7);
    SavePicture(picture, 13, 9, path("a"), ".bmp");
    const auto loaded = LoadPictureFile(path("a.bmp"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->pixel(12, 6), picture.pixel(12, 6));
    EXPECT_EQ(loaded->pixel(3, 8), 0xFFFFFFu); // beyond the picture
    // 24 bits per pixel: a 54-byte header and rows padded to 40 bytes.
    EXPECT_EQ(fs::file_size(path("a.bmp")), 54u + 40u * 9u);

    gdi::Bitmap flat(64, 48);
    flat.fill(gdi::Rgb(200, 40, 90));
    SavePicture(flat, 64, 48, path("photo"), ".JPG");
    EXPECT_EQ(PictureFileSize(path("photo.JPG")), (PictureSize{64, 48}));
    // Baseline (start of frame 0), three components, quality 95.
    const std::string bytes = read("photo.JPG");
    const std::size_t frame = bytes.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    EXPECT_EQ(bytes[frame + 9], 3);
    const std::vector<std::uint8_t> encoded = gdi::EncodeJpeg(flat, 95);
    EXPECT_EQ(bytes, std::string(encoded.begin(), encoded.end()));
    fs::copy_file(path("photo.JPG"), path("photo.jpeg"));
    EXPECT_EQ(PictureFileSize(path("photo.jpeg")), (PictureSize{64, 48}));
    fs::copy_file(path("a.bmp"), path("a.png"));
    EXPECT_FALSE(LoadPictureFile(path("a.png")));
}

TEST_F(PictureFiles, SavingDeletesTheFileNamedExactlyFirstAndBrokenFilesThrow)
{
    write("a.bmp", "old");
    SavePicture(Pattern(3, 3), 3, 3, path("a.bmp"), ".jpg");
    write("b.JPG", "old");
    SavePicture(Pattern(3, 3), 3, 3, path("b.JPG"), ".jpg");
    SavePicture(Pattern(3, 3), 3, 3, "", ".bmp");
    EXPECT_EQ(files(), (std::vector<std::string>{"a.jpg", "b.JPG.jpg"}));
    EXPECT_THROW(SavePicture(Pattern(3, 3), 3, 3, path("no/dir/a"), ".bmp"), gdi::Error);

    write("empty.bmp", "");
    write("junk.jpg", "not a picture at all");
    SavePicture(Pattern(40, 30), 40, 30, path("whole"), ".jpg");
    write("cut.jpg", read("whole.jpg").substr(0, read("whole.jpg").size() / 2));
    fs::create_directories(path("folder.bmp"));
    for (auto name : {"empty.bmp", "junk.jpg", "cut.jpg", "folder.bmp", "absent.jpg"})
        EXPECT_THROW(PictureFileSize(path(name)), gdi::Error) << name;
}

TEST(MemorySlot, CopiesThePictureAreaAndPastesAtTheCorner)
{
    ClearMemory();
    gdi::Bitmap target(6, 6);
    gdi::Canvas canvas(target);
    PasteFromMemory(canvas);
    EXPECT_EQ(target.pixel(0, 0), 0xFFFFFFu);
    gdi::Bitmap source = Pattern(8, 8);
    CopyToMemory(source, 4, 10);
    source.fill(0); // the slot holds a copy
    PasteFromMemory(canvas);
    EXPECT_EQ(target.pixel(3, 5), Pattern(8, 8).pixel(3, 5));
    EXPECT_EQ(target.pixel(4, 0), 0xFFFFFFu);
    ClearMemory();
}

} // namespace
} // namespace zenvas
