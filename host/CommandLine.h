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

} // namespace host
