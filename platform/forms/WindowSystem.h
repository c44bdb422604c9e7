#pragma once

#include "platform/forms/InputRouter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace forms {

class Control;
class Window;

using WindowHandle = std::int32_t;

// The one window system of the process: handles, top-level windows, pointer
// input and deferred releases.
class WindowSystem {
public:
    static WindowSystem& instance();

    Window* find(WindowHandle handle) const;
    // Top-level windows (no parent), bottom to top.
    std::vector<Window*> topLevelWindows() const;
    Window* findTopLevel(const std::string& caption) const;

    std::intptr_t sendMessage(WindowHandle handle, std::uint32_t message, std::intptr_t wparam = 0,
                              std::intptr_t lparam = 0);

    // Input entering at a window by handle; see InputRouter.
    bool pointer(WindowHandle handle, PointerKind kind, MouseButton button, ShiftState shift, int x, int y)
    {
        return router_.pointer(find(handle), kind, button, shift, x, y);
    }
    bool wheel(WindowHandle handle, int delta, ShiftState shift, int x, int y)
    {
        return router_.wheel(find(handle), delta, shift, x, y);
    }
    Control* controlAt(WindowHandle handle, int x, int y) const { return router_.controlAt(find(handle), x, y); }
    bool key(WindowHandle handle, Key key, char character, ShiftState shift)
    {
        return router_.key(find(handle), key, character, shift);
    }
    // The topmost visible top-level window (0 when none).
    WindowHandle activeWindow() const;
    // Puts a top-level window above the others of its band (stay-on-top
    // windows stay above ordinary ones), as showing it does.
    void bringToTop(WindowHandle handle);

    void openPopup(Control& popup, std::function<void()> dismiss) { router_.openPopup(popup, std::move(dismiss)); }
    void closePopup(const Control& popup) { router_.closePopup(popup); }

    // Destroys `control` once no event handler is running (now, if none
    // is). Until then it is hidden and unparented.
    void releaseLater(std::unique_ptr<Control> control);
    // Event handlers currently on the stack.
    int dispatchDepth() const { return dispatchDepth_; }

    // Runs `work` as an event handler: releases requested inside it happen
    // after it, and a failure escaping it is shown in the error box.
    void dispatch(const std::function<void()>& work);

private:
    friend class Window;
    WindowHandle registerWindow(Window* window);
    void unregisterWindow(WindowHandle handle);
    void flushReleases();
    void raise(Window* window);

    std::vector<std::pair<WindowHandle, Window*>> windows_;
    WindowHandle nextHandle_ = 0x10000;
    InputRouter router_;
    int dispatchDepth_ = 0;
    std::vector<std::unique_ptr<Control>> pendingReleases_;
};

} // namespace forms
