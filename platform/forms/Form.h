#pragma once

#include "platform/forms/Backend.h"
#include "platform/forms/Window.h"

namespace forms {

enum class BorderStyle { None, Dialog, ToolWindow, Sizeable };

// A top-level or embedded window that holds controls. Closing hides it;
// releasing destroys it once no event handler of the process is running.
class Form : public Window {
public:
    explicit Form(std::string name = {}, BorderStyle border = BorderStyle::None);

    BorderStyle borderStyle() const { return border_; }
    void setBorderStyle(BorderStyle border);
    bool stayOnTop() const { return (style() & wsStayOnTop) != 0; }
    void setStayOnTop(bool on);

    void close() { hide(); }
    // Runs the form modally through the backend; the form is shown while it
    // runs and hidden afterwards.
    ModalResult showModal();
    ModalResult modalResult() const { return modalResult_; }
    void setModalResult(ModalResult result) { modalResult_ = result; }

private:
    BorderStyle border_;
    ModalResult modalResult_ = ModalResult::None;
};

} // namespace forms
