#include "canvas/CanvasList.h"
#include "tests/gdi/Pixels.h"
#include "tests/support/PluginHarness.h"
#include "platform/forms/Window.h"
#include "plugin/HostServices.h"

#include <gtest/gtest.h>

#include <map>

namespace zenvas {
namespace {

using harness::Exec;

std::map<std::string, std::string>& g_handles = harness::State().handles;
std::map<std::string, std::string>& g_variables = harness::State().variables;

class CanvasActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Connect();
        host_.setBounds(0, 0, 400, 300);
        g_handles["Rect1"] = std::to_string(host_.handle());
        g_handles["RECT1"] = std::to_string(host_.handle());
        g_handles["Zero"] = "0";
        g_handles["Junk"] = "12abc";
    }
    void TearDown() override { harness::Disconnect(); }
    TZenvas& canvas(const char* name)
    {
        const int index = FindCanvas(name);
        EXPECT_NE(index, -1) << name;
        return CanvasAt(index);
    }
    forms::Window host_{"Rect1"};
};

TEST_F(CanvasActions, CreateFillsTheHostRectangleWithAWhitePictureOfAPossibleSize)
{
    ASSERT_TRUE(Exec(1, {"Rect1", "300", "150"}));
    TZenvas& c = canvas("Rect1");
    EXPECT_EQ(c.parent(), &host_);
    EXPECT_EQ(c.bounds(), (gdi::IntRect{0, 0, 400, 300}));
    EXPECT_TRUE(c.visible());
    EXPECT_EQ(c.WSImageBox1->Bitmap().width(), 300);
    EXPECT_EQ(c.WSImageBox1->Bitmap().height(), 150);
    EXPECT_EQ(c.WSImageBox1->ComWidth, 300);
    EXPECT_EQ(c.WSImageBox1->width(), 300);
    EXPECT_TRUE(c.ScrollBox1->doubleBuffered());
    EXPECT_EQ(TWSImageBox::GetTool(), 0);
    EXPECT_EQ(forms::WindowSystem::instance().sendMessage(c.handle(), TZenvas::kSwallowedMessage), 0);

    // Size texts that are not plain numbers give 1, impossible sizes no canvas.
    for (const char* text : {"abc", "-5", "0", "", " 7", "+7"}) {
        ASSERT_TRUE(Exec(1, {"Rect1", text, "2"})) << text;
        EXPECT_EQ(canvas("Rect1").WSImageBox1->Bitmap().width(), 1) << text;
    }
    EXPECT_FALSE(Exec(1, {"Rect1", "2147483648", "2"}));
    EXPECT_EQ(FindCanvas("Rect1"), -1);
    EXPECT_FALSE(Exec(1, {"Rect1", "2147483647", "2147483647"}));
    EXPECT_EQ(FindCanvas("Rect1"), -1);
    EXPECT_TRUE(Exec(1, {"Rect1", "10", "10"}));
}

TEST_F(CanvasActions, NamesFoldOnlyAsciiAnEqualNameReplacesAndTheHostsHandleMustBeAWindow)
{
    ASSERT_TRUE(Exec(1, {"Rect1", "10", "10"}));
    std::weak_ptr<void> first = canvas("Rect1").lifetime();
    ASSERT_TRUE(Exec(1, {"RECT1", "20", "20"}));
    EXPECT_TRUE(first.expired());
    EXPECT_EQ(CanvasCount(), 1);
    EXPECT_EQ(canvas("rect1").RectName, "RECT1");
    EXPECT_EQ(FindCanvas("\xD0\xE5\xEA\xF2"), -1);
    g_handles["\xD0\xE5\xEA\xF2"] = std::to_string(host_.handle());
    ASSERT_TRUE(Exec(1, {"\xD0\xE5\xEA\xF2", "5", "5"}));
    EXPECT_EQ(FindCanvas("\xF0\xE5\xEA\xF2"), -1); // Cyrillic case is not folded
    EXPECT_EQ(CanvasCount(), 2);

    // A host that answers zero drops the canvas; junk, no answer or no such
    // window fail.
    g_handles["Rect1"] = "0";
    EXPECT_TRUE(Exec(1, {"Rect1", "10", "10"}));
    EXPECT_EQ(FindCanvas("Rect1"), -1);
    EXPECT_TRUE(CanvasListExists());
    g_handles["Rect1"] = "12abc";
    EXPECT_FALSE(Exec(1, {"Rect1", "10", "10"}));
    nbRegisterInterfaceAccess(nullptr);
    EXPECT_FALSE(Exec(1, {"Rect1", "10", "10"}));
    g_handles["Rect1"] = "99999999"; // no such window
    nbRegisterInterfaceAccess(&harness::AnswerWindow);
    EXPECT_FALSE(Exec(1, {"Rect1", "10", "10"}));
}

TEST_F(CanvasActions, ChangeSizeAndClearEndWithAWhiteSolidBrush)
{
    ASSERT_TRUE(Exec(1, {"Rect1", "30", "20"}));
    TWSImageBox& box = *canvas("Rect1").WSImageBox1;
    box.Canvas().brush().setStyle(gdi::BrushStyle::Cross);
    box.Bitmap().setPixel(3, 3, 0x0000FF);
    ASSERT_TRUE(Exec(6, {"Rect1", "", "50"}));
    EXPECT_EQ(box.Bitmap().width(), 30);
    EXPECT_EQ(box.Bitmap().height(), 50);
    EXPECT_EQ(box.Bitmap().pixel(3, 3), 0xFFFFFFu);
    EXPECT_EQ(box.Canvas().brush().style(), gdi::BrushStyle::Solid);
    box.Bitmap().setPixel(29, 49, 0);
    EXPECT_TRUE(Exec(7, {"Rect1"}));
    EXPECT_EQ(box.Bitmap().pixel(29, 49), 0xFFFFFFu);
    EXPECT_FALSE(Exec(6, {"Nothing", "1", "1"}));
}

TEST_F(CanvasActions, ScrollBarsAndPositions)
{
    ASSERT_TRUE(Exec(1, {"Rect1", "1000", "800"}));
    forms::ScrollBox& box = *canvas("Rect1").ScrollBox1;
    EXPECT_TRUE(box.vertBarShown());
    EXPECT_TRUE(box.horzBarShown());
    ASSERT_TRUE(Exec(3, {"Rect1", "FALSE", "maybe"}));
    EXPECT_FALSE(box.vertBarShown());
    EXPECT_TRUE(box.horzBarShown());
    ASSERT_TRUE(Exec(3, {"Rect1", "TRUE", "no"}));
    EXPECT_TRUE(box.vertBarShown());

    ASSERT_TRUE(Exec(4, {"Rect1", "[H]", "[V]"}));
    EXPECT_EQ(g_variables["[H]"], "0");
    EXPECT_EQ(g_variables["[V]"], "0");
    ASSERT_TRUE(Exec(5, {"Rect1", "120", "-5"}));
    ASSERT_TRUE(Exec(5, {"Rect1", "", "99999"}));
    ASSERT_TRUE(Exec(4, {"Rect1", "[H]", ""}));
    EXPECT_EQ(g_variables["[H]"], "120");
    EXPECT_EQ(g_variables[""], std::to_string(box.maxVertPosition()));
    EXPECT_EQ(box.maxVertPosition(), 800 - (300 - forms::ScrollBox::kBarThickness));
}

TEST_F(CanvasActions, MessageTwoReleasesEverythingAndCanRepeat)
{
    ASSERT_TRUE(Exec(1, {"Rect1", "10", "10"}));
    std::weak_ptr<void> alive = canvas("Rect1").lifetime();
    nbMessage(1);
    EXPECT_FALSE(alive.expired());
    nbMessage(2);
    EXPECT_TRUE(alive.expired());
    EXPECT_FALSE(CanvasListExists());
    EXPECT_TRUE(host_.children().empty());
    nbMessage(2);
    EXPECT_FALSE(Exec(2, {"Rect1"}));
    ASSERT_TRUE(Exec(1, {"Rect1", "10", "10"}));
    EXPECT_TRUE(Exec(2, {"rect1"}));
    EXPECT_TRUE(CanvasListExists());
    EXPECT_EQ(CanvasCount(), 0);
}

// The built-in tools, driven through the window system.
class BuiltInTools : public CanvasActions {
protected:
    void SetUp() override
    {
        CanvasActions::SetUp();
        ASSERT_TRUE(Exec(1, {"Rect1", "60", "40"}));
        box_ = canvas("Rect1").WSImageBox1;
    }
    void pointer(forms::PointerKind kind, forms::MouseButton button, forms::ShiftState shift, int x, int y)
    {
        forms::WindowSystem::instance().pointer(host_.handle(), kind, button, shift, x, y);
    }
    void drag(int x1, int y1, int x2, int y2, forms::ShiftState held = forms::ssLeft)
    {
        pointer(forms::PointerKind::Down, forms::MouseButton::Left, held, x1, y1);
        pointer(forms::PointerKind::Move, forms::MouseButton::Left, held, (x1 + x2) / 2 + 3, (y1 + y2) / 2 + 2);
        pointer(forms::PointerKind::Move, forms::MouseButton::Left, held, x2, y2);
        pointer(forms::PointerKind::Up, forms::MouseButton::Left, 0, x2, y2);
    }
    int count(gdi::Color c) { return int(gdi::test::CountColor(box_->Bitmap(), c)); }
    TWSImageBox* box_ = nullptr;
};

TEST_F(BuiltInTools, RubberBandsLeaveOnlyTheFinalFigureAndModifiedDragsDrawOnlyOnRelease)
{
    box_->Canvas().pen().setColor(0);
    box_->Canvas().brush().setStyle(gdi::BrushStyle::Clear);
    TWSImageBox::SetTool(3);
    drag(10, 10, 30, 20);
    // Only the outline of the final 20 x 10 rectangle remains.
    EXPECT_EQ(count(0), 2 * 20 + 2 * 10 - 4);
    EXPECT_EQ(box_->Bitmap().pixel(10, 10), 0u);
    EXPECT_EQ(box_->Bitmap().pixel(29, 19), 0u);
    EXPECT_EQ(box_->Bitmap().pixel(30, 20), 0xFFFFFFu);
    EXPECT_EQ(box_->Canvas().pen().mode(), gdi::PenMode::Copy);

    // The line tool draws one line; modified drags draw only on release.
    Exec(7, {"Rect1"});
    TWSImageBox::SetTool(5);
    drag(5, 5, 25, 5);
    EXPECT_EQ(count(0), 20);
    Exec(7, {"Rect1"}); // which leaves a solid brush
    TWSImageBox::SetTool(3);
    box_->Canvas().brush().setStyle(gdi::BrushStyle::Clear);
    drag(10, 10, 20, 20, forms::ssLeft | forms::ssShift);
    EXPECT_EQ(count(0), 36); // no rubber band, the figure from press to release
}

TEST_F(BuiltInTools, OneToolNumberForEveryCanvas)
{
    host_.setBounds(0, 0, 400, 300);
    forms::Window second("Rect2");
    second.setBounds(0, 0, 100, 100);
    g_handles["Rect2"] = std::to_string(second.handle());
    TWSImageBox::SetTool(5);
    ASSERT_TRUE(Exec(1, {"Rect2", "10", "10"})); // creation ends every built-in tool
    box_->Canvas().pen().setColor(0);
    drag(5, 5, 25, 5);
    EXPECT_EQ(count(0), 0);
}

TEST_F(BuiltInTools, CanvasDeletedFromInsideItsOwnPressHandler)
{
    auto& hooks = ImageFormHooks();
    auto saved = hooks;
    static bool touchedAfterDelete = false;
    hooks.mouseDown = [](TImageForm& form, forms::MouseButton b, forms::ShiftState s, int x, int y) {
        form.WSImageBox1->ibMouseDown(b, s, x, y);
        Exec(2, {"Rect1"});
        // The form is out of service but still alive until the handler ends.
        touchedAfterDelete = form.released() && !form.visible();
        form.WSImageBox1->Canvas().setPixel(x, y, 0);
    };
    std::weak_ptr<void> alive = canvas("Rect1").lifetime();
    pointer(forms::PointerKind::Down, forms::MouseButton::Left, forms::ssLeft, 5, 5);
    hooks = saved;
    EXPECT_TRUE(touchedAfterDelete);
    EXPECT_TRUE(alive.expired());
    pointer(forms::PointerKind::Move, forms::MouseButton::Left, forms::ssLeft, 8, 8);
    pointer(forms::PointerKind::Up, forms::MouseButton::Left, 0, 8, 8);
    EXPECT_EQ(FindCanvas("Rect1"), -1);
}

} // namespace
} // namespace zenvas
