#pragma once

#include "platform/backends/DesktopBackend.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace forms {

class Window;

// The backend with real windows on a Linux desktop, through GTK 3. Every
// visible top-level window of the window system is a GTK window showing
// the window's composed picture; child windows stay controls inside it.
// Input goes through the window system's routing. Windows that draw their
// own caption (forms) are undecorated and keep our frame and close box, so
// they look as they do without a screen; the others (the host's page) get
// the desktop's frame.
//
// Answers queued on the headless backend are still used first: a dialog
// asks the person only when none is waiting.
class GtkBackend final : public DesktopBackend {
public:
    bool open(std::string& problem) override;
    static GtkBackend& instance();

    ModalResult runModal(Form& form) override;
    std::optional<gdi::Color> chooseColor(gdi::Color initial) override;
    std::optional<gdi::Font> chooseFont(const gdi::Font& initial) override;
    std::optional<std::string> chooseFile(bool save, const std::string& filter, const std::string& initial) override;
    void messageBox(const std::string& text, const std::string& caption) override;
    void errorBox(const std::string& message) override;
    void openAddress(const std::string& address) override;

    void runUntilClosed(Window& window) override;
    void quit() override;
    bool quitting() const { return quitting_; }

    // Paints every damaged window now and uploads the damaged parts.
    void composeAll();
    // Bytes moved to the screen so far (four per pixel uploaded).
    std::uint64_t bytesUploaded() const { return uploaded_; }

    struct Native;

private:
    GtkBackend() = default;
    Native* native(const Window& window) const;
    Native& ensureNative(Window& window);
    void place(Window& window, Native& n);
    void present(Window& window) override;
    bool shownOnScreen(const Window& window) const override;
    void hideOnScreen(Window& window) override;
    void placeOnScreen(Window& window) override;
    void forgetOnScreen(Window& window) override;
    void scheduleCompose() override;
    void uploadWindow(Window& window, Native& n);
    void updatePointerShape(Window& window, Native& n, int x, int y);
    void endModalLoops();
    // Runs a GTK dialog (a GtkWidget*) and answers its response.
    int runDialog(void* dialog);

    std::map<const Window*, std::unique_ptr<Native>> natives_;
    bool composeScheduled_ = false;
    bool quitting_ = false;
    void* activeDialog_ = nullptr; // a GTK chooser or message dialog running now
    std::uint64_t uploaded_ = 0;

    friend struct GtkEvents;
};

} // namespace forms
