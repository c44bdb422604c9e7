#include "host/Interpreter.h"

#include "platform/system/Text1251.h"

// The script commands: each command word maps to its handler and the range
// of argument counts it takes. The block commands (If, Else, EndIf, Return)
// shape the control flow and are handled by the interpreter itself.
namespace host {

namespace {

bool isComparison(const std::string& op)
{
    return op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=";
}

bool hasVariable(const std::string& text)
{
    return text.find('[') != std::string::npos;
}

std::string countText(std::size_t minArgs, std::size_t maxArgs)
{
    if (minArgs == maxArgs)
        return std::to_string(minArgs) + (minArgs == 1 ? " argument" : " arguments");
    if (maxArgs == kAnyCount)
        return "at least " + std::to_string(minArgs) + (minArgs == 1 ? " argument" : " arguments");
    return std::to_string(minArgs) + " to " + std::to_string(maxArgs) + " arguments";
}

} // namespace

void Interpreter::defineCommand(const std::string& name, std::size_t minArgs, std::size_t maxArgs,
                                CommandHandler handler)
{
    commands_[sys::LowerCaseAscii(name)] = Command{name, minArgs, maxArgs, std::move(handler)};
}

void Interpreter::defineBuiltinCommands()
{
    auto member = [this](void (Interpreter::*handler)(const Statement&)) {
        return [this, handler](const Statement& statement) { (this->*handler)(statement); };
    };
    defineCommand("SetVar", 2, 2, member(&Interpreter::cmdSetVar));
    defineCommand("Calc", 2, 2, member(&Interpreter::cmdCalc));
    defineCommand("GoSub", 1, 1, member(&Interpreter::cmdGoSub));
    defineCommand("Print", 1, 1, member(&Interpreter::cmdPrint));
    defineCommand("Expect", 2, 2, member(&Interpreter::cmdExpect));
    defineCommand("Message", 1, 1, member(&Interpreter::cmdMessage));

    // These drive the page's windows and the plug-in's dialogs; the window
    // system defines them again with their real handlers.
    struct Pending {
        const char* name;
        std::size_t minArgs, maxArgs;
    };
    const Pending pending[] = {
        {"Rectangle", 5, 5},     {"Pointer", 4, 6},         {"Drag", 6, 7},
        {"CursorInfo", 1, 1},    {"WindowMessage", 2, 2},   {"Snapshot", 2, 2},
        {"SnapshotPicture", 2, 2}, {"SnapshotWindow", 2, 2}, {"Answer", 1, kAnyCount},
        {"Edit", 1, kAnyCount},  {"ExpectPixel", 4, 4},    {"Page", 2, 2},
        {"ButtonDown", 2, 2},    {"Choose", 2, 4},          {"Ask", 2, 3},
    };
    for (const Pending& command : pending) {
        std::string name = command.name;
        defineCommand(name, command.minArgs, command.maxArgs, [name](const Statement& statement) {
            throw ScriptError{statement.line, name + ": needs the window system, which this host does not have yet"};
        });
    }
}

std::string Interpreter::argument(const Statement& statement, std::size_t index) const
{
    return substitute(statement.args.at(index).text, variables_);
}

std::vector<ScriptError> Interpreter::check(const Script& script) const
{
    std::vector<ScriptError> errors;
    const auto& table = commands_;
    for (const Statement& statement : script.statements) {
        if (statement.kind == StatementKind::If || statement.kind == StatementKind::While) {
            if (statement.args.size() == 3 && !isComparison(statement.args[1].text))
                errors.push_back({statement.line, "unknown comparison " + quoted(statement.args[1].text)
                                                      + " (one of =, <>, <, >, <=, >=)"});
            continue;
        }
        if (statement.kind != StatementKind::Command)
            continue;
        std::size_t count = statement.args.size();
        auto command = table.find(statement.key);
        if (command != table.end()) {
            const Command& spec = command->second;
            if (count < spec.minArgs || count > spec.maxArgs) {
                errors.push_back({statement.line, std::string(spec.name) + " takes "
                                                      + countText(spec.minArgs, spec.maxArgs) + ", got "
                                                      + std::to_string(count)});
            } else if (statement.key == "gosub" && !hasVariable(statement.args[0].text)
                       && script.findLabel(statement.args[0].text) == std::string::npos) {
                errors.push_back({statement.line, "unknown subroutine " + quoted(statement.args[0].text)});
            } else if (statement.key == "button" && !hasVariable(statement.args[6].text)
                       && script.findLabel(statement.args[6].text) == std::string::npos) {
                errors.push_back({statement.line, "Button: unknown subroutine " + quoted(statement.args[6].text)});
            }
            continue;
        }
        if (const Registration* action = findAction(statement.key)) {
            if (count != static_cast<std::size_t>(action->count))
                errors.push_back({statement.line, action->name + " takes " + std::to_string(action->count)
                                                      + " parameters, got " + std::to_string(count)});
            continue;
        }
        errors.push_back({statement.line, "unknown command " + quoted(statement.word)});
    }
    return errors;
}

void Interpreter::cmdSetVar(const Statement& statement)
{
    // The first argument names the variable: it is not substituted.
    std::string name(variableName(statement.args[0].text));
    if (name.empty())
        throw ScriptError{statement.line, "SetVar: the variable name is empty"};
    std::string value = substitute(statement.args[1].text, variables_);
    variables_.set(name, value);
    trace("set [" + name + "] = " + quoted(value));
}

void Interpreter::cmdCalc(const Statement& statement)
{
    std::string name(variableName(statement.args[0].text));
    if (name.empty())
        throw ScriptError{statement.line, "Calc: the variable name is empty"};
    const std::string expression = substitute(statement.args[1].text, variables_);
    std::string problem;
    const std::optional<std::int32_t> value = calculate(expression, problem);
    if (!value)
        throw ScriptError{statement.line, "Calc: " + quoted(expression) + ": " + problem};
    variables_.set(name, std::to_string(*value));
    trace("set [" + name + "] = " + quoted(std::to_string(*value)));
}

void Interpreter::cmdGoSub(const Statement& statement)
{
    gosub(substitute(statement.args[0].text, variables_), statement.line);
}

void Interpreter::cmdPrint(const Statement& statement)
{
    // Flushed line by line: a log follows a running window.
    out_ << sys::Utf8From1251(substitute(statement.args[0].text, variables_)) << std::endl;
}

void Interpreter::cmdExpect(const Statement& statement)
{
    expect(statement, substitute(statement.args[0].text, variables_), substitute(statement.args[1].text, variables_));
}

const Registration* Interpreter::action(const std::string& name) const
{
    return findAction(sys::LowerCaseAscii(name));
}

void Interpreter::expect(const Statement& statement, const std::string& actual, const std::string& expected)
{
    if (actual == expected)
        return;
    ++failures_;
    err_ << script_->file << ':' << statement.line << ": expected \"" << sys::Utf8From1251(expected) << "\" got \""
         << sys::Utf8From1251(actual) << '"' << std::endl;
}

void Interpreter::cmdMessage(const Statement& statement)
{
    std::string code = substitute(statement.args[0].text, variables_);
    std::int64_t value = 0;
    if (!readInteger(code, value) || value < std::numeric_limits<std::int32_t>::min()
        || value > std::numeric_limits<std::int32_t>::max())
        throw ScriptError{statement.line, "Message: " + quoted(code) + " is not a 32-bit integer"};
    trace("message " + std::to_string(value));
    plugin_.nbMessage(static_cast<std::int32_t>(value));
}

} // namespace host
