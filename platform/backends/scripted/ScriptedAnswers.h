#pragma once

#include "platform/forms/Backend.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace forms {

// One scripted answer for the next dialog or query.
struct Answer {
    enum class Kind { Color, Font, File, Pick, Cancel, Dialog };
    Kind kind = Kind::Cancel;
    gdi::Color color = 0;
    gdi::Font font;
    std::string text;                // file name or picked text
    std::vector<std::string> steps;  // dialog operations (see runModal)
};

// Scripted answers: a layer over whichever backend is in use. Every modal
// question (a form shown modally, the colour, font and file choosers) takes
// the next queued answer when one waits; otherwise the backend below asks a
// person, and without one (no screen, or quitting) the question is
// cancelled. Error boxes are counted and reported here whatever the screen;
// message boxes and opened addresses are printed when no person can see
// them. Everything else passes through to the backend below.
class ScriptedAnswers final : public Backend {
public:
    static ScriptedAnswers& instance();

    Backend& screen() const { return *screen_; }
    // Installs the backend below; returns the previous one.
    Backend* setScreen(Backend* screen);

    // Runs the next dialog answer's steps on `form`, in order, and answers
    // the form's modal result as soon as one is set (else Cancel at the
    // end). FIELD=VALUE and click:NAME set values and click directly;
    // type:NAME=TEXT, up:NAME, down:NAME, choose:NAME=ITEM, key:Enter,
    // key:Escape, key:Tab and close press and type through the window
    // system at the form's window; snapshot:FILE writes the form as a PNG;
    // OK and Cancel end it. A step the author could not carry out is told
    // to onDialogError and cancels.
    ModalResult runModal(Form& form) override;
    std::optional<gdi::Color> chooseColor(gdi::Color initial) override;
    std::optional<gdi::Font> chooseFont(const gdi::Font& initial) override;
    std::optional<std::string> chooseFile(bool save, const std::string& filter, const std::string& initial) override;
    void messageBox(const std::string& text, const std::string& caption) override;
    void errorBox(const std::string& message) override;
    // Without a person to see it, prints "open: ADDRESS".
    void openAddress(const std::string& address) override;

    bool interactive() const override { return screen_->interactive(); }
    void screenChange(Window& window, ScreenChange change) override { screen_->screenChange(window, change); }
    bool open(std::string& problem) override { return screen_->open(problem); }
    void runUntilClosed(Window& window, std::function<void(Window&)> onClose) override
    {
        screen_->runUntilClosed(window, std::move(onClose));
    }
    void quit() override { screen_->quit(); }
    void processPending() override { screen_->processPending(); }
    bool deliverPointer(Window& window, PointerKind kind, MouseButton button, ShiftState shift, int x,
                        int y) override
    {
        return screen_->deliverPointer(window, kind, button, shift, x, y);
    }
    Window* hostedWindow(std::int64_t native) override { return screen_->hostedWindow(native); }
    std::int64_t nativeArea(Window& child) override { return screen_->nativeArea(child); }
    bool sharesWindowHandles() const override { return screen_->sharesWindowHandles(); }
    Window* hostedIn(const Window& child) const override { return screen_->hostedIn(child); }
    std::string clipboardText() const override { return screen_->clipboardText(); }
    void setClipboardText(const std::string& text) override { screen_->setClipboardText(text); }
    int startTimer(int milliseconds, std::function<void()> tick) override
    {
        return screen_->startTimer(milliseconds, std::move(tick));
    }
    void stopTimer(int id) override { screen_->stopTimer(id); }
    void tickTimers() override { screen_->tickTimers(); }

    void queue(Answer answer) { answers_.push_back(std::move(answer)); }
    // Takes the next answer, if any.
    std::optional<Answer> next();
    std::size_t pendingAnswers() const { return answers_.size(); }
    void clearAnswers() { answers_.clear(); }

    int errorBoxCount() const { return errorBoxes_; }

    // Shows the error box instead of printing it on standard error.
    std::function<void(const std::string&)> onErrorBox;
    // Prints a line meant for the end user's eyes (a message box, an opened
    // address) in place of the backend printing it on standard output.
    std::function<void(const std::string&)> onPrint;
    // Told of every dialog shown and how it was answered (for tracing).
    std::function<void(const std::string&)> onTrace;
    // Told when a dialog operation cannot be carried out (no such control,
    // hidden, or a value it does not take): a script error for the host.
    std::function<void(const std::string&)> onDialogError;

    // Told of every question before it is answered, queued or not: the form
    // shown modally, the colour a colour chooser starts from, a file
    // chooser's "open FILTER" or "save FILTER", a message box's text.
    struct Question {
        enum class Kind { Modal, Color, Font, File, Message } kind;
        Form* form = nullptr;
        gdi::Color color = 0;
        std::string text;
    };
    std::function<void(const Question&)> onQuestion;

private:
    ScriptedAnswers();
    void ask(const Question& question);
    void trace(const std::string& line);
    void print(const std::string& line);
    bool runStep(Form& form, const std::string& step);

    Backend* screen_;
    std::deque<Answer> answers_;
    int errorBoxes_ = 0;
};

} // namespace forms
