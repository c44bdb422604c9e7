// zenvas-host: plays the host application for a plug-in and runs a script
// against it through the plug-in's C interface.

#include "host/CommandLine.h"
#include "host/Interpreter.h"
#include "host/PluginLibrary.h"
#include "host/Script.h"
#include "host/ScriptFile.h"
#include "host/WindowHost.h"

#include <iostream>

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

    host::Interpreter interpreter(library.entryPoints(), std::cout, std::cerr, {command.trace, command.script});
    if (command.trace)
        interpreter.traceLine("plug-in file " + pluginPath);
    host::WindowHost windows(interpreter);
    interpreter.start();
    if (command.mode == CommandLine::Mode::Actions) {
        interpreter.printActions(std::cout);
        return 0;
    }

    std::string bytes;
    if (!host::readScriptFile(command.script, bytes, problem)) {
        std::cerr << "zenvas-host: " << host::scriptProblem(command.script, problem) << '\n';
        return 2;
    }
    std::vector<host::ScriptError> errors;
    std::string text = host::scriptText1251(bytes, errors);
    host::Script script = host::parseScript(text, command.script, errors);
    int status = interpreter.run(script, std::move(errors));
    std::cout.flush();
    return status;
}
