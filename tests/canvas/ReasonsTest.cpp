// Every false and every skipped step leaves one reason naming its action;
// a call that goes well leaves none.
#include "tests/support/PluginHarness.h"

#include "canvas/CanvasList.h"
#include "pictures/PictureFiles.h"
#include "platform/gdi/codecs/Bmp.h"
#include "platform/system/Diagnostics.h"
#include "plugin/HostServices.h"
#include "plugin/Reasons.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace zenvas {
namespace {

using harness::Exec;

struct Call {
    int number;
    std::vector<std::string> params;
    bool result;
    std::string reason; // empty: none recorded
};

class Reasons : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Connect();
        host_.setBounds(0, 0, 200, 100);
        harness::AddRectangle("Rect1", host_);
        harness::State().handles["Elsewhere"] = "987654"; // a number that is no window
        ASSERT_TRUE(Exec(1, {"Rect1", "40", "30"}));
        std::ofstream(damaged_, std::ios::binary) << "no JPEG here";
        std::ofstream(png_, std::ios::binary) << "\x89PNG";
        gdi::SaveBmp24(bmp_, gdi::Bitmap(3, 2));
        std::remove(missing_.c_str());
        sys::TakeReasons();
    }
    void TearDown() override
    {
        harness::Disconnect();
        for (const std::string& file : {damaged_, png_, bmp_})
            std::remove(file.c_str());
    }
    void Check(const std::vector<Call>& calls)
    {
        for (const Call& call : calls) {
            const std::string label = std::to_string(call.number) + " " + call.params.at(0);
            EXPECT_EQ(Exec(call.number, call.params), call.result) << label;
            const std::vector<std::string> reasons = sys::TakeReasons();
            EXPECT_EQ(reasons, call.reason.empty() ? std::vector<std::string>{} : std::vector{call.reason}) << label;
        }
    }
    forms::Window host_{"Rect1"};
    // Per process: the tests of this fixture run in parallel processes.
    const std::string dir_ = testing::TempDir() + "zenvas-reasons-" + std::to_string(getpid()) + "-";
    const std::string damaged_ = dir_ + "damaged.jpg";
    const std::string png_ = dir_ + "picture.png";
    const std::string bmp_ = dir_ + "picture.bmp";
    const std::string missing_ = dir_ + "missing.jpg";
};

TEST_F(Reasons, CanvasesAndActions)
{
    Check({
        {7, {"Rect9"}, false, "ZenvasClear: no canvas in rectangle \"Rect9\""},
        {2, {"Rect9"}, false, "ZenvasDelete: no canvas in rectangle \"Rect9\""},
        {99, {"Rect1"}, false, "Zenvas: no action numbered 99"},
        {6, {"Rect1", "", "2147483647"}, false,
         "ZenvasChangeSize: canvas of 40 x 2147483647 pixels is too large (240.0 GiB)"},
        {7, {"Rect1"}, true, ""},
        {1, {"Rect1", "100000", "100000"}, false,
         "ZenvasCreate: canvas of 100000 x 100000 pixels is too large (27.9 GiB)"},
        {1, {"Rect1", "2147483648", "1"}, false, "ZenvasCreate: '2147483648' is not a valid integer value"},
        {1, {"Elsewhere", "10", "10"}, false, "ZenvasCreate: no window 987654 for rectangle \"Elsewhere\""},
        {1, {"Rect1", "10", "10"}, true, ""},
    });
}

TEST_F(Reasons, ParameterTexts)
{
    Check({
        {45, {"Rect1", "1", "clRed", "", "1", "1", "5", "5"}, true,
         "ZvLineNoMouse: colour \"clRed\" is not R,G,B; colour left unchanged"},
        {45, {"Rect1", "1", "0,0,0", "", "1", "a", "5", "5"}, true,
         "ZvLineNoMouse: coordinates \"1\", \"a\", \"5\", \"5\" are not plain numbers; nothing drawn"},
        {46, {"Rect1", "1", "0,0,0", "", "", "255,0,0", "1|2|3"}, true,
         "ZvRectangleNoMouse: coordinate list \"1|2|3\" has 3 items, not 4; nothing drawn"},
        {46, {"Rect1", "1", "0,0,0", "", "", "255,0,0", "1|2|x|4"}, true,
         "ZvRectangleNoMouse: 'x' is not a valid integer value; nothing drawn"},
        {52, {"Rect1", "0,0,0", "", "5"}, false, "ZvFloodFill: coordinate list \"5\" is not X|Y"},
        {51, {"Rect1", "Courier|clRed|14", "x", "1|1"}, false,
         "ZvTextNoMouse: a font needs five items: name|colour|size|styles|charset"},
        {43, {"Rect1", "", "1", "1"}, false, "ZvGetColorPixel: no variable named"},
        {43, {"Rect1", "V", "1", "-1"}, false,
         "ZvGetColorPixel: coordinates \"1\", \"-1\" are not plain numbers"},
        {9, {"Rect1", "1,2", "", ""}, true, "ZenvasPen: colour \"1,2\" is not R,G,B; colour left unchanged"},
        {39, {"Rect1", "0,0,0", "100", "0"}, true,
         "ZenvasBlock: 100 blocks leave no whole pixel per block; picture left unchanged"},
        {41, {"Rect1", "0"}, false, "ZenvasMonoPixel: cell size of 0"},
        {46, {"Rect1", "1", "0,0,0", "", "", "255,0,0", "1|2|30|20"}, true, ""},
        {43, {"Rect1", "V", "1", "1"}, true, ""},
    });
}

TEST_F(Reasons, PictureFiles)
{
    ClearMemory();
    Check({
        {29, {"Rect1"}, true, "ZenvasPasteMemory: no picture in memory; nothing pasted"},
        {33, {"Rect1", missing_, "0", "0"}, false, "ZenvasSetPicture: " + missing_ + ": no such file"},
        {30, {missing_, "W", "H"}, false, "znGetPictureSize: " + missing_ + ": no such file"},
        {33, {"Rect1", png_, "0", "0"}, true,
         "ZenvasSetPicture: " + png_ + ": extension \".png\" is not .bmp, .jpg or .jpeg; nothing drawn"},
        {34, {"Rect1", png_, "", "", "", ""}, false, "ZenvasSetPictureMouse: " + png_ + ": not a .bmp file"},
        {30, {bmp_, "W", "H"}, false, ""}, // false by design, even when the size is read
        {33, {"Rect1", bmp_, "0", "0"}, true, ""},
    });
    // The codec's own message is the tail.
    EXPECT_FALSE(Exec(33, {"Rect1", damaged_, "0", "0"}));
    const std::vector<std::string> reasons = sys::TakeReasons();
    ASSERT_EQ(reasons.size(), 1u);
    EXPECT_EQ(reasons[0].rfind("ZenvasSetPicture: bad JPEG " + damaged_ + ": Not a JPEG file", 0), 0u) << reasons[0];
}

// Outside any action the pointer's handlers name the action that chose the
// tool; a failure that ends the event is recorded too.
TEST_F(Reasons, PointerEventsNameTheToolsAction)
{
    const auto click = [&] {
        auto& windows = forms::WindowSystem::instance();
        windows.pointer(host_.handle(), forms::PointerKind::Down, forms::MouseButton::Left, forms::ssLeft, 5, 5);
        windows.pointer(host_.handle(), forms::PointerKind::Up, forms::MouseButton::Left, 0, 5, 5);
    };
    ASSERT_TRUE(Exec(8, {"Rect1", "clRed", "", ""}));
    click();
    EXPECT_EQ(sys::TakeReasons(),
              std::vector<std::string>{"ZenvasPixel: colour \"clRed\" is not R,G,B; pixel left unchanged"});
    ASSERT_TRUE(Exec(14, {"Rect1", "big", "0,0,0", ""}));
    testing::internal::CaptureStderr();
    click();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(sys::TakeReasons(), std::vector<std::string>{"ZenvasStar: 'big' is not a valid integer value"});
}

TEST_F(Reasons, AnActionRunFromAnotherNamesItselfAndTheOuterOneAfterIt)
{
    harness::State().onScript = [](const std::string&) { Exec(7, {"Inner"}); };
    {
        const ActionScope outer("ZenvasPixel");
        RunSubroutine("Sub");
        RecordActionReason("after");
    }
    RecordActionReason("outside");
    EXPECT_EQ(sys::TakeReasons(), (std::vector<std::string>{"ZenvasClear: no canvas in rectangle \"Inner\"",
                                                            "ZenvasPixel: after", "Zenvas: outside"}));
}

} // namespace
} // namespace zenvas
