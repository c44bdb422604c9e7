#pragma once

#include "platform/forms/Backend.h"

#include <string>

namespace forms {

// The backend of this build's desktop (GTK on Linux, the system's own
// windows on Windows), opened; null with a reason when there is none (no
// display, or a build without one).
Backend* OpenDesktopBackend(std::string& problem);

} // namespace forms
