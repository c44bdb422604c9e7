#include "platform/backends/headless/HeadlessBackend.h"

#include "platform/forms/Form.h"
#include "platform/gdi/codecs/Png.h"
#include "platform/system/Text1251.h"

#include <cstdio>
#include <iostream>

namespace forms {

HeadlessBackend& HeadlessBackend::instance()
{
    static auto* backend = new HeadlessBackend; // lives as long as the process
    return *backend;
}

int HeadlessBackend::frameThickness(std::uint32_t style) const
{
    if (style & wsDialogFrame)
        return 3;
    if (style & wsBorder)
        return 4;
    return 0;
}

int HeadlessBackend::captionHeight(std::uint32_t style) const
{
    if (!(style & wsCaption))
        return 0;
    return (style & wsToolWindow) ? 18 : 24;
}

std::optional<Answer> HeadlessBackend::next()
{
    if (answers_.empty())
        return std::nullopt;
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

void HeadlessBackend::trace(const std::string& line)
{
    if (onTrace)
        onTrace(line);
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
std::optional<Answer> TakeAnswer(HeadlessBackend& backend, Answer::Kind kind, const std::string& what,
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

ModalResult HeadlessBackend::runModal(Form& form)
{
    const std::string what = "dialog '" + form.caption() + "'";
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

bool HeadlessBackend::runStep(Form& form, const std::string& step)
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
    if (step.rfind("click:", 0) == 0) {
        Control* control = usable(step.substr(6));
        if (!control)
            return fail("no button '" + step.substr(6) + "' the author could click");
        trace("click " + step.substr(6));
        control->click();
        return true;
    }
    if (step.rfind("snapshot:", 0) == 0) {
        gdi::Bitmap picture = form.snapshot();
        gdi::SavePng(step.substr(9), picture);
        return true;
    }
    const auto equals = step.find('=');
    if (equals == std::string::npos)
        return fail("unknown operation '" + step + "'");
    const std::string name = step.substr(0, equals);
    Control* control = usable(name);
    if (!control)
        return fail("no field '" + name + "' the author could use");
    if (!control->setValueText(step.substr(equals + 1)))
        return fail("field '" + name + "' does not take '" + step.substr(equals + 1) + "'");
    trace("set " + step);
    return true;
}

std::optional<gdi::Color> HeadlessBackend::chooseColor(gdi::Color)
{
    auto answer = TakeAnswer(*this, Answer::Kind::Color, "colour dialog", onTrace);
    if (!answer)
        return std::nullopt;
    trace("colour dialog: " + std::to_string(gdi::RedOf(answer->color)) + "," +
          std::to_string(gdi::GreenOf(answer->color)) + "," + std::to_string(gdi::BlueOf(answer->color)));
    return answer->color;
}

std::optional<gdi::Font> HeadlessBackend::chooseFont(const gdi::Font&)
{
    auto answer = TakeAnswer(*this, Answer::Kind::Font, "font dialog", onTrace);
    if (!answer)
        return std::nullopt;
    trace("font dialog: " + answer->font.name());
    return answer->font;
}

std::optional<std::string> HeadlessBackend::chooseFile(bool save, const std::string&, const std::string&)
{
    auto answer = TakeAnswer(*this, Answer::Kind::File, save ? "save dialog" : "open dialog", onTrace);
    if (!answer)
        return std::nullopt;
    trace(std::string(save ? "save dialog: " : "open dialog: ") + answer->text);
    return answer->text;
}

void HeadlessBackend::messageBox(const std::string& text, const std::string&)
{
    std::cout << "message box: " << text << std::endl;
}

void HeadlessBackend::errorBox(const std::string& message)
{
    ++errorBoxes_;
    if (onErrorBox) {
        onErrorBox(message);
        return;
    }
    std::cout.flush();
    std::cerr << "error box: " << message << std::endl;
}

} // namespace forms
