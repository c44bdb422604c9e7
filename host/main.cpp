// zenvas-host: plays the host application for a plug-in and runs a script
// against it through the plug-in's C interface.

#include "host/BlackBox.h"
#include "host/CommandLine.h"
#include "host/Interpreter.h"
#include "host/PluginLibrary.h"
#include "host/Script.h"
#include "host/ScriptFile.h"
#include "host/WindowHost.h"

#include "platform/backends/Desktop.h"
#include "platform/system/Text1251.h"

#include <filesystem>
#include <iostream>

namespace {

// Installs the desktop's backend; false (after saying why) when there are
// no real windows to be had.
bool OpenWindows()
{
    std::string problem;
    forms::Backend* desktop = forms::OpenDesktopBackend(problem);
    if (!desktop) {
        std::cerr << "zenvas-host: --window: " << problem << '\n';
        return false;
    }
    forms::SetBackend(desktop);
    return true;
}

// Keeps the page open and live until the person closes it (or the host is
// interrupted); closing another window that is not a form hides it.
void RunPage(forms::Window& page)
{
    forms::Backend& screen = forms::CurrentBackend();
    screen.runUntilClosed(page, [&screen, &page](forms::Window& window) {
        if (&window == &page)
            screen.quit();
        else
            window.hide();
    });
    page.hide();
}

} // namespace

int main(int argc, char** argv)
{
    using host::CommandLine;
    CommandLine command = host::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.mode) {
    case CommandLine::Mode::Help:
        std::cout << host::usage(host::documentationFolder());
        return 0;
    case CommandLine::Mode::Version:
        std::cout << "zenvas-host " ZENVAS_VERSION "\n";
        return 0;
    case CommandLine::Mode::Invalid:
        std::cerr << "zenvas-host: " << command.error << " (zenvas-host --help tells more)\n";
        return 2;
    default:
        break;
    }

    if (command.window && !OpenWindows())
        return 2;

    std::string pluginPath = command.plugin.empty() ? host::defaultPluginPath() : command.plugin;
    host::PluginLibrary library;
    std::string problem;
    if (!library.open(pluginPath, problem)) {
        std::cerr << "zenvas-host: cannot load the plug-in: " << problem << '\n';
        return 3;
    }

    host::Interpreter interpreter(library.entryPoints(), std::cout, std::cerr, {command.trace, command.script, command.maxLoop});
    if (command.trace)
        interpreter.traceLine("plug-in file " + pluginPath);
    // One host of the two: the platform's windows, or the system's own.
    std::unique_ptr<host::BlackBox> blackBox;
    std::unique_ptr<host::WindowHost> hostWindows;
    if (command.blackBox) {
        blackBox = host::OpenBlackBox(interpreter, problem);
        if (!blackBox) {
            std::cerr << "zenvas-host: --black-box: " << problem << '\n';
            return 2;
        }
    } else {
        hostWindows = std::make_unique<host::WindowHost>(interpreter);
    }
    interpreter.start();
    if (command.mode == CommandLine::Mode::Actions) {
        interpreter.printActions(std::cout);
        return 0;
    }
    if (command.mode == CommandLine::Mode::Edit) {
        host::WindowHost& windows = *hostWindows;
        // No page: only the editor's own window.
        windows.page().hide();
        // Slot texts arrive in UTF-8; the plug-in reads code page 1251.
        std::vector<std::string> slots;
        for (const std::string& text : command.slots) {
            if (!sys::IsUtf8(text)) {
                slots.push_back(text);
            } else if (auto converted = sys::Text1251FromUtf8(text)) {
                slots.push_back(*converted);
            } else {
                std::cerr << "zenvas-host: --edit: the slot " << text << " has a character code page 1251 lacks\n";
                return 2;
            }
        }
        bool confirmed = false;
        try {
            confirmed = windows.editAction(command.action, slots, 0);
        } catch (const host::ScriptError& error) {
            std::cerr << "zenvas-host: --edit: " << error.message << '\n';
            return 2;
        }
        if (confirmed)
            for (const std::string& slot : slots)
                std::cout << sys::Utf8From1251(slot) << '\n';
        return confirmed ? 0 : 1;
    }

    std::string bytes;
    if (!host::readScriptFile(command.script, bytes, problem)) {
        std::cerr << "zenvas-host: " << host::scriptProblem(command.script, problem) << '\n';
        return 2;
    }
    std::vector<host::ScriptError> errors;
    std::string text = host::scriptText1251(bytes, errors);
    host::Script script = host::parseScript(text, command.script, errors);
    const std::string caption = std::filesystem::path(command.script).filename().string();
    if (blackBox)
        blackBox->setCaption(caption);
    if (command.window) {
        host::WindowHost& windows = *hostWindows;
        windows.page().setCaption(caption);
        interpreter.setAfterMain([&windows] { RunPage(windows.page()); });
    }
    int status = interpreter.run(script, std::move(errors));
    std::cout.flush();
    return status;
}
