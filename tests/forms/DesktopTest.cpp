// The desktop layer over a recording platform: drawing reaches the screen
// as damage the moment it is drawn, and a frame presents exactly that.
#include "platform/backends/DesktopBackend.h"
#include "platform/forms/Image.h"
#include "platform/forms/Window.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace forms {
namespace {

struct RecordingNative final : NativeWindow {
    std::vector<std::vector<gdi::IntRect>>* presents;
    explicit RecordingNative(std::vector<std::vector<gdi::IntRect>>* p) : presents(p) {}
    void place(const NativePlacement&) override {}
    void show() override { shown_ = true; }
    void hide() override { shown_ = false; }
    bool shown() const override { return shown_; }
    void present(const gdi::Bitmap&, std::span<const gdi::IntRect> areas) override
    {
        presents->emplace_back(areas.begin(), areas.end());
    }
    void setCursor(const CursorShape*, int, int) override {}
    void setModal(bool) override {}
    std::int64_t handle() const override { return 1; }
    bool shown_ = false;
};

// A desktop whose loop is the test: it counts the frames asked for and
// records what each presented.
class RecordingDesktop final : public DesktopBackend {
public:
    int frameRequests = 0;
    std::vector<std::vector<gdi::IntRect>> presents;

    std::optional<gdi::Color> chooseColor(gdi::Color) override { return std::nullopt; }
    std::optional<gdi::Font> chooseFont(const gdi::Font&) override { return std::nullopt; }
    std::optional<std::string> chooseFile(bool, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    void messageBox(const std::string&, const std::string&) override {}
    void errorBox(const std::string&) override {}
    void openAddress(const std::string&) override {}

private:
    bool openPlatform(std::string&) override { return true; }
    std::unique_ptr<NativeWindow> makeNative(Window&, NativeWindow*) override
    {
        return std::make_unique<RecordingNative>(&presents);
    }
    void wake() override { ++frameRequests; }
    bool waitForEvents() override { return false; }
    bool handleWaiting() override { return false; }
    void catchInterrupts(bool) override {}
    void endDialogs() override {}
    void scheduleTimer(int, int) override {}
    void cancelTimer(int) override {}
};

class Desktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = SetBackend(&desktop_);
        std::string problem;
        ASSERT_TRUE(desktop_.open(problem));
        window_.setBounds(0, 0, 300, 200);
        image_ = window_.addChild(std::make_unique<Image>("Picture"));
        image_->setBounds(20, 10, 240, 160);
        image_->resizePicture(240, 160);
        window_.show();
        // The first frame shows the new window whole.
        desktop_.frame();
        desktop_.frameRequests = 0;
        desktop_.presents.clear();
        // The boxes the drawing layer reports, in the window's coordinates.
        auto invalidate = image_->canvas().onTouched;
        image_->canvas().onTouched = [this, invalidate](const gdi::IntRect& box) {
            reported_ = reported_.united({box.left + 20, box.top + 10, box.right + 20, box.bottom + 10});
            invalidate(box);
        };
    }
    void TearDown() override { SetBackend(previous_); }

    // One frame: it must present exactly the reported box, once.
    void expectFrameOfReportedBox()
    {
        ASSERT_FALSE(reported_.isEmpty());
        EXPECT_EQ(desktop_.frameRequests, 1);
        EXPECT_EQ(window_.damagedAreas(), std::vector<gdi::IntRect>{reported_});
        desktop_.frame();
        ASSERT_EQ(desktop_.presents.size(), 1u);
        EXPECT_EQ(desktop_.presents[0], std::vector<gdi::IntRect>{reported_});
        EXPECT_TRUE(window_.damagedAreas().empty());
        ASSERT_EQ(gdi::test::Diff(window_.frame(), window_.snapshot()), "");
    }

    RecordingDesktop desktop_;
    Backend* previous_ = nullptr;
    Window window_;
    Image* image_ = nullptr;
    gdi::IntRect reported_;
};

TEST_F(Desktop, APointerMoveThatDrawsIsDamageAndAFrameRequestAtOnce)
{
    image_->onMouseDown = [this](MouseButton, ShiftState, int x, int y) { image_->canvas().moveTo(x, y); };
    image_->onMouseMove = [this](ShiftState, int x, int y) { image_->canvas().lineTo(x, y); };
    auto& system = WindowSystem::instance();
    system.pointer(window_.handle(), PointerKind::Down, MouseButton::Left, ssLeft, 50, 40);
    EXPECT_EQ(desktop_.frameRequests, 0); // a press that draws nothing changes nothing
    EXPECT_TRUE(window_.damagedAreas().empty());
    system.pointer(window_.handle(), PointerKind::Move, MouseButton::Left, ssLeft, 90, 60);
    expectFrameOfReportedBox();
    // The release, with the button held no more, repaints nothing either.
    system.pointer(window_.handle(), PointerKind::Up, MouseButton::Left, 0, 90, 60);
    EXPECT_EQ(desktop_.frameRequests, 1);
    EXPECT_TRUE(window_.damagedAreas().empty());
}

TEST_F(Desktop, DrawingOutsideAnyEventIsDamageAndAFrameRequestAtOnce)
{
    // As an action draws by coordinates: no input, no repaint asked for.
    image_->canvas().brush().setColor(gdi::Rgb(255, 0, 0));
    image_->canvas().rectangle(100, 20, 140, 70);
    expectFrameOfReportedBox();

    // Drawing pixel by pixel within one frame asks for one frame.
    reported_ = {};
    desktop_.frameRequests = 0;
    desktop_.presents.clear();
    for (int i = 0; i < 30; ++i)
        image_->canvas().setPixel(10 + i, 120, gdi::Rgb(0, 0, 255));
    expectFrameOfReportedBox();
}

} // namespace
} // namespace forms
