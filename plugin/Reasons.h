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

// The action whose routine is running; "Zenvas" outside any (pointer events
// on a canvas).
inline std::string_view& CurrentActionSlot() noexcept
{
    static std::string_view name = "Zenvas";
    return name;
}

inline std::string_view CurrentActionName() noexcept
{
    return CurrentActionSlot();
}

// Names the running action for its lifetime; nests, since a subroutine run
// by one action may call another.
class ActionScope {
public:
    explicit ActionScope(std::string_view name) noexcept : outer_(CurrentActionSlot())
    {
        CurrentActionSlot() = name;
    }
    ~ActionScope() { CurrentActionSlot() = outer_; }
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;

private:
    std::string_view outer_;
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
