#pragma once

#include "plugin/Dispatch.h"

#include <utility>

// The shape every run-time routine on an existing canvas shares: the result
// starts false; the canvas named by parameter 0 is looked up (none: false,
// nothing changed); the work runs; the result becomes true right after it.
// A failure raised by the work ends the routine with false and goes no
// further.
namespace zenvas {

// `find` maps parameter 0 to a canvas pointer, null when there is none (or it
// has no rectangle name). `work` receives the canvas.
template <class Find, class Work>
bool RunOnCanvas(const Params& params, Find&& find, Work&& work)
{
    try {
        if (params.empty())
            return false;
        auto* canvas = std::forward<Find>(find)(params[0]);
        if (!canvas)
            return false;
        std::forward<Work>(work)(*canvas);
        return true;
    } catch (...) {
        return false;
    }
}

// A sub-step with its own guard: a failure inside it is swallowed and the
// routine goes on. Returns whether the step completed.
template <class Step>
bool GuardedStep(Step&& step)
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace zenvas
