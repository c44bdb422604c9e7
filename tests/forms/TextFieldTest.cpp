// Selection and the clipboard in the edit fields, driven through the window
// system as a person's keys and pointer arrive.
#include "Author.h"

#include "platform/forms/Backend.h"
#include "platform/forms/ClassicLook.h"
#include "platform/forms/LabeledEdit.h"
#include "platform/forms/SpinEdit.h"
#include "platform/gdi/Text.h"
#include "tests/gdi/Pixels.h"

#include <cstring>
#include <map>
#include <sstream>

namespace forms {
namespace {

using testing::Author;

// "S+", "C+" and "A+" (Shift, Ctrl, Alt) go in front of a key name or a
// character; any other token is typed.
void Play(Author& author, const std::string& keys)
{
    static const std::map<std::string, Key> named{{"Left", Key::Left}, {"Right", Key::Right}, {"Home", Key::Home},
                                                  {"End", Key::End},   {"BS", Key::Backspace}, {"Del", Key::Delete}};
    std::istringstream tokens(keys);
    for (std::string token; tokens >> token;) {
        ShiftState shift = 0;
        for (; token.size() > 2 && token[1] == '+' && std::strchr("SCA", token[0]); token.erase(0, 2))
            shift |= token[0] == 'S' ? ssShift : token[0] == 'C' ? ssCtrl : ssAlt;
        const auto send = [&](Key key, char c) { WindowSystem::instance().key(author.form.handle(), key, c, shift); };
        if (const auto found = named.find(token); found != named.end())
            send(found->second, 0);
        else
            for (char c : token)
                send(Key::Character, c);
    }
}

TEST(TextField, KeysSelectEditAndUseTheClipboard)
{
    struct Row {
        const char* what;
        bool spin;
        int maxLength;
        const char *clipboard, *text, *keys, *after;
        std::size_t anchor, caret;
        const char* clipboardAfter = nullptr; // null: as before
    } const rows[] = {
        {"Shift+Left extends from the caret", false, 0, "", "hello", "S+Left S+Left", "hello", 5, 3},
        {"Shift+End crosses the anchor", false, 0, "", "hello", "Left Left S+Home S+End", "hello", 3, 5},
        {"Left collapses to the left edge", false, 0, "", "hello", "S+Left S+Left Left", "hello", 3, 3},
        {"Right to the right edge", false, 0, "", "hello", "S+Home Right", "hello", 5, 5},
        {"Ctrl+A, Shift or not", false, 0, "", "hello", "Home C+S+A", "hello", 0, 5},
        {"typing replaces the selection", false, 0, "", "hello", "S+Left S+Left p!", "help!", 5, 5},
        {"Backspace removes the selection alone", false, 0, "", "hello", "Home S+Right S+Right BS", "llo", 0, 0},
        {"Delete too", false, 0, "", "hello", "S+Left Del", "hell", 4, 4},
        {"typing over a selection at the limit", false, 3, "", "abc", "S+Left x y", "abx", 3, 3},
        {"Ctrl+C copies", false, 0, "old", "hello", "S+Home C+c", "hello", 5, 0, "hello"},
        {"Ctrl+C without a selection", false, 0, "old", "hello", "C+c C+x", "hello", 5, 5},
        {"Ctrl+X cuts", false, 0, "", "hi you", "S+Left S+Left S+Left C+x", "hi ", 3, 3, "you"},
        {"Ctrl+V replaces the selection", false, 0, "J", "hello", "Home S+Right C+v", "Jello", 1, 1},
        {"a paste ends at a line break", false, 0, "a\tb\r\ncd", "x", "C+v", "xab", 3, 3},
        {"an empty paste keeps the selection", false, 0, "\nab", "xy", "S+Left C+v", "xy", 2, 1},
        {"a paste stops at the limit", false, 5, "defgh", "abc", "C+v", "abcde", 5, 5},
        {"Ctrl or Alt letters type nothing, AltGr types", false, 0, "", "abc", "C+z A+q C+A+@", "abc@", 4, 4},
        {"a spin field pastes digits and a leading minus", true, 0, "-1a2-3", "", "C+v", "-123", 4, 4},
        {"but nothing before a minus", true, 0, "-5", "-3", "Home C+v", "-3", 0, 0},
        {"and up to its limit", true, 3, "123456", "7", "C+v", "712", 3, 3},
        {"a minus may replace the whole text", true, 0, "", "-5", "C+a -", "-", 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Author author;
        CurrentBackend().setClipboardText(row.clipboard);
        const auto focus = [&](auto* control) {
            control->setText(row.text);
            control->setMaxLength(row.maxLength);
            author.form.setFocus(control);
            return &control->field();
        };
        const TextField* field = row.spin ? focus(author.add(std::make_unique<SpinEdit>(), 10, 10, 80, 22))
                                          : focus(author.add(std::make_unique<LabeledEdit>(), 10, 30, 100, 21));
        Play(author, row.keys);
        EXPECT_EQ(field->text(), row.after);
        EXPECT_EQ(field->anchor(), row.anchor);
        EXPECT_EQ(field->caret(), row.caret);
        EXPECT_EQ(CurrentBackend().clipboardText(), row.clipboardAfter ? row.clipboardAfter : row.clipboard);
    }
}

TEST(TextField, DoubleClicksAreTwoPressesCloseInTimeAndPlace)
{
    DoubleClickTracker clicks;
    EXPECT_FALSE(clicks.press(1000, 10, 10));
    EXPECT_TRUE(clicks.press(1500, 12, 8));  // the limits themselves
    EXPECT_FALSE(clicks.press(1600, 12, 8)); // a third press starts afresh
    EXPECT_FALSE(clicks.press(2101, 12, 8)); // too late
    EXPECT_FALSE(clicks.press(2102, 15, 8)); // too far
    EXPECT_FALSE(clicks.press(0xFFFFFF80u, 5, 5));
    EXPECT_TRUE(clicks.press(0x100, 5, 5)); // the tick count wrapped between them
}

TEST(LabeledEdit, PressesPlaceTheCaretDoubleClicksSelectWordsAndDragsSelect)
{
    // "привет, ёлка 42": ё lies outside the Cyrillic block 0xC0-0xFF.
    const std::string text = "\xEF\xF0\xE8\xE2\xE5\xF2, \xB8\xEB\xEA\xE0 42";
    const auto at = [&](std::size_t i) { return 3 + gdi::MeasureText(look::DialogFont(), text.substr(0, i)).width; };
    const auto mid = [&](std::size_t i) { return (at(i) + at(i + 1)) / 2; };
    constexpr PointerKind D = PointerKind::Down, M = PointerKind::Move, U = PointerKind::Up;
    struct Row {
        const char* what;
        std::vector<std::tuple<PointerKind, ShiftState, int>> gestures;
        std::size_t anchor, caret;
    } const rows[] = {
        {"before a character's middle", {{D, ssLeft, mid(2) - 1}}, 2, 2},
        {"after it", {{D, ssLeft, mid(2) + 1}}, 3, 3},
        {"past the text", {{D, ssLeft, 190}}, 15, 15},
        {"a Cyrillic word", {{D, ssLeft, mid(9)}, {U, 0, mid(9)}, {D, ssLeft, mid(9)}}, 8, 12},
        {"punctuation", {{D, ssLeft, mid(6)}, {U, 0, mid(6)}, {D, ssLeft, mid(6)}}, 6, 7},
        {"a space", {{D, ssLeft, mid(7)}, {U, 0, mid(7)}, {D, ssLeft, mid(7)}}, 7, 8},
        {"presses apart are two clicks", {{D, ssLeft, mid(9)}, {U, 0, mid(9)}, {D, ssLeft, mid(9) + 3}}, 10, 10},
        {"a drag", {{D, ssLeft, at(1)}, {M, ssLeft, at(5)}, {U, 0, at(5)}, {M, 0, at(6)}}, 1, 5},
        {"a drag out of the box", {{D, ssLeft, at(4)}, {M, ssLeft, -30}}, 4, 0},
        {"a move with no button held", {{D, ssLeft, at(1)}, {M, 0, at(5)}, {M, ssLeft, at(5)}}, 1, 1},
        {"Shift+press", {{D, ssLeft, at(2)}, {U, 0, at(2)}, {D, ssLeft | ssShift, at(5)}}, 2, 5},
        {"a drag by words", {{D, ssLeft, mid(1)}, {U, 0, mid(1)}, {D, ssLeft, mid(1)}, {M, ssLeft, mid(9)}}, 0, 12},
        {"back by words", {{D, ssLeft, mid(9)}, {U, 0, mid(9)}, {D, ssLeft, mid(9)}, {M, ssLeft, mid(1)}}, 12, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Author author;
        auto* edit = author.add(std::make_unique<LabeledEdit>("Edit"), 10, 30, 200, 21);
        edit->setText(text);
        for (const auto& [kind, shift, x] : row.gestures)
            WindowSystem::instance().pointer(author.form.handle(), kind, MouseButton::Left, shift, 10 + x, 40);
        EXPECT_EQ(edit->field().anchor(), row.anchor);
        EXPECT_EQ(edit->field().caret(), row.caret);
    }
    // A long text shows its end, and a press falls on the text shown.
    Author author;
    auto* narrow = author.add(std::make_unique<LabeledEdit>("Edit"), 10, 30, 40, 21);
    narrow->setText(text);
    author.clickAt(*narrow, 37, 10);
    EXPECT_EQ(narrow->field().caret(), text.size());
}

TEST(LabeledEdit, SelectionShowsOnlyWithTheFocusAndEveryChangeRepaints)
{
    Author author;
    auto* edit = author.add(std::make_unique<LabeledEdit>("Edit"), 10, 30, 100, 21);
    auto* other = author.add(std::make_unique<LabeledEdit>("Other"), 10, 80, 100, 21);
    edit->setText("Wide words");
    CurrentBackend().setClipboardText("pasted");
    const auto point = [&](PointerKind kind, ShiftState shift, int x) {
        WindowSystem::instance().pointer(author.form.handle(), kind, MouseButton::Left, shift, 10 + x, 40);
    };
    const int inWords = 3 + gdi::MeasureText(look::DialogFont(), "Wide wo").width; // on the 'r'
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"a press", [&] { point(PointerKind::Down, ssLeft, 8); }},
        {"a drag", [&] { point(PointerKind::Move, ssLeft, inWords); }},
        {"a click", [&] { point(PointerKind::Up, 0, inWords), point(PointerKind::Down, ssLeft, inWords); }},
        {"a double click", [&] { point(PointerKind::Up, 0, inWords), point(PointerKind::Down, ssLeft, inWords); }},
        {"a paste", [&] { Play(author, "C+v"); }},
        {"Shift+Home and a cut", [&] { Play(author, "S+Home C+x"); }},
        {"a paste and Ctrl+A", [&] { Play(author, "C+v C+a"); }},
        {"the focus leaves", [&] { author.form.setFocus(other); }},
    };
    for (const auto& [what, step] : steps) {
        SCOPED_TRACE(what);
        step();
        author.form.compose();
        ASSERT_EQ(gdi::test::Diff(author.form.frame(), author.form.snapshot()), "");
    }
    EXPECT_EQ(edit->text(), "Wide pasted");
    const auto count = [&](gdi::Color color) {
        const gdi::Bitmap shot = edit->snapshot();
        int n = 0;
        for (int y = 2; y < 19; ++y) // inside the sunken edge
            for (int x = 2; x < 98; ++x)
                n += shot.pixel(x, y) == gdi::ResolveColor(color);
        return n;
    };
    EXPECT_EQ(count(look::kHighlight), 0);
    EXPECT_GT(count(look::kWindowText), 0);
    // Focused, all selected: the text goes over the band in the highlight
    // text colour, and only the caret keeps the text colour.
    author.form.setFocus(edit);
    Play(author, "C+a");
    EXPECT_GT(count(look::kHighlight), 0);
    EXPECT_EQ(count(look::kWindowText), look::LineHeight(look::DialogFont()));
}

} // namespace
} // namespace forms
