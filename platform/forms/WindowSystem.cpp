#include "platform/forms/WindowSystem.h"

#include "platform/forms/Backend.h"
#include "platform/forms/Window.h"

#include <algorithm>
#include <exception>

namespace forms {

WindowSystem& WindowSystem::instance()
{
    static auto* system = new WindowSystem; // lives as long as the process
    return *system;
}

WindowHandle WindowSystem::registerWindow(Window* window)
{
    const WindowHandle handle = nextHandle_++;
    windows_.emplace_back(handle, window);
    return handle;
}

void WindowSystem::unregisterWindow(WindowHandle handle)
{
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [&](const auto& e) { return e.first == handle; }),
                   windows_.end());
}

Window* WindowSystem::find(WindowHandle handle) const
{
    for (const auto& [h, window] : windows_)
        if (h == handle)
            return window;
    return nullptr;
}

std::vector<Window*> WindowSystem::topLevelWindows() const
{
    std::vector<Window*> result;
    for (const auto& entry : windows_)
        if (!entry.second->parent())
            result.push_back(entry.second);
    std::stable_partition(result.begin(), result.end(), [](Window* w) { return !(w->style() & wsStayOnTop); });
    return result;
}

Window* WindowSystem::findTopLevel(const std::string& caption) const
{
    auto windows = topLevelWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if ((*it)->caption() == caption && (*it)->visible())
            return *it;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if ((*it)->caption() == caption)
            return *it;
    return nullptr;
}

std::intptr_t WindowSystem::sendMessage(WindowHandle handle, std::uint32_t message, std::intptr_t wparam,
                                        std::intptr_t lparam)
{
    Window* window = find(handle);
    if (!window)
        return 0;
    std::intptr_t result = 0;
    dispatch([&] { result = window->handleMessage(message, wparam, lparam); });
    return result;
}

void WindowSystem::raise(Window* window)
{
    auto it = std::find_if(windows_.begin(), windows_.end(), [&](const auto& e) { return e.second == window; });
    if (it != windows_.end())
        std::rotate(it, it + 1, windows_.end());
}

void WindowSystem::bringToTop(WindowHandle handle)
{
    if (Window* window = find(handle); window && !window->parent())
        raise(window);
}

WindowHandle WindowSystem::activeWindow() const
{
    const auto windows = topLevelWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if ((*it)->visible())
            return (*it)->handle();
    return 0;
}

void WindowSystem::dispatch(const std::function<void()>& work)
{
    ++dispatchDepth_;
    try {
        work();
    } catch (const std::exception& failure) {
        try {
            CurrentBackend().errorBox(failure.what());
        } catch (...) {
        }
    } catch (...) {
        try {
            CurrentBackend().errorBox("Unknown failure");
        } catch (...) {
        }
    }
    --dispatchDepth_;
    if (dispatchDepth_ == 0)
        flushReleases();
}

void WindowSystem::releaseLater(std::unique_ptr<Control> control)
{
    if (!control)
        return;
    control->hide();
    control->setParent(nullptr);
    router_.forget(*control);
    if (dispatchDepth_ == 0) {
        control.reset();
        return;
    }
    pendingReleases_.push_back(std::move(control));
}

void WindowSystem::flushReleases()
{
    while (!pendingReleases_.empty()) {
        auto doomed = std::move(pendingReleases_);
        pendingReleases_.clear();
        ++dispatchDepth_; // destructors may release more; keep them queued
        doomed.clear();
        --dispatchDepth_;
    }
}

} // namespace forms
