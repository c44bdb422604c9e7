#include "platform/backends/DesktopBackend.h"

#include "platform/forms/Form.h"

namespace forms {

int DesktopBackend::frameThickness(std::uint32_t style) const
{
    return queued().frameThickness(style);
}

int DesktopBackend::captionHeight(std::uint32_t style) const
{
    return queued().captionHeight(style);
}

void DesktopBackend::screenChange(Window& window, ScreenChange change)
{
    switch (change) {
    case ScreenChange::Shown:
        present(window);
        break;
    case ScreenChange::Hidden:
        hideOnScreen(window);
        break;
    case ScreenChange::Placed:
    case ScreenChange::Retitled:
        placeOnScreen(window);
        break;
    case ScreenChange::Damaged:
        scheduleCompose();
        break;
    case ScreenChange::Destroyed:
        forgetOnScreen(window);
        break;
    }
}

void DesktopBackend::closeRequested(Window& window)
{
    if (auto* form = dynamic_cast<Form*>(&window))
        WindowSystem::instance().dispatch([form] { form->closeBoxClicked(); });
    else if (onCloseRequest)
        onCloseRequest(window);
    else
        window.hide();
}

void DesktopBackend::syncWindows()
{
    for (Window* window : WindowSystem::instance().topLevelWindows()) {
        const bool shown = shownOnScreen(*window);
        if (window->visible() && !shown)
            present(*window);
        else if (!window->visible() && shown)
            hideOnScreen(*window);
    }
}

} // namespace forms
