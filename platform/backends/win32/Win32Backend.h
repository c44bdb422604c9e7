#pragma once

#include "platform/backends/DesktopBackend.h"
#include "platform/forms/Input.h"

#include <cstdint>
#include <map>
#include <memory>

namespace forms {

class Window;

// The backend of the Windows DLL. Each native window is a window of the
// desktop showing the window's composed picture, kept in a DIB section and
// blitted where it changed. Windows that draw their own caption (forms) are
// pop-ups that keep our frame and close box; the others (the host's page)
// get the desktop's frame. A window a host hands over by its HWND (a
// rectangle of its page) gets a child window of ours filling it: the hosted
// window.
//
// Window procedures catch every failure: nothing unwinds through the
// system's frames.
class Win32Backend final : public DesktopBackend {
public:
    static Win32Backend& instance();

    std::optional<gdi::Color> chooseColor(gdi::Color initial) override;
    std::optional<gdi::Font> chooseFont(const gdi::Font& initial) override;
    std::optional<std::string> chooseFile(bool save, const std::string& filter, const std::string& initial) override;
    void messageBox(const std::string& text, const std::string& caption) override;
    void errorBox(const std::string& message) override;
    void openAddress(const std::string& address) override;
    Window* hostedWindow(std::int64_t native) override;
    std::int64_t nativeArea(Window& child) override;
    Window* hostedIn(const Window& child) const override;
    bool sharesWindowHandles() const override;
    std::string clipboardText() const override;
    void setClipboardText(const std::string& text) override;
    // Input travels as the system's own mouse messages, posted to the
    // window showing `window` and handled before this returns. Alt cannot
    // travel in a mouse message's flags.
    bool deliverPointer(Window& window, PointerKind kind, MouseButton button, ShiftState shift, int x,
                        int y) override;

    // The native area handed out for `child` (0: none).
    std::int64_t areaOf(const Window& child) const;
    // Destroys every desktop window this backend made and its classes (the
    // DLL is leaving the process).
    void detach();

private:
    Win32Backend() = default;
    bool openPlatform(std::string& problem) override;
    std::unique_ptr<NativeWindow> makeNative(Window& window, NativeWindow* owner) override;
    void wake() override;
    bool waitForEvents() override;
    bool handleWaiting() override;
    void catchInterrupts(bool on) override;
    void endDialogs() override;
    void scheduleTimer(int id, int milliseconds) override;
    void cancelTimer(int id) override;
    void beforeFrame() override;

    void* instance_ = nullptr;      // HINSTANCE of the module holding the window procedure
    void* messageWindow_ = nullptr; // HWND receiving frame requests, timers and interrupts
    // Native areas handed out for child windows, with their windows' lives.
    struct Area {
        void* hwnd;
        std::weak_ptr<void> alive;
    };
    std::map<const Window*, Area> areas_;
    bool wakePosted_ = false;

    friend struct Win32Events;
};

} // namespace forms
