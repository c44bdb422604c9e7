#include "platform/forms/InputRouter.h"

#include "platform/forms/Form.h"
#include "platform/forms/Window.h"

namespace forms {

bool InputRouter::key(Window* window, Key which, char character, ShiftState shift)
{
    if (!window)
        return false;
    WindowSystem::instance().dispatch([&] { window->routeKey(which, character, shift); });
    return true;
}

void InputRouter::openPopup(Control& popup, std::function<void()> dismiss)
{
    popup_ = &popup;
    popupLifetime_ = popup.lifetime();
    dismissPopup_ = std::move(dismiss);
}

bool InputRouter::pressClosesPopup(const Control* target)
{
    const bool open = !popupLifetime_.expired();
    for (const Control* c = target; c && open; c = c->parent())
        if (c == popup_)
            return false;
    const std::function<void()> dismiss = std::move(dismissPopup_);
    popup_ = nullptr;
    popupLifetime_.reset();
    dismissPopup_ = nullptr;
    if (!open)
        return false;
    if (dismiss)
        WindowSystem::instance().dispatch(dismiss);
    swallowing_ = true;
    return true;
}

void InputRouter::closePopup(const Control& popup)
{
    if (popup_ != &popup)
        return;
    popup_ = nullptr;
    popupLifetime_.reset();
    dismissPopup_ = nullptr;
}

Control* InputRouter::controlAt(Window* window, int x, int y) const
{
    if (!window || !window->showing())
        return nullptr;
    const gdi::Point client = window->clientOrigin();
    return window->controlAt(gdi::ClampToInt(std::int64_t(x) + client.x), gdi::ClampToInt(std::int64_t(y) + client.y));
}

bool InputRouter::pointer(Window* window, PointerKind kind, MouseButton button, ShiftState shift, int x, int y)
{
    if (!window)
        return false;

    const ShiftState stillHeld = kind == PointerKind::Up ? shift & (ssLeft | ssRight | ssMiddle) & ~ButtonFlag(button)
                                                        : ssLeft | ssRight | ssMiddle;
    if (swallowing_) {
        if (kind == PointerKind::Up && !stillHeld)
            swallowing_ = false;
        return true;
    }

    const gdi::Point client = window->clientOrigin();
    Control* target = nullptr;
    gdi::Point local;
    if (capture_ && !captureLifetime_.expired()) {
        // The captured control may be anywhere, even outside this window:
        // the point is made relative to its top-left, summed wide and
        // saturated to the 32-bit range.
        target = capture_;
        const gdi::Point windowOrigin = window->originIn(nullptr);
        const gdi::Point targetOrigin = target->originIn(nullptr);
        local = {gdi::ClampToInt(std::int64_t(x) + windowOrigin.x + client.x - targetOrigin.x),
                 gdi::ClampToInt(std::int64_t(y) + windowOrigin.y + client.y - targetOrigin.y)};
    } else {
        capture_ = nullptr;
        // One hit test finds the control and its local point.
        if (window->showing())
            target = window->controlAt(gdi::ClampToInt(std::int64_t(x) + client.x),
                                       gdi::ClampToInt(std::int64_t(y) + client.y), &local);
    }

    if (kind == PointerKind::Down && !capture_ && popup_ && pressClosesPopup(target))
        return true;
    if (!target)
        return true;
    const int tx = local.x, ty = local.y;

    if (kind == PointerKind::Down && !capture_) {
        capture_ = target;
        captureLifetime_ = target->lifetime();
    }
    // The release ends the capture once no button is held any more, before
    // the handler runs: a click may open a modal dialog with input of its own.
    if (kind == PointerKind::Up && !stillHeld)
        capture_ = nullptr;
    std::weak_ptr<void> alive = target->lifetime();
    WindowSystem::instance().dispatch([&] {
        if (kind == PointerKind::Down && target->focusable())
            if (Form* form = ParentForm(*target))
                form->setFocus(target);
        if (alive.expired())
            return;
        switch (kind) {
        case PointerKind::Down:
            target->mouseDown(button, shift, tx, ty);
            break;
        case PointerKind::Move:
            target->mouseMove(shift, tx, ty);
            break;
        case PointerKind::Up:
            target->mouseUp(button, shift, tx, ty);
            break;
        }
    });
    if (alive.expired() && capture_ == target)
        capture_ = nullptr;
    return true;
}

bool InputRouter::wheel(Window* window, int delta, ShiftState shift, int x, int y)
{
    if (!window || !window->showing() || swallowing_)
        return false;
    const gdi::Point client = window->clientOrigin();
    gdi::Point local;
    Control* target = window->controlAt(gdi::ClampToInt(std::int64_t(x) + client.x),
                                        gdi::ClampToInt(std::int64_t(y) + client.y), &local);
    if (!target)
        return false;
    bool used = false;
    WindowSystem::instance().dispatch([&] { used = target->mouseWheel(delta, shift, local.x, local.y); });
    return used;
}

void InputRouter::forget(const Control& control)
{
    if (capture_ == &control)
        capture_ = nullptr;
}

} // namespace forms
