#pragma once

#include <string>
#include <vector>

namespace host {

struct CommandLine {
    enum class Mode { Run, Actions, Help, Version, Invalid };
    Mode mode = Mode::Invalid;
    std::string plugin; // empty: the default plug-in
    bool trace = false;
    std::string script;
    std::string error; // for Mode::Invalid
};

CommandLine parseCommandLine(const std::vector<std::string>& args);

extern const char* const kUsage;

// The line that says why `script` cannot be run, given why it could not be
// read. A bare word that names no file was most likely meant as a command.
std::string scriptProblem(const std::string& script, const std::string& problem);

} // namespace host
