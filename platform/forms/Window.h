#pragma once

#include "platform/forms/Control.h"

#include "platform/forms/Backend.h"
#include "platform/forms/WindowSystem.h"

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

} // namespace forms
