#include "editor/ActionEditors.h"
#include "editor/EditorDialog.h"
#include "plugin/ActionTable.h"
#include "platform/backends/scripted/ScriptedAnswers.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/LabeledEdit.h"
#include "platform/forms/SpeedButton.h"
#include "platform/forms/SpinEdit.h"
#include "platform/gdi/Text.h"
#include "platform/system/GlobalMemory.h"
#include "tests/support/PluginHarness.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <utility>

namespace zenvas::editor {
namespace {

using AnswerKind = forms::Answer::Kind;

// A look at each modal form before it is driven, and a record of how the
// common dialogs were opened.
struct DialogWatch {
    forms::ScriptedAnswers& headless = forms::ScriptedAnswers::instance();
    std::function<void(TEditorDialog&)> inspect;
    std::vector<gdi::Color> colourStarts;
    std::vector<std::string> filters;
    std::vector<std::string> messages;

    void start()
    {
        headless.onQuestion = [this](const forms::ScriptedAnswers::Question& q) {
            using Kind = forms::ScriptedAnswers::Question::Kind;
            if (q.kind == Kind::Modal && inspect)
                inspect(dynamic_cast<TEditorDialog&>(*q.form));
            else if (q.kind == Kind::Color)
                colourStarts.push_back(q.color);
            else if (q.kind == Kind::File)
                filters.push_back(q.text);
            else if (q.kind == Kind::Message)
                messages.push_back(q.text);
        };
        headless.onPrint = [](const std::string&) {};
    }
    void stop()
    {
        headless.onQuestion = nullptr;
        headless.onPrint = nullptr;
        headless.clearAnswers();
    }
};

// The test host's answers to the editor's queries, by code.
std::map<int, std::pair<bool, std::string>> g_answers;
std::vector<std::pair<int, std::string>> g_queries;
std::function<void()> g_duringQuery; // the host's own work while it answers

ZenvasBool ZENVAS_CALL Answer(int32_t code, char** slot)
{
    g_queries.emplace_back(code, *slot);
    if (g_duringQuery)
        std::exchange(g_duringQuery, nullptr)();
    auto it = g_answers.find(code);
    if (it == g_answers.end() || !it->second.first)
        return ZENVAS_FALSE;
    sys::GlobalFree(*slot);
    *slot = sys::GlobalAllocText(it->second.second);
    return ZENVAS_TRUE;
}

class Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Connect();
        nbRegisterInterfaceAccess(&Answer);
        g_answers.clear();
        g_queries.clear();
        backend_.start();
    }
    void TearDown() override
    {
        backend_.stop();
        harness::Disconnect();
        for (char* slot : slots_)
            sys::GlobalFree(slot);
    }

    // Opens action `number`'s editor over these slot texts, drives it with
    // `steps` and answers its result; the slots stay in slots_.
    bool edit(int number, const std::vector<std::string>& texts, std::vector<std::string> steps = {"OK"},
              const std::vector<forms::Answer>& then = {})
    {
        load(texts);
        return drive(number, slots_.data(), std::move(steps), then);
    }
    void load(const std::vector<std::string>& texts)
    {
        for (char* slot : slots_)
            sys::GlobalFree(slot);
        slots_.clear();
        for (const std::string& text : texts)
            slots_.push_back(sys::GlobalAllocText(text));
    }
    bool drive(int number, char** slots, std::vector<std::string> steps, const std::vector<forms::Answer>& then = {})
    {
        backend_.headless.queue({AnswerKind::Dialog, 0, {}, {}, std::move(steps)});
        for (const forms::Answer& next : then) // for the dialogs its buttons open
            backend_.headless.queue(next);
        return nbEditAction(number, slots) == ZENVAS_TRUE;
    }
    std::vector<std::string> slots() const
    {
        std::vector<std::string> texts;
        for (const char* slot : slots_)
            texts.emplace_back(slot ? slot : "");
        return texts;
    }
    static std::vector<std::string> Empty(int number)
    {
        return std::vector<std::string>(std::size_t(FindAction(number)->parameterCount()));
    }

    DialogWatch backend_;
    std::vector<char*> slots_;
};

bool IsPlaceholder(const std::string& caption)
{
    return caption.rfind("Label", 0) == 0 || caption.rfind("LEdit", 0) == 0;
}

// How a label's text overflows what its parent shows of it, measured in the
// face the dialog font resolves to, line by line; empty when it fits.
std::string Overflow(const forms::Label& label)
{
    const forms::Control& parent = *label.parent();
    const int shownWidth = std::min(label.width(), parent.clientWidth() - label.left());
    const int shownHeight = std::min(label.height(), parent.clientHeight() - label.top());
    int widest = 0, lines = 0, lineHeight = 0;
    std::string_view text = label.caption();
    for (std::size_t end = 0; end != std::string_view::npos; text.remove_prefix(end + 1)) {
        end = text.find('\n');
        const gdi::TextSize size = gdi::MeasureText(label.font, text.substr(0, end));
        widest = std::max(widest, size.width);
        lineHeight = size.height;
        ++lines;
        if (end == std::string_view::npos)
            break;
    }
    if (widest <= shownWidth && lines * lineHeight <= shownHeight)
        return "";
    return label.name() + ": " + std::to_string(widest) + "x" + std::to_string(lines * lineHeight) + " in "
           + std::to_string(shownWidth) + "x" + std::to_string(shownHeight);
}

// Every action's dialog: its class, name and hint, its fields showing, no
// prompt a placeholder, no two buttons on one spot, and every text a label
// shows (the action's name, each prompt, the hint's lines) inside the label
// and inside what its parent shows of it.
TEST_F(Editor, EveryActionOpensItsClassNamedAndFilledWithTextsThatFit)
{
    gdi::Font dialogFont;
    dialogFont.setName("MS Sans Serif");
    dialogFont.setSize(8);
    const std::string face = gdi::FontFaceName(dialogFont);
    EXPECT_TRUE(face == "Arial" || face == "Liberation Sans") << face;

    const std::map<DialogClass, std::vector<int>> classes = {
        {DialogClass::FormOne, {2, 7, 17, 18, 20, 26, 28, 29, 37}},
        {DialogClass::DublForm, {19, 38}},
        {DialogClass::FormFree, {4, 24, 27, 30}},
        {DialogClass::FormVibor, {8, 9}},
        {DialogClass::FormNumber, {1, 5, 6, 35, 36, 41}},
        {DialogClass::FormCombo, {3, 21, 42}},
        {DialogClass::FormNumbColor, {10, 13, 14, 15, 16, 52}},
        {DialogClass::FormNumbColorPlus, {45}},
        {DialogClass::Form10, {25, 31}},
        {DialogClass::FormPlus, {32}},
        {DialogClass::FormComboPlus, {33, 39, 40, 43, 44}},
        {DialogClass::FormPlusFo, {34}},
        {DialogClass::FormFiga, {11, 12, 46, 47, 48, 49, 50}},
        {DialogClass::FormFo, {22, 23, 51}},
    };
    int checked = 0;
    std::vector<std::string> cut;
    for (const auto& [expectedClass, numbers] : classes) {
        for (int number : numbers) {
            const ActionEntry& action = *FindAction(number);
            const ActionEditor& editor = *FindActionEditor(number);
            backend_.inspect = [&](TEditorDialog& d) {
                ++checked;
                const std::string name(action.name);
                EXPECT_EQ(d.layout().id, expectedClass) << name;
                EXPECT_EQ(d.caption(), name);
                EXPECT_EQ(d.LabelCommand->caption(), name);
                EXPECT_EQ(d.GradientLabel->width(), 10 * int(name.size())) << name;
                EXPECT_EQ(d.LabelInfo->caption(), editor.hint);
                EXPECT_EQ(d.clientWidth(), d.layout().clientWidth) << name;
                EXPECT_EQ(CurrentDialog(expectedClass), &d) << name;
                for (const Field& f : editor.fields) {
                    const forms::Control* control = d.component<forms::Control>(f.control);
                    ASSERT_TRUE(control && control->showing()) << name << " " << f.control;
                    for (std::string_view b : f.buttons) {
                        if (!b.empty()) {
                            EXPECT_TRUE(d.component<forms::Control>(b)->showing()) << name << " " << b;
                        }
                    }
                }
                std::function<void(forms::Control&)> walk = [&](forms::Control& c) {
                    if (!c.showing())
                        return;
                    if (auto* label = dynamic_cast<forms::Label*>(&c)) {
                        EXPECT_FALSE(IsPlaceholder(label->caption())) << name << " " << label->name();
                        if (c.parent() && !label->caption().empty())
                            if (const std::string overflow = Overflow(*label); !overflow.empty())
                                cut.push_back(name + " " + overflow);
                    }
                    std::set<std::pair<int, int>> spots;
                    for (forms::Control* child : c.children()) {
                        if (child->showing() && dynamic_cast<forms::SpeedButton*>(child)) {
                            EXPECT_TRUE(spots.insert({child->left(), child->top()}).second)
                                << name << " " << child->name();
                        }
                    }
                    for (forms::Control* child : c.children())
                        walk(*child);
                };
                walk(d);
            };
            EXPECT_FALSE(edit(number, Empty(number), {"Cancel"}));
        }
    }
    EXPECT_EQ(checked, kActionCount);
    EXPECT_EQ(cut, std::vector<std::string>{});
}

TEST_F(Editor, SlotsLoadByTheirRulesAndComeBackInSlotOrder)
{
    const struct {
        int number;
        std::vector<std::string> in;
        std::vector<std::string> out; // after OK without touching anything
    } cases[] = {
        // Floor loads: empty, 0, too large, not digits, twelve digits.
        {1, {"R", "", "0"}, {"R", "1", "1"}},
        {1, {"R", "5000", "abc"}, {"R", "1024", "1"}},
        {6, {"R", "999999999999", "-5"}, {"R", "2", "1"}},
        // Keeping the default: empty 2, 1 floored to 2, x to 2, 50, 150 to 99.
        {10, {"R", "", "1,2,3", "Sub"}, {"R", "2", "1,2,3", "Sub"}},
        {10, {"R", "1", "", ""}, {"R", "2", "", ""}},
        {10, {"R", "x", "", ""}, {"R", "2", "", ""}},
        {10, {"R", "50", "", ""}, {"R", "50", "", ""}},
        {10, {"R", "150", "", ""}, {"R", "99", "", ""}},
        {14, {"R", "2", "", ""}, {"R", "3", "", ""}},
        {14, {"R", "10", "", ""}, {"R", "10", "", ""}},
        // Digits loads keep the default for anything but digits.
        {5, {"R", "-5", ""}, {"R", "100", "100"}},
        {5, {"R", "5000", "7"}, {"R", "1000", "7"}},
        // Choice loads are case-sensitive; no choice writes the empty text.
        {3, {"R", "true", "False"}, {"R", "", "False"}},
        {13, {"R", "3", "0,0,0", "DashDot", "S"}, {"R", "3", "0,0,0", "DashDot", "S"}},
        // Integer loads: clamped, negative, not integers keep the default.
        {35, {"R", "300", "-20", "12a"}, {"R", "255", "0", "0"}},
        {33, {"R", "f.bmp", "-50", "-"}, {"R", "f.bmp", "-50", "0"}},
        {36, {"R", ""}, {"R", "7"}},
        {41, {"R", "+3"}, {"R", "3"}},
        // The style row comes first; the colour is still slot 1.
        {15, {"R", "0,0,255", "Cross", "S"}, {"R", "0,0,255", "Cross", "S"}},
        {52, {"R", "1,1,1", "Nope", "5|5"}, {"R", "1,1,1", "", "5|5"}},
        {45, {"R", "0", "c", "Dot", "", "9999", "7", "x"}, {"R", "1", "c", "Dot", "1", "9000", "7", "1"}},
    };
    for (const auto& t : cases) {
        EXPECT_TRUE(edit(t.number, t.in)) << t.number;
        EXPECT_EQ(slots(), t.out) << t.number;
    }
}

TEST_F(Editor, CancelEscapeTheCloseBoxAndAnEditWithoutSlotsLeaveEveryBlockAlone)
{
    for (const std::vector<std::string>& steps : std::vector<std::vector<std::string>>{
             {"LEdit1=changed", "Cancel"}, {"LEdit1=changed", "key:Escape"}, {"LEdit1=changed", "close"}}) {
        const std::vector<std::string> texts = {"Rect1", "7", "abc"};
        load(texts);
        const std::size_t blocks = sys::GlobalLiveBlocks();
        const std::vector<char*> before = slots_;
        EXPECT_FALSE(drive(1, slots_.data(), steps)) << steps.back();
        EXPECT_EQ(slots_, before);
        EXPECT_EQ(slots(), texts);
        EXPECT_EQ(sys::GlobalLiveBlocks(), blocks);
    }
    // Enter presses OK.
    EXPECT_TRUE(edit(7, {"Old"}, {"LEdit1=New", "key:Enter"}));
    EXPECT_EQ(slots(), std::vector<std::string>{"New"});

    // Without slots the dialog opens empty and OK writes nothing.
    backend_.inspect = [](TEditorDialog& d) {
        EXPECT_EQ(d.component<forms::SpinEdit>("SpinEdit1")->value(), 1);
        EXPECT_EQ(d.component<forms::LabeledEdit>("LEdit1")->text(), "");
    };
    const std::size_t blocks = sys::GlobalLiveBlocks();
    EXPECT_TRUE(drive(1, nullptr, {"OK"}));
    EXPECT_EQ(sys::GlobalLiveBlocks(), blocks);
}

TEST_F(Editor, QueryButtonsUseTheHostsAnswerExactly)
{
    // Rectangle and variable buttons: the field's text goes out, the answer
    // replaces it only on true, an empty answer empties it.
    g_answers[8] = {true, " Rect 2 "};
    EXPECT_TRUE(edit(17, {"old"}, {"click:SpeedVariable", "OK"}));
    EXPECT_EQ(slots(), std::vector<std::string>{"old"}); // code 14 answered false
    EXPECT_TRUE(edit(2, {"old"}, {"click:Kn1", "OK"}));
    EXPECT_EQ(slots(), std::vector<std::string>{" Rect 2 "});
    g_answers[14] = {true, ""};
    EXPECT_TRUE(edit(17, {"old"}, {"click:SpeedVariable", "OK"}));
    EXPECT_EQ(slots(), std::vector<std::string>{""});
    EXPECT_EQ(g_queries, (std::vector<std::pair<int, std::string>>{{14, "old"}, {8, "old"}, {14, "old"}}));

    // The subroutine list changes no field and says what the host gave.
    g_answers[5] = {true, "A\r\nB"};
    EXPECT_TRUE(edit(8, {"R", "c", "Sub", ""}, {"click:SpeedButton5", "OK"}));
    g_answers[5] = {true, ""};
    EXPECT_TRUE(edit(8, {"R", "c", "Sub", ""}, {"click:SpeedButton7", "OK"}));
    EXPECT_EQ(slots(), (std::vector<std::string>{"R", "c", "Sub", ""}));
    EXPECT_EQ(backend_.messages,
              (std::vector<std::string>{"\xD1\xEF\xE8\xF1\xEE\xEA \xEF\xEE\xE4\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\r\rA\r\nB",
                                        "\xCF\xEE\xE4\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB "
                                        "\xEE\xF2\xF1\xF3\xF2\xF1\xF2\xE2\xF3\xFE\xF2"}));

    // A host without the callback: the three buttons do nothing.
    nbRegisterInterfaceAccess(nullptr);
    g_queries.clear();
    EXPECT_TRUE(edit(8, {"R", "c", "Sub", ""}, {"click:Kn1", "click:SpeedButton2", "click:SpeedButton5", "OK"}));
    EXPECT_EQ(slots(), (std::vector<std::string>{"R", "c", "Sub", ""}));
    EXPECT_TRUE(g_queries.empty());
    EXPECT_EQ(backend_.messages.size(), 2u);
}

TEST_F(Editor, AnEditorOpenedWhileTheHostAnswersLeavesTheOuterOneWorking)
{
    // While answering the rectangle query, the host opens another editor of
    // the same class; the outer dialog's colour button still brings the
    // outer dialog back afterwards.
    g_duringQuery = [&] {
        char* slots[4] = {};
        EXPECT_TRUE(drive(9, slots, {"OK"}));
        for (char* slot : slots)
            sys::GlobalFree(slot);
        backend_.headless.queue({AnswerKind::Color, gdi::Rgb(0, 0, 9)}); // for the outer dialog's colour button
    };
    EXPECT_TRUE(edit(8, {"R", "", "", ""}, {"click:Kn1", "click:SpeedButton1", "OK"}));
    EXPECT_EQ(slots()[1], "0,0,9");
}

TEST_F(Editor, ColourFontAndFileButtonsWriteTheirChoice)
{
    // The colour dialog remembers the last choice within one dialog, and
    // starts black again in the next one; a cancel keeps the field.
    EXPECT_TRUE(edit(38, {"R", "x"}, {"click:SpeedButton1", "click:SpeedButton1", "OK"},
                     {{AnswerKind::Color, gdi::Rgb(255, 0, 0)}, forms::Answer{}}));
    EXPECT_EQ(slots()[1], "255,0,0");
    EXPECT_TRUE(edit(38, {"R", "x"}, {"click:SpeedButton1", "OK"}, {{AnswerKind::Color, gdi::Rgb(1, 2, 3)}}));
    EXPECT_EQ(slots()[1], "1,2,3");
    EXPECT_EQ(backend_.colourStarts, (std::vector<gdi::Color>{0, gdi::Rgb(255, 0, 0), 0}));

    forms::Answer font{AnswerKind::Font};
    font.font.setName("Arial");
    font.font.setSize(12);
    font.font.setBold(true);
    font.font.setUnderline(true);
    EXPECT_TRUE(edit(23, {"R", "", "t", ""}, {"click:SpeedButton8", "OK"}, {font}));
    EXPECT_EQ(slots()[1], "Arial|clBlack|12|fsBold fsUnderline |1");

    const forms::Answer file{AnswerKind::File, 0, {}, "/tmp/new picture"};
    EXPECT_TRUE(edit(31, {"R", "", ".bmp"}, {"click:SpeedButton3", "OK"}, {file}));
    EXPECT_EQ(slots(), (std::vector<std::string>{"R", "/tmp/new picture", ".bmp"}));
    EXPECT_TRUE(edit(19, {"R", ""}, {"click:SpeedButton3", "OK"}, {file}));
    EXPECT_EQ(backend_.filters,
              (std::vector<std::string>{
                  "save All (*.jpg;*.bmp)|*.jpg;*.bmp|JPEG Image File (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp",
                  "open \xCA\xF3\xF0\xF1\xEE\xF0 (*cur)|*cur"}));
}

TEST_F(Editor, TypedInputHonoursMaxLengthAndTheClampOnLeaving)
{
    // ZenvasAero's radius takes two typed digits, yet its arrows reach 100.
    EXPECT_TRUE(edit(16, {"R", "99", "5", "c", ""},
                     {"type:SpinEdit2=123", "key:Tab", "up:SpinEdit1", "up:SpinEdit1", "OK"}));
    EXPECT_EQ(slots()[1], "100");
    EXPECT_EQ(slots()[2], "51");
    // 9999 typed into ZenvasCreate's width is clamped to 1024 when the
    // field is left.
    EXPECT_TRUE(edit(1, {"R", "", ""}, {"SpinEdit1=999", "type:SpinEdit1=98", "key:Tab", "OK"}));
    EXPECT_EQ(slots()[1], "1024");
    EXPECT_TRUE(edit(3, {"R", "", ""}, {"choose:ComboBox2=True", "OK"}));
    EXPECT_EQ(slots(), (std::vector<std::string>{"R", "", "True"}));
}

} // namespace
} // namespace zenvas::editor
