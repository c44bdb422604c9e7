#pragma once

#include "platform/forms/Backend.h"
#include "platform/forms/Window.h"

namespace forms {

enum class BorderStyle { None, Dialog, ToolWindow, Sizeable };
// Where a form appears: at its designed bounds, or centred on the screen
// (a hint the backend places the form by, where it has a screen).
enum class FormPosition { Designed, ScreenCenter };

// A top-level or embedded window that holds controls. Closing hides it;
// releasing destroys it once no event handler of the process is running.
class Form : public Window {
public:
    explicit Form(std::string name = {}, BorderStyle border = BorderStyle::None);

    BorderStyle borderStyle() const { return border_; }
    void setBorderStyle(BorderStyle border);
    bool stayOnTop() const { return (style() & wsStayOnTop) != 0; }
    void setStayOnTop(bool on);
    FormPosition position() const { return position_; }
    void setPosition(FormPosition position) { position_ = position; }
    // The face colour of the client area (Window::color).
    void setClientColor(gdi::Color color) { setColor(color); }
    // The window the form belongs to (the one active when it was made), as
    // opposed to its display parent; 0 for none.
    WindowHandle ownerWindow() const { return owner_; }
    void setOwnerWindow(WindowHandle owner) { owner_ = owner; }

    void close() { hide(); }
    // What the window's close box does (also the desktop's close request):
    // the modal result Cancel, and a form that is not modal closes.
    void closeBoxClicked();
    // Runs the form modally through the backend; the form is shown while it
    // runs and hidden afterwards. Without a focused control the first one in
    // tab order takes the focus.
    ModalResult showModal();
    ModalResult modalResult() const { return modalResult_; }
    void setModalResult(ModalResult result) { modalResult_ = result; }

    // Keyboard focus. The tab order is the tree order of the focusable
    // controls that are visible and enabled (with every ancestor up to the
    // form). The control losing the focus hears of it before the one
    // gaining it. Controls of nested forms belong to those forms.
    Control* focusedControl() const;
    // Null clears the focus; a control of another form, or one that is not
    // focusable, hidden or disabled, is ignored.
    void setFocus(Control* control);
    void focusNext(bool backwards);

    // Tab and Shift+Tab move the focus; Enter presses the focused button or
    // else the default button; Escape presses the cancel button or else sets
    // the modal result Cancel; other keys go to the focused control.
    void routeKey(Key key, char character, ShiftState shift) override;

    void mouseDown(MouseButton button, ShiftState shift, int x, int y) override;
    void mouseUp(MouseButton button, ShiftState shift, int x, int y) override;

private:
    bool reachable(const Control* control) const;

    BorderStyle border_;
    FormPosition position_ = FormPosition::Designed;
    WindowHandle owner_ = 0;
    ModalResult modalResult_ = ModalResult::None;
    bool modal_ = false;
    bool closeBoxPressed_ = false;
    Control* focus_ = nullptr;
    std::weak_ptr<void> focusLifetime_;
};

// The nearest form holding `control` (the control itself excluded).
Form* ParentForm(const Control& control);

} // namespace forms
