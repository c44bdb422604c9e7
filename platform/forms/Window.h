#pragma once

#include "platform/forms/Control.h"

#include "platform/forms/Backend.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace forms {

enum WindowStyle : std::uint32_t {
    wsBorder = 1u << 0,      // a frame around the client area
    wsCaption = 1u << 1,     // a title bar
    wsToolWindow = 1u << 2,  // small title bar
    wsStayOnTop = 1u << 3,   // above ordinary top-level windows
    wsDialogFrame = 1u << 4, // a dialog's frame
};

using WindowHandle = std::int32_t;

// A control with a handle in the process's window system. Handles are never
// 0 and never reused while the process lives.
class Window : public Control {
public:
    explicit Window(std::string name = {}, std::uint32_t style = 0);
    ~Window() override;

    WindowHandle handle() const { return handle_; }

    std::uint32_t style() const { return style_; }
    void setStyle(std::uint32_t style);
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    gdi::Color color() const { return color_; }
    void setColor(gdi::Color color);

    gdi::Point clientOrigin() const override;
    int clientWidth() const override;
    int clientHeight() const override;
    // Sets the outer size so that the client area has this size.
    void setClientSize(int width, int height);
    // The close box at the right of the caption bar, in outer coordinates
    // (empty without a caption).
    gdi::IntRect closeBoxRect() const;

    // Showing a top-level window brings it to the top of the screen's order.
    void setVisible(bool visible) override;
    // A key entering at this window (WindowSystem::key). Default: nothing.
    virtual void routeKey(Key key, char character, ShiftState shift);

    // Messages sent to this window by handle. The handler answers a result,
    // or nothing to fall through to the default processing (which answers 0).
    std::function<std::optional<std::intptr_t>(std::uint32_t message, std::intptr_t wparam,
                                               std::intptr_t lparam)>
        onMessage;
    std::intptr_t handleMessage(std::uint32_t message, std::intptr_t wparam, std::intptr_t lparam);

    // Composition of a top-level window: the picture of its whole outer
    // area and the parts of it that must be painted again, in outer
    // coordinates. Damage is kept as a few rectangles; overlapping ones
    // merge.
    void damage(const gdi::IntRect& rect);
    const std::vector<gdi::IntRect>& damagedAreas() const { return damage_; }
    // Repaints the damaged parts into frame() and answers them (what a
    // screen must take from the frame). A new size repaints everything.
    std::vector<gdi::IntRect> compose();
    const gdi::Bitmap& frame() const { return frame_; }
    // Tells the backend, for a top-level window.
    void screenChange(ScreenChange change);

protected:
    void paint(gdi::Canvas& canvas) override;
    bool coversArea() const override { return true; }
    // A top-level window that becomes a child leaves the screen: it shows
    // inside its parent from now on.
    void parentChanged() override;

private:
    WindowHandle handle_;
    std::uint32_t style_;
    std::string caption_;
    gdi::Color color_ = 0xFF00000F; // button face
    std::vector<gdi::IntRect> damage_;
    gdi::Bitmap frame_;
};

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

    // A pointer event entering at window `handle` in its client coordinates.
    // It reaches the deepest visible control under the point; a press
    // captures that control until the release. Failures that escape a
    // handler are shown in the error box and end that event only. Returns
    // false when there is no such window.
    bool pointer(WindowHandle handle, PointerKind kind, MouseButton button, ShiftState shift, int x, int y);
    // The wheel turned over (x, y) of window `handle`'s client area: the
    // control there (or the captured one) and its parents may use it.
    bool wheel(WindowHandle handle, int delta, ShiftState shift, int x, int y);
    // The control under (x, y) of the window's client area (null: none).
    Control* controlAt(WindowHandle handle, int x, int y) const;

    // A key entering at window `handle`; the window routes it (a form to its
    // focused control, Tab and Shift+Tab to the next control, Enter to the
    // default button, Escape to the cancel button). False when there is no
    // such window.
    bool key(WindowHandle handle, Key key, char character, ShiftState shift);
    // The topmost visible top-level window (0 when none).
    WindowHandle activeWindow() const;
    // Puts a top-level window above the others of its band (stay-on-top
    // windows stay above ordinary ones), as showing it does.
    void bringToTop(WindowHandle handle);

    // An open drop-down: the next press outside `popup` calls `dismiss` and
    // goes no further, nor do the moves and the release that follow it.
    void openPopup(Control& popup, std::function<void()> dismiss);
    // Forgets `popup` if it is the open one (it closed by itself).
    void closePopup(const Control& popup);

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
    // A press on `target` while a drop-down is open: true when it closed the
    // drop-down, which takes the press.
    bool pressClosesPopup(const Control* target);

    std::vector<std::pair<WindowHandle, Window*>> windows_;
    WindowHandle nextHandle_ = 0x10000;
    std::weak_ptr<void> captureLifetime_;
    Control* capture_ = nullptr;
    int dispatchDepth_ = 0;
    Control* popup_ = nullptr;
    std::weak_ptr<void> popupLifetime_;
    std::function<void()> dismissPopup_;
    bool swallowing_ = false; // the press that closed a popup is still held
    std::vector<std::unique_ptr<Control>> pendingReleases_;
};

} // namespace forms
