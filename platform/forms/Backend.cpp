#include "platform/forms/Backend.h"

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/forms/Window.h"
#ifdef ZENVAS_WIN32_SCREEN
#include "platform/backends/win32/Win32Backend.h"
#endif

namespace forms {
namespace {

Backend* g_backend = nullptr;

} // namespace

int Backend::startTimer(int, std::function<void()> tick)
{
    const int id = nextTimer_++;
    timers_[id] = std::move(tick);
    return id;
}

void Backend::stopTimer(int id)
{
    timers_.erase(id);
}

void Backend::runTimer(int id)
{
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    // The tick may stop its own timer: it runs from a copy.
    const std::function<void()> tick = it->second;
    WindowSystem::instance().dispatch(tick);
}

void Backend::tickTimers()
{
    std::vector<int> ids;
    for (const auto& entry : timers_)
        ids.push_back(entry.first);
    for (int id : ids)
        runTimer(id);
}

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
