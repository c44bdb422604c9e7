#include "host/Script.h"

#include "platform/system/Text1251.h"

#include <algorithm>
#include <optional>

namespace host {

std::string foldName(std::string_view name)
{
    return sys::LowerCase1251(name);
}

std::size_t Script::findLabel(std::string_view name) const
{
    auto found = labels.find(foldName(name));
    return found == labels.end() ? std::string::npos : found->second;
}

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Splits one statement line into words. Returns the error text, if any.
std::optional<std::string> tokenize(std::string_view line, std::vector<Argument>& words)
{
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i >= line.size())
            return std::nullopt;
        Argument word;
        if (line[i] == '"') {
            word.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        word.text += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                word.text += line[i++];
            }
            if (!closed)
                return "unterminated quoted text";
            if (i < line.size() && !isBlank(line[i]))
                return "a quoted text must be followed by a blank";
        } else {
            std::size_t start = i;
            while (i < line.size() && !isBlank(line[i])) {
                if (line[i] == '"')
                    return "double quote inside the bare word \"" + std::string(line.substr(start, i - start)) + "\"";
                ++i;
            }
            word.text = line.substr(start, i - start);
        }
        words.push_back(std::move(word));
    }
}

StatementKind kindOf(const std::string& key)
{
    if (key == "if")
        return StatementKind::If;
    if (key == "else")
        return StatementKind::Else;
    if (key == "endif")
        return StatementKind::EndIf;
    if (key == "while")
        return StatementKind::While;
    if (key == "endwhile")
        return StatementKind::EndWhile;
    if (key == "return")
        return StatementKind::Return;
    return StatementKind::Command;
}

std::string trimmed(std::string_view text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

// An If or a While whose end has not been seen yet.
struct OpenBlock {
    std::size_t ifIndex; // the If or the While
    std::size_t waiting; // the If, or its Else once seen: the statement whose jump the next step sets
    bool seenElse = false;
    bool loop = false;
};

} // namespace

Script parseScript(std::string_view text, const std::string& file, std::vector<ScriptError>& errors)
{
    Script script;
    script.file = file;
    bool inMain = true;
    std::vector<OpenBlock> open;

    auto closeBlock = [&]() {
        // A subroutine (or the main program) ends at the next label: a
        // block cannot span it.
        for (const OpenBlock& pending : open)
            errors.push_back({script.statements[pending.ifIndex].line,
                              pending.loop ? "While without EndWhile" : "If without EndIf"});
        open.clear();
    };

    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);

        std::string line = trimmed(raw);
        if (line.empty() || line[0] == '#')
            continue;

        Statement statement;
        statement.line = lineNumber;
        if (line[0] == ':') {
            closeBlock();
            std::string name = trimmed(std::string_view(line).substr(1));
            if (name.empty()) {
                errors.push_back({lineNumber, "label with no name"});
                continue;
            }
            statement.kind = StatementKind::Label;
            statement.word = name;
            std::size_t index = script.statements.size();
            auto [found, added] = script.labels.emplace(foldName(name), index);
            if (!added)
                errors.push_back({lineNumber, "duplicate label \"" + name + "\" (first at line "
                                                  + std::to_string(script.statements[found->second].line) + ")"});
            if (inMain) {
                script.mainEnd = index;
                inMain = false;
            }
            script.statements.push_back(std::move(statement));
            continue;
        }

        std::vector<Argument> words;
        if (auto problem = tokenize(line, words)) {
            errors.push_back({lineNumber, *problem});
            continue;
        }
        if (words.front().quoted) {
            errors.push_back({lineNumber, "a statement must start with a command word, not a quoted text"});
            continue;
        }
        statement.word = words.front().text;
        statement.key = sys::LowerCaseAscii(statement.word);
        statement.args.assign(std::make_move_iterator(words.begin() + 1), std::make_move_iterator(words.end()));
        statement.kind = kindOf(statement.key);

        std::size_t index = script.statements.size();
        switch (statement.kind) {
        case StatementKind::If:
            if (statement.args.size() != 3)
                errors.push_back({lineNumber, "If takes 3 arguments (\"a\" OP \"b\"), got "
                                                  + std::to_string(statement.args.size())});
            open.push_back({index, index});
            break;
        case StatementKind::While:
            if (statement.args.size() != 3)
                errors.push_back({lineNumber, "While takes 3 arguments (\"a\" OP \"b\"), got "
                                                  + std::to_string(statement.args.size())});
            open.push_back({index, index, false, true});
            break;
        case StatementKind::EndWhile:
            if (!statement.args.empty())
                errors.push_back({lineNumber, "EndWhile takes no arguments"});
            if (open.empty() || !open.back().loop) {
                errors.push_back({lineNumber, open.empty() ? "EndWhile without While"
                                                           : "EndWhile inside the If of line "
                                                                 + std::to_string(script.statements[open.back().ifIndex].line)});
                break;
            }
            script.statements[open.back().ifIndex].jump = index;
            statement.jump = open.back().ifIndex;
            open.pop_back();
            break;
        case StatementKind::Else:
        case StatementKind::EndIf: {
            const char* name = statement.kind == StatementKind::Else ? "Else" : "EndIf";
            if (!statement.args.empty())
                errors.push_back({lineNumber, std::string(name) + " takes no arguments"});
            if (open.empty() || open.back().loop) {
                errors.push_back({lineNumber, std::string(name) + (open.empty() ? " without If"
                                                                   : " inside the While of line "
                                                                         + std::to_string(script.statements[open.back().ifIndex].line))});
                break;
            }
            OpenBlock& current = open.back();
            if (statement.kind == StatementKind::Else) {
                if (current.seenElse) {
                    errors.push_back({lineNumber, "second Else for the If of line "
                                                      + std::to_string(script.statements[current.ifIndex].line)});
                    break;
                }
                current.seenElse = true;
                script.statements[current.waiting].jump = index;
                current.waiting = index;
            } else {
                script.statements[current.waiting].jump = index;
                open.pop_back();
            }
            break;
        }
        case StatementKind::Return:
            if (!statement.args.empty())
                errors.push_back({lineNumber, "Return takes no arguments"});
            break;
        default:
            break;
        }
        script.statements.push_back(std::move(statement));
    }
    closeBlock();
    std::stable_sort(errors.begin(), errors.end(),
                     [](const ScriptError& a, const ScriptError& b) { return a.line < b.line; });
    if (inMain)
        script.mainEnd = script.statements.size();
    return script;
}

} // namespace host
