#include "platform/forms/Backend.h"

#include "platform/backends/headless/HeadlessBackend.h"

namespace forms {
namespace {

Backend* g_backend = nullptr;

} // namespace

Backend& CurrentBackend()
{
    return g_backend ? *g_backend : HeadlessBackend::instance();
}

Backend* SetBackend(Backend* backend)
{
    Backend* previous = &CurrentBackend();
    g_backend = backend;
    return previous;
}

} // namespace forms
