#pragma once

#include "platform/gdi/Color.h"
#include "platform/forms/Input.h"
#include "platform/gdi/Font.h"

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace forms {

class Form;
class Window;

enum class ModalResult { None, Ok, Cancel };

// What happened to a top-level window that a screen shows.
enum class ScreenChange {
    Shown,     // became visible
    Hidden,    // became invisible
    Placed,    // moved or resized
    Retitled,  // caption or style changed
    Damaged,   // parts need painting again (Window::compose)
    Destroyed, // about to be destroyed
};

// Where forms meet a screen: the screen's windows, modal loops, the common
// dialogs, the message and error boxes, timers and the clipboard. The
// headless backend has no screen and cancels every question; scripted
// answers (ScriptedAnswers) are a layer over whichever backend is in use.
class Backend {
public:
    virtual ~Backend() = default;

    // Whether a person can answer a dialog now (false without a screen, or
    // once the desktop is quitting).
    virtual bool interactive() const { return false; }

    // Runs `form` modally and answers how it was closed.
    virtual ModalResult runModal(Form& form) = 0;

    virtual std::optional<gdi::Color> chooseColor(gdi::Color initial) = 0;
    virtual std::optional<gdi::Font> chooseFont(const gdi::Font& initial) = 0;
    // `save` picks a file to write, else one to open.
    virtual std::optional<std::string> chooseFile(bool save, const std::string& filter,
                                                  const std::string& initial) = 0;

    // A message box with a single OK button.
    virtual void messageBox(const std::string& text, const std::string& caption) = 0;
    // The framework's box for a failure that escaped an event handler.
    virtual void errorBox(const std::string& message) = 0;
    // Opens a web address the way the desktop opens links (a link label's
    // click).
    virtual void openAddress(const std::string& address) = 0;

    // A top-level window changed on the screen. A backend with a screen
    // mirrors it there; the headless one has no screen.
    virtual void screenChange(Window&, ScreenChange) {}

    // Running a program's windows (the host's page). open() readies the
    // screen (false, with a reason, when there is none). runUntilClosed()
    // handles the screen's events until `window` is closed by the person,
    // quit() is called or the process is interrupted (SIGINT, SIGTERM,
    // Ctrl+C in a console); open modal loops then end as cancelled. When
    // the person closes a window that is not a form, `onClose` decides
    // (without one it hides). Without a screen nothing waits.
    virtual bool open(std::string& /*problem*/) { return true; }
    virtual void runUntilClosed(Window& /*window*/, std::function<void(Window&)> /*onClose*/) {}
    virtual void quit() {}
    // Handles what is waiting on the screen now (events, frames) and
    // returns; nothing without a screen.
    virtual void processPending() {}

    // A pointer event at (x, y) of `window`'s client area as the screen
    // delivers it: on a desktop that routes input itself, through the
    // desktop. Answers false when the window is unknown.
    virtual bool deliverPointer(Window& window, PointerKind kind, MouseButton button, ShiftState shift, int x,
                                int y);

    // Windows of the desktop that other programs own. A host hands a
    // plug-in the native handle of a window of its own (a rectangle of its
    // page); hostedWindow() answers the window of this window system that
    // fills it, made on first use, or null when `native` names no such
    // window or the backend has no desktop. A hosted window is hidden and
    // let go once it holds nothing shown.
    // When the other program resizes its window, the hosted window follows
    // at once, and so do its children that filled it.
    virtual Window* hostedWindow(std::int64_t /*native*/) { return nullptr; }
    // Whether a host may name a window of this window system by its handle
    // instead of a window of the desktop. Not where the window system lives
    // hidden inside a plug-in's module (the shipped Windows DLL): its
    // handles mean nothing to a host, and a number that is no window of the
    // desktop must not be taken for one of them.
    virtual bool sharesWindowHandles() const { return true; }
    // The other side: a native window covering `child` (a child window)
    // that another party may fill, as a host hands its rectangles out; 0
    // without a desktop.
    virtual std::int64_t nativeArea(Window& /*child*/) { return 0; }
    // The hosted window filling the native area handed out for `child`,
    // if one was made; null otherwise.
    virtual Window* hostedIn(const Window& /*child*/) const { return nullptr; }

    // The desktop's clipboard, as text in code page 1251. Without a desktop
    // it is one held in the process.
    virtual std::string clipboardText() const { return clipboard_; }
    virtual void setClipboardText(const std::string& text) { clipboard_ = text; }

    // A repeating timer: `tick` runs as an event handler every
    // `milliseconds` until stopTimer(). Answers its id (never 0). Without a
    // desktop nothing waits, so timers tick only when tickTimers() is
    // called.
    virtual int startTimer(int milliseconds, std::function<void()> tick);
    virtual void stopTimer(int id);
    // Runs every timer's tick once, in the order they were started; those
    // stopped on the way are skipped.
    virtual void tickTimers();

protected:
    // The tick of a timer, run as an event handler (null when stopped).
    void runTimer(int id);

private:
    std::string clipboard_;
    std::map<int, std::function<void()>> timers_;
    int nextTimer_ = 1;
};

// The backend in use, seen through the scripted answers' layer.
Backend& CurrentBackend();
// Installs the screen's backend under the scripted answers' layer (the
// headless one is installed by default, or the desktop's in the DLL a host
// loads); returns the previous one. The caller keeps ownership.
Backend* SetBackend(Backend* backend);
// The backend under the layer.
Backend& ScreenBackend();

} // namespace forms
