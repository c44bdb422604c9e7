#pragma once

#include "host/Script.h"

#include <string>
#include <string_view>
#include <vector>

// Reading a script file and turning it into the plug-in's code page.
namespace host {

// Reads the whole file at `path`. On failure `problem` says why, in words
// for a person ("is a directory", "no such file", "permission denied").
bool readScriptFile(const std::string& path, std::string& bytes, std::string& problem);

// The script's text in code page 1251. Well-formed UTF-8 (a byte-order mark
// is skipped) is converted; anything else is taken as 1251 already. A
// character 1251 lacks outside a comment line is an error at its line and
// column (in characters, from 1) and becomes '?'.
std::string scriptText1251(std::string_view bytes, std::vector<ScriptError>& errors);

} // namespace host
