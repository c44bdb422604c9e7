#include "platform/forms/Backend.h"

#include "platform/backends/headless/HeadlessBackend.h"
#ifdef ZENVAS_WIN32_SCREEN
#include "platform/backends/win32/Win32Backend.h"
#endif

namespace forms {
namespace {

Backend* g_backend = nullptr;

} // namespace

Backend& CurrentBackend()
{
    if (g_backend)
        return *g_backend;
#ifdef ZENVAS_WIN32_SCREEN
    // The DLL a host loads shows its windows on the host's desktop.
    return Win32Backend::instance();
#else
    return HeadlessBackend::instance();
#endif
}

Backend* SetBackend(Backend* backend)
{
    Backend* previous = &CurrentBackend();
    g_backend = backend;
    return previous;
}

} // namespace forms
