// zenvas-host: plays the host application for a plug-in and runs a script
// against it through the plug-in's C interface.

#include "host/CommandLine.h"
#include "host/Interpreter.h"
#include "host/PluginLibrary.h"
#include "host/Script.h"
#include "host/WindowHost.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    using host::CommandLine;
    CommandLine command = host::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.mode) {
    case CommandLine::Mode::Help:
        std::cout << host::kUsage;
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

    std::string pluginPath = command.plugin.empty() ? host::defaultPluginPath() : command.plugin;
    host::PluginLibrary library;
    std::string problem;
    if (!library.open(pluginPath, problem)) {
        std::cerr << "zenvas-host: cannot load the plug-in: " << problem << '\n';
        return 3;
    }
    if (command.trace)
        std::cout << "trace: plug-in file " << pluginPath << '\n';

    host::Interpreter interpreter(library.entryPoints(), std::cout, std::cerr, {command.trace});
    host::WindowHost windows(interpreter);
    interpreter.start();
    if (command.mode == CommandLine::Mode::Actions) {
        interpreter.printActions(std::cout);
        return 0;
    }

    std::ifstream file(command.script, std::ios::binary);
    if (!file) {
        std::cerr << "zenvas-host: cannot read " << command.script << '\n';
        return 2;
    }
    std::ostringstream text;
    text << file.rdbuf();

    std::vector<host::ScriptError> errors;
    host::Script script = host::parseScript(text.str(), command.script, errors);
    if (!errors.empty())
        return interpreter.reportErrors(script, errors);
    int status = interpreter.run(script);
    std::cout.flush();
    return status;
}
