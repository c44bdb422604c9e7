#pragma once

#include "platform/backends/NativeWindow.h"
#include "platform/forms/Backend.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace forms {

class CursorShape;

// What every backend with windows of a desktop (GTK, Win32) does alike. The
// window system's top-level windows are mirrored by native windows, made
// when a window is first shown and destroyed with it, on the window's own
// notices. Damage is composed and presented in a frame the platform runs
// soon after the first damage; the pointer shape and its animation, moving
// a window by our own caption bar, what closing a window does, the modal
// loop and running until the page closes are decided here. A platform
// supplies the native windows, its event loop, timers and the common
// dialogs.
class DesktopBackend : public Backend {
public:
    bool interactive() const override { return !quitting_; }
    void screenChange(Window& window, ScreenChange change) override;
    ModalResult runModal(Form& form) override;
    bool open(std::string& problem) override;
    void runUntilClosed(Window& window, std::function<void(Window&)> onClose) override;
    void quit() override;
    void processPending() override;
    int startTimer(int milliseconds, std::function<void()> tick) override;
    void stopTimer(int id) override;
    void tickTimers() override {}

    bool quitting() const { return quitting_; }
    // Composes every damaged window and presents the damaged parts (what a
    // scheduled frame does); lets go of hosted windows that hold nothing
    // shown any more.
    void frame();
    // Bytes handed to the screen so far (four per pixel presented).
    std::uint64_t bytesPresented() const { return presented_; }
    // Frames run so far.
    std::uint64_t frames() const { return frames_; }
    // The native window showing `window` (a top-level or hosted window).
    NativeWindow* nativeOf(const Window& window) const;

    // What the platform's native windows report, in the window's outer
    // coordinates.
    void pointerEvent(Window& window, PointerKind kind, MouseButton button, ShiftState shift, int x, int y);
    void wheelEvent(Window& window, int delta, ShiftState shift, int x, int y);
    void keyEvent(Window& window, Key key, char character, ShiftState shift);
    // Whether a press at (x, y) falls on the caption bar a window draws
    // itself (its close box aside): the desktop then moves the window.
    bool onOwnCaption(const Window& window, int x, int y) const;
    // The person asked the desktop to close `window`.
    void closeRequested(Window& window);
    // The desktop destroyed the native window showing `window` from outside
    // (a host destroyed the window a hosted one fills).
    void nativeGone(const Window& window);
    // The other program's window that the hosted window `hosted` fills now
    // has a client area of `width` x `height`: the hosted window takes that
    // size, and what filled it (a canvas) goes on filling it.
    void hostResized(Window& hosted, int width, int height);
    // The platform's timer `id` is due.
    void timerDue(int id) { runTimer(id); }

protected:
    // Readies the platform (once); false with a reason.
    virtual bool openPlatform(std::string& problem) = 0;
    // A native window for `window`, owned by `owner`'s when given; null
    // when the desktop refuses.
    virtual std::unique_ptr<NativeWindow> makeNative(Window& window, NativeWindow* owner) = 0;
    // Asks the event loop to call frame() soon (from any state of the loop).
    virtual void wake() = 0;
    // Waits for events and handles them; false once the desktop ended (the
    // thread's quit message).
    virtual bool waitForEvents() = 0;
    // Handles the events waiting now without waiting; false when there
    // were none.
    virtual bool handleWaiting() = 0;
    // Interrupts of the process (SIGINT, SIGTERM, a console's Ctrl+C) call
    // quit() while on.
    virtual void catchInterrupts(bool on) = 0;
    // Ends a native dialog running now, as cancelled.
    virtual void endDialogs() = 0;
    virtual void scheduleTimer(int id, int milliseconds) = 0;
    virtual void cancelTimer(int id) = 0;

    // The top-level window `window` shows in (itself when it is one).
    static Window& RootOf(Window& window);
    // Takes over a window filling another program's window, shown by
    // `native` (see Backend::hostedWindow).
    Window* adoptHosted(std::unique_ptr<Window> window, std::unique_ptr<NativeWindow> native);
    // The hosted window filling the other program's window `parent`.
    Window* findHosted(std::int64_t parent) const;
    // The window whose native window has the desktop's handle `handle`.
    Window* windowShownBy(std::int64_t handle) const;
    // Destroys every native window for good (the platform is going away).
    void forgetAll();
    // Runs at the start of every frame.
    virtual void beforeFrame() {}

    bool quitting_ = false;

private:
    struct Shown {
        std::unique_ptr<NativeWindow> native;
        // The pointer shape shown: the control's number, the shape the
        // screen's table held for it, the animation's step and timer.
        int cursorNumber = 0;
        bool cursorSet = false;
        std::shared_ptr<const CursorShape> cursorShape;
        std::size_t step = 0;
        int animation = 0;
    };
    Shown* entry(const Window& window);
    void present(Window& window);
    NativePlacement placement(const Window& window) const;
    void requestFrame();
    void updateCursor(Window& window, Shown& shown, int clientX, int clientY);
    void stopAnimation(Shown& shown);
    void animate(const Window* window);
    void letGo(Window& hosted);

    bool opened_ = false;
    bool closed_ = false;
    std::map<const Window*, Shown> natives_;
    std::vector<std::unique_ptr<Window>> hosted_;
    std::function<void(Window&)> onClose_;
    bool frameDue_ = false;
    std::uint64_t presented_ = 0;
    std::uint64_t frames_ = 0;
};

} // namespace forms
