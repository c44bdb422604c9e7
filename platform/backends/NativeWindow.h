#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Rect.h"

#include <cstdint>
#include <span>
#include <string>

namespace forms {

class CursorShape;

// How one of our windows sits on the desktop.
struct NativePlacement {
    std::string caption;   // code page 1251
    gdi::IntRect bounds;   // outer bounds, in screen coordinates
    bool ownFrame = false; // draws its own caption and frame: no desktop decoration
    bool stayOnTop = false;
    bool toolWindow = false;
    bool centred = false;  // centred on the screen's work area, whatever `bounds` says
};

// The desktop's window showing one window of ours: all a platform supplies
// per window. The desktop layer (DesktopBackend) decides what it shows and
// when; the native window only carries it out.
class NativeWindow {
public:
    virtual ~NativeWindow() = default;

    virtual void place(const NativePlacement& placement) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool shown() const = 0;
    // Copies `areas` of `frame` (the window's composed picture, in its
    // outer coordinates) to the screen. The first call after the native
    // window is made covers the whole frame.
    virtual void present(const gdi::Bitmap& frame, std::span<const gdi::IntRect> areas) = 0;
    // The pointer shape over the window: frame `frame` of `shape`, or the
    // built-in shape number `builtin` when `shape` is null.
    virtual void setCursor(const CursorShape* shape, int frame, int builtin) = 0;
    // While modal, the program's other windows take no input.
    virtual void setModal(bool modal) = 0;
    // The desktop's handle of the window (an HWND, a GtkWindow*).
    virtual std::int64_t handle() const = 0;
    // For a window filling another program's window (a host's rectangle):
    // that window's handle; 0 otherwise.
    virtual std::int64_t hostParent() const { return 0; }
};

} // namespace forms
