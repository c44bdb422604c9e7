#include "platform/backends/DesktopBackend.h"

#include "platform/forms/ClassicLook.h"
#include "platform/forms/Cursor.h"
#include "platform/forms/Form.h"

#include <algorithm>

namespace forms {
Window& DesktopBackend::RootOf(Window& window)
{
    Control* root = &window;
    while (root->parent())
        root = root->parent();
    auto* top = dynamic_cast<Window*>(root);
    return top ? *top : window;
}

bool DesktopBackend::open(std::string& problem)
{
    if (opened_)
        return true;
    if (closed_) {
        problem = "the desktop was let go";
        return false;
    }
    if (!openPlatform(problem))
        return false;
    opened_ = true;
    // Windows shown before the desktop took over appear now.
    for (Window* window : WindowSystem::instance().topLevelWindows())
        if (window->visible())
            present(*window);
    return true;
}

DesktopBackend::Shown* DesktopBackend::entry(const Window& window)
{
    auto it = natives_.find(&window);
    return it == natives_.end() ? nullptr : &it->second;
}

NativeWindow* DesktopBackend::nativeOf(const Window& window) const
{
    auto it = natives_.find(&window);
    return it == natives_.end() ? nullptr : it->second.native.get();
}

NativePlacement DesktopBackend::placement(const Window& window) const
{
    NativePlacement p;
    p.caption = window.caption();
    p.bounds = {window.left(), window.top(), window.left() + std::max(window.width(), 1),
                window.top() + std::max(window.height(), 1)};
    p.ownFrame = (window.style() & wsCaption) != 0;
    p.stayOnTop = (window.style() & wsStayOnTop) != 0;
    p.toolWindow = (window.style() & wsToolWindow) != 0;
    const auto* form = dynamic_cast<const Form*>(&window);
    p.centred = form && form->position() == FormPosition::ScreenCenter;
    return p;
}

void DesktopBackend::present(Window& window)
{
    std::string problem;
    if (!open(problem))
        return;
    Shown* shown = entry(window);
    if (!shown) {
        // An owned window (the zoom window, a dialog) stays with its owner's.
        NativeWindow* owner = nullptr;
        if (auto* form = dynamic_cast<Form*>(&window))
            if (Window* ownerWindow = WindowSystem::instance().find(form->ownerWindow()))
                if (Window& root = RootOf(*ownerWindow); &root != &window)
                    owner = nativeOf(root);
        std::unique_ptr<NativeWindow> made = makeNative(window, owner);
        if (!made)
            return;
        shown = &natives_[&window];
        shown->native = std::move(made);
    }
    if (!shown->native->hostParent())
        shown->native->place(placement(window));
    window.damage({0, 0, window.width(), window.height()});
    shown->native->show();
    requestFrame();
}

void DesktopBackend::screenChange(Window& window, ScreenChange change)
{
    switch (change) {
    case ScreenChange::Shown:
        present(window);
        break;
    case ScreenChange::Hidden:
        if (Shown* shown = entry(window))
            shown->native->hide();
        break;
    case ScreenChange::Placed:
    case ScreenChange::Retitled:
        if (Shown* shown = entry(window)) {
            if (shown->native->hostParent()) {
                NativePlacement p = placement(window);
                p.bounds = {0, 0, int(p.bounds.width()), int(p.bounds.height())};
                shown->native->place(p);
            } else {
                shown->native->place(placement(window));
            }
        }
        break;
    case ScreenChange::Damaged:
        // A window made visible from the start says so with its first damage.
        if (!entry(window) && window.visible())
            present(window);
        else
            requestFrame();
        break;
    case ScreenChange::Destroyed:
        if (Shown* shown = entry(window)) {
            stopAnimation(*shown);
            // Out of the map before it goes: destroying a native window may
            // report the natives of its children gone on the way.
            auto gone = natives_.extract(&window);
        }
        break;
    }
}

void DesktopBackend::requestFrame()
{
    if (frameDue_ || !opened_)
        return;
    frameDue_ = true;
    wake();
}

void DesktopBackend::frame()
{
    frameDue_ = false;
    ++frames_;
    beforeFrame();
    // A hosted window whose canvas went (deleted, or the project closed)
    // gives the other program's window back.
    std::vector<Window*> empty;
    for (const auto& hosted : hosted_) {
        const auto& children = hosted->children();
        if (std::none_of(children.begin(), children.end(), [](const Control* c) { return c->visible(); }))
            empty.push_back(hosted.get());
    }
    for (Window* window : empty)
        letGo(*window);
    for (auto& [window, shown] : natives_) {
        if (!window->visible() || window->damagedAreas().empty())
            continue;
        const std::vector<gdi::IntRect> areas = const_cast<Window*>(window)->compose();
        if (window->frame().isEmpty())
            continue;
        shown.native->present(window->frame(), areas);
        for (const gdi::IntRect& r : areas)
            presented_ += std::uint64_t(r.width()) * std::uint64_t(r.height()) * 4;
    }
}

void DesktopBackend::pointerEvent(Window& window, PointerKind kind, MouseButton button, ShiftState shift, int x,
                                  int y)
{
    const gdi::Point client = window.clientOrigin();
    const int cx = gdi::ClampToInt(std::int64_t(x) - client.x), cy = gdi::ClampToInt(std::int64_t(y) - client.y);
    const std::weak_ptr<void> alive = window.lifetime();
    WindowSystem::instance().pointer(window.handle(), kind, button, shift, cx, cy);
    if (kind == PointerKind::Move && !alive.expired())
        if (Shown* shown = entry(window))
            updateCursor(window, *shown, cx, cy);
}

void DesktopBackend::wheelEvent(Window& window, int delta, ShiftState shift, int x, int y)
{
    const gdi::Point client = window.clientOrigin();
    WindowSystem::instance().wheel(window.handle(), delta, shift, gdi::ClampToInt(std::int64_t(x) - client.x),
                                   gdi::ClampToInt(std::int64_t(y) - client.y));
}

void DesktopBackend::keyEvent(Window& window, Key key, char character, ShiftState shift)
{
    WindowSystem::instance().key(window.handle(), key, character, shift);
}

bool DesktopBackend::onOwnCaption(const Window& window, int x, int y) const
{
    const int frame = look::FrameThickness(window.style());
    const int caption = look::CaptionHeight(window.style());
    return caption > 0 && y >= frame && y < frame + caption && x >= frame && x < window.width() - frame &&
           !window.closeBoxRect().contains(x, y);
}

void DesktopBackend::closeRequested(Window& window)
{
    if (const NativeWindow* native = nativeOf(window); native && native->hostParent())
        return; // the other program's window decides about itself
    if (auto* form = dynamic_cast<Form*>(&window))
        WindowSystem::instance().dispatch([form] { form->closeBoxClicked(); });
    else if (onClose_)
        onClose_(window);
    else
        window.hide();
}

void DesktopBackend::nativeGone(const Window& window)
{
    Shown* shown = entry(window);
    if (!shown)
        return;
    stopAnimation(*shown);
    auto forgotten = natives_.extract(&window); // a window shown again gets a new one
    for (const auto& hosted : hosted_)
        if (hosted.get() == &window) {
            letGo(*hosted); // nothing left to fill
            break;
        }
}

void DesktopBackend::hostResized(Window& hosted, int width, int height)
{
    if (std::none_of(hosted_.begin(), hosted_.end(), [&hosted](const auto& h) { return h.get() == &hosted; }))
        return;
    const gdi::IntRect filled{0, 0, hosted.clientWidth(), hosted.clientHeight()};
    if (hosted.width() == width && hosted.height() == height)
        return;
    hosted.setBounds(0, 0, width, height);
    for (Control* child : std::vector<Control*>(hosted.children()))
        if (child->bounds() == filled)
            child->setBounds(0, 0, hosted.clientWidth(), hosted.clientHeight());
}

void DesktopBackend::updateCursor(Window& window, Shown& shown, int clientX, int clientY)
{
    Control* under = WindowSystem::instance().controlAt(window.handle(), clientX, clientY);
    const int number = under ? under->cursor() : 0;
    std::shared_ptr<const CursorShape> shape = Screen::instance().cursor(number);
    if (shown.cursorSet && number == shown.cursorNumber && shape == shown.cursorShape)
        return;
    stopAnimation(shown);
    shown.cursorSet = true;
    shown.cursorNumber = number;
    shown.cursorShape = std::move(shape);
    shown.step = 0;
    if (!shown.cursorShape) {
        shown.native->setCursor(nullptr, 0, number);
        return;
    }
    const auto& steps = shown.cursorShape->steps();
    shown.native->setCursor(shown.cursorShape.get(), steps.empty() ? 0 : steps.front().frame, number);
    if (shown.cursorShape->isAnimated() && steps.size() > 1) {
        const Window* key = &window;
        shown.animation = startTimer(std::max(1, int(steps.front().jiffies * 1000 / 60)), [this, key] { animate(key); });
    }
}

void DesktopBackend::animate(const Window* window)
{
    Shown* shown = entry(*window);
    if (!shown || !shown->cursorShape)
        return;
    const auto& steps = shown->cursorShape->steps();
    shown->step = (shown->step + 1) % steps.size();
    const CursorStep& step = steps[shown->step];
    shown->native->setCursor(shown->cursorShape.get(), step.frame, shown->cursorNumber);
    // Each step lasts its own time.
    stopTimer(shown->animation);
    shown->animation = startTimer(std::max(1, int(step.jiffies * 1000 / 60)), [this, window] { animate(window); });
}

void DesktopBackend::stopAnimation(Shown& shown)
{
    if (shown.animation)
        stopTimer(shown.animation);
    shown.animation = 0;
}

int DesktopBackend::startTimer(int milliseconds, std::function<void()> tick)
{
    const int id = Backend::startTimer(milliseconds, std::move(tick));
    scheduleTimer(id, std::max(1, milliseconds));
    return id;
}

void DesktopBackend::stopTimer(int id)
{
    cancelTimer(id);
    Backend::stopTimer(id);
}

ModalResult DesktopBackend::runModal(Form& form)
{
    if (quitting_)
        return ModalResult::Cancel;
    present(form);
    NativeWindow* native = nativeOf(form);
    if (!native)
        return ModalResult::Cancel; // no desktop window: nobody can answer
    native->setModal(true);
    const std::weak_ptr<void> alive = form.lifetime();
    while (!quitting_ && !alive.expired() && form.visible() && form.modalResult() == ModalResult::None)
        if (!waitForEvents())
            quitting_ = true;
    if (alive.expired())
        return ModalResult::Cancel;
    // The owner comes back before the form goes, so the activation returns
    // to it.
    if (NativeWindow* still = nativeOf(form))
        still->setModal(false);
    return form.modalResult() == ModalResult::Ok ? ModalResult::Ok : ModalResult::Cancel;
}

void DesktopBackend::runUntilClosed(Window& window, std::function<void(Window&)> onClose)
{
    onClose_ = std::move(onClose);
    catchInterrupts(true);
    const std::weak_ptr<void> alive = window.lifetime();
    frame();
    while (!quitting_ && !alive.expired() && window.visible())
        if (!waitForEvents())
            quitting_ = true;
    catchInterrupts(false);
    onClose_ = nullptr;
}

void DesktopBackend::quit()
{
    quitting_ = true;
    endDialogs();
    wake();
}

void DesktopBackend::processPending()
{
    // Handling an event may bring more (a frame, a paint): go on until
    // nothing is left, within reason.
    for (int round = 0; round < 64; ++round) {
        bool handled = handleWaiting();
        if (frameDue_) {
            frame();
            handled = true;
        }
        if (!handled)
            return;
    }
}

Window* DesktopBackend::adoptHosted(std::unique_ptr<Window> window, std::unique_ptr<NativeWindow> native)
{
    Window* result = window.get();
    natives_[result].native = std::move(native);
    hosted_.push_back(std::move(window));
    result->show();
    present(*result);
    return result;
}

Window* DesktopBackend::findHosted(std::int64_t parent) const
{
    for (const auto& hosted : hosted_)
        if (const NativeWindow* n = nativeOf(*hosted); n && n->hostParent() == parent)
            return hosted.get();
    return nullptr;
}

void DesktopBackend::letGo(Window& hosted)
{
    auto it = std::find_if(hosted_.begin(), hosted_.end(), [&hosted](const auto& h) { return h.get() == &hosted; });
    if (it == hosted_.end())
        return;
    std::unique_ptr<Window> gone = std::move(*it);
    hosted_.erase(it);
    WindowSystem::instance().releaseLater(std::move(gone));
}

Window* DesktopBackend::windowShownBy(std::int64_t handle) const
{
    for (const auto& [window, shown] : natives_)
        if (shown.native->handle() == handle)
            return const_cast<Window*>(window);
    return nullptr;
}

void DesktopBackend::forgetAll()
{
    auto natives = std::move(natives_);
    natives_.clear();
    for (auto& [window, shown] : natives)
        stopAnimation(shown);
    natives.clear();
    opened_ = false;
    closed_ = true; // windows torn down after this stay off the screen
}

} // namespace forms
