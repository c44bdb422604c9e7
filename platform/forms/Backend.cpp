#include "platform/forms/Backend.h"

#include "platform/backends/scripted/ScriptedAnswers.h"
#include "platform/forms/Window.h"
#ifdef ZENVAS_WIN32_SCREEN
#include "platform/backends/win32/Win32Backend.h"
#endif

namespace forms {

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

bool Backend::deliverPointer(Window& window, PointerKind kind, MouseButton button, ShiftState shift, int x, int y)
{
    return WindowSystem::instance().pointer(window.handle(), kind, button, shift, x, y);
}

Backend& CurrentBackend()
{
    static bool installed = [] {
#ifdef ZENVAS_WIN32_SCREEN
        // The DLL a host loads shows its windows on the host's desktop.
        ScriptedAnswers::instance().setScreen(&Win32Backend::instance());
#endif
        return true;
    }();
    (void)installed;
    return ScriptedAnswers::instance();
}

Backend* SetBackend(Backend* backend)
{
    CurrentBackend();
    return ScriptedAnswers::instance().setScreen(backend);
}

Backend& ScreenBackend()
{
    CurrentBackend();
    return ScriptedAnswers::instance().screen();
}

} // namespace forms
