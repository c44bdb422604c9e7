#pragma once

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/forms/Backend.h"

#include <functional>
#include <string>

namespace forms {

// What the backends with windows of a desktop (GTK, Win32) do alike. They
// keep the headless backend's frame metrics, so windows look as they do
// without a screen, and use its queued answers before asking a person. The
// window system's top-level windows are mirrored by desktop windows: the
// screen changes a window reports reach the operations below.
class DesktopBackend : public Backend {
public:
    int frameThickness(std::uint32_t style) const override;
    int captionHeight(std::uint32_t style) const override;
    void screenChange(Window& window, ScreenChange change) override;

    // Opens the desktop; false (with a reason) when there is none.
    virtual bool open(std::string& problem) = 0;
    // Runs the desktop's events until `window` is closed by the person (or
    // quit() is called). Open modal loops end with Cancel first.
    virtual void runUntilClosed(Window& window) = 0;
    virtual void quit() = 0;

    // Told when the desktop asks to close a window that is not a form
    // (the host's page); without it the window just hides.
    std::function<void(Window&)> onCloseRequest;

protected:
    // The desktop asks to close `window`: a form does what its close box
    // does, others go to onCloseRequest.
    void closeRequested(Window& window);

    static HeadlessBackend& queued() { return HeadlessBackend::instance(); }
    static bool answerWaiting() { return queued().pendingAnswers() > 0; }

    // Shows `window`'s desktop window (made on first use) and has it
    // painted whole.
    virtual void present(Window& window) = 0;
    // Whether `window` has a desktop window that is shown.
    virtual bool shownOnScreen(const Window& window) const = 0;
    // These do nothing for a window without a desktop window.
    virtual void hideOnScreen(Window& window) = 0;
    virtual void placeOnScreen(Window& window) = 0; // bounds, caption, style
    virtual void forgetOnScreen(Window& window) = 0; // it is being destroyed
    // Asks for composeAll() to run soon, once.
    virtual void scheduleCompose() = 0;

    // Brings the desktop in line with the window system: a visible
    // top-level window shown before the backend took over, or never
    // hidden, has no desktop window yet.
    void syncWindows();
};

} // namespace forms
