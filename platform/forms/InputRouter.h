#pragma once

#include "platform/forms/Input.h"

#include <functional>
#include <memory>

namespace forms {

class Control;
class Window;

// Where pointer, wheel and key input entering at a window goes: the
// deepest visible control under the point, the captured control while a
// button is held, the window's own key routing, and an open drop-down that
// the next press outside dismisses. Every handler runs through the window
// system's dispatch.
class InputRouter {
public:
    // A pointer event entering at `window` in its client coordinates. It
    // reaches the deepest visible control under the point; a press captures
    // that control until the release, so moves and the release reach it
    // anywhere, in its own coordinates. Failures that escape a handler are
    // shown in the error box and end that event only. False without a
    // window.
    bool pointer(Window* window, PointerKind kind, MouseButton button, ShiftState shift, int x, int y);
    // The wheel turned over (x, y) of the window's client area: the control
    // there and its parents may use it. Answers whether one did.
    bool wheel(Window* window, int delta, ShiftState shift, int x, int y);
    // The control under (x, y) of the window's client area (null: none).
    Control* controlAt(Window* window, int x, int y) const;
    // A key entering at `window`; the window routes it (a form to its
    // focused control, Tab and Shift+Tab to the next control, Enter to the
    // default button, Escape to the cancel button). False without a window.
    bool key(Window* window, Key key, char character, ShiftState shift);

    // An open drop-down: the next press outside `popup` calls `dismiss` and
    // goes no further, nor do the moves and the release that follow it.
    void openPopup(Control& popup, std::function<void()> dismiss);
    // Forgets `popup` if it is the open one (it closed by itself).
    void closePopup(const Control& popup);
    // `control` leaves the display tree: it holds the capture no more.
    void forget(const Control& control);

private:
    // A press on `target` while a drop-down is open: true when it closed the
    // drop-down, which takes the press.
    bool pressClosesPopup(const Control* target);

    Control* capture_ = nullptr;
    std::weak_ptr<void> captureLifetime_;
    Control* popup_ = nullptr;
    std::weak_ptr<void> popupLifetime_;
    std::function<void()> dismissPopup_;
    bool swallowing_ = false; // the press that closed a popup is still held
};

} // namespace forms
