#include "platform/backends/Desktop.h"

namespace forms {

Backend* OpenDesktopBackend(std::string& problem)
{
    problem = "this build has no real windows (it was built without GTK 3)";
    return nullptr;
}

} // namespace forms
