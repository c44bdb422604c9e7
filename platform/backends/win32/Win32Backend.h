#pragma once

#include "platform/backends/DesktopBackend.h"
#include "platform/forms/Input.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace forms {

class Window;

// The backend of the Windows DLL. Every visible top-level window of the
// window system is a window of the desktop showing the window's composed
// picture, kept in a DIB section and blitted where it changed; child
// windows stay controls inside it. Windows that draw their own caption
// (forms) are pop-ups that keep our frame and close box, so they look as
// they do without a screen; the others (the host's page) get the desktop's
// frame. A window a host hands over by its HWND (a rectangle of its page)
// gets a child window of ours filling it: the hosted window.
//
// Mouse messages, capture, modifier keys, the wheel and keys feed the window
// system's routing. Window procedures catch every failure: nothing unwinds
// through the system's frames.
//
// Answers queued on the headless backend are still used first: a dialog
// asks the person only when none is waiting.
class Win32Backend final : public DesktopBackend {
public:
    static Win32Backend& instance();
    // Registers the window classes; false (with a reason) when the system
    // refuses. Showing a window opens the backend too.
    bool open(std::string& problem) override;

    ModalResult runModal(Form& form) override;
    std::optional<gdi::Color> chooseColor(gdi::Color initial) override;
    std::optional<gdi::Font> chooseFont(const gdi::Font& initial) override;
    std::optional<std::string> chooseFile(bool save, const std::string& filter, const std::string& initial) override;
    void messageBox(const std::string& text, const std::string& caption) override;
    void errorBox(const std::string& message) override;
    void openAddress(const std::string& address) override;
    Window* hostedWindow(std::int64_t native) override;
    std::int64_t nativeArea(Window& child) override;

    // The HWND showing `window` (a top-level or hosted window); 0 when none.
    std::int64_t nativeHandle(const Window& window) const;
    // The hosted window filling `native`, if there is one (none is made).
    Window* findHosted(std::int64_t native) const;
    // The native area handed out for `child` (0: none).
    std::int64_t areaOf(const Window& child) const;

    // Feeds a pointer event at (x, y) of `window`'s client area to the
    // window of the desktop showing it, as a posted mouse message, and
    // handles every waiting message; false when no desktop window shows it.
    // Alt cannot travel in a mouse message's flags.
    bool postPointer(Window& window, PointerKind kind, MouseButton button, ShiftState shift, int x, int y);
    // Handles every message waiting for this thread and paints what changed.
    void processPending();
    void runUntilClosed(Window& window) override;
    void quit() override;
    bool quitting() const { return quitting_; }
    // Paints every damaged window now and blits the damaged parts; lets go
    // of hosted windows that hold nothing shown any more.
    void composeAll();
    // Bytes moved to the screen so far (four per pixel blitted).
    std::uint64_t bytesUploaded() const { return uploaded_; }
    // Destroys every desktop window this backend made and its classes (the
    // DLL is leaving the process).
    void detach();

    struct Native;

private:
    Win32Backend() = default;
    Native* native(const Window& window) const;
    Native* ensureNative(Window& window);
    void place(Window& window, Native& n);
    void present(Window& window) override;
    bool shownOnScreen(const Window& window) const override;
    void hideOnScreen(Window& window) override;
    void placeOnScreen(Window& window) override;
    void forgetOnScreen(Window& window) override;
    void scheduleCompose() override;
    void upload(Window& window, Native& n);
    void updateCursor(Native& n, int x, int y);
    void nativeGone(Native& n);
    // Releases a hosted window (once no event handler runs).
    void letGo(Window& hosted);

    bool open_ = false;
    void* instance_ = nullptr;      // HINSTANCE of the module holding the window procedure
    void* messageWindow_ = nullptr; // HWND receiving the compose requests
    std::map<const Window*, std::unique_ptr<Native>> natives_;
    std::vector<std::unique_ptr<Window>> hosted_;
    // Native areas handed out for child windows, with their windows' lives.
    struct Area {
        void* hwnd;
        std::weak_ptr<void> alive;
    };
    std::map<const Window*, Area> areas_;
    bool composeScheduled_ = false;
    bool quitting_ = false;
    std::uint64_t uploaded_ = 0;

    friend struct Win32Events;
};

} // namespace forms
