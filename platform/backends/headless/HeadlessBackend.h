#pragma once

#include "platform/forms/Backend.h"

namespace forms {

// The backend without a screen: windows live in memory only, nothing waits
// for a person, and a question nobody answered is cancelled. Composition
// still works (snapshots paint the same pictures a screen would show).
class HeadlessBackend final : public Backend {
public:
    static HeadlessBackend& instance();

    ModalResult runModal(Form&) override { return ModalResult::Cancel; }
    std::optional<gdi::Color> chooseColor(gdi::Color) override { return std::nullopt; }
    std::optional<gdi::Font> chooseFont(const gdi::Font&) override { return std::nullopt; }
    std::optional<std::string> chooseFile(bool, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    void messageBox(const std::string&, const std::string&) override {}
    void errorBox(const std::string&) override {}
    void openAddress(const std::string&) override {}

private:
    HeadlessBackend() = default;
};

} // namespace forms
