// The mouse engine driven through the window system, as the end user would.
#include "canvas/CanvasList.h"
#include "tests/gdi/Pixels.h"
#include "tests/support/PluginHarness.h"
#include "platform/forms/Cursor.h"
#include "platform/gdi/codecs/Bmp.h"
#include "platform/gdi/codecs/Jpeg.h"
#include "platform/system/Files.h"
#include "plugin/Random.h"
#include "tools/Engine.h"
#include "tools/Zoom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

namespace zenvas {
namespace {

using forms::MouseButton;
using forms::PointerKind;

using harness::Exec;

class Tools : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Connect();
        host_.setBounds(0, 0, 200, 150);
        harness::AddRectangle("Rect1", host_);
        ASSERT_TRUE(Exec(1, {"Rect1", "100", "80"}));
        form_ = &CanvasAt(FindCanvas("Rect1"));
    }
    void TearDown() override { harness::Disconnect(); }
    void down(MouseButton b, int x, int y, forms::ShiftState s = 0)
    {
        forms::WindowSystem::instance().pointer(host_.handle(), PointerKind::Down, b, s | forms::ButtonFlag(b), x, y);
    }
    void move(int x, int y, forms::ShiftState s = 0)
    {
        forms::WindowSystem::instance().pointer(host_.handle(), PointerKind::Move, MouseButton::Left, s, x, y);
    }
    void up(MouseButton b, int x, int y)
    {
        forms::WindowSystem::instance().pointer(host_.handle(), PointerKind::Up, b, 0, x, y);
    }
    void click(MouseButton b, int x, int y)
    {
        down(b, x, y);
        up(b, x, y);
    }
    void drag(int x1, int y1, int x2, int y2)
    {
        down(MouseButton::Left, x1, y1);
        move((x1 + x2) / 2, (y1 + y2) / 2, forms::ssLeft);
        move(x2, y2, forms::ssLeft);
        up(MouseButton::Left, x2, y2);
    }
    gdi::Bitmap& picture() { return form_->WSImageBox1->Bitmap(); }
    gdi::Color at(int x, int y) { return picture().pixel(x, y); }

    static std::vector<std::string>& log() { return harness::State().log; }
    forms::Window host_{"Rect1"};
    TZenvas* form_ = nullptr;
};

TEST_F(Tools, PenRunsTheBuiltInPressBeforeItsSubroutines)
{
    ASSERT_TRUE(Exec(9, {"Rect1", "255,0,0", "Right", "Left"}));
    harness::State().onScript = [&](const std::string&) { log().push_back(at(5, 5) == 0x0000FF ? "drawn" : "not drawn"); };
    down(MouseButton::Left, 5, 5);
    move(9, 5, forms::ssLeft);
    up(MouseButton::Left, 9, 5);
    click(MouseButton::Right, 50, 50);
    click(MouseButton::Middle, 60, 60);
    // A zero-length line marks nothing, so the press itself leaves no pixel;
    // the move draws 5..8.
    EXPECT_EQ(log(), (std::vector<std::string>{"GoSub \"Left\"", "not drawn", "GoSub \"Right\"", "drawn"}));
    EXPECT_EQ(at(8, 5), 0x0000FFu);
    EXPECT_EQ(at(9, 5), 0xFFFFFFu);
}

TEST_F(Tools, ClickSubroutinesOnlyWhileNoToolIsActive)
{
    ASSERT_TRUE(Exec(27, {"Rect1", "L", "R"}));
    click(MouseButton::Left, 1, 1); // a new canvas: flags are empty, not "False"
    ASSERT_TRUE(Exec(9, {"Rect1", "", "", ""}));
    click(MouseButton::Left, 1, 1);
    ASSERT_TRUE(Exec(26, {"Rect1"}));
    click(MouseButton::Left, 1, 1);
    click(MouseButton::Right, 1, 1);
    click(MouseButton::Middle, 1, 1);
    EXPECT_EQ(log(), (std::vector<std::string>{"GoSub \"L\"", "GoSub \"R\""}));
}

TEST_F(Tools, CoordinatesWrittenOnEveryMoveXBeforeY)
{
    ASSERT_TRUE(Exec(24, {"Rect1", "[X]", "[Y]"}));
    move(3, 4);
    form_->ScrollBox1->setHorzPosition(0);
    down(MouseButton::Left, 10, 10);
    move(-5, 300, forms::ssLeft); // captured: outside the picture
    up(MouseButton::Left, -5, 300);
    EXPECT_EQ(log(), (std::vector<std::string>{"[X]=3", "[Y]=4", "[X]=-5", "[Y]=300"}));
}

TEST_F(Tools, StarGeometry)
{
    const auto points = StarPoints(100, 100, 30);
    EXPECT_EQ(points[0], (gdi::Point{129, 91}));
    EXPECT_EQ(points[2], (gdi::Point{100, 70}));
    EXPECT_EQ(points[4], (gdi::Point{71, 91}));
    EXPECT_EQ(points[10], points[0]);
    // Inner radius 10: at 54 degrees (5.878, 8.090) -> (106, 92).
    EXPECT_EQ(points[1], (gdi::Point{106, 92}));
    for (const auto& p : StarPoints(7, 9, 0))
        EXPECT_EQ(p, (gdi::Point{7, 9}));

    ASSERT_TRUE(Exec(14, {"Rect1", "20", "0,0,255", ""}));
    click(MouseButton::Left, 50, 40);
    EXPECT_EQ(at(50, 20), 0xFF0000u); // top point
    testing::internal::CaptureStderr();
    ASSERT_TRUE(Exec(14, {"Rect1", "big", "0,0,255", "Sub"}));
    click(MouseButton::Left, 50, 40); // the radius fails: error box, the handler stops
    EXPECT_NE(testing::internal::GetCapturedStderr().find("error box: "), std::string::npos);
    click(MouseButton::Right, 50, 40);
    EXPECT_EQ(log(), (std::vector<std::string>{"GoSub \"Sub\""}));
}

TEST_F(Tools, SprayDotsForAFixedSeed)
{
    gdi::Bitmap bitmap(50, 50);
    gdi::Canvas canvas(bitmap);
    SetRandomSeed(0);
    SprayDots(canvas, 25, 25, 10, 0, "0"); // one dot
    // First two draws from seed 0: 1 and 134775814.
    const float angle = float(1.0 / 4294967296.0) * 6.28318530717958647692f;
    const float distance = float(134775814.0 / 4294967296.0 * 10);
    EXPECT_EQ(bitmap.pixel(25 + int(std::nearbyint(distance * std::cos(angle))), 25), 0u);
    EXPECT_EQ(gdi::test::CountColor(bitmap, 0), 1u);

    SetRandomSeed(0);
    SprayDots(canvas, 25, 25, 10, 0, "-1");
    EXPECT_EQ(RandomSeed(), 0u); // no draws at all
    SprayDots(canvas, 25, 25, 10, 0, "");
    SetRandomSeed(0);
    for (int i = 0; i < 22; ++i)
        RandomReal();
    const std::uint32_t afterEleven = RandomSeed();
    SetRandomSeed(0);
    SprayDots(canvas, 25, 25, 10, 0, "");
    EXPECT_EQ(RandomSeed(), afterEleven);
    SprayDots(canvas, 25, 25, 10, 0, "2147483647"); // bounded, not frozen
}

TEST_F(Tools, FloodFillPixelAndPipetteSetUpAndReadAtThePress)
{
    ASSERT_TRUE(Exec(15, {"Rect1", "255,0,0", "Clear", ""}));
    click(MouseButton::Left, 5, 5);
    EXPECT_EQ(at(99, 79), 0x0000FFu); // clear style, then a colour: solid red
    ASSERT_TRUE(Exec(15, {"Rect1", "", "Cross", ""}));
    click(MouseButton::Left, 5, 5);
    EXPECT_EQ(at(99, 79), 0u); // empty colour: solid black, the style unused
    click(MouseButton::Left, 500, 500); // outside: nothing

    ASSERT_TRUE(Exec(7, {"Rect1"}));
    ASSERT_TRUE(Exec(8, {"Rect1", "1,2,3", "", "Left"}));
    click(MouseButton::Left, 7, 8);
    EXPECT_EQ(at(7, 8), gdi::Rgb(1, 2, 3));
    ASSERT_TRUE(Exec(8, {"Rect1", "bad", "", ""}));
    click(MouseButton::Left, 9, 9);
    EXPECT_EQ(at(9, 9), 0xFFFFFFu);
    ASSERT_TRUE(Exec(22, {"Rect1", "[C]", "Picked", "Right"}));
    click(MouseButton::Left, 7, 8);
    click(MouseButton::Right, 7, 8);
    ASSERT_TRUE(Exec(22, {"Rect1", "", "Only", ""}));
    click(MouseButton::Left, 7, 8);
    EXPECT_EQ(log(), (std::vector<std::string>{"GoSub \"Left\"", "[C]=1,2,3", "GoSub \"Picked\"", "GoSub \"Right\"",
                                               "GoSub \"Only\""}));
}

TEST_F(Tools, SelectionInEveryDirectionAndScrolled)
{
    ASSERT_TRUE(Exec(25, {"Rect1", "False", ""}));
    drag(50, 40, 10, 10);
    EXPECT_EQ(Engine().selection, (Selection{10, 10, 40, 30}));
    drag(50, 40, 10, 60);
    EXPECT_EQ(Engine().selection, (Selection{10, 40, 40, 20}));
    EXPECT_EQ(Engine().rubberBand(), nullptr);
    click(MouseButton::Left, 5, 6); // no movement: the 1 x 1 frame is the selection
    EXPECT_EQ(Engine().selection, (Selection{5, 6, 1, 1}));

    ASSERT_TRUE(Exec(6, {"Rect1", "400", "80"}));
    form_->ScrollBox1->setHorzPosition(100);
    ASSERT_EQ(form_->ScrollBox1->horzPosition(), 100);
    // Picture point (150, 20) is at host point (50, 20).
    drag(50, 20, 70, 30);
    EXPECT_EQ(Engine().selection, (Selection{150, 20, 20, 10}));
}

TEST_F(Tools, PasteOpaqueAndTransparent)
{
    ASSERT_TRUE(Exec(6, {"Rect1", "120", "110"}));
    picture().setPixel(10, 10, 0x0000FF);
    ASSERT_TRUE(Exec(25, {"Rect1", "FALSE", ""}));
    drag(10, 10, 14, 13);
    click(MouseButton::Right, 100, 100);
    EXPECT_EQ(at(96, 97), 0x0000FFu);
    EXPECT_TRUE(log().empty());

    ASSERT_TRUE(Exec(25, {"Rect1", "true", ""}));
    picture().setPixel(60, 60, 0x00FF00);
    click(MouseButton::Right, 64, 63); // the white of the selection is transparent
    EXPECT_EQ(at(60, 60), 0x0000FFu);
    EXPECT_EQ(at(61, 61), 0xFFFFFFu);
    picture().setPixel(80, 80, 0x00FF00);
    ASSERT_TRUE(Exec(25, {"Rect1", "true", "nonsense"}));
    click(MouseButton::Right, 84, 83);
    EXPECT_EQ(at(80, 80), 0x00FF00u); // unreadable colour: nothing pasted
}

TEST_F(Tools, SavePartNameRulesAndTheNoMoveCase)
{
    const std::string dir = testing::TempDir();
    const std::string base = dir + "zenvas-part";
    std::remove((base + ".jpg").c_str());
    std::ofstream(base + ".bmp") << "stale";
    ASSERT_TRUE(Exec(32, {"Rect1", base + ".bmp", ".JPG", "Saved"}));
    click(MouseButton::Left, 5, 5);
    EXPECT_TRUE(log().empty());
    EXPECT_TRUE(sys::FileExists(base + ".bmp"));
    drag(10, 10, 30, 20);
    EXPECT_EQ(log(), (std::vector<std::string>{"GoSub \"Saved\""}));
    EXPECT_FALSE(sys::FileExists(base + ".bmp")); // deleted first
    EXPECT_EQ(form_->CopyPartPatch, base);
    const gdi::Bitmap saved = gdi::LoadJpeg(base + ".jpg");
    EXPECT_EQ(saved.width(), 20);
    EXPECT_EQ(saved.height(), 10);
    EXPECT_TRUE(Exec(25, {"Rect1", "false", ""}));
    EXPECT_EQ(Engine().selection, (Selection{10, 10, 20, 10})); // shared with copy and paste

    ASSERT_TRUE(Exec(32, {"Rect1", ".bmp", ".bmp", "Empty"}));
    log().clear();
    drag(10, 10, 30, 20);
    EXPECT_EQ(log(), (std::vector<std::string>{"GoSub \"Empty\""}));
    EXPECT_EQ(form_->CopyPartPatch, "");

    ASSERT_TRUE(Exec(32, {"Rect1", dir + "no/such/dir/x", ".bmp", "Never"}));
    log().clear();
    testing::internal::CaptureStderr();
    drag(10, 10, 30, 20);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("error box: "), std::string::npos);
    EXPECT_TRUE(log().empty());
    EXPECT_EQ(Engine().rubberBand(), nullptr);
}

TEST_F(Tools, StampScaledAtTheFrame)
{
    const std::string file = testing::TempDir() + "zenvas-stamp.bmp";
    gdi::Bitmap source(200, 100);
    source.fill(0x0000FF);
    gdi::SaveBmp24(file, source);
    ASSERT_TRUE(Exec(6, {"Rect1", "300", "200"}));
    EXPECT_FALSE(Exec(34, {"Rect1", file + ".missing", "False", "50", "", ""}));
    EXPECT_EQ(form_->PictureMouse, "True");
    ASSERT_TRUE(Exec(34, {"Rect1", file, "False", "50", "", "RightSub"}));
    click(MouseButton::Left, 150, 120); // no frame yet: nothing stamped
    EXPECT_EQ(at(149, 119), 0xFFFFFFu);
    move(150, 120);
    forms::Shape* frame = Engine().stampFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->bounds(), (gdi::IntRect{48, 68, 148, 118}));
    click(MouseButton::Left, 150, 120);
    EXPECT_EQ(at(48, 68), 0x0000FFu);
    EXPECT_EQ(at(147, 117), 0x0000FFu);
    EXPECT_EQ(at(148, 118), 0xFFFFFFu);
    EXPECT_FALSE(Engine().stampBitmap.has_value());
    click(MouseButton::Right, 150, 120);
    EXPECT_EQ(log(), (std::vector<std::string>{"GoSub \"RightSub\""}));
    ASSERT_TRUE(Exec(9, {"Rect1", "", "", ""}));
    EXPECT_FALSE(frame->visible());

    // Deleting the canvas that holds the frame: the engine forgets it.
    ASSERT_TRUE(Exec(2, {"Rect1"}));
    EXPECT_EQ(Engine().stampFrame(), nullptr);
}

TEST_F(Tools, ZoomSightAndCorner)
{
    picture().setPixel(0, 0, 0x0000FF);
    ASSERT_TRUE(Exec(21, {"Rect1", "TRUE"}));
    TFormZoom* zoom = CurrentZoom();
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(zoom->caption(), "Zenvas Zoom");
    EXPECT_EQ(zoom->width(), 250);
    EXPECT_TRUE(zoom->stayOnTop());
    move(0, 0);
    gdi::Bitmap& s = zoom->Surface();
    // The picture's corner lands in the middle of the window; the sight is
    // drawn over it around (125, 114).
    const std::pair<gdi::Point, gdi::Color> shown[] = {
        {{125, 114 - 30}, 0u}, {{125, 114 - 6}, 0u}, {{125, 114 + 29}, 0u}, {{125 + 6, 114}, 0u}, {{125 + 30, 114}, 0u},
        {{124, 112}, 0x0000FFu}, // picture pixel (0, 0)
        {{121, 112}, 0xF0F0F0u}, // beyond the picture: background
        {{125 + 5, 114}, 0xFFFFFFu}, // the open middle
    };
    for (const auto& [at, colour] : shown)
        EXPECT_EQ(s.pixel(at.x, at.y), colour) << at.x << "," << at.y;

    ASSERT_TRUE(Exec(21, {"Rect1", "yes"})); // keeps the sight; the old window is hidden
    EXPECT_FALSE(zoom->visible());
    EXPECT_NE(CurrentZoom(), zoom);
    ASSERT_TRUE(Exec(2, {"Rect1"}));
    EXPECT_EQ(CurrentZoom(), nullptr);
}

TEST_F(Tools, SubroutineDeletingItsCanvasStopsTheHandler)
{
    ASSERT_TRUE(Exec(8, {"Rect1", "0,0,0", "", "Delete"}));
    ASSERT_TRUE(Exec(24, {"Rect1", "[X]", "[Y]"}));
    harness::State().onScript = [&](const std::string&) { Exec(2, {"Rect1"}); };
    std::weak_ptr<void> alive = form_->lifetime();
    down(MouseButton::Left, 5, 5);
    move(6, 6, forms::ssLeft);
    up(MouseButton::Left, 6, 6);
    EXPECT_TRUE(alive.expired());
    EXPECT_EQ(log(), (std::vector<std::string>{"GoSub \"Delete\""}));
}

TEST_F(Tools, OneCustomCursorForEveryCanvas)
{
    ASSERT_TRUE(Exec(19, {"Rect1", "/no/such/file.cur"}));
    EXPECT_EQ(form_->WSImageBox1->cursor(), 1);
    EXPECT_EQ(forms::Screen::instance().cursor(1), nullptr);
    ASSERT_TRUE(Exec(20, {"Rect1"}));
    EXPECT_EQ(form_->WSImageBox1->cursor(), 0);
}

} // namespace
} // namespace zenvas
