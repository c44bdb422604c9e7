#include "platform/backends/headless/HeadlessBackend.h"

namespace forms {

HeadlessBackend& HeadlessBackend::instance()
{
    static auto* backend = new HeadlessBackend; // lives as long as the process
    return *backend;
}

} // namespace forms
