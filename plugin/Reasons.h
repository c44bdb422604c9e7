#pragma once

#include "platform/system/Diagnostics.h"

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

// Reasons for failed actions and skipped steps, recorded on the platform's
// diagnostics channel as "ACTION: what went wrong". Recording never throws
// and never changes a result: a reason that cannot be recorded is dropped.
namespace zenvas {

// Raised inside a routine's work to end it with false; its message is the
// reason.
class Declined : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Who is running: an action's name, or a way to find it that is asked only
// when a reason is recorded (pointer events name the action that chose the
// tool, and must not pay for that on every move).
struct ActionNaming {
    std::string_view name = "Zenvas";
    std::string_view (*find)(void* subject) = nullptr;
    void* subject = nullptr;
};

inline ActionNaming& CurrentActionSlot() noexcept
{
    static ActionNaming naming;
    return naming;
}

inline std::string_view CurrentActionName() noexcept
{
    const ActionNaming& naming = CurrentActionSlot();
    return naming.find ? naming.find(naming.subject) : naming.name;
}

// Names the running action for its lifetime; nests, since a subroutine run
// by one action may call another.
class ActionScope {
public:
    explicit ActionScope(std::string_view name) noexcept : outer_(CurrentActionSlot())
    {
        CurrentActionSlot() = {name};
    }
    ActionScope(std::string_view (*find)(void*), void* subject) noexcept : outer_(CurrentActionSlot())
    {
        CurrentActionSlot() = {{}, find, subject};
    }
    ~ActionScope() { CurrentActionSlot() = outer_; }
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;

private:
    ActionNaming outer_;
};

// Records "ACTION: detail".
inline void RecordActionReason(std::string_view detail) noexcept
{
    try {
        std::string line(CurrentActionName());
        line += ": ";
        line += detail;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        sys::RecordReason(line);
    } catch (...) {
    }
}

// The message of the exception being handled; call only inside a catch.
inline std::string CurrentFailureText() noexcept
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::exception& failure) {
        try {
            return failure.what();
        } catch (...) {
        }
    } catch (...) {
    }
    return {};
}

// Records the exception being handled, with what it cost (may be empty):
// "ACTION: message; consequence".
inline void RecordCurrentFailure(std::string_view consequence = {}) noexcept
{
    try {
        std::string detail = CurrentFailureText();
        if (detail.empty())
            detail = "failed";
        if (!consequence.empty()) {
            detail += "; ";
            detail += consequence;
        }
        RecordActionReason(detail);
    } catch (...) {
    }
}

// Quotes a parameter text as reasons show it.
inline std::string Quoted(std::string_view text)
{
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

} // namespace zenvas
