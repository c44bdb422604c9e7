#include "platform/forms/Window.h"

#include "platform/forms/Backend.h"
#include "platform/forms/ClassicLook.h"
#include "platform/forms/Form.h"
#include "platform/gdi/Canvas.h"

#include <algorithm>
#include <exception>

namespace forms {

Window::Window(std::string name, std::uint32_t style)
    : Control(std::move(name)), handle_(WindowSystem::instance().registerWindow(this)), style_(style)
{
}

Window::~Window()
{
    if (!parent())
        screenChange(ScreenChange::Destroyed);
    WindowSystem::instance().unregisterWindow(handle_);
}

void Window::setStyle(std::uint32_t style)
{
    if (style == style_)
        return;
    style_ = style;
    invalidate();
    screenChange(ScreenChange::Retitled);
}

void Window::setCaption(std::string caption)
{
    if (caption == caption_)
        return;
    caption_ = std::move(caption);
    invalidate();
    screenChange(ScreenChange::Retitled);
}

void Window::setColor(gdi::Color color)
{
    if (color == color_)
        return;
    color_ = color;
    invalidate();
}

void Window::screenChange(ScreenChange change)
{
    if (!parent())
        CurrentBackend().screenChange(*this, change);
}

void Window::parentChanged()
{
    if (parent())
        CurrentBackend().screenChange(*this, ScreenChange::Hidden);
}

void Window::damage(const gdi::IntRect& rect)
{
    gdi::IntRect add = rect.intersected({0, 0, width(), height()});
    if (add.isEmpty())
        return;
    // Drawing pixel by pixel lands inside what is already damaged.
    for (const gdi::IntRect& piece : damage_)
        if (piece.containsRect(add))
            return;
    const bool first = damage_.empty();
    // Merge with every rectangle whose union with the new one covers little
    // more than the two do (neighbouring steps of a stroke), until none is
    // left to merge with; the thin edges of a frame stay apart.
    auto area = [](const gdi::IntRect& r) { return r.width() * r.height(); };
    for (bool merged = true; merged;) {
        merged = false;
        for (auto it = damage_.begin(); it != damage_.end(); ++it) {
            const gdi::IntRect both{std::min(add.left, it->left), std::min(add.top, it->top),
                                    std::max(add.right, it->right), std::max(add.bottom, it->bottom)};
            if (area(both) > (area(add) + area(*it)) * 3 / 2 + 256)
                continue;
            add = both;
            damage_.erase(it);
            merged = true;
            break;
        }
    }
    damage_.push_back(add);
    // Many scattered pieces cost more in bookkeeping than in pixels.
    constexpr std::size_t kMaxPieces = 16;
    if (damage_.size() > kMaxPieces) {
        gdi::IntRect all = damage_.front();
        for (const gdi::IntRect& r : damage_)
            all = {std::min(all.left, r.left), std::min(all.top, r.top), std::max(all.right, r.right),
                   std::max(all.bottom, r.bottom)};
        damage_.assign(1, all);
    }
    if (first)
        screenChange(ScreenChange::Damaged);
}

std::vector<gdi::IntRect> Window::compose()
{
    if (frame_.width() != width() || frame_.height() != height()) {
        frame_.setSize(std::max(width(), 0), std::max(height(), 0));
        damage_.assign(1, {0, 0, frame_.width(), frame_.height()});
    }
    std::vector<gdi::IntRect> painted = std::move(damage_);
    damage_.clear();
    gdi::Canvas canvas(frame_);
    for (const gdi::IntRect& area : painted) {
        canvas.save();
        canvas.clipTo(area);
        paintTo(canvas);
        canvas.restore();
    }
    return painted;
}

gdi::Point Window::clientOrigin() const
{
    const Backend& backend = CurrentBackend();
    const int frame = backend.frameThickness(style_);
    return {frame, frame + backend.captionHeight(style_)};
}

int Window::clientWidth() const
{
    const int frame = CurrentBackend().frameThickness(style_);
    return std::max(0, width() - 2 * frame);
}

int Window::clientHeight() const
{
    const Backend& backend = CurrentBackend();
    const int frame = backend.frameThickness(style_);
    return std::max(0, height() - 2 * frame - backend.captionHeight(style_));
}

void Window::setClientSize(int width, int height)
{
    const Backend& backend = CurrentBackend();
    const int frame = backend.frameThickness(style_);
    setBounds(left(), top(), width + 2 * frame, height + 2 * frame + backend.captionHeight(style_));
}

gdi::IntRect Window::closeBoxRect() const
{
    const Backend& backend = CurrentBackend();
    const int caption = backend.captionHeight(style_);
    if (caption <= 4)
        return {};
    const int frame = backend.frameThickness(style_);
    const int boxHeight = caption - 4;
    const int right = width() - frame - 2;
    return {right - boxHeight - 2, frame + 2, right, frame + 2 + boxHeight};
}

void Window::setVisible(bool visible)
{
    const bool appearing = visible && !this->visible();
    const bool vanishing = !visible && this->visible();
    Control::setVisible(visible);
    if (appearing && !parent())
        WindowSystem::instance().raise(this);
    if (appearing || vanishing)
        screenChange(appearing ? ScreenChange::Shown : ScreenChange::Hidden);
}

void Window::routeKey(Key, char, ShiftState) {}

std::intptr_t Window::handleMessage(std::uint32_t message, std::intptr_t wparam, std::intptr_t lparam)
{
    if (onMessage)
        if (auto answer = onMessage(message, wparam, lparam))
            return *answer;
    return 0;
}

void Window::paint(gdi::Canvas& canvas)
{
    const gdi::IntRect surface{0, 0, width(), height()};
    const Backend& backend = CurrentBackend();
    const int frame = backend.frameThickness(style_);
    const int caption = backend.captionHeight(style_);
    if (frame > 0) {
        canvas.brush().setColor(0xFF00000A); // active border
        canvas.fillRect(surface);
    }
    if (caption > 0) {
        canvas.brush().setColor(0xFF000002); // active caption
        canvas.fillRect({frame, frame, width() - frame, frame + caption});
        canvas.brush().setStyle(gdi::BrushStyle::Clear);
        canvas.font().setColor(0xFF000009);
        canvas.textOut(frame + 4, frame + 2, caption_);
        const gdi::IntRect box = closeBoxRect();
        if (!box.isEmpty()) {
            look::Fill(canvas, box, look::kBtnFace);
            look::RaisedEdge(canvas, box);
            // The cross: two diagonals two pixels wide.
            const int size = std::min(box.width(), box.height()) - 8;
            const int x0 = box.left + (int(box.width()) - size) / 2, y0 = box.top + (int(box.height()) - size) / 2;
            const gdi::Color ink = gdi::ResolveColor(look::kBtnText);
            for (int i = 0; i < size; ++i)
                for (int dx = 0; dx < 2; ++dx) {
                    canvas.setPixel(x0 + i + dx, y0 + i, ink);
                    canvas.setPixel(x0 + size - 1 - i + dx, y0 + i, ink);
                }
        }
    }
    canvas.brush().setColor(color_);
    canvas.fillRect({frame, frame + caption, width() - frame, height() - frame});
}

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

bool WindowSystem::key(WindowHandle handle, Key which, char character, ShiftState shift)
{
    Window* window = find(handle);
    if (!window)
        return false;
    dispatch([&] { window->routeKey(which, character, shift); });
    return true;
}

void WindowSystem::openPopup(Control& popup, std::function<void()> dismiss)
{
    popup_ = &popup;
    popupLifetime_ = popup.lifetime();
    dismissPopup_ = std::move(dismiss);
}

bool WindowSystem::pressClosesPopup(const Control* target)
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
        dispatch(dismiss);
    swallowing_ = true;
    return true;
}

void WindowSystem::closePopup(const Control& popup)
{
    if (popup_ != &popup)
        return;
    popup_ = nullptr;
    popupLifetime_.reset();
    dismissPopup_ = nullptr;
}

Control* WindowSystem::controlAt(WindowHandle handle, int x, int y) const
{
    Window* window = find(handle);
    if (!window || !window->showing())
        return nullptr;
    const gdi::Point client = window->clientOrigin();
    return window->controlAt(gdi::ClampToInt(std::int64_t(x) + client.x), gdi::ClampToInt(std::int64_t(y) + client.y));
}

bool WindowSystem::pointer(WindowHandle handle, PointerKind kind, MouseButton button, ShiftState shift, int x,
                           int y)
{
    Window* window = find(handle);
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
    dispatch([&] {
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

bool WindowSystem::wheel(WindowHandle handle, int delta, ShiftState shift, int x, int y)
{
    Window* window = find(handle);
    if (!window || !window->showing() || swallowing_)
        return false;
    const gdi::Point client = window->clientOrigin();
    gdi::Point local;
    Control* target = window->controlAt(gdi::ClampToInt(std::int64_t(x) + client.x),
                                        gdi::ClampToInt(std::int64_t(y) + client.y), &local);
    if (!target)
        return false;
    bool used = false;
    dispatch([&] { used = target->mouseWheel(delta, shift, local.x, local.y); });
    return used;
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
    if (capture_ == control.get())
        capture_ = nullptr;
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
