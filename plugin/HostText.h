#pragma once

#include <string_view>

// Host text slots: a slot holds a global-memory block (or nothing), and
// whoever fills it releases the block it held first.
namespace zenvas {

// Releases the block the slot holds, then stores a fresh copy of `text`.
// A null slot pointer is ignored. If the copy cannot be made the slot is left
// empty and the allocation failure propagates.
void AssignHostText(char** slot, std::string_view text);

// Releases the block the slot holds and leaves the slot empty.
void FreeHostText(char** slot);

} // namespace zenvas
