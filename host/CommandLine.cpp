#include "host/CommandLine.h"

#include <stdexcept>

namespace host {

std::string usage(const std::string& documents)
{
    return
    "usage: zenvas-host [--plugin PATH] [--trace] [--window | --black-box] [--max-loop N] SCRIPT.zhs   run a script\n"
    "       zenvas-host [--plugin PATH] --window --edit ACTION SLOT...   open one action's editor\n"
    "       zenvas-host [--plugin PATH] actions                list the registered entries\n"
    "       zenvas-host --help | --version\n"
    "  --plugin PATH  the plug-in to load; without it Zenvas.nbp beside zenvas-host,\n"
    "                 else " ZENVAS_INSTALLED_PLUGIN " from there, else in the build tree\n"
    "  --trace        print every call, variable write, subroutine and dialog\n"
    "  --window       real windows: the page stays open, live, until it is closed\n"
    "  --black-box    (Windows) host the shipped DLL only as the real host does: system\n"
    "                 windows, window messages, the system's dialogs, pixels from the screen\n"
    "                 and from the files the plug-in writes; some commands are refused\n"
    "  --edit         print the slots, one per line, when the editor is confirmed\n"
    "  --max-loop N   let one While repeat its block up to N times (default 1000000)\n"
    "exit status: 0 every expectation held, 1 an expectation failed,\n"
    "             2 a script error or a wrong command line, 3 the plug-in could not be loaded\n"
    "the script language: " + documents + "/host-script.md; the actions: " + documents + "/actions.md\n"
    "the manual: man zenvas-host\n";
}

std::string scriptProblem(const std::string& script, const std::string& problem)
{
    if (problem == "no such file" && script.find_first_of("./") == std::string::npos)
        return "unknown command " + script + ": give a script file or actions (zenvas-host --help tells more)";
    return "cannot read " + script + ": " + problem;
}

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine result;
    // --help and --version answer whatever else the line holds.
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            result.mode = CommandLine::Mode::Help;
            return result;
        }
        if (arg == "--version") {
            result.mode = CommandLine::Mode::Version;
            return result;
        }
    }
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--trace") {
            result.trace = true;
        } else if (arg == "--window") {
            result.window = true;
        } else if (arg == "--black-box") {
            result.blackBox = true;
        } else if (arg == "--edit") {
            if (i + 1 >= args.size()) {
                result.error = "--edit needs an action name";
                return result;
            }
            result.action = args[++i];
            result.mode = CommandLine::Mode::Edit;
            // Everything after the action is a slot text, even if it
            // starts with a dash.
            result.slots.assign(args.begin() + std::ptrdiff_t(i) + 1, args.end());
            break;
        } else if (arg == "--max-loop") {
            const std::string value = i + 1 < args.size() ? args[++i] : std::string();
            std::size_t used = 0;
            try {
                if (!value.empty() && value[0] >= '0' && value[0] <= '9')
                    result.maxLoop = std::stoull(value, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used == 0 || used != value.size()) {
                result.error = "--max-loop needs a number of rounds, got \"" + value + "\"";
                return result;
            }
        } else if (arg == "--plugin") {
            if (i + 1 >= args.size()) {
                result.error = "--plugin needs a path";
                return result;
            }
            result.plugin = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            result.error = "unknown option " + arg;
            return result;
        } else {
            positional.push_back(arg);
        }
    }
    if (result.mode == CommandLine::Mode::Edit) {
        if (result.blackBox) {
            result.mode = CommandLine::Mode::Invalid;
            result.error = "--edit opens an editor for a person; --black-box runs scripts";
        } else if (!result.window) {
            result.mode = CommandLine::Mode::Invalid;
            result.error = "--edit needs --window (an editor waits for a person)";
        } else if (!positional.empty()) {
            result.mode = CommandLine::Mode::Invalid;
            result.error = "--edit takes no script";
        }
        return result;
    }
    if (result.blackBox && result.window) {
        result.error = "--black-box and --window are two different hosts";
        return result;
    }
    if (positional.size() != 1) {
        result.error = positional.empty() ? "no script given" : "more than one script given";
        return result;
    }
    if (positional[0] == "actions") {
        result.mode = CommandLine::Mode::Actions;
    } else {
        result.mode = CommandLine::Mode::Run;
        result.script = positional[0];
    }
    return result;
}

} // namespace host
