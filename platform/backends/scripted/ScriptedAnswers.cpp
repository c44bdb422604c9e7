#include "platform/backends/scripted/ScriptedAnswers.h"

#include "platform/backends/headless/HeadlessBackend.h"

#include "platform/forms/ComboBox.h"
#include "platform/forms/Form.h"
#include "platform/forms/LabeledEdit.h"
#include "platform/forms/SpinEdit.h"
#include "platform/gdi/codecs/Png.h"
#include "platform/system/Files.h"
#include "platform/system/Text1251.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>

namespace forms {

ScriptedAnswers& ScriptedAnswers::instance()
{
    static auto* layer = new ScriptedAnswers; // lives as long as the process
    return *layer;
}

ScriptedAnswers::ScriptedAnswers() : screen_(&HeadlessBackend::instance()) {}

Backend* ScriptedAnswers::setScreen(Backend* screen)
{
    Backend* previous = screen_;
    screen_ = screen ? screen : &HeadlessBackend::instance();
    return previous;
}

void ScriptedAnswers::ask(const Question& question)
{
    if (onQuestion)
        onQuestion(question);
}

std::optional<Answer> ScriptedAnswers::next()
{
    if (answers_.empty())
        return std::nullopt;
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

void ScriptedAnswers::trace(const std::string& line)
{
    if (onTrace)
        onTrace(line);
}

void ScriptedAnswers::print(const std::string& line)
{
    if (onPrint)
        onPrint(line);
    else
        std::cout << line << std::endl;
}

namespace {

const char* KindName(Answer::Kind kind)
{
    switch (kind) {
    case Answer::Kind::Color:
        return "color";
    case Answer::Kind::Font:
        return "font";
    case Answer::Kind::File:
        return "file";
    case Answer::Kind::Pick:
        return "pick";
    case Answer::Kind::Cancel:
        return "cancel";
    case Answer::Kind::Dialog:
        return "dialog";
    }
    return "?";
}

// Takes the next answer for a dialog of `kind`: an answer of another kind is
// used up and cancels the dialog.
std::optional<Answer> TakeAnswer(ScriptedAnswers& backend, Answer::Kind kind, const std::string& what,
                                 const std::function<void(const std::string&)>& trace)
{
    auto answer = backend.next();
    if (!answer) {
        if (trace)
            trace(what + ": no answer queued, cancelled");
        return std::nullopt;
    }
    if (answer->kind != kind) {
        if (trace)
            trace(what + ": answer '" + KindName(answer->kind) + "' does not fit, cancelled");
        if (answer->kind != Answer::Kind::Cancel)
            std::cerr << "warning: a " << KindName(answer->kind) << " answer was given to " << what
                      << "; it was cancelled\n";
        return std::nullopt;
    }
    return answer;
}

} // namespace

ModalResult ScriptedAnswers::runModal(Form& form)
{
    const std::string what = "dialog '" + form.caption() + "'";
    ask({Question::Kind::Modal, &form, 0, {}});
    if (answers_.empty() && screen_->interactive())
        return screen_->runModal(form);
    auto answer = TakeAnswer(*this, Answer::Kind::Dialog, what, onTrace);
    if (!answer)
        return ModalResult::Cancel;
    trace(what + " shown");
    for (const std::string& step : answer->steps) {
        const std::string word = sys::LowerCaseAscii(step);
        if (word == "ok") {
            trace(what + ": OK");
            return ModalResult::Ok;
        }
        if (word == "cancel") {
            trace(what + ": Cancel");
            return ModalResult::Cancel;
        }
        if (!runStep(form, step))
            return ModalResult::Cancel;
        if (form.modalResult() != ModalResult::None)
            return form.modalResult();
    }
    return ModalResult::Cancel;
}

namespace {

// The author's hands on a dialog: presses and keys enter at the form's
// window through the window system, as a person's would.
class Hands {
public:
    explicit Hands(Form& form) : form_(form) {}

    // Presses and releases the left button at (x, y) of `control`'s own
    // coordinates; false when something else lies there.
    bool click(Control& control, int x, int y)
    {
        const gdi::Point origin = control.originIn(&form_);
        const int cx = gdi::ClampToInt(std::int64_t(origin.x) + x);
        const int cy = gdi::ClampToInt(std::int64_t(origin.y) + y);
        if (system().controlAt(form_.handle(), cx, cy) != &control)
            return false;
        system().pointer(form_.handle(), PointerKind::Down, MouseButton::Left, ssLeft, cx, cy);
        system().pointer(form_.handle(), PointerKind::Up, MouseButton::Left, 0, cx, cy);
        return true;
    }
    bool click(Control& control, const gdi::IntRect& r)
    {
        return !r.isEmpty() && click(control, r.left + int(r.width()) / 2, r.top + int(r.height()) / 2);
    }
    // The close box lies on the caption bar, above the client area.
    bool clickCloseBox()
    {
        const gdi::IntRect box = form_.closeBoxRect();
        const gdi::Point client = form_.clientOrigin();
        const int x = box.left + int(box.width()) / 2 - client.x, y = box.top + int(box.height()) / 2 - client.y;
        if (box.isEmpty() || system().controlAt(form_.handle(), x, y) != &form_)
            return false;
        system().pointer(form_.handle(), PointerKind::Down, MouseButton::Left, ssLeft, x, y);
        system().pointer(form_.handle(), PointerKind::Up, MouseButton::Left, 0, x, y);
        return true;
    }
    void press(Key key, char character = 0) { system().key(form_.handle(), key, character, 0); }

private:
    static WindowSystem& system() { return WindowSystem::instance(); }
    Form& form_;
};

std::optional<Key> KeyNamed(const std::string& name)
{
    const std::string word = sys::LowerCaseAscii(name);
    if (word == "enter")
        return Key::Enter;
    if (word == "escape")
        return Key::Escape;
    if (word == "tab")
        return Key::Tab;
    return std::nullopt;
}

} // namespace

bool ScriptedAnswers::runStep(Form& form, const std::string& step)
{
    auto fail = [&](const std::string& why) {
        if (onDialogError)
            onDialogError("dialog '" + form.caption() + "': " + why);
        return false;
    };
    auto usable = [&](const std::string& name) -> Control* {
        Control* control = form.find(name);
        return control && control->showing() && control->enabled() ? control : nullptr;
    };
    // OP:OPERAND, OP alone, or FIELD=VALUE (whose value may hold colons).
    std::size_t colon = step.find(':');
    if (colon != std::string::npos && step.find('=') < colon)
        colon = std::string::npos;
    const std::string op = sys::LowerCaseAscii(step.substr(0, colon));
    const std::string operand = colon == std::string::npos ? step : step.substr(colon + 1);
    const std::size_t equals = operand.find('=');
    const std::string name = operand.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : operand.substr(equals + 1);
    Hands hands(form);

    if (op == "click") {
        Control* control = usable(operand);
        if (!control)
            return fail("no button '" + operand + "' the author could click");
        trace("click " + operand);
        control->click();
        return true;
    }
    if (op == "snapshot") {
        // Made like the host's own snapshots: missing folders are created,
        // and a picture that cannot be written is the script's error.
        try {
            const std::filesystem::path path(operand);
            if (path.has_parent_path())
                sys::CreateDirectories(path.parent_path().string());
            gdi::SavePng(operand, form.snapshot());
        } catch (const std::exception& failure) {
            return fail("cannot write the snapshot " + operand + ": " + failure.what());
        }
        return true;
    }
    if (op == "key") {
        const std::optional<Key> key = KeyNamed(operand);
        if (!key)
            return fail("unknown key '" + operand + "' (Enter, Escape or Tab)");
        trace("key " + operand);
        hands.press(*key);
        return true;
    }
    if (op == "close" && colon == std::string::npos) {
        if (!hands.clickCloseBox())
            return fail("no close box the author could click");
        trace("close");
        return true;
    }
    if (op == "type") {
        Control* control = usable(name);
        auto* edit = dynamic_cast<LabeledEdit*>(control);
        auto* spin = dynamic_cast<SpinEdit*>(control);
        if (equals == std::string::npos || (!edit && !spin))
            return fail("no edit field '" + name + "' the author could type into");
        const int x = spin ? spin->arrowRect(true).left / 2 : control->width() / 2;
        if (!hands.click(*control, x, control->height() / 2) || !control->focused())
            return fail("the author cannot click into '" + name + "'");
        trace("type " + operand);
        hands.press(Key::End); // the press put the caret under the pointer
        for (const char character : value)
            hands.press(Key::Character, character);
        return true;
    }
    if (op == "up" || op == "down") {
        auto* spin = dynamic_cast<SpinEdit*>(usable(operand));
        if (!spin || !hands.click(*spin, spin->arrowRect(op == "up")))
            return fail("no spin field '" + operand + "' whose arrows the author could click");
        trace(op + " " + operand);
        return true;
    }
    if (op == "choose") {
        auto* combo = dynamic_cast<ComboBox*>(usable(name));
        if (!combo || equals == std::string::npos)
            return fail("no drop-down list '" + name + "' the author could open");
        const auto& items = combo->items();
        const auto found = std::find(items.begin(), items.end(), value);
        if (found == items.end())
            return fail("the list '" + name + "' does not offer '" + value + "'");
        const int index = int(found - items.begin());
        if (!combo->droppedDown() && !hands.click(*combo, combo->width() / 2, combo->height() / 2))
            return fail("the author cannot click the list '" + name + "'");
        Control* list = combo->dropDownList();
        if (!list)
            return fail("the list '" + name + "' did not open");
        // Scrolls the way a hand would, one arrow click at a time.
        for (std::size_t guard = items.size(); combo->listItemRect(index).isEmpty() && guard > 0; --guard)
            if (!hands.click(*list, combo->listScrollRect(index < combo->topIndex())))
                break;
        if (!hands.click(*list, combo->listItemRect(index)))
            return fail("the author cannot reach '" + value + "' in the list '" + name + "'");
        trace("choose " + operand);
        return true;
    }
    if (colon != std::string::npos || equals == std::string::npos)
        return fail("unknown operation '" + step + "'");
    Control* control = usable(name);
    if (!control)
        return fail("no field '" + name + "' the author could use");
    if (!control->setValueText(value))
        return fail("field '" + name + "' does not take '" + value + "'");
    trace("set " + step);
    return true;
}

std::optional<gdi::Color> ScriptedAnswers::chooseColor(gdi::Color initial)
{
    ask({Question::Kind::Color, nullptr, initial, {}});
    if (answers_.empty() && screen_->interactive())
        return screen_->chooseColor(initial);
    auto answer = TakeAnswer(*this, Answer::Kind::Color, "colour dialog", onTrace);
    if (!answer)
        return std::nullopt;
    trace("colour dialog: " + std::to_string(gdi::RedOf(answer->color)) + "," +
          std::to_string(gdi::GreenOf(answer->color)) + "," + std::to_string(gdi::BlueOf(answer->color)));
    return answer->color;
}

std::optional<gdi::Font> ScriptedAnswers::chooseFont(const gdi::Font& initial)
{
    ask({Question::Kind::Font, nullptr, 0, initial.name()});
    if (answers_.empty() && screen_->interactive())
        return screen_->chooseFont(initial);
    auto answer = TakeAnswer(*this, Answer::Kind::Font, "font dialog", onTrace);
    if (!answer)
        return std::nullopt;
    trace("font dialog: " + answer->font.name());
    return answer->font;
}

std::optional<std::string> ScriptedAnswers::chooseFile(bool save, const std::string& filter,
                                                        const std::string& initial)
{
    ask({Question::Kind::File, nullptr, 0, (save ? "save " : "open ") + filter});
    if (answers_.empty() && screen_->interactive())
        return screen_->chooseFile(save, filter, initial);
    auto answer = TakeAnswer(*this, Answer::Kind::File, save ? "save dialog" : "open dialog", onTrace);
    if (!answer)
        return std::nullopt;
    trace(std::string(save ? "save dialog: " : "open dialog: ") + answer->text);
    return answer->text;
}

void ScriptedAnswers::messageBox(const std::string& text, const std::string& caption)
{
    ask({Question::Kind::Message, nullptr, 0, text});
    if (screen_->interactive())
        screen_->messageBox(text, caption);
    else
        print("message box: " + text);
}

void ScriptedAnswers::errorBox(const std::string& message)
{
    ++errorBoxes_;
    if (onErrorBox) {
        onErrorBox(message);
    } else {
        std::cout.flush();
        std::cerr << "error box: " << message << std::endl;
    }
    if (screen_->interactive())
        screen_->errorBox(message);
}

void ScriptedAnswers::openAddress(const std::string& address)
{
    trace("open " + address);
    if (screen_->interactive())
        screen_->openAddress(address);
    else
        print("open: " + address);
}

} // namespace forms
