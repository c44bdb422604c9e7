#pragma once

#include "canvas/Zenvas.h"
#include "plugin/Routine.h"

#include <memory>
#include <string_view>

namespace zenvas {

// The process-wide list of canvases, keyed by rectangle name (ASCII case
// ignored). It owns its canvases.

// Index of the first canvas with that name, or -1 (also when there is no
// list).
int FindCanvas(std::string_view name);
// The canvas at an index from FindCanvas.
TZenvas& CanvasAt(int index);
int CanvasCount();
// Whether the list exists (from the first registration until message 2).
bool CanvasListExists();

// Removes and destroys the canvas of that name; true when one was removed.
bool DeleteCanvas(std::string_view name);

// Appends a canvas, creating the list when it does not exist.
void RegisterCanvas(std::unique_ptr<TZenvas> canvas);

// The canvas an action works on: found by name, with a rectangle name.
TZenvas* FindCanvasForAction(std::string_view name);

// The run-time routine shape for actions on an existing canvas: false when
// there is no canvas, false when `work` fails, true after it.
template <class Work>
bool RunOnCanvas(const Params& params, Work&& work)
{
    return zenvas::RunOnCanvas(params, &FindCanvasForAction, std::forward<Work>(work));
}

} // namespace zenvas
