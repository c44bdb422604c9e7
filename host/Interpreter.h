#pragma once

#include "host/Answers.h"
#include "host/PluginLibrary.h"
#include "host/Rectangles.h"
#include "host/Script.h"
#include "host/Variables.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace host {

// One entry of the plug-in's action table, as registered.
struct Registration {
    std::int32_t number = 0; // 0 for a heading
    std::string name;
    std::string hint;
    std::vector<std::uint8_t> types; // high index + 1 codes
    std::int32_t highIndex = 0;
    std::int32_t count = 0;

    // Type code of parameter `index` (1 when the table gave none).
    std::uint8_t typeOf(std::size_t index) const { return index < types.size() ? types[index] : 1; }
};

// Most times one While repeats its block before the script stops with an
// error, unless the command line (--max-loop) says otherwise.
inline constexpr std::uint64_t kDefaultMaxLoop = 1000000;

struct HostOptions {
    bool trace = false;
    std::string file; // the script's name, for trace lines outside a run
    std::uint64_t maxLoop = kDefaultMaxLoop;
};

// Most subroutines a script may have running at once, counting those the
// plug-in starts: deeper nesting is runaway recursion.
inline constexpr int kMaxSubroutineDepth = 256;

// A command's argument count without upper bound.
inline constexpr std::size_t kAnyCount = std::numeric_limits<std::size_t>::max();

// Runs one statement of a command. Reports a script error by throwing
// ScriptError (the interpreter prints it as FILE:LINE: message and stops).
using CommandHandler = std::function<void(const Statement&)>;

// The host: it hands the plug-in its callbacks, keeps the variables, and runs
// a script's statements. The plug-in's callbacks carry no context, so they
// reach the one current instance (the most recently constructed one still
// alive).
class Interpreter {
public:
    Interpreter(const PluginEntryPoints& plugin, std::ostream& out, std::ostream& err, HostOptions options = {});
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // The start-up sequence: nbRegisterPlugIn, nbInitPlugIn,
    // nbRegisterScriptProcessor, nbRegisterInterfaceAccess.
    void start();

    const std::vector<Registration>& registrations() const { return registrations_; }
    const std::string& pluginTitle() const { return title_; }
    const std::string& pluginAuthor() const { return author_; }
    const std::string& pluginDescription() const { return description_; }

    // One line per registration call: NUMBER, NAME, HINT, TYPES, tab-separated;
    // a group heading (number 0) has a fifth field, "heading".
    void printActions(std::ostream& out) const;

    // Checks the names and argument counts of every statement (the action
    // table must be registered by then), reports any problem together with
    // `loadErrors` (those found reading the file), and runs the main program
    // only when there is none. At the end the project closes (nbMessage
    // code 2). Returns the exit status: 0 all expectations held, 1 an
    // expectation failed, 2 a script error.
    int run(const Script& script, std::vector<ScriptError> loadErrors = {});

    // Reports load errors of `script` as FILE:LINE: message (FILE:LINE:COLUMN:
    // when the column is known); returns 2.
    int reportErrors(const Script& script, const std::vector<ScriptError>& errors);

    // The checks run() makes before running, without running anything.
    std::vector<ScriptError> check(const Script& script) const;

    VariableStore& variables() { return variables_; }
    AnswerQueue& answers() { return answers_; }

    // Runs between the main program and the project's close (message 2):
    // the live window's event loop.
    void setAfterMain(std::function<void()> afterMain) { afterMain_ = std::move(afterMain); }
    // Runs after each action call returns; it may report a script error
    // at the action's statement.
    void setAfterAction(std::function<void(const Statement&)> afterAction) { afterAction_ = std::move(afterAction); }
    // A host control's subroutine (a button's click), run like a GoSub of
    // the plug-in: ignored outside a run or once the run stops, and a
    // script error stops the run.
    void runSubroutine(const std::string& name);
    void setRectangles(const RectangleRegistry* rectangles);

    // The form framework's error box for unguarded errors in event
    // handlers: printed on standard error and counted in [ErrorBoxes].
    void reportErrorBox(const std::string& message);

    // A line the window system shows the end user (a message box, an opened
    // address), on standard output.
    void printLine(const std::string& line);

    // Empties the diagnostics channel before a call into the plug-in; after
    // it, traces what the call recorded and sets [LastReason] to the last.
    void discardReasons();
    void takeReasons();

    int expectationFailures() const { return failures_; }

    // Adds or replaces the command `name` (matched without regard to case),
    // taking minArgs to maxArgs arguments; the counts are checked before
    // the script runs.
    void defineCommand(const std::string& name, std::size_t minArgs, std::size_t maxArgs, CommandHandler handler);

    // Argument `index` of a statement with every [name] replaced.
    std::string argument(const Statement& statement, std::size_t index) const;

    // For commands defined outside the interpreter: the plug-in's entry
    // points, an action by name, a trace line, and an expectation that is
    // counted and reported like Expect's.
    const PluginEntryPoints& plugin() const { return plugin_; }
    const Registration* action(const std::string& name) const;
    void traceLine(const std::string& line) { trace(line); }
    void expect(const Statement& statement, const std::string& actual, const std::string& expected);

    // What the plug-in's callbacks do.
    void onAddAction(std::int32_t number, const char* name, const char* hint, const std::uint8_t* types,
                     std::int32_t highIndex, std::int32_t count);
    void onSetVariable(const char* name, const char* value);
    void onScriptProcessor(const char* script);
    bool onInterfaceAccess(std::int32_t code, char** slot);

    static Interpreter* current();

private:
    struct Command {
        std::string name; // as the documentation spells it
        std::size_t minArgs;
        std::size_t maxArgs;
        CommandHandler handler;
    };
    struct Halt {}; // a script error was already reported: unwind to the top

    void defineBuiltinCommands();
    const Registration* findAction(const std::string& key) const;

    void runBlock(std::size_t pc);
    void execute(const Statement& statement);
    void gosub(const std::string& name, int line);
    bool evaluate(const Statement& statement) const;
    void callAction(const Registration& action, const Statement& statement);
    void report(const ScriptError& error);
    // Runs `work`; a script error, a halt or a failure of the host ends it
    // and is reported.
    void runReporting(const std::function<void()>& work);
    void failHost(const char* what);
    int currentLine() const { return lines_.empty() ? 0 : lines_.back(); }
    void trace(const std::string& line);
    void closeProject();

    void cmdSetVar(const Statement& statement);
    void cmdCalc(const Statement& statement);
    void cmdGoSub(const Statement& statement);
    void cmdPrint(const Statement& statement);
    void cmdExpect(const Statement& statement);
    void cmdMessage(const Statement& statement);

    PluginEntryPoints plugin_;
    std::ostream& out_;
    std::ostream& err_;
    HostOptions options_;
    std::function<void()> afterMain_;
    std::function<void(const Statement&)> afterAction_;
    Interpreter* previous_ = nullptr;

    std::vector<Registration> registrations_;
    std::map<std::string, std::size_t> actions_; // lower-case name -> registration
    std::map<std::string, Command> commands_;    // lower-case word -> command
    std::string title_, author_, description_;

    VariableStore variables_;
    AnswerQueue answers_;
    NoRectangles noRectangles_;
    const RectangleRegistry* rectangles_ = &noRectangles_;
    int errorBoxes_ = 0;

    const Script* script_ = nullptr;
    std::vector<int> lines_; // lines of the statements running, innermost last
    int depth_ = 0;
    int failures_ = 0;
    bool halted_ = false;
};

// A text as a script would write it: in double quotes, with " doubled.
std::string quoted(std::string_view text);

// Reads a whole integer (optional sign, decimal digits, nothing else) into
// 64 bits; false for anything else, including values out of range.
bool readInteger(std::string_view text, std::int64_t& value);

// The value of an integer expression (Calc): decimal numbers, + - * / %,
// unary minus and parentheses, every step within 32 bits; division
// truncates toward zero. Nothing, with the problem in `problem`, for a
// text that is not such an expression, an overflow or a division by zero.
std::optional<std::int32_t> calculate(std::string_view expression, std::string& problem);

} // namespace host
