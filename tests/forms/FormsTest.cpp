#include "platform/backends/scripted/ScriptedAnswers.h"
#include "platform/forms/Button.h"
#include "platform/forms/ClassicLook.h"
#include "platform/forms/Form.h"
#include "platform/forms/Image.h"
#include "platform/forms/Label.h"
#include "platform/forms/ScrollBox.h"
#include "platform/forms/Shape.h"
#include "tests/gdi/Pixels.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <stdexcept>

namespace forms {
namespace {

struct Event {
    std::string who;
    char kind;
    int x, y;
    ShiftState shift;
    bool operator==(const Event&) const = default;
};

void Record(Control& control, std::vector<Event>& log)
{
    auto add = [&control, &log](char kind, ShiftState s, int x, int y) { log.push_back({control.name(), kind, x, y, s}); };
    control.onMouseDown = [add](MouseButton, ShiftState s, int x, int y) { add('d', s, x, y); };
    control.onMouseMove = [add](ShiftState s, int x, int y) { add('m', s, x, y); };
    control.onMouseUp = [add](MouseButton, ShiftState s, int x, int y) { add('u', s, x, y); };
}

TEST(WindowSystem, HandlesAreNeverZeroNorReusedAndMessagesReachTheirWindowsHandler)
{
    std::set<WindowHandle> seen;
    for (int i = 0; i < 5; ++i) {
        Window window;
        EXPECT_NE(window.handle(), 0);
        EXPECT_TRUE(seen.insert(window.handle()).second);
        EXPECT_EQ(WindowSystem::instance().find(window.handle()), &window);
    }
    for (WindowHandle handle : seen)
        EXPECT_EQ(WindowSystem::instance().find(handle), nullptr);

    Window window;
    window.onMessage = [](std::uint32_t message, std::intptr_t w, std::intptr_t) -> std::optional<std::intptr_t> {
        if (message == 7)
            return w * 2;
        return std::nullopt;
    };
    EXPECT_EQ(WindowSystem::instance().sendMessage(window.handle(), 7, 21), 42);
    EXPECT_EQ(WindowSystem::instance().sendMessage(window.handle(), 8, 21), 0);
    EXPECT_EQ(WindowSystem::instance().sendMessage(0, 7, 21), 0);
}

TEST(WindowSystem, ClientAreaIsOuterSizeLessFrameAndCaption)
{
    Form tool("Tool", BorderStyle::ToolWindow);
    tool.setBounds(0, 0, 250, 250);
    const int frame = look::FrameThickness(tool.style());
    const int caption = look::CaptionHeight(tool.style());
    EXPECT_GT(caption, 0);
    EXPECT_EQ(tool.clientWidth(), 250 - 2 * frame);
    EXPECT_EQ(tool.clientHeight(), 250 - 2 * frame - caption);
    EXPECT_EQ(tool.clientOrigin(), (gdi::Point{frame, frame + caption}));

    Form plain("Plain", BorderStyle::None);
    plain.setClientSize(118, 117);
    EXPECT_EQ(plain.width(), 118);
    EXPECT_EQ(plain.clientHeight(), 117);
}

// A host window holding a form holding a panel-like control with an image.
struct Scene {
    Window host{"Host"};
    Form form{"Form"};
    Control* panel;
    Image* image;
    std::vector<Event> log;

    Scene()
    {
        host.setBounds(10, 10, 300, 200);
        form.setParent(&host);
        form.setBounds(0, 0, 300, 200);
        form.show();
        panel = form.addChild(std::make_unique<Control>("Panel"));
        panel->setBounds(20, 30, 100, 100);
        image = panel->addChild(std::make_unique<Image>("Image"));
        image->setBounds(10, 10, 50, 50);
        Record(*panel, log);
        Record(*image, log);
    }
    void pointer(PointerKind kind, MouseButton button, ShiftState shift, int x, int y)
    {
        WindowSystem::instance().pointer(host.handle(), kind, button, shift, x, y);
    }
};

TEST(InputRouting, DeepestVisibleControlInItsOwnCoordinatesAndAPressCapturesUntilTheLastRelease)
{
    Scene scene;
    scene.pointer(PointerKind::Down, MouseButton::Left, ssLeft, 35, 45);
    scene.pointer(PointerKind::Up, MouseButton::Left, 0, 35, 45);
    scene.pointer(PointerKind::Down, MouseButton::Right, ssRight, 25, 35);
    scene.pointer(PointerKind::Up, MouseButton::Right, 0, 25, 35);
    scene.image->hide();
    scene.pointer(PointerKind::Move, MouseButton::Left, 0, 35, 45);
    EXPECT_EQ(scene.log, (std::vector<Event>{{"Image", 'd', 5, 5, ssLeft},
                                              {"Image", 'u', 5, 5, 0},
                                              {"Panel", 'd', 5, 5, ssRight},
                                              {"Panel", 'u', 5, 5, 0},
                                              {"Panel", 'm', 15, 15, 0}}));

    scene.image->show();
    scene.log.clear();
    scene.pointer(PointerKind::Down, MouseButton::Left, ssLeft, 35, 45);
    scene.pointer(PointerKind::Move, MouseButton::Left, ssLeft, 0, 0);
    // Far points reach the captured control saturated, never wrapped.
    scene.pointer(PointerKind::Move, MouseButton::Left, ssLeft, INT_MIN, INT_MAX);
    scene.pointer(PointerKind::Down, MouseButton::Right, ssLeft | ssRight, 200, 150);
    scene.pointer(PointerKind::Up, MouseButton::Left, ssRight, 200, 150);
    scene.pointer(PointerKind::Up, MouseButton::Right, 0, -5, 300);
    scene.pointer(PointerKind::Move, MouseButton::Left, 0, 25, 35);
    EXPECT_EQ(scene.log, (std::vector<Event>{{"Image", 'd', 5, 5, ssLeft},
                                              {"Image", 'm', -30, -40, ssLeft},
                                              {"Image", 'm', INT_MIN, INT_MAX - 40, ssLeft},
                                              {"Image", 'd', 170, 110, ssLeft | ssRight},
                                              {"Image", 'u', 170, 110, ssRight},
                                              {"Image", 'u', -35, 260, 0},
                                              {"Panel", 'm', 5, 5, 0}}));
}

TEST(ScrollBox, BarsAppearWhenNeededPositionsClampAndScrolledContentGetsPictureCoordinates)
{
    Window host;
    host.setBounds(0, 0, 200, 100);
    Form form;
    form.setParent(&host);
    form.setBounds(0, 0, 200, 100);
    form.show();
    auto* box = form.addChild(std::make_unique<ScrollBox>("Box"));
    box->setBounds(0, 0, 200, 100);
    auto* image = box->addChild(std::make_unique<Image>("Image"));
    image->setBounds(0, 0, 150, 80);
    EXPECT_FALSE(box->horzBarShown());
    EXPECT_FALSE(box->vertBarShown());

    image->setBounds(0, 0, 190, 300); // taller: the vertical bar narrows the view below 190? no: 200 - 17 = 183
    EXPECT_TRUE(box->vertBarShown());
    EXPECT_TRUE(box->horzBarShown());
    EXPECT_EQ(box->maxVertPosition(), 300 - (100 - ScrollBox::kBarThickness));
    box->setVertPosition(100000);
    EXPECT_EQ(box->vertPosition(), box->maxVertPosition());
    box->setHorzPosition(-5);
    EXPECT_EQ(box->horzPosition(), 0);

    box->setVertBarVisible(false);
    EXPECT_FALSE(box->vertBarShown());
    EXPECT_FALSE(box->horzBarShown()); // 190 fits in 200 once the vertical bar is gone
    box->setVertBarVisible(true);

    box->setVertPosition(150);
    EXPECT_EQ(image->top(), -150); // scrolling moves the content
    image->setBounds(image->left(), image->top(), 50, 50); // content shrinks: positions come back into range
    EXPECT_EQ(box->vertPosition(), 0);
    EXPECT_EQ(image->top(), 0);

    image->setBounds(0, 0, 1000, 1000);
    box->setHorzPosition(30);
    box->setVertPosition(40);
    std::vector<Event> log;
    Record(*image, log);
    WindowSystem::instance().pointer(host.handle(), PointerKind::Down, MouseButton::Left, ssLeft, 10, 10);
    WindowSystem::instance().pointer(host.handle(), PointerKind::Up, MouseButton::Left, 0, 10, 10);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], (Event{"Image", 'd', 40, 50, ssLeft}));
    // One hit test gives the control and its local point.
    gdi::Point local;
    EXPECT_EQ(form.controlAt(10, 10, &local), image);
    EXPECT_EQ(local, (gdi::Point{40, 50}));
    // The bars are not the picture.
    EXPECT_EQ(WindowSystem::instance().controlAt(host.handle(), 195, 10), box);
    // The wheel over the picture scrolls the box holding it (a notch is
    // three 16-pixel lines, with Shift sideways); at the end it is not used.
    EXPECT_TRUE(WindowSystem::instance().wheel(host.handle(), -120, 0, 10, 10));
    EXPECT_EQ(box->vertPosition(), 88);
    EXPECT_TRUE(WindowSystem::instance().wheel(host.handle(), 120, ssShift, 10, 10));
    EXPECT_EQ(box->horzPosition(), 0);
    box->setVertPosition(box->maxVertPosition());
    EXPECT_FALSE(WindowSystem::instance().wheel(host.handle(), -120, 0, 10, 10) && box->vertPosition() != box->maxVertPosition());
}

// A form released inside a handler lives until the handler ends; a failure
// in a handler shows the error box and ends only that event.
TEST(Lifetimes, ReleaseInsideAHandlerWaitsForItAndAFailureEndsOnlyThatEvent)
{
    Window host;
    host.setBounds(0, 0, 100, 100);
    auto form = std::make_unique<Form>("Doomed");
    form->setParent(&host);
    form->setBounds(0, 0, 100, 100);
    form->show();
    std::weak_ptr<void> formAlive = form->lifetime();
    bool stillUsableInHandler = false;
    Form* raw = form.get();
    std::unique_ptr<Form> holder = std::move(form);
    raw->onMouseDown = [&](MouseButton, ShiftState, int, int) {
        WindowSystem::instance().releaseLater(std::move(holder));
        // Still valid here: the release waits for the handler to finish.
        raw->setCaption("touched after release");
        stillUsableInHandler = !formAlive.expired() && !raw->visible();
    };
    WindowSystem::instance().pointer(host.handle(), PointerKind::Down, MouseButton::Left, ssLeft, 5, 5);
    EXPECT_TRUE(stillUsableInHandler);
    EXPECT_TRUE(formAlive.expired());
    // The capture died with the form: the release goes nowhere.
    WindowSystem::instance().pointer(host.handle(), PointerKind::Up, MouseButton::Left, 0, 5, 5);
    EXPECT_TRUE(host.children().empty());

    auto& backend = ScriptedAnswers::instance();
    const int before = backend.errorBoxCount();
    int steps = 0;
    host.onMouseDown = [&](MouseButton, ShiftState, int, int) {
        ++steps;
        throw std::runtime_error("'abc' is not a valid integer value");
    };
    testing::internal::CaptureStderr();
    WindowSystem::instance().pointer(host.handle(), PointerKind::Down, MouseButton::Left, ssLeft, 5, 5);
    WindowSystem::instance().pointer(host.handle(), PointerKind::Down, MouseButton::Left, ssLeft, 5, 5);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(backend.errorBoxCount(), before + 2);
    EXPECT_NE(err.find("error box: 'abc' is not a valid integer value\n"), std::string::npos);
}

TEST(Painting, OverlayFrameIsDrawnOverChildrenNotIntoThem)
{
    Form form;
    form.setBounds(0, 0, 40, 40);
    auto* image = form.addChild(std::make_unique<Image>("Image"));
    image->setBounds(0, 0, 40, 40);
    image->picture().setSize(40, 40);
    image->picture().fill(0x00FFFFFF);
    auto* frame = form.addChild(std::make_unique<Shape>("Frame"));
    frame->setBounds(5, 5, 10, 10);
    const gdi::Bitmap before = image->picture();
    gdi::Bitmap shot = form.snapshot();
    EXPECT_EQ(shot.pixel(14, 5), 0u);          // the outline starts at the top right: inverted white
    EXPECT_EQ(shot.pixel(11, 5), 0xFFFFFFu);   // a gap of the dotted pen
    EXPECT_EQ(shot.pixel(10, 10), 0xFFFFFFu);  // clear inside
    EXPECT_EQ(shot.pixel(20, 20), 0xFFFFFFu);
    EXPECT_EQ(gdi::test::Diff(image->picture(), before), "");
    // The pointer falls through the frame.
    EXPECT_EQ(form.controlAt(6, 6), image);
}

TEST(Painting, DamagedAreasAloneRepaintToTheWholePicturesPixels)
{
    Form form("Form", BorderStyle::Dialog);
    form.setBounds(0, 0, 320, 240);
    form.setCaption("Composed");
    form.show(); // a hidden window keeps no damage: showing paints it all
    auto* box = form.addChild(std::make_unique<ScrollBox>("Box"));
    box->setBounds(10, 10, 200, 150);
    auto* image = box->addChild(std::make_unique<Image>("Image"));
    image->setBounds(0, 0, 400, 300);
    image->picture().setSize(400, 300);
    auto* frame = box->addChild(std::make_unique<Shape>("Frame"));
    frame->setBounds(30, 30, 50, 40);
    auto* label = form.addChild(std::make_unique<Label>("Label"));
    label->setBounds(220, 10, 90, 20);
    label->setCaption("one");
    form.addChild(std::make_unique<Button>("OK", "OK"))->setBounds(220, 180, 80, 24);

    auto area = [](const std::vector<gdi::IntRect>& rects) {
        std::int64_t sum = 0;
        for (const gdi::IntRect& r : rects)
            sum += r.width() * r.height();
        return sum;
    };
    EXPECT_EQ(form.compose(), (std::vector<gdi::IntRect>{{0, 0, 320, 240}}));
    struct Step {
        const char* what;
        std::function<void()> change;
        std::int64_t most; // pixels repainted at most
    };
    const Step steps[] = {
        {"a short stroke on the picture", [&] { image->canvas().moveTo(50, 50); image->canvas().lineTo(60, 55); }, 15 * 10},
        {"a frame moved a little", [&] { frame->setBounds(33, 31, 50, 40); }, 4 * (53 + 41) * 2},
        {"a new caption", [&] { label->setCaption("two"); }, 90 * 20},
        {"nothing", [] {}, 0},
        {"scrolled", [&] { box->setVertPosition(30); }, 200 * 150},
        {"a picture of another size", [&] { image->picture().setSize(100, 100); }, 400 * 300},
        {"hidden", [&] { label->hide(); }, 90 * 20},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        const std::vector<gdi::IntRect> painted = form.compose();
        EXPECT_LE(area(painted), step.most);
        ASSERT_EQ(gdi::test::Diff(form.frame(), form.snapshot()), "");
    }
}

TEST(ScriptedAnswers, AnswersInOrderAndCancelsWhenEmptyOrMismatched)
{
    auto& backend = ScriptedAnswers::instance();
    backend.clearAnswers();
    EXPECT_EQ(backend.chooseColor(0), std::nullopt);
    backend.queue({Answer::Kind::Color, gdi::Rgb(1, 2, 3)});
    backend.queue({Answer::Kind::File, 0, {}, "a.bmp"});
    backend.queue({Answer::Kind::Cancel});
    EXPECT_EQ(backend.chooseColor(0), gdi::Rgb(1, 2, 3));
    testing::internal::CaptureStderr();
    EXPECT_EQ(backend.chooseColor(0), std::nullopt); // a file answer does not fit: used up, cancelled
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(backend.chooseFile(true, "", ""), std::nullopt); // the cancel answer
    EXPECT_EQ(backend.pendingAnswers(), 0u);
}

} // namespace
} // namespace forms
