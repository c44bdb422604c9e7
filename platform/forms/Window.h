#pragma once

#include "platform/forms/Control.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

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
    void setStyle(std::uint32_t style) { style_ = style; }
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) { caption_ = std::move(caption); }
    gdi::Color color() const { return color_; }
    void setColor(gdi::Color color) { color_ = color; }

    gdi::Point clientOrigin() const override;
    int clientWidth() const override;
    int clientHeight() const override;
    // Sets the outer size so that the client area has this size.
    void setClientSize(int width, int height);

    // Messages sent to this window by handle. The handler answers a result,
    // or nothing to fall through to the default processing (which answers 0).
    std::function<std::optional<std::intptr_t>(std::uint32_t message, std::intptr_t wparam,
                                               std::intptr_t lparam)>
        onMessage;
    std::intptr_t handleMessage(std::uint32_t message, std::intptr_t wparam, std::intptr_t lparam);

protected:
    void paint(gdi::Bitmap& surface) override;

private:
    WindowHandle handle_;
    std::uint32_t style_;
    std::string caption_;
    gdi::Color color_ = 0xFF00000F; // button face
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
    // The control under (x, y) of the window's client area (null: none).
    Control* controlAt(WindowHandle handle, int x, int y) const;

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

    std::vector<std::pair<WindowHandle, Window*>> windows_;
    WindowHandle nextHandle_ = 0x10000;
    std::weak_ptr<void> captureLifetime_;
    Control* capture_ = nullptr;
    int dispatchDepth_ = 0;
    std::vector<std::unique_ptr<Control>> pendingReleases_;
};

} // namespace forms
