#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct CommandLine {
    enum class Mode { Run, Edit, Actions, Help, Version, Invalid };
    Mode mode = Mode::Invalid;
    std::string plugin; // empty: the default plug-in
    bool trace = false;
    bool window = false;             // real windows instead of the headless backend
    bool blackBox = false;           // system windows only, as the real host runs the shipped DLL
    std::uint64_t maxLoop = 1000000; // rounds one While may make
    std::string script;
    std::string action;              // Mode::Edit: the action whose editor opens
    std::vector<std::string> slots;  // Mode::Edit: its slot texts
    std::string error; // for Mode::Invalid
};

CommandLine parseCommandLine(const std::vector<std::string>& args);

// The --help text; `documents` is the folder of host-script.md.
std::string usage(const std::string& documents);

// The line that says why `script` cannot be run, given why it could not be
// read. A bare word that names no file was most likely meant as a command.
std::string scriptProblem(const std::string& script, const std::string& problem);

} // namespace host
