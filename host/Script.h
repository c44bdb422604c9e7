#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

// A script as the host reads it: statements, labels and the block structure
// of If / Else / EndIf and While / EndWhile, all found when the file is
// loaded.
namespace host {

struct Argument {
    std::string text; // as written, quotes removed and "" turned into "
    bool quoted = false;
};

enum class StatementKind { Command, Label, If, Else, EndIf, While, EndWhile, Return };

struct Statement {
    int line = 0;
    StatementKind kind = StatementKind::Command;
    std::string word; // the command word as written, or the label's name
    std::string key;  // the command word in lower case
    std::vector<Argument> args;
    // If: index of its Else, or of its EndIf when it has none.
    // Else: index of its EndIf.
    // While: index of its EndWhile. EndWhile: index of its While.
    std::size_t jump = 0;
};

struct ScriptError {
    int line = 0;
    std::string message;
    int column = 0; // 0: the whole line
};

struct Script {
    std::string file; // as named on the command line; prefixes every report
    std::vector<Statement> statements;
    // Subroutine name (folded case) -> index of its label statement.
    std::map<std::string, std::size_t> labels;
    // The main program is statements [0, mainEnd).
    std::size_t mainEnd = 0;

    // Index of the label that starts subroutine `name`, or npos.
    std::size_t findLabel(std::string_view name) const;
};

// Splits `text` into statements and checks its structure: quoting, labels
// (empty, duplicate), the nesting of If / Else / EndIf and While / EndWhile
// and the argument counts of the block commands. Errors are appended in line order; a script with
// errors must not be run.
Script parseScript(std::string_view text, const std::string& file, std::vector<ScriptError>& errors);

// Folded form of a variable or subroutine name: names are compared without
// regard to case (code page 1251 letters included).
std::string foldName(std::string_view name);

} // namespace host
