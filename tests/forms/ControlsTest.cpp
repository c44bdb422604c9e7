// The dialog controls, driven by an author's hands through the window system.
#include "Author.h"

#include "platform/backends/scripted/ScriptedAnswers.h"
#include "platform/forms/Button.h"
#include "platform/forms/ClassicLook.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Cursor.h"
#include "platform/forms/GradientBand.h"
#include "platform/forms/LabeledEdit.h"
#include "platform/forms/LinkLabel.h"
#include "platform/forms/Panel.h"
#include "platform/forms/SpinEdit.h"

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

TEST(ComboBox, AClickOpensTheListOverEverythingAndAClickOnAnItemChoosesIt)
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
}

TEST(ComboBox, KeysChangeTheSelectionAndTheTextIsAlwaysAnItem)
{
    ComboScene scene(3);
    ComboBox& combo = *scene.combo;
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
