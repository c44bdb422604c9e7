#pragma once

#include "plugin/Dispatch.h"
#include "plugin/Reasons.h"

#include <utility>

// The shape every run-time routine on an existing canvas shares: the result
// starts false; the canvas named by parameter 0 is looked up (none: false,
// nothing changed); the work runs; the result becomes true right after it.
// A failure raised by the work ends the routine with false and goes no
// further. Each false records its reason.
namespace zenvas {

// `find` maps parameter 0 to a canvas pointer, null when there is none (or it
// has no rectangle name). `work` receives the canvas.
template <class Find, class Work>
bool RunOnCanvas(const Params& params, Find&& find, Work&& work)
{
    try {
        if (params.empty()) {
            RecordActionReason("no rectangle named");
            return false;
        }
        auto* canvas = std::forward<Find>(find)(params[0]);
        if (!canvas) {
            RecordActionReason("no canvas in rectangle " + Quoted(params[0]));
            return false;
        }
        std::forward<Work>(work)(*canvas);
        return true;
    } catch (...) {
        RecordCurrentFailure();
        return false;
    }
}

// A sub-step with its own guard: a failure inside it is swallowed, recorded
// with `skipped` (what the routine does without the step), and the routine
// goes on. Returns whether the step completed.
template <class Step>
bool GuardedStep(Step&& step, std::string_view skipped = "step skipped")
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (...) {
        RecordCurrentFailure(skipped);
        return false;
    }
}

} // namespace zenvas
