#pragma once

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/forms/Backend.h"

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

protected:
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
