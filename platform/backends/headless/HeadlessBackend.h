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

// The backend without a screen: everything stays in memory and every modal
// question is answered from a queue; with the queue empty, it is cancelled.
// Nothing ever waits for a person.
class HeadlessBackend : public Backend {
public:
    static HeadlessBackend& instance();

    int frameThickness(std::uint32_t style) const override;
    int captionHeight(std::uint32_t style) const override;

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
    // Prints "open: ADDRESS" on standard output.
    void openAddress(const std::string& address) override;

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

private:
    void trace(const std::string& line);
    void print(const std::string& line);
    bool runStep(Form& form, const std::string& step);

    std::deque<Answer> answers_;
    int errorBoxes_ = 0;
};

} // namespace forms
