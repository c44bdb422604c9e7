// The dialog controls, driven by an author's hands through the window system.
#include "Author.h"

#include "platform/backends/scripted/ScriptedAnswers.h"
#include "platform/forms/Button.h"
#include "platform/forms/ClassicLook.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Cursor.h"
#include "platform/forms/GradientBand.h"
#include "platform/forms/Image.h"
#include "platform/forms/LabeledEdit.h"
#include "platform/forms/LinkLabel.h"
#include "platform/forms/Panel.h"
#include "platform/forms/ScrollBox.h"
#include "platform/forms/SpinEdit.h"
#include "tests/gdi/Pixels.h"

#include <climits>

namespace forms {
namespace {

using testing::Author;

TEST(LabeledEdit, TypingHonoursMaxLengthAndEditsAtTheCaret)
{
    Author author;
    auto* edit = author.add(std::make_unique<LabeledEdit>("Edit"), 10, 30, 100, 21);
    int changes = 0;
    edit->onChange = [&] { ++changes; };
    edit->setMaxLength(4);
    edit->setText("abcdef"); // loading ignores the limit
    author.click(*edit);
    ASSERT_TRUE(edit->focused());
    author.type("x");
    EXPECT_EQ(edit->text(), "abcdef");
    for (int i = 0; i < 3; ++i)
        author.press(Key::Backspace);
    author.type("\n\xC0yz"); // a control byte is dropped, a 1251 letter is typed
    EXPECT_EQ(edit->text(), "abc\xC0");
    author.press(Key::Home);
    author.press(Key::Right);
    author.press(Key::Delete);
    author.type("Q");
    EXPECT_EQ(edit->text(), "aQc\xC0");
    author.click(*edit); // the caret goes back to the end
    author.press(Key::Backspace);
    EXPECT_EQ(edit->text(), "aQc");
    EXPECT_EQ(changes, 8);
}

TEST(LabeledEdit, PromptSitsAboveTheBoxAndFollowsIt)
{
    Author author;
    auto* panel = author.add(std::make_unique<Panel>("Panel"), 0, 0, 300, 200);
    auto edit = std::make_unique<LabeledEdit>("Edit");
    edit->editLabel().setCaption("Name:");
    LabeledEdit* raw = author.add(std::move(edit), 10, 40, 100, 21, panel);
    Label& label = raw->editLabel();
    EXPECT_EQ(label.parent(), panel);
    EXPECT_GT(label.width(), 0);
    EXPECT_EQ(label.bounds(), (gdi::IntRect{10, 37 - label.height(), 10 + label.width(), 37}));
    label.setCaption("A longer prompt:");
    raw->setBounds(50, 100, 80, 21);
    EXPECT_EQ(label.bounds(), (gdi::IntRect{50, 97 - label.height(), 50 + label.width(), 97}));
    raw->hide();
    EXPECT_FALSE(label.visible());
    panel->destroyOwned(raw);
    EXPECT_TRUE(panel->children().empty());
}

TEST(SpinEdit, TextThatIsNotAnIntegerReadsAsTheMinimum)
{
    const std::pair<const char*, int> cases[] = {
        {"12", 12}, {"-5", -5}, {"+7", 7}, {"007", 7}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        {"", 3},    {"abc", 3}, {"1 ", 3}, {" 1", 3}, {"2147483648", 3},       {"+-1", 3}, {"-", 3}, {"0x10", 3},
    };
    SpinEdit spin;
    spin.setMinValue(3);
    spin.setMaxValue(10);
    for (const auto& [text, value] : cases) {
        spin.setText(text); // raw: no clamp
        EXPECT_EQ(spin.text(), text);
        EXPECT_EQ(spin.value(), value) << '"' << text << '"';
        EXPECT_EQ(spin.setValueText(text), value != 3) << '"' << text << '"'; // no integer case reads 3
    }
}

TEST(SpinEdit, ArrowsAndKeysStepFromTheValueAndClamp)
{
    enum How { ArrowUp, ArrowDown, KeyUp, KeyDown };
    struct Case {
        int min, max;
        const char* text;
        How how;
        const char* after;
    } const cases[] = {
        {0, 10, "10", ArrowUp, "10"},           {0, 10, "0", ArrowDown, "0"},      {0, 10, "4", KeyUp, "5"},
        {0, 10, "4", KeyDown, "3"},             {3, 10, "abc", ArrowUp, "4"},      {0, 10, "50", ArrowDown, "10"},
        {5, 5, "7", ArrowUp, "8"},              {0, 0, "-3", KeyDown, "-4"},       {0, 0, "2147483647", KeyUp, "2147483647"},
        {10, 5, "7", ArrowUp, "10"}, // a minimum above the maximum wins below it
    };
    for (const Case& c : cases) {
        Author author;
        auto* spin = author.add(std::make_unique<SpinEdit>("Spin"), 10, 10, 60, 22);
        spin->setMinValue(c.min);
        spin->setMaxValue(c.max);
        spin->setText(c.text);
        if (c.how == ArrowUp || c.how == ArrowDown) {
            author.clickIn(*spin, spin->arrowRect(c.how == ArrowUp));
            EXPECT_TRUE(spin->focused());
        } else {
            author.form.setFocus(spin);
            author.press(c.how == KeyUp ? Key::Up : Key::Down);
        }
        EXPECT_EQ(spin->text(), std::string(c.after)) << c.text << " " << c.how;
    }
}

TEST(SpinEdit, TypingTakesDigitsAndALeadingMinusAndLeavingClamps)
{
    Author author;
    auto* spin = author.add(std::make_unique<SpinEdit>("Spin"), 10, 10, 60, 22);
    auto* free = author.add(std::make_unique<SpinEdit>("Free"), 10, 40, 60, 22);
    spin->setMinValue(1);
    spin->setMaxValue(100);
    spin->setMaxLength(3);
    spin->setText("");
    author.click(*spin);
    author.type("-1a2-5");
    EXPECT_EQ(spin->text(), "-12");
    author.press(Key::Tab); // to Free: the field being left clamps
    EXPECT_EQ(spin->text(), "1");
    EXPECT_TRUE(free->focused());
    free->setText("x");
    author.press(Key::Tab); // no range: unreadable text still becomes the minimum
    EXPECT_EQ(free->text(), "0");
    spin->setText("999");
    author.click(*free); // a press on another field moves the focus too
    EXPECT_EQ(spin->text(), "100");
    EXPECT_TRUE(spin->setValueText("-7"));
    EXPECT_EQ(spin->text(), "1");
}

struct ComboScene : Author {
    ComboBox* combo;
    Button* button;
    int changes = 0, clicks = 0;

    explicit ComboScene(int items, int top = 10)
    {
        combo = add(std::make_unique<ComboBox>("Combo"), 10, top, 120, 21);
        for (int i = 0; i < items; ++i)
            combo->addItem("Item " + std::to_string(i));
        combo->onChange = [this] { ++changes; };
        button = add(std::make_unique<Button>("Button", "B"), 200, 10, 75, 25);
        button->onClick = [this] { ++clicks; };
    }
};

TEST(ComboBox, AClickOpensTheListOverEverythingAndItemsAreChosenByClicksAndKeys)
{
    ComboScene scene(3);
    ComboBox& combo = *scene.combo;
    scene.click(combo);
    ASSERT_TRUE(combo.droppedDown());
    Control* list = combo.dropDownList();
    EXPECT_EQ(scene.form.children().back(), list);
    EXPECT_EQ(list->top(), combo.top() + combo.height());
    EXPECT_TRUE(combo.listScrollRect(false).isEmpty());
    scene.clickIn(*list, combo.listItemRect(1));
    EXPECT_FALSE(combo.droppedDown());
    EXPECT_EQ(combo.text(), "Item 1");
    EXPECT_EQ(scene.changes, 1);

    // A press elsewhere only closes the list: the button under it hears
    // neither the press nor the release.
    int releases = 0;
    scene.button->onMouseUp = [&](MouseButton, ShiftState, int, int) { ++releases; };
    scene.click(combo);
    scene.click(*scene.button);
    EXPECT_FALSE(combo.droppedDown());
    EXPECT_EQ(scene.clicks + releases, 0);
    EXPECT_EQ(combo.dropDownList(), nullptr);
    scene.click(*scene.button);
    EXPECT_EQ(scene.clicks, 1);
    EXPECT_EQ(combo.text(), "Item 1");

    // Keys change the selection, and the text is always an item.
    scene.clicks = scene.changes = 0;
    scene.button->setDefault(true);
    scene.form.setFocus(&combo);
    const std::pair<Key, const char*> steps[] = {
        {Key::Up, "Item 0"}, {Key::Down, "Item 1"}, {Key::Down, "Item 2"}, {Key::Down, "Item 2"}, {Key::Home, "Item 0"},
    };
    for (const auto& [key, text] : steps) {
        scene.press(key);
        EXPECT_EQ(combo.text(), text);
    }
    EXPECT_EQ(scene.changes, 4);
    scene.click(combo);
    scene.press(Key::Down);
    EXPECT_TRUE(combo.droppedDown());
    scene.press(Key::Enter); // closes the list, presses nothing
    EXPECT_FALSE(combo.droppedDown());
    EXPECT_EQ(scene.clicks, 0);
    EXPECT_EQ(combo.text(), "Item 1");

    EXPECT_FALSE(combo.setValueText("item 2"));
    EXPECT_FALSE(combo.setValueText(""));
    EXPECT_TRUE(combo.setValueText("Item 2"));
    combo.setItemIndex(3);
    EXPECT_EQ(combo.itemIndex(), -1);
    EXPECT_EQ(combo.text(), "");
    combo.setItemIndex(0);
    combo.clearItems();
    EXPECT_EQ(combo.text(), "");
}

TEST(ComboBox, LongListsScrollAndOpenAboveWithoutRoomBelow)
{
    ComboScene scene(20, 150);
    ComboBox& combo = *scene.combo;
    scene.click(combo);
    Control* list = combo.dropDownList();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->top() + list->height(), combo.top());
    EXPECT_TRUE(combo.listItemRect(8).isEmpty());
    scene.clickIn(*list, combo.listScrollRect(false));
    EXPECT_EQ(combo.topIndex(), 1);
    EXPECT_TRUE(combo.droppedDown()); // scrolling keeps it open
    scene.form.setFocus(nullptr);
    EXPECT_FALSE(combo.droppedDown());
    // The selection is scrolled into view when the list opens.
    combo.setItemIndex(19);
    scene.click(combo);
    EXPECT_FALSE(combo.listItemRect(19).isEmpty());
}

TEST(LinkLabel, AClickOpensTheAddress)
{
    Author author;
    auto* link = author.add(std::make_unique<LinkLabel>("Link"), 10, 10, 100, 14);
    link->address = "https://example.org/";
    EXPECT_EQ(link->cursor(), kCursorHand);
    ::testing::internal::CaptureStdout();
    author.click(*link);
    // Released elsewhere: no click.
    const gdi::Point at = link->originIn(&author.form);
    WindowSystem::instance().pointer(author.form.handle(), PointerKind::Down, MouseButton::Left, ssLeft, at.x + 1, at.y + 1);
    WindowSystem::instance().pointer(author.form.handle(), PointerKind::Up, MouseButton::Left, 0, at.x + 150, at.y + 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "open: https://example.org/\n");
}

// A 253-pixel scroll box over 808 pixels of picture each way: the view is
// 236, the trough between the 17-pixel arrows 202 with a thumb of 59, so
// the thumb travels 143 pixels over positions 0 to 572, 4 a pixel. The
// horizontal bar is at y 236..252, the vertical one at x 236..252.
struct ScrollScene {
    Author author;
    ScrollBox* box;
    Image* image;

    ScrollScene()
    {
        author.form.setClientSize(260, 260);
        box = author.add(std::make_unique<ScrollBox>("Box"), 0, 0, 253, 253);
        image = author.add(std::make_unique<Image>("Image"), 0, 0, 808, 808, box);
        image->resizePicture(808, 808);
        for (int i = 0; i < 808; i += 20)
            look::Fill(image->canvas(), {i, 0, i + 10, 808}, gdi::Rgb(i % 256, 0, 200));
    }
    void pointer(PointerKind kind, int x, int y, MouseButton button = MouseButton::Left)
    {
        const ShiftState held = kind == PointerKind::Up ? 0 : ButtonFlag(button);
        WindowSystem::instance().pointer(author.form.handle(), kind, button, held, x, y);
    }
    gdi::Point position() const { return {box->horzPosition(), box->vertPosition()}; }
};

TEST(ScrollBox, ThumbTroughAndArrowsScrollBothBars)
{
    struct Case {
        const char* what;
        gdi::Point from;
        gdi::Point press;
        std::vector<gdi::Point> moves; // the release is at the last point
        gdi::Point expected;
        MouseButton button = MouseButton::Left;
    } const cases[] = {
        {"thumb dragged 25 pixels", {0, 0}, {30, 244}, {{55, 244}}, {100, 0}},
        {"thumb grabbed off its middle does not jump", {200, 0}, {120, 244}, {{100, 244}}, {120, 0}},
        {"thumb follows outside the window, clamped", {0, 0}, {30, 244}, {{2000, -900}}, {572, 0}},
        {"thumb comes back past the start", {400, 0}, {120, 244}, {{2000, 244}, {-500, 1000}}, {0, 0}},
        {"trough after the thumb: a page", {0, 0}, {150, 244}, {}, {236, 0}},
        {"trough before the thumb: a page back", {400, 0}, {30, 244}, {}, {164, 0}},
        {"a page stops at the end", {500, 0}, {210, 244}, {}, {572, 0}},
        {"right arrow: a line", {0, 0}, {225, 244}, {}, {16, 0}},
        {"left arrow", {100, 0}, {5, 244}, {}, {84, 0}},
        {"vertical thumb dragged", {0, 0}, {244, 30}, {{230, 40}, {900, 55}}, {0, 100}},
        {"down arrow", {0, 0}, {244, 225}, {}, {0, 16}},
        {"the right button leaves the bars alone", {0, 0}, {225, 244}, {}, {0, 0}, MouseButton::Right},
        {"the corner between the bars is no part", {0, 0}, {244, 244}, {}, {0, 0}},
        {"the picture is no bar", {0, 0}, {100, 100}, {{300, 300}}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScrollScene scene;
        scene.box->setHorzPosition(c.from.x);
        scene.box->setVertPosition(c.from.y);
        scene.pointer(PointerKind::Down, c.press.x, c.press.y, c.button);
        for (const gdi::Point& move : c.moves)
            scene.pointer(PointerKind::Move, move.x, move.y, c.button);
        const gdi::Point at = c.moves.empty() ? c.press : c.moves.back();
        scene.pointer(PointerKind::Up, at.x, at.y, c.button);
        EXPECT_EQ(scene.position(), c.expected);
    }
}

TEST(ScrollBox, HeldArrowsAndTroughRepeatWhileThePointerStaysOnThem)
{
    ScrollScene scene;
    auto tick = [&] {
        CurrentBackend().tickTimers();
        return scene.position().x;
    };
    scene.pointer(PointerKind::Down, 225, 244); // right arrow
    EXPECT_EQ(scene.position().x, 16);
    EXPECT_EQ(tick(), 32); // the delay is over
    EXPECT_EQ(tick(), 48);
    scene.pointer(PointerKind::Move, 150, 244); // off the arrow: it waits
    EXPECT_EQ(tick(), 48);
    scene.pointer(PointerKind::Move, 230, 240);
    EXPECT_EQ(tick(), 64);
    scene.pointer(PointerKind::Up, 230, 240);
    EXPECT_EQ(tick(), 64);
    // A move with the button up ends a press whose release went astray.
    scene.pointer(PointerKind::Down, 225, 244);
    WindowSystem::instance().pointer(scene.author.form.handle(), PointerKind::Move, MouseButton::Left, 0, 225, 244);
    EXPECT_EQ(tick(), 80);

    // The trough pages until the thumb comes under the pointer, before the end.
    scene.box->setHorzPosition(0);
    scene.pointer(PointerKind::Down, 150, 244);
    EXPECT_EQ(scene.position().x, 236);
    EXPECT_EQ(tick(), 472); // the thumb now covers x 135..193
    EXPECT_EQ(tick(), 472);
    scene.pointer(PointerKind::Move, 210, 244); // beyond it again
    EXPECT_EQ(tick(), 572);
    scene.pointer(PointerKind::Up, 210, 244);

    // Hidden, itself or with its form, or gone, a box stops repeating.
    for (Control* hidden : {static_cast<Control*>(scene.box), static_cast<Control*>(&scene.author.form)}) {
        scene.box->setVertPosition(0);
        scene.pointer(PointerKind::Down, 244, 225); // down arrow
        hidden->hide();
        if (hidden != scene.box) // the form's tick finds the box hidden; the box stops at once
            CurrentBackend().tickTimers();
        hidden->show();
        CurrentBackend().tickTimers();
        EXPECT_EQ(scene.position().y, 16) << hidden->name();
        scene.pointer(PointerKind::Up, 244, 225);
    }
    scene.pointer(PointerKind::Down, 244, 225);
    scene.author.form.destroyOwned(scene.box);
    CurrentBackend().tickTimers();
    scene.pointer(PointerKind::Up, 244, 225);
}

TEST(ScrollBox, TheComposedScreenFollowsPressesDragsAndNewContent)
{
    ScrollScene scene;
    Form& form = scene.author.form;
    form.compose();
    const gdi::Point client = form.clientOrigin();
    const gdi::Color arrowEdge = form.frame().pixel(client.x + 1, client.y + 237);
    struct Step {
        const char* what;
        std::function<void()> act;
    } const steps[] = {
        {"left arrow pressed at the start: sunk, not scrolled", [&] { scene.pointer(PointerKind::Down, 5, 244); }},
        {"moved off it: raised", [&] { scene.pointer(PointerKind::Move, 100, 100); }},
        {"released", [&] { scene.pointer(PointerKind::Up, 100, 100); }},
        {"trough held", [&] { scene.pointer(PointerKind::Down, 244, 200); }},
        {"released", [&] { scene.pointer(PointerKind::Up, 244, 200); }},
        {"thumb pressed", [&] { scene.pointer(PointerKind::Down, 30, 244); }},
        {"thumb dragged", [&] { scene.pointer(PointerKind::Move, 90, 260); }},
        {"thumb released", [&] { scene.pointer(PointerKind::Up, 90, 260); }},
        {"taller content: a shorter thumb, no scroll",
         [&] { scene.image->setBounds(scene.image->left(), scene.image->top(), 808, 1600); }},
        {"narrower content: no horizontal bar",
         [&] { scene.image->setBounds(scene.image->left(), scene.image->top(), 200, 1600); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        form.compose();
        ASSERT_EQ(gdi::test::Diff(form.frame(), form.snapshot()), "");
        if (&step == &steps[0]) {
            EXPECT_NE(form.frame().pixel(client.x + 1, client.y + 237), arrowEdge);
        }
    }
    EXPECT_FALSE(scene.box->horzBarShown());
}

TEST(Painting, TransparentLabelsAndRoundedBandsShowWhatLiesBelow)
{
    Panel panel;
    panel.setBounds(0, 0, 40, 20);
    panel.color = gdi::Rgb(0, 128, 0);
    auto* band = panel.addChild(std::make_unique<GradientBand>());
    band->setBounds(0, 0, 40, 10);
    band->startColor = gdi::Rgb(0, 0, 0);
    band->endColor = gdi::Rgb(200, 100, 0);
    band->rounded = true;
    auto* label = panel.addChild(std::make_unique<Label>("L", ""));
    label->setBounds(0, 10, 40, 10);
    label->transparent = true;
    const gdi::Bitmap shot = panel.snapshot();
    EXPECT_EQ(shot.pixel(0, 0), gdi::Rgb(0, 128, 0)); // outside the rounded corner
    EXPECT_EQ(shot.pixel(0, 5), gdi::Rgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(39, 5), gdi::Rgb(200, 100, 0));
    EXPECT_EQ(shot.pixel(20, 5), gdi::Rgb(103, 51, 0)); // 20/39 of the way, rounded
    EXPECT_EQ(shot.pixel(5, 15), gdi::Rgb(0, 128, 0));
    label->transparent = false;
    EXPECT_EQ(panel.snapshot().pixel(5, 15), gdi::ResolveColor(look::kBtnFace));
}

} // namespace
} // namespace forms
