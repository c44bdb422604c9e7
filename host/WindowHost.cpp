#include "host/WindowHost.h"

#include "host/Arguments.h"

#include "platform/backends/scripted/ScriptedAnswers.h"
#include "platform/forms/Button.h"
#include "platform/forms/Cursor.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Form.h"
#include "platform/forms/LabeledEdit.h"
#include "platform/forms/SpeedButton.h"
#include "platform/forms/Image.h"
#include "platform/gdi/ColorNames.h"
#include "platform/system/Files.h"
#include "platform/system/GlobalMemory.h"
#include "platform/system/Text1251.h"


#include <sstream>

namespace host {
namespace {

using forms::MouseButton;
using forms::PointerKind;

forms::Image* findImage(forms::Control& control)
{
    for (forms::Control* child : control.children()) {
        if (auto* image = dynamic_cast<forms::Image*>(child))
            return image;
        if (forms::Image* found = findImage(*child))
            return found;
    }
    return nullptr;
}

} // namespace

WindowHost::WindowHost(Interpreter& interpreter) : interpreter_(interpreter)
{
    page_.setBounds(0, 0, 1024, 768);
    page_.show();
    interpreter_.setRectangles(this);
    auto& backend = forms::ScriptedAnswers::instance();
    backend.onErrorBox = [this](const std::string& message) { interpreter_.reportErrorBox(message); };
    backend.onTrace = [this](const std::string& line) { interpreter_.traceLine(line); };
    // A message box's line breaks may be bare carriage returns, which a
    // terminal would print over each other.
    backend.onPrint = [this](std::string line) {
        for (std::size_t at = 0; (at = line.find('\r', at)) != std::string::npos;)
            if (at + 1 < line.size() && line[at + 1] == '\n')
                line.erase(at, 1);
            else
                line[at] = '\n';
        interpreter_.printLine(line);
    };
    backend.onDialogError = [this](const std::string& error) {
        if (dialogError_.empty())
            dialogError_ = error;
    };
    defineCommands();
}

WindowHost::~WindowHost()
{
    auto& backend = forms::ScriptedAnswers::instance();
    backend.onErrorBox = nullptr;
    backend.onTrace = nullptr;
    backend.onPrint = nullptr;
    backend.onDialogError = nullptr;
    interpreter_.setRectangles(nullptr);
}

std::int64_t WindowHost::handleOf(std::string_view name) const
{
    forms::Window* window = rectangle(name);
    if (!window)
        return 0;
    // With real windows of the desktop, a rectangle is handed out as a
    // window of the desktop, as an authoring host does.
    if (const std::int64_t native = forms::CurrentBackend().nativeArea(*window))
        return native;
    return window->handle();
}

forms::Window* WindowHost::rectangle(std::string_view name) const
{
    auto it = rectangles_.find(sys::LowerCaseAscii(name));
    return it == rectangles_.end() ? nullptr : it->second.get();
}

forms::Window& WindowHost::requireRectangle(const Statement& statement, const std::string& name) const
{
    forms::Window* window = rectangle(name);
    if (!window)
        throw ScriptError{statement.line, "no rectangle named " + host::quoted(name)};
    // With windows of the desktop, the plug-in's canvas lives in the window
    // it made inside the rectangle's window of the desktop.
    if (forms::Window* hosted = forms::CurrentBackend().hostedIn(*window))
        return *hosted;
    return *window;
}

void WindowHost::send(forms::WindowHandle handle, PointerKind kind, MouseButton button, forms::ShiftState shift, int x,
                      int y)
{
    // With windows of the desktop that route input themselves, it travels
    // as the desktop's own mouse messages.
    if (forms::Window* window = forms::WindowSystem::instance().find(handle))
        forms::CurrentBackend().deliverPointer(*window, kind, button, shift, x, y);
}

void WindowHost::checkDialogErrors(const Statement& statement)
{
    if (dialogError_.empty())
        return;
    std::string error = std::move(dialogError_);
    dialogError_.clear();
    throw ScriptError{statement.line, error};
}

void WindowHost::defineCommands()
{
    Interpreter& in = interpreter_;
    in.defineCommand("Rectangle", 5, 5, [this, &in](const Statement& s) {
        const std::string name = in.argument(s, 0);
        const int x = readInt32(s, in.argument(s, 1), "Rectangle");
        const int y = readInt32(s, in.argument(s, 2), "Rectangle");
        const int w = readInt32(s, in.argument(s, 3), "Rectangle");
        const int h = readInt32(s, in.argument(s, 4), "Rectangle");
        if (w < 0 || h < 0)
            throw ScriptError{s.line, "Rectangle: negative size"};
        auto window = std::make_unique<forms::Window>(name);
        window->setParent(&page_);
        window->setBounds(x, y, 0, 0);
        window->setClientSize(w, h);
        window->show();
        in.traceLine("rectangle " + host::quoted(name) + " is window " + std::to_string(window->handle()));
        rectangles_[sys::LowerCaseAscii(name)] = std::move(window);
    });
    in.defineCommand("Button", 7, 8, [this](const Statement& s) { button(s); });
    in.defineCommand("Pointer", 4, 6, [this](const Statement& s) { pointer(s); });
    in.defineCommand("Drag", 6, 7, [this](const Statement& s) { drag(s); });
    in.defineCommand("CursorInfo", 1, 1, [this, &in](const Statement& s) {
        forms::Window& window = requireRectangle(s, in.argument(s, 0));
        forms::Image* image = findImage(window);
        std::string shape = "default";
        if (image && image->cursor() != 0)
            shape = forms::DescribeCursor(forms::Screen::instance().cursor(image->cursor()).get());
        in.variables().set("Cursor", shape);
    });
    in.defineCommand("WindowMessage", 2, 2, [this, &in](const Statement& s) {
        forms::Window& window = requireRectangle(s, in.argument(s, 0));
        const int message = readInt32(s, in.argument(s, 1), "WindowMessage");
        forms::Window* inner = nullptr;
        for (forms::Control* child : window.children())
            if (auto* w = dynamic_cast<forms::Window*>(child))
                inner = w;
        if (!inner)
            throw ScriptError{s.line, "WindowMessage: rectangle " + host::quoted(in.argument(s, 0)) + " holds no window"};
        const std::intptr_t result =
            forms::WindowSystem::instance().sendMessage(inner->handle(), static_cast<std::uint32_t>(message));
        in.variables().set("LastResult", std::to_string(result));
    });
    in.defineCommand("Snapshot", 2, 2, [this, &in](const Statement& s) {
        forms::Window& window = requireRectangle(s, in.argument(s, 0));
        writePicture(s, in.argument(s, 1), window.snapshot());
    });
    in.defineCommand("SnapshotPicture", 2, 2, [this, &in](const Statement& s) {
        forms::Window& window = requireRectangle(s, in.argument(s, 0));
        forms::Image* image = findImage(window);
        if (!image)
            throw ScriptError{s.line, "SnapshotPicture: rectangle " + host::quoted(in.argument(s, 0)) + " holds no canvas"};
        writePicture(s, in.argument(s, 1), image->picture());
    });
    in.defineCommand("SnapshotWindow", 2, 2, [&in](const Statement& s) {
        const std::string caption = in.argument(s, 0);
        forms::Window* window = forms::WindowSystem::instance().findTopLevel(caption);
        if (!window)
            throw ScriptError{s.line, "no window with the caption " + host::quoted(caption)};
        writePicture(s, in.argument(s, 1), window->snapshot());
    });
    in.defineCommand("ExpectPixel", 4, 4, [this, &in](const Statement& s) {
        forms::Window& window = requireRectangle(s, in.argument(s, 0));
        forms::Image* image = findImage(window);
        if (!image)
            throw ScriptError{s.line, "ExpectPixel: rectangle " + host::quoted(in.argument(s, 0)) + " holds no canvas"};
        const int x = readInt32(s, in.argument(s, 1), "ExpectPixel");
        const int y = readInt32(s, in.argument(s, 2), "ExpectPixel");
        const std::string expected = rgbText(readRgb(s, in.argument(s, 3)));
        const gdi::Bitmap& picture = image->picture();
        const bool inside = x >= 0 && y >= 0 && x < picture.width() && y < picture.height();
        in.expect(s, inside ? rgbText(picture.pixel(x, y)) : "outside the picture", expected);
    });
    in.defineCommand("Answer", 1, kAnyCount, [this](const Statement& s) { answer(s); });
    in.defineCommand("Edit", 1, kAnyCount, [this](const Statement& s) { edit(s); });
    in.defineCommand("Page", 2, 2, [this, &in](const Statement& s) {
        const int w = readInt32(s, in.argument(s, 0), "Page");
        const int h = readInt32(s, in.argument(s, 1), "Page");
        if (w < 1 || h < 1)
            throw ScriptError{s.line, "Page: the size must be at least 1 x 1"};
        page_.setClientSize(w, h);
    });
    in.defineCommand("ButtonDown", 2, 2, [this, &in](const Statement& s) {
        const std::string name = in.argument(s, 0);
        forms::Window* window = rectangle(name);
        auto* speed = window && !window->children().empty()
                          ? dynamic_cast<forms::SpeedButton*>(window->children().front())
                          : nullptr;
        if (!speed)
            throw ScriptError{s.line, "ButtonDown: no button with a picture named " + host::quoted(name)};
        const std::string state = sys::LowerCaseAscii(in.argument(s, 1));
        if (state != "true" && state != "false")
            throw ScriptError{s.line, "ButtonDown: " + host::quoted(in.argument(s, 1)) + " is not True or False"};
        speed->setDown(state == "true");
    });
    in.defineCommand("Choose", 2, 4, [this](const Statement& s) { choose(s); });
    in.defineCommand("Ask", 2, 3, [this](const Statement& s) { ask(s); });
}

void WindowHost::choose(const Statement& s)
{
    Interpreter& in = interpreter_;
    const std::string kind = sys::LowerCaseAscii(in.argument(s, 0));
    if (kind != "open" && kind != "save")
        throw ScriptError{s.line, "Choose: " + host::quoted(in.argument(s, 0)) + " is neither open nor save"};
    // The variable is named, not substituted, as SetVar's is.
    const std::string name(variableName(s.args[1].text));
    if (name.empty())
        throw ScriptError{s.line, "Choose: the variable name is empty"};
    forms::FileDialog dialog("Choose", kind == "save");
    dialog.filter = s.args.size() > 2 ? in.argument(s, 2) : std::string("All files|*");
    dialog.fileName = s.args.size() > 3 ? in.argument(s, 3) : in.variables().get(name);
    const bool chosen = dialog.execute();
    checkDialogErrors(s);
    if (chosen)
        in.variables().set(name, dialog.fileName);
    in.variables().set("LastResult", chosen ? "True" : "False");
    in.traceLine("choose " + kind + (chosen ? " -> " + host::quoted(dialog.fileName) : std::string(" cancelled")));
}

void WindowHost::ask(const Statement& s)
{
    Interpreter& in = interpreter_;
    const std::string name(variableName(s.args[0].text));
    if (name.empty())
        throw ScriptError{s.line, "Ask: the variable name is empty"};
    const std::string prompt = in.argument(s, 1);
    // A small dialog of the host's own: the prompt, an edit field named
    // Text holding the variable's value, OK and Cancel.
    forms::Form form("Ask", forms::BorderStyle::Dialog);
    form.setCaption(s.args.size() > 2 ? in.argument(s, 2) : std::string("zenvas-host"));
    form.setColor(0xFF00000F);
    form.setPosition(forms::FormPosition::ScreenCenter);
    form.setClientSize(300, 96);
    auto* field = form.addChild(std::make_unique<forms::LabeledEdit>("Text"));
    field->setBounds(10, 26, 280, 21);
    field->editLabel().setCaption(prompt);
    field->editLabel().font.setName("MS Sans Serif");
    field->editLabel().font.setSize(8);
    field->editLabel().adjustSize();
    field->setText(in.variables().get(name));
    auto* ok = form.addChild(std::make_unique<forms::Button>("OK", "OK"));
    ok->setBounds(134, 62, 75, 25);
    ok->setModalResult(forms::ModalResult::Ok);
    ok->setDefault(true);
    auto* cancel = form.addChild(std::make_unique<forms::Button>("Cancel", "Cancel"));
    cancel->setBounds(215, 62, 75, 25);
    cancel->setModalResult(forms::ModalResult::Cancel);
    cancel->setCancel(true);
    form.setFocus(field);
    const bool confirmed = form.showModal() == forms::ModalResult::Ok;
    checkDialogErrors(s);
    if (confirmed)
        in.variables().set(name, field->text());
    in.variables().set("LastResult", confirmed ? "True" : "False");
    in.traceLine("ask " + host::quoted(prompt) + (confirmed ? " -> " + host::quoted(field->text()) : std::string(" cancelled")));
}

void WindowHost::pointer(const Statement& s)
{
    Interpreter& in = interpreter_;
    forms::Window& window = requireRectangle(s, in.argument(s, 0));
    const std::string what = sys::LowerCaseAscii(in.argument(s, 1));
    if (what == "move") {
        if (s.args.size() > 5)
            throw ScriptError{s.line, "Pointer move takes NAME move X Y [HELD]"};
        const int x = readInt32(s, in.argument(s, 2), "Pointer");
        const int y = readInt32(s, in.argument(s, 3), "Pointer");
        const forms::ShiftState shift = s.args.size() == 5 ? readShift(s, in.argument(s, 4), true) : heldButtons_;
        send(window.handle(), PointerKind::Move, MouseButton::Left, shift, x, y);
        return;
    }
    if (what != "down" && what != "up")
        throw ScriptError{s.line, "Pointer: " + host::quoted(in.argument(s, 1)) + " is not down, move or up"};
    if (s.args.size() < 5)
        throw ScriptError{s.line, "Pointer " + what + " takes NAME " + what + " BUTTON X Y [KEYS]"};
    const MouseButton button = readButton(s, in.argument(s, 2));
    const int x = readInt32(s, in.argument(s, 3), "Pointer");
    const int y = readInt32(s, in.argument(s, 4), "Pointer");
    const forms::ShiftState keys = s.args.size() == 6 ? readShift(s, in.argument(s, 5), false) : 0;
    if (what == "down") {
        heldButtons_ |= forms::ButtonFlag(button);
        send(window.handle(), PointerKind::Down, button, heldButtons_ | keys, x, y);
    } else {
        heldButtons_ &= ~forms::ButtonFlag(button);
        send(window.handle(), PointerKind::Up, button, heldButtons_ | keys, x, y);
    }
}

void WindowHost::drag(const Statement& s)
{
    Interpreter& in = interpreter_;
    forms::Window& window = requireRectangle(s, in.argument(s, 0));
    const MouseButton button = readButton(s, in.argument(s, 1));
    const int x1 = readInt32(s, in.argument(s, 2), "Drag");
    const int y1 = readInt32(s, in.argument(s, 3), "Drag");
    const int x2 = readInt32(s, in.argument(s, 4), "Drag");
    const int y2 = readInt32(s, in.argument(s, 5), "Drag");
    const int steps = s.args.size() == 7 ? readInt32(s, in.argument(s, 6), "Drag") : 8;
    if (steps < 0 || steps > 100000)
        throw ScriptError{s.line, "Drag: steps must be 0 to 100000"};
    const forms::WindowHandle handle = window.handle();
    heldButtons_ |= forms::ButtonFlag(button);
    send(handle, PointerKind::Down, button, heldButtons_, x1, y1);
    for (int i = 1; i <= steps; ++i) {
        const auto at = [&](int a, int b) {
            return static_cast<int>(a + (static_cast<std::int64_t>(b) - a) * i / steps);
        };
        send(handle, PointerKind::Move, button, heldButtons_, at(x1, x2), at(y1, y2));
    }
    heldButtons_ &= ~forms::ButtonFlag(button);
    send(handle, PointerKind::Up, button, heldButtons_, x2, y2);
}

void WindowHost::answer(const Statement& s)
{
    forms::ScriptedAnswers::instance().queue(readAnswer(interpreter_, s));
}

bool WindowHost::editAction(const std::string& name, std::vector<std::string>& texts, int line)
{
    Interpreter& in = interpreter_;
    const Registration* action = in.action(name);
    if (!action)
        throw ScriptError{line, "Edit: no action named " + host::quoted(name)};
    const std::size_t count = static_cast<std::size_t>(action->count);
    if (texts.size() != count)
        throw ScriptError{line, "Edit " + action->name + " takes " + std::to_string(count) + " slots, got "
                                    + std::to_string(texts.size())};
    std::vector<char*> slots(std::max<std::size_t>(count, 1), nullptr);
    for (std::size_t i = 0; i < count; ++i)
        slots[i] = sys::GlobalAllocText(texts[i]);
    in.discardReasons();
    const bool result = in.plugin().nbEditAction(action->number, slots.data()) != ZENVAS_FALSE;
    in.traceLine("edit " + action->name + " -> " + (result ? "True" : "False"));
    in.takeReasons();
    for (std::size_t i = 0; i < count; ++i) {
        texts[i] = slots[i] ? slots[i] : "";
        sys::GlobalFree(slots[i]);
    }
    return result;
}

void WindowHost::edit(const Statement& s)
{
    Interpreter& in = interpreter_;
    std::vector<std::string> texts;
    for (std::size_t i = 1; i < s.args.size(); ++i)
        texts.push_back(in.argument(s, i));
    const bool result = editAction(in.argument(s, 0), texts, s.line);
    in.variables().set("LastResult", result ? "True" : "False");
    for (std::size_t i = 0; i < texts.size(); ++i)
        in.variables().set("Slot" + std::to_string(i), texts[i]);
    checkDialogErrors(s);
}

void WindowHost::button(const Statement& s)
{
    Interpreter& in = interpreter_;
    ButtonStatement button = readButtonStatement(in, s);
    const std::string& name = button.name;
    const int x = button.x, y = button.y, w = button.width, h = button.height;
    const std::string& caption = button.caption;
    const std::string subroutine = button.subroutine;
    gdi::Bitmap& picture = button.picture;
    // The button is a window of its own, so that Pointer and Drag reach
    // it by name as they reach a rectangle.
    auto window = std::make_unique<forms::Window>(name);
    window->setParent(&page_);
    window->setBounds(x, y, 0, 0);
    window->setClientSize(w, h);
    forms::Control* face = nullptr;
    if (picture.isEmpty()) {
        auto* push = window->addChild(std::make_unique<forms::Button>(name));
        push->setCaption(caption);
        face = push;
    } else {
        auto* speed = window->addChild(std::make_unique<forms::SpeedButton>(name));
        speed->flat = false;
        speed->icon = std::move(picture);
        face = speed;
    }
    face->setBounds(0, 0, w, h);
    face->onClick = [this, subroutine] { interpreter_.runSubroutine(subroutine); };
    window->show();
    in.traceLine("button " + host::quoted(name) + " is window " + std::to_string(window->handle()));
    rectangles_[sys::LowerCaseAscii(name)] = std::move(window);
}

} // namespace host
