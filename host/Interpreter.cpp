#include "host/Interpreter.h"

#include "platform/system/Diagnostics.h"
#include "platform/system/GlobalMemory.h"
#include "platform/system/Text1251.h"

#include <algorithm>
#include <charconv>
#include <exception>

namespace host {

namespace {

Interpreter* currentInterpreter = nullptr;

// The callbacks handed to the plug-in. Nothing may leave them by exception:
// the plug-in is C on the other side.
void ZENVAS_CALL hostAddAction(std::int32_t number, const char* name, const char* hint, const std::uint8_t* types,
                               std::int32_t highIndex, std::int32_t count)
{
    if (Interpreter* host = Interpreter::current()) {
        try {
            host->onAddAction(number, name, hint, types, highIndex, count);
        } catch (...) {
        }
    }
}

void ZENVAS_CALL hostSetVariable(const char* name, const char* value)
{
    if (Interpreter* host = Interpreter::current()) {
        try {
            host->onSetVariable(name, value);
        } catch (...) {
        }
    }
}

void ZENVAS_CALL hostScriptProcessor(const char* script)
{
    if (Interpreter* host = Interpreter::current()) {
        try {
            host->onScriptProcessor(script);
        } catch (...) {
        }
    }
}

ZenvasBool ZENVAS_CALL hostInterfaceAccess(std::int32_t code, char** slot)
{
    if (Interpreter* host = Interpreter::current()) {
        try {
            return host->onInterfaceAccess(code, slot) ? ZENVAS_TRUE : ZENVAS_FALSE;
        } catch (...) {
        }
    }
    return ZENVAS_FALSE;
}

std::string text(const char* host)
{
    return host ? std::string(host) : std::string();
}

// Puts a fresh copy of `value` into a host text slot, releasing the block it
// held; the slot keeps its block if the copy cannot be made.
void replaceSlot(char** slot, const std::string& value)
{
    char* fresh = sys::GlobalAllocText(value);
    sys::GlobalFree(*slot);
    *slot = fresh;
}

// Parameter blocks of one action call, released however the call ends.
class ParameterBlocks {
public:
    explicit ParameterBlocks(std::size_t count) : blocks_(count + 1, nullptr) {}
    ~ParameterBlocks()
    {
        for (char* block : blocks_)
            sys::GlobalFree(block);
    }
    ParameterBlocks(const ParameterBlocks&) = delete;
    ParameterBlocks& operator=(const ParameterBlocks&) = delete;

    void set(std::size_t index, const std::string& value) { blocks_[index] = sys::GlobalAllocText(value); }
    char** data() { return blocks_.data(); }

private:
    std::vector<char*> blocks_; // one spare null entry, so an empty list is still an array
};

class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

class LineGuard {
public:
    LineGuard(std::vector<int>& lines, int line) : lines_(lines) { lines_.push_back(line); }
    ~LineGuard() { lines_.pop_back(); }
    LineGuard(const LineGuard&) = delete;
    LineGuard& operator=(const LineGuard&) = delete;

private:
    std::vector<int>& lines_;
};

} // namespace

std::string quoted(std::string_view value)
{
    std::string result = "\"";
    for (char c : value) {
        result += c;
        if (c == '"')
            result += '"';
    }
    return result + "\"";
}

bool readInteger(std::string_view value, std::int64_t& result)
{
    if (!value.empty() && value.front() == '+')
        value.remove_prefix(1);
    if (value.empty() || value.front() == '+')
        return false;
    const char* end = value.data() + value.size();
    auto [stop, problem] = std::from_chars(value.data(), end, result);
    return problem == std::errc() && stop == end;
}

namespace {

// FILE, FILE:LINE or FILE:LINE:COLUMN, as far as they are known.
std::string where(const std::string& file, int line, int column = 0)
{
    std::string text = file;
    if (line > 0)
        text += ':' + std::to_string(line);
    if (column > 0)
        text += ':' + std::to_string(column);
    return text;
}

} // namespace

Interpreter::Interpreter(const PluginEntryPoints& plugin, std::ostream& out, std::ostream& err, HostOptions options)
    : plugin_(plugin), out_(out), err_(err), options_(options), previous_(currentInterpreter)
{
    currentInterpreter = this;
    variables_.set("ErrorBoxes", "0");
    defineBuiltinCommands();
}

Interpreter::~Interpreter()
{
    if (currentInterpreter == this)
        currentInterpreter = previous_;
}

Interpreter* Interpreter::current()
{
    return currentInterpreter;
}

void Interpreter::start()
{
    plugin_.nbRegisterPlugIn(&hostAddAction, 0, 0, &hostSetVariable);

    char* title = nullptr;
    char* author = nullptr;
    char* description = nullptr;
    plugin_.nbInitPlugIn(0, &title, &author, &description);
    title_ = text(title);
    author_ = text(author);
    description_ = text(description);
    sys::GlobalFree(title);
    sys::GlobalFree(author);
    sys::GlobalFree(description);

    plugin_.nbRegisterScriptProcessor(&hostScriptProcessor);
    plugin_.nbRegisterInterfaceAccess(&hostInterfaceAccess);
    trace("plug-in " + quoted(title_) + " by " + quoted(author_) + ", " + std::to_string(registrations_.size())
          + " entries");
}

void Interpreter::onAddAction(std::int32_t number, const char* name, const char* hint, const std::uint8_t* types,
                              std::int32_t highIndex, std::int32_t count)
{
    Registration entry;
    entry.number = number;
    entry.name = text(name);
    entry.hint = text(hint);
    entry.highIndex = highIndex;
    entry.count = count;
    // The list holds high index + 1 codes; a bound keeps a wild index from
    // reading far beyond it.
    if (types && highIndex >= 0 && highIndex < 1024)
        entry.types.assign(types, types + highIndex + 1);
    registrations_.push_back(std::move(entry));
    if (number != 0)
        actions_[sys::LowerCaseAscii(registrations_.back().name)] = registrations_.size() - 1;
}

void Interpreter::printActions(std::ostream& out) const
{
    for (const Registration& entry : registrations_) {
        out << entry.number << '\t' << sys::Utf8From1251(entry.name) << '\t' << sys::Utf8From1251(entry.hint)
            << '\t';
        for (std::size_t i = 0; i < entry.types.size(); ++i)
            out << (i ? " " : "") << static_cast<int>(entry.types[i]);
        // Number 0 is a group heading of the action list, not an action.
        out << (entry.number == 0 ? "\theading\n" : "\n");
    }
}

void Interpreter::setRectangles(const RectangleRegistry* rectangles)
{
    rectangles_ = rectangles ? rectangles : &noRectangles_;
}

void Interpreter::reportErrorBox(const std::string& message)
{
    err_ << "error box: " << sys::Utf8From1251(message) << std::endl;
    variables_.set("ErrorBoxes", std::to_string(++errorBoxes_));
}

void Interpreter::printLine(const std::string& line)
{
    out_ << sys::Utf8From1251(line) << std::endl;
}

void Interpreter::discardReasons()
{
    sys::TakeReasons();
}

void Interpreter::takeReasons()
{
    std::vector<std::string> reasons = sys::TakeReasons();
    for (const std::string& reason : reasons)
        trace("  reason: " + reason);
    variables_.set("LastReason", reasons.empty() ? std::string() : reasons.back());
}

void Interpreter::onSetVariable(const char* name, const char* value)
{
    std::string_view written = name ? name : "";
    std::string_view variable = variableName(written);
    variables_.set(variable, value ? value : "");
    trace("plug-in sets [" + std::string(variable) + "] = " + quoted(value ? value : ""));
}

void Interpreter::onScriptProcessor(const char* scriptText)
{
    if (!script_ || halted_)
        return; // outside a run, or the run is already stopping
    std::string request = text(scriptText);
    runReporting([&] {
        // The only script the plug-in sends: GoSub "Name". The name is all
        // between the first and the last double quote.
        constexpr std::string_view keyword = "gosub ";
        std::size_t first = request.find('"');
        std::size_t last = request.rfind('"');
        if (first != keyword.size() || last == first
            || sys::LowerCaseAscii(request.substr(0, keyword.size())) != keyword || last != request.size() - 1)
            throw ScriptError{currentLine(), "the plug-in asked to run " + quoted(request)
                                                 + ", which is not of the form GoSub \"Name\""};
        gosub(request.substr(first + 1, last - first - 1), currentLine());
    });
}

void Interpreter::runSubroutine(const std::string& name)
{
    if (!script_ || halted_)
        return;
    runReporting([&] { gosub(name, currentLine()); });
}

bool Interpreter::onInterfaceAccess(std::int32_t code, char** slot)
{
    if (!slot)
        return false;
    std::string query = text(*slot);
    switch (code) {
    case 7: {
        std::int64_t handle = rectangles_->handleOf(query);
        replaceSlot(slot, std::to_string(handle));
        trace("rectangle " + quoted(query) + " -> " + std::to_string(handle));
        return handle != 0;
    }
    case 5:
    case 8:
    case 14: {
        std::optional<Answer> answer = answers_.take();
        if (answer && answer->kind == Answer::Kind::Pick) {
            replaceSlot(slot, answer->text);
            trace("query " + std::to_string(code) + " " + quoted(query) + " answered " + quoted(answer->text));
            return true;
        }
        trace("query " + std::to_string(code) + " " + quoted(query) + (answer ? " cancelled" : " unanswered"));
        return false;
    }
    default:
        return false;
    }
}

int Interpreter::reportErrors(const Script& script, const std::vector<ScriptError>& errors)
{
    for (const ScriptError& error : errors)
        err_ << where(script.file, error.line, error.column) << ": " << sys::Utf8From1251(error.message) << std::endl;
    return 2;
}

int Interpreter::run(const Script& script, std::vector<ScriptError> loadErrors)
{
    std::vector<ScriptError> errors = std::move(loadErrors);
    std::vector<ScriptError> checked = check(script);
    errors.insert(errors.end(), checked.begin(), checked.end());
    if (!errors.empty()) {
        std::stable_sort(errors.begin(), errors.end(),
                         [](const ScriptError& a, const ScriptError& b) { return a.line < b.line; });
        return reportErrors(script, errors);
    }

    script_ = &script;
    halted_ = false;
    failures_ = 0;
    runReporting([this] { runBlock(0); });
    if (afterMain_ && !halted_)
        runReporting(afterMain_);
    closeProject();
    script_ = nullptr;
    if (halted_)
        return 2;
    return failures_ ? 1 : 0;
}

void Interpreter::runReporting(const std::function<void()>& work)
{
    try {
        work();
    } catch (const ScriptError& error) {
        report(error);
    } catch (const Halt&) {
        halted_ = true;
    } catch (const std::exception& error) {
        failHost(error.what());
    }
}

void Interpreter::closeProject()
{
    trace("message 2 (the project closes)");
    plugin_.nbMessage(2);
}

void Interpreter::report(const ScriptError& error)
{
    err_ << where(script_ ? script_->file : options_.file, error.line, error.column) << ": "
         << sys::Utf8From1251(error.message) << std::endl;
    halted_ = true;
}

void Interpreter::failHost(const char* what)
{
    report({currentLine(), std::string("the host failed: ") + what});
}

void Interpreter::trace(const std::string& line)
{
    if (!options_.trace)
        return;
    const std::string& file = script_ ? script_->file : options_.file;
    out_ << "trace: ";
    if (!file.empty())
        out_ << where(file, currentLine()) << ": ";
    out_ << sys::Utf8From1251(line) << std::endl;
}

void Interpreter::runBlock(std::size_t pc)
{
    const std::vector<Statement>& statements = script_->statements;
    // Rounds each running While of this block has made (by its index).
    std::map<std::size_t, std::uint64_t> rounds;
    while (pc < statements.size()) {
        const Statement& statement = statements[pc];
        switch (statement.kind) {
        case StatementKind::Label:
        case StatementKind::Return:
            return;
        case StatementKind::If:
            pc = evaluate(statement) ? pc + 1 : statement.jump + 1;
            break;
        case StatementKind::Else: // reached from the true branch
            pc = statement.jump + 1;
            break;
        case StatementKind::EndIf:
            ++pc;
            break;
        case StatementKind::While: {
            if (!evaluate(statement)) {
                rounds.erase(pc);
                pc = statement.jump + 1;
                break;
            }
            if (++rounds[pc] > options_.maxLoop)
                throw ScriptError{statement.line, "While: more than " + std::to_string(options_.maxLoop)
                                                      + " rounds (zenvas-host --max-loop N allows more)"};
            ++pc;
            break;
        }
        case StatementKind::EndWhile:
            pc = statement.jump;
            break;
        case StatementKind::Command:
            execute(statement);
            ++pc;
            break;
        }
    }
}

void Interpreter::gosub(const std::string& name, int line)
{
    std::size_t label = script_->findLabel(name);
    if (label == std::string::npos)
        throw ScriptError{line, "unknown subroutine " + quoted(name)};
    if (depth_ >= kMaxSubroutineDepth)
        throw ScriptError{line, "GoSub " + quoted(name) + ": subroutines nested more than "
                                    + std::to_string(kMaxSubroutineDepth) + " deep"};
    DepthGuard depth(depth_);
    trace("gosub " + script_->statements[label].word);
    runBlock(label + 1);
}

bool Interpreter::evaluate(const Statement& statement) const
{
    std::string left = substitute(statement.args[0].text, variables_);
    const std::string& op = statement.args[1].text;
    std::string right = substitute(statement.args[2].text, variables_);
    int order;
    std::int64_t a, b;
    if (readInteger(left, a) && readInteger(right, b))
        order = a < b ? -1 : a > b ? 1 : 0;
    else
        order = left.compare(right); // byte by byte, bytes unsigned
    if (op == "=")
        return order == 0;
    if (op == "<>")
        return order != 0;
    if (op == "<")
        return order < 0;
    if (op == ">")
        return order > 0;
    if (op == "<=")
        return order <= 0;
    return order >= 0;
}

void Interpreter::execute(const Statement& statement)
{
    LineGuard line(lines_, statement.line);
    auto command = commands_.find(statement.key);
    if (command != commands_.end()) {
        // A copy: the handler may define commands while it runs.
        CommandHandler handler = command->second.handler;
        handler(statement);
        if (halted_)
            throw Halt{}; // a subroutine the plug-in ran from inside failed
        return;
    }
    if (const Registration* action = findAction(statement.key)) {
        callAction(*action, statement);
        return;
    }
    throw ScriptError{statement.line, "unknown command " + quoted(statement.word)};
}

const Registration* Interpreter::findAction(const std::string& key) const
{
    auto found = actions_.find(key);
    return found == actions_.end() ? nullptr : &registrations_[found->second];
}

void Interpreter::callAction(const Registration& action, const Statement& statement)
{
    const std::size_t count = statement.args.size();
    if (count != static_cast<std::size_t>(action.count))
        throw ScriptError{statement.line, action.name + " takes " + std::to_string(action.count) + " parameters, got "
                                              + std::to_string(count)};
    // Copies: a re-entrant registration could move the table under us.
    const std::string name = action.name;
    const std::int32_t number = action.number;
    ParameterBlocks blocks(count);
    std::string call = name;
    for (std::size_t i = 0; i < count; ++i) {
        // A type-6 parameter names a variable: it goes as written.
        std::string value = action.typeOf(i) == 6 ? statement.args[i].text
                                                  : substitute(statement.args[i].text, variables_);
        call += ' ';
        call += quoted(value);
        blocks.set(i, value);
    }
    trace(call);
    discardReasons();
    bool result = plugin_.nbExecAction(number, blocks.data()) != ZENVAS_FALSE;
    trace(name + " -> " + (result ? "True" : "False"));
    takeReasons();
    if (halted_)
        throw Halt{}; // a subroutine the plug-in ran failed; that error is reported
    variables_.set("LastResult", result ? "True" : "False");
    if (afterAction_)
        afterAction_(statement);
}

} // namespace host
