#include "pictures/PictureFiles.h"
#include "tests/draw/ActionFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace zenvas {
namespace {

using namespace fixture;
namespace fs = std::filesystem;

enum Action { kCopyMemory = 28, kPasteMemory, kGetPictureSize, kSavePicture, kSetPicture = 33 };

void Paint(gdi::Bitmap& bitmap)
{
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            bitmap.setPixel(x, y, gdi::Rgb(x * 9, y * 5, 77));
}

class PictureActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("zenvas-picture-actions-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        CatchVariables();
        ClearMemory();
    }
    void TearDown() override
    {
        fs::remove_all(dir_);
        DeleteCanvas("A");
        DeleteCanvas("B");
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

TEST_F(PictureActions, SaveWritesTheImageBoxAreaAndSetPlacesItBack)
{
    TZenvas& a = MakeCanvas("A", 20, 10);
    Paint(Picture(a));
    EXPECT_TRUE(RunAction(kSavePicture, {"A", path("shot"), ".bmp"}));
    EXPECT_EQ(PictureFileSize(path("shot.bmp")), (PictureSize{20, 10}));
    EXPECT_TRUE(RunAction(kSavePicture, {"A", "", ".bmp"}));
    EXPECT_FALSE(RunAction(kSavePicture, {"Nowhere", path("x"), ".bmp"}));
    EXPECT_FALSE(fs::exists(path("x.bmp")));
    EXPECT_FALSE(RunAction(kSavePicture, {"A", path("no/such/dir/x"), ".bmp"}));

    TZenvas& b = MakeCanvas("B", 30, 30);
    EXPECT_TRUE(RunAction(kSetPicture, {"B", path("shot.bmp"), "5", "$6"}));
    EXPECT_EQ(Picture(b).pixel(5, 6), Picture(a).pixel(0, 0));
    EXPECT_EQ(Picture(b).pixel(24, 15), Picture(a).pixel(19, 9));
    EXPECT_EQ(Picture(b).pixel(25, 15), 0xFFFFFFu);
    EXPECT_EQ(Picture(b).width(), 30);
}

TEST_F(PictureActions, SetPictureRules)
{
    TZenvas& a = MakeCanvas("A", 20, 10);
    Paint(Picture(a));
    RunAction(kSavePicture, {"A", path("p"), ".bmp"});
    fs::copy_file(path("p.bmp"), path("p.png"));
    fs::copy_file(path("p.bmp"), path("P.BMP"));
    std::ofstream(path("bad.jpg")) << "junk";
    TZenvas& b = MakeCanvas("B", 8, 8);
    const gdi::Bitmap blank = Picture(b);
    EXPECT_FALSE(RunAction(kSetPicture, {"B", path("absent.bmp"), "0", "0"}));
    EXPECT_FALSE(RunAction(kSetPicture, {"B", dir_.string(), "0", "0"}));
    EXPECT_TRUE(RunAction(kSetPicture, {"B", path("p.png"), "0", "0"}));
    EXPECT_FALSE(RunAction(kSetPicture, {"B", path("bad.jpg"), "0", "0"}));
    EXPECT_FALSE(RunAction(kSetPicture, {"B", path("P.BMP"), "one", "0"}));
    EXPECT_EQ(Picture(b).pixel(0, 0), blank.pixel(0, 0));
    EXPECT_TRUE(RunAction(kSetPicture, {"B", path("P.BMP"), "-2", "-3"}));
    EXPECT_EQ(Picture(b).pixel(0, 0), Picture(a).pixel(2, 3));
    EXPECT_TRUE(RunAction(kSetPicture, {"B", path("p.bmp"), "-2147483648", "0"}));
}

TEST_F(PictureActions, SetPictureSubtractsTheScrollPositions)
{
    TZenvas& a = MakeCanvas("A", 4, 4);
    Paint(Picture(a));
    RunAction(kSavePicture, {"A", path("small"), ".jpg"});
    TZenvas& b = MakeCanvas("B", 400, 400);
    b.ScrollBox1->setHorzPosition(5);
    ASSERT_EQ(b.ScrollBox1->horzPosition(), 5);
    const gdi::Bitmap blank = Picture(b);
    EXPECT_TRUE(RunAction(kSetPicture, {"B", path("small.jpg"), "10", "20"}));
    EXPECT_NE(Picture(b).pixel(5, 20), blank.pixel(5, 20));
    EXPECT_EQ(Picture(b).pixel(4, 20), blank.pixel(4, 20));
    EXPECT_EQ(Picture(b).pixel(9, 20), blank.pixel(9, 20));
}

TEST_F(PictureActions, PictureSizeGoesToVariablesAndAnswersFalse)
{
    TZenvas& a = MakeCanvas("A", 64, 48);
    RunAction(kSavePicture, {"A", path("photo"), ".jpg"});
    EXPECT_FALSE(RunAction(kGetPictureSize, {path("photo.jpg"), "[W]", "[H]"}));
    EXPECT_EQ(Variables()["[W]"], "64");
    EXPECT_EQ(Variables()["[H]"], "48");

    Variables().clear();
    fs::copy_file(path("photo.jpg"), path("A.JPG"));
    EXPECT_FALSE(RunAction(kGetPictureSize, {path("A.JPG"), "W", ""}));
    EXPECT_EQ(Variables(), (std::map<std::string, std::string>{{"W", "64"}}));

    Variables().clear();
    std::ofstream(path("broken.bmp")) << "BM";
    for (auto file : {"broken.bmp", "absent.jpg", "photo.gif"})
        EXPECT_FALSE(RunAction(kGetPictureSize, {path(file), "W", "H"}));
    EXPECT_TRUE(Variables().empty());
    (void)a;
}

TEST_F(PictureActions, MemorySlotCarriesAPictureBetweenCanvases)
{
    TZenvas& a = MakeCanvas("A", 12, 9);
    Paint(Picture(a));
    TZenvas& b = MakeCanvas("B", 6, 20);
    const gdi::Bitmap blank = Picture(b);
    EXPECT_TRUE(RunAction(kPasteMemory, {"B"}));
    EXPECT_EQ(Picture(b).pixel(0, 0), blank.pixel(0, 0));

    EXPECT_TRUE(RunAction(kCopyMemory, {"A"}));
    Picture(a).fill(0);
    EXPECT_TRUE(RunAction(kPasteMemory, {"B"}));
    gdi::Bitmap painted(12, 9);
    Paint(painted);
    EXPECT_EQ(Picture(b).pixel(5, 8), painted.pixel(5, 8));
    EXPECT_EQ(Picture(b).pixel(5, 9), blank.pixel(5, 9));
    // The slot outlives the canvas it came from.
    DeleteCanvas("A");
    TZenvas& c = MakeCanvas("A", 3, 3);
    EXPECT_TRUE(RunAction(kPasteMemory, {"A"}));
    EXPECT_EQ(Picture(c).pixel(2, 2), painted.pixel(2, 2));
    EXPECT_FALSE(RunAction(kCopyMemory, {"Nowhere"}));
    EXPECT_FALSE(RunAction(kPasteMemory, {"Nowhere"}));
}

} // namespace
} // namespace zenvas
