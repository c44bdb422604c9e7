#pragma once

#include <windows.h>

namespace zenvas {

// Makes sure the unwinder inside the 32-bit DLL knows the DLL's own frames
// (see FrameTables.cpp); called when the DLL is loaded and let go.
void RegisterOwnFrameTables(HINSTANCE module);
void ReleaseOwnFrameTables();

} // namespace zenvas
