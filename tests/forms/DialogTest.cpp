// Focus, dialog keys and the headless backend's dialog operations.
#include "Author.h"

#include "platform/backends/scripted/ScriptedAnswers.h"
#include "platform/forms/Button.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/LabeledEdit.h"
#include "platform/forms/Panel.h"
#include "platform/forms/SpinEdit.h"

namespace forms {
namespace {

using testing::Author;

// A focusable control that logs what it hears.
struct Probe : Control {
    Probe(std::string name, std::string& log) : Control(std::move(name)), log_(log) {}
    bool focusable() const override { return true; }
    void focusChanged(bool focused) override { log_ += name() + (focused ? "+ " : "- "); }
    void keyDown(Key key, char c, ShiftState) override
    {
        log_ += name() + (key == Key::Character ? std::string(":") + c : std::string(":key")) + " ";
    }
    std::string& log_;
};

TEST(Focus, TabFollowsTheTreeOrderSkippingHiddenAndDisabledControls)
{
    Author author;
    std::string log;
    auto* panel = author.add(std::make_unique<Panel>("Panel"), 0, 0, 300, 100);
    author.add(std::make_unique<Probe>("A", log), 0, 0, 10, 10, panel);
    author.add(std::make_unique<Probe>("Hidden", log), 20, 0, 10, 10, panel)->hide();
    author.add(std::make_unique<Probe>("Off", log), 40, 0, 10, 10, panel)->setEnabled(false);
    auto* closed = author.add(std::make_unique<Panel>("Closed"), 0, 50, 50, 50, panel);
    author.add(std::make_unique<Probe>("InHidden", log), 0, 0, 10, 10, closed);
    closed->hide();
    author.add(std::make_unique<Probe>("B", log), 60, 0, 10, 10, panel);
    author.add(std::make_unique<Panel>("NotFocusable"), 0, 150, 10, 10);
    author.add(std::make_unique<Probe>("C", log), 0, 120, 10, 10);

    for (int i = 0; i < 4; ++i)
        author.press(Key::Tab);
    author.press(Key::Tab, ssShift);
    author.press(Key::Tab, ssShift);
    EXPECT_EQ(log, "A+ A- B+ B- C+ C- A+ A- C+ C- B+ ");
}

TEST(Focus, APressFocusesAndKeysReachTheFocusedControl)
{
    Author author;
    std::string log;
    auto* a = author.add(std::make_unique<Probe>("A", log), 0, 0, 10, 10);
    auto* b = author.add(std::make_unique<Probe>("B", log), 20, 0, 10, 10);
    auto* panel = author.add(std::make_unique<Panel>("Panel"), 40, 0, 10, 10);
    author.type("x"); // no focus yet: nobody hears it
    author.click(*a);
    author.type("y");
    author.click(*panel); // not focusable: the focus stays
    author.click(*b);
    author.press(Key::Left);
    EXPECT_EQ(log, "A+ A:y A- B+ B:key ");
    EXPECT_TRUE(b->focused());
    author.form.setFocus(a);
    a->setEnabled(false);
    author.type("z"); // a disabled control hears no keys
    author.form.destroyOwned(a);
    EXPECT_EQ(author.form.focusedControl(), nullptr);
    EXPECT_EQ(log, "A+ A:y A- B+ B:key B- A+ ");
    EXPECT_FALSE(WindowSystem::instance().key(0, Key::Enter, 0, 0));
}

TEST(DialogKeys, EnterEscapeAndTheCloseBox)
{
    enum Act { Enter, Escape, CloseBox };
    struct Case {
        const char* focus; // name of the control holding the focus
        bool withDefault, withCancel;
        Act act;
        ModalResult result;
        const char* clicked;
    } const cases[] = {
        {"Edit", true, true, Enter, ModalResult::Ok, "OK "},
        {"Other", true, true, Enter, ModalResult::None, "Other "}, // a focused button is pressed itself
        {"Edit", false, true, Enter, ModalResult::None, ""},
        {"Edit", true, true, Escape, ModalResult::Cancel, "Cancel "},
        {"Edit", true, false, Escape, ModalResult::Cancel, ""},
        {"Combo", true, true, Enter, ModalResult::None, ""}, // the open list closes instead
        {"Combo", true, true, Escape, ModalResult::None, ""},
        {"Edit", true, true, CloseBox, ModalResult::Cancel, ""},
    };
    for (const Case& c : cases) {
        Author author;
        std::string clicked;
        auto* edit = author.add(std::make_unique<LabeledEdit>("Edit"), 10, 30, 100, 21);
        auto* combo = author.add(std::make_unique<ComboBox>("Combo"), 10, 60, 100, 21);
        combo->addItem("One");
        for (const char* name : {"Other", "OK", "Cancel"}) {
            auto* button = author.add(std::make_unique<Button>(name, name), 10, 100, 75, 25);
            button->onClick = [&clicked, name] { clicked += std::string(name) + " "; };
            if (std::string(name) == "OK") {
                button->setModalResult(ModalResult::Ok);
                button->setDefault(c.withDefault);
            } else if (std::string(name) == "Cancel") {
                button->setModalResult(ModalResult::Cancel);
                button->setCancel(c.withCancel);
            }
        }
        author.form.setFocus(author.form.find(c.focus));
        if (combo->focused())
            author.click(*combo);
        if (c.act == CloseBox) {
            // The caption bar lies above the client area.
            const gdi::IntRect box = author.form.closeBoxRect();
            const gdi::Point client = author.form.clientOrigin();
            const int x = box.left + 3 - client.x, y = box.top + 3 - client.y;
            ASSERT_LT(y, 0);
            WindowSystem::instance().pointer(author.form.handle(), PointerKind::Down, MouseButton::Left, ssLeft, x, y);
            WindowSystem::instance().pointer(author.form.handle(), PointerKind::Up, MouseButton::Left, 0, x, y);
        } else {
            author.press(c.act == Enter ? Key::Enter : Key::Escape);
        }
        EXPECT_EQ(author.form.modalResult(), c.result) << c.focus << " " << c.act;
        EXPECT_EQ(clicked, c.clicked) << c.focus << " " << c.act;
        EXPECT_FALSE(combo->droppedDown());
        EXPECT_EQ(edit->text(), "");
    }
}

TEST(WindowSystem, TheActiveWindowIsTheTopmostVisibleTopLevelWindow)
{
    Form first("First"), second("Second");
    first.show();
    second.show();
    EXPECT_EQ(WindowSystem::instance().activeWindow(), second.handle());
    first.hide();
    first.show(); // showing brings a window up
    EXPECT_EQ(WindowSystem::instance().activeWindow(), first.handle());
    WindowSystem::instance().bringToTop(second.handle());
    EXPECT_EQ(WindowSystem::instance().activeWindow(), second.handle());
    second.hide();
    EXPECT_EQ(WindowSystem::instance().activeWindow(), first.handle());
}

// A dialog the headless backend drives: its answer's steps run on it.
struct Scripted : Author {
    ScriptedAnswers& backend = ScriptedAnswers::instance();
    std::string error;

    Scripted()
    {
        backend.clearAnswers();
        backend.onDialogError = [this](const std::string& e) { error = e; };
        form.hide();
        form.setClientSize(300, 240);
        auto* edit = add(std::make_unique<LabeledEdit>("Edit"), 10, 30, 100, 21);
        edit->setMaxLength(5);
        auto* spin = add(std::make_unique<SpinEdit>("Spin"), 120, 30, 60, 22);
        spin->setMaxValue(10);
        auto* combo = add(std::make_unique<ComboBox>("Combo"), 10, 70, 120, 21);
        for (int i = 0; i < 20; ++i)
            combo->addItem("Item " + std::to_string(i));
        add(std::make_unique<LabeledEdit>("Hidden"), 10, 110, 100, 21)->hide();
        add(std::make_unique<LabeledEdit>("Covered"), 150, 110, 100, 21);
        add(std::make_unique<Panel>("Cover"), 140, 100, 120, 40);
        auto* ok = add(std::make_unique<Button>("OK", "OK"), 130, 160, 75, 25);
        ok->setModalResult(ModalResult::Ok);
        ok->setDefault(true);
        auto* cancel = add(std::make_unique<Button>("Cancel", "Cancel"), 215, 160, 75, 25);
        cancel->setModalResult(ModalResult::Cancel);
        cancel->setCancel(true);
    }
    ~Scripted() { backend.onDialogError = nullptr; }

    ModalResult run(std::vector<std::string> steps)
    {
        backend.queue({Answer::Kind::Dialog, 0, {}, {}, std::move(steps)});
        return form.showModal();
    }
};

TEST(HeadlessDialog, OperationsPressAndTypeThroughTheWindowSystem)
{
    Scripted dialog;
    EXPECT_EQ(dialog.run({"Edit=C:\\a=b", "type:Edit=xyz", "type:Spin=9", "key:Tab", "up:Spin", "up:Spin",
                          "down:Spin", "choose:Combo=Item 17", "key:Enter", "Cancel"}),
              ModalResult::Ok);
    EXPECT_EQ(dialog.error, "");
    EXPECT_EQ(dialog.get<LabeledEdit>("Edit").text(), "C:\\a=b"); // set beyond MaxLength: nothing more typed
    EXPECT_EQ(dialog.get<SpinEdit>("Spin").text(), "9");
    EXPECT_EQ(dialog.get<ComboBox>("Combo").text(), "Item 17");
    EXPECT_TRUE(dialog.get<ComboBox>("Combo").focused());

    dialog.get<LabeledEdit>("Edit").setText("");
    dialog.get<SpinEdit>("Spin").setText("1000"); // the click lands inside the text
    EXPECT_EQ(dialog.run({"type:Edit=abcdefgh", "type:Spin=5", "key:Escape", "OK"}), ModalResult::Cancel);
    EXPECT_EQ(dialog.get<LabeledEdit>("Edit").text(), "abcde");
    EXPECT_EQ(dialog.get<SpinEdit>("Spin").text(), "10005"); // typed at the end
    EXPECT_EQ(dialog.run({"close", "OK"}), ModalResult::Cancel);
    // A dialog shown without a focused control focuses the first one.
    dialog.form.setFocus(nullptr);
    EXPECT_EQ(dialog.run({"key:Tab", "OK"}), ModalResult::Ok);
    EXPECT_TRUE(dialog.get<SpinEdit>("Spin").focused());
    EXPECT_EQ(dialog.error, "");
}

TEST(HeadlessDialog, WhatTheAuthorCannotDoIsAnErrorThatCancels)
{
    const char* const cases[] = {
        "type:Missing=x", "type:Hidden=x", "type:Combo=x",      "type:Covered=x", "up:Edit",  "down:Missing",
        "choose:Spin=1",  "choose:Combo=item 1", "choose:Combo", "key:Space",      "bogus:OK", "Missing=1",
        "Spin=ten",
    };
    for (const char* step : cases) {
        Scripted dialog;
        EXPECT_EQ(dialog.run({step, "OK"}), ModalResult::Cancel) << step;
        EXPECT_NE(dialog.error, "") << step;
    }
    Scripted captionless;
    captionless.form.setBorderStyle(BorderStyle::None);
    EXPECT_EQ(captionless.run({"close", "OK"}), ModalResult::Cancel);
    EXPECT_NE(captionless.error, "");
}

TEST(HeadlessDialog, AClickThroughTheWindowSystemMayOpenANestedDialog)
{
    Scripted outer;
    Scripted inner;
    inner.form.setCaption("Inner");
    auto* more = outer.add(std::make_unique<Button>("More", "More"), 200, 30, 75, 25);
    ModalResult innerResult = ModalResult::None;
    more->onClick = [&] { innerResult = inner.form.showModal(); };
    outer.backend.queue({Answer::Kind::Dialog, 0, {}, {}, {"type:Edit=ab", "key:Escape"}});
    outer.backend.queue({Answer::Kind::Dialog, 0, {}, {}, {"type:Spin=5", "key:Enter"}});
    outer.form.show();
    outer.form.setFocus(more);
    outer.press(Key::Enter); // the first answer goes to the first dialog shown
    EXPECT_EQ(innerResult, ModalResult::Cancel);
    EXPECT_EQ(inner.get<LabeledEdit>("Edit").text(), "ab");
    innerResult = ModalResult::None;
    outer.click(*more);
    // The outer press's capture ended with its release: the inner presses reach the inner dialog.
    EXPECT_EQ(innerResult, ModalResult::Ok);
    EXPECT_EQ(inner.get<SpinEdit>("Spin").text(), "05");
    EXPECT_EQ(outer.get<LabeledEdit>("Edit").text(), "");
}

TEST(FileDialog, FilterTextsBecomeAListOfPatterns)
{
    const auto filters = FileFiltersFrom("All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|Bitmaps (*.bmp)|*.bmp");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].name, "All (*.jpg;*.jpeg;*.bmp)");
    EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.jpg", "*.jpeg", "*.bmp"}));
    EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*.bmp"}));
    // Blanks around patterns go; a description without patterns is dropped.
    const auto loose = FileFiltersFrom("Pictures| *.bmp ; *.jpg |Nothing| |Dangling");
    ASSERT_EQ(loose.size(), 1u);
    EXPECT_EQ(loose[0].patterns, (std::vector<std::string>{"*.bmp", "*.jpg"}));
    EXPECT_TRUE(FileFiltersFrom("").empty());
}

} // namespace
} // namespace forms
