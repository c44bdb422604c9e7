#pragma once

#include <span>

namespace zenvas::editor {

// The edit routine of every action: opens the action's editor dialog over
// its slots, filled by the action's loading rules, and on OK writes every
// field back into its slot. Slots beyond `slots` (a host that passed fewer,
// or none) read as empty and are not written. True when confirmed.
bool RunEditor(int number, std::span<char*> slots);

} // namespace zenvas::editor
