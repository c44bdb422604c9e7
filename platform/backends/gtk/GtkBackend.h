#pragma once

#include "platform/backends/DesktopBackend.h"

#include <cstdint>
#include <map>

namespace forms {

// Real windows on a Linux desktop, through GTK 3: each native window is a
// GtkWindow whose drawing area shows a cairo copy of the window's composed
// picture. Windows that draw their own caption (forms) are undecorated and
// keep our frame and close box, so they look as they do without a screen;
// the others (the host's page) get the desktop's frame. The choosers and
// message boxes are GTK's.
class GtkBackend final : public DesktopBackend {
public:
    static GtkBackend& instance();

    std::optional<gdi::Color> chooseColor(gdi::Color initial) override;
    std::optional<gdi::Font> chooseFont(const gdi::Font& initial) override;
    std::optional<std::string> chooseFile(bool save, const std::string& filter, const std::string& initial) override;
    void messageBox(const std::string& text, const std::string& caption) override;
    void errorBox(const std::string& message) override;
    void openAddress(const std::string& address) override;
    std::string clipboardText() const override;
    void setClipboardText(const std::string& text) override;

private:
    GtkBackend() = default;
    bool openPlatform(std::string& problem) override;
    std::unique_ptr<NativeWindow> makeNative(Window& window, NativeWindow* owner) override;
    void wake() override;
    bool waitForEvents() override;
    bool handleWaiting() override;
    void catchInterrupts(bool on) override;
    void endDialogs() override;
    void scheduleTimer(int id, int milliseconds) override;
    void cancelTimer(int id) override;
    // Runs a GTK dialog (a GtkWidget*) and answers its response.
    int runDialog(void* dialog);

    bool wakeQueued_ = false;
    void* activeDialog_ = nullptr; // a GTK chooser or message dialog running now
    std::map<int, unsigned> timers_; // our timer id to GLib's source id
    unsigned interrupt_ = 0, terminate_ = 0;

    friend struct GtkEvents;
};

} // namespace forms
