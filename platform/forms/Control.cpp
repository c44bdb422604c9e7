#include "platform/forms/Control.h"

#include "platform/forms/Form.h"
#include "platform/forms/Window.h"
#include "platform/gdi/Canvas.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace forms {

Control::Control(std::string name) : name_(std::move(name)) {}

Control::~Control()
{
    // Owned components go first (they may be displayed inside this control),
    // then whatever is still displayed here is detached, then this control
    // leaves its parent.
    while (!owned_.empty()) {
        std::unique_ptr<Control> component = std::move(owned_.back());
        owned_.pop_back();
        component.reset();
    }
    for (Control* child : children_)
        child->parent_ = nullptr;
    children_.clear();
    setParent(nullptr);
}

void Control::setParent(Control* parent)
{
    if (parent_ == parent) {
        if (parent)
            bringToFront();
        return;
    }
    invalidate();
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    parent_ = parent;
    if (parent_)
        parent_->children_.push_back(this);
    invalidate();
    parentChanged();
}

void Control::bringToFront()
{
    if (!parent_)
        return;
    auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it != siblings.end() && it + 1 != siblings.end()) {
        std::rotate(it, it + 1, siblings.end());
        invalidate();
    }
}

Control* Control::find(const std::string& name)
{
    for (Control* child : children_) {
        if (child->name_ == name)
            return child;
        if (Control* found = child->find(name))
            return found;
    }
    return nullptr;
}

void Control::moveBy(int dx, int dy)
{
    invalidate();
    bounds_.left += dx;
    bounds_.right += dx;
    bounds_.top += dy;
    bounds_.bottom += dy;
    invalidate();
}

std::unique_ptr<Control> Control::disown(Control* component)
{
    auto it = std::find_if(owned_.begin(), owned_.end(), [&](const auto& p) { return p.get() == component; });
    if (it == owned_.end())
        return nullptr;
    std::unique_ptr<Control> released = std::move(*it);
    owned_.erase(it);
    return released;
}

bool Control::destroyOwned(Control* component)
{
    auto it = std::find_if(owned_.begin(), owned_.end(), [&](const auto& p) { return p.get() == component; });
    if (it == owned_.end())
        return false;
    std::unique_ptr<Control> doomed = std::move(*it);
    owned_.erase(it);
    doomed.reset();
    return true;
}

void Control::setBounds(int left, int top, int width, int height)
{
    gdi::IntRect next{left, top, static_cast<int>(std::clamp<long long>((long long)left + width, INT32_MIN, INT32_MAX)),
                      static_cast<int>(std::clamp<long long>((long long)top + height, INT32_MIN, INT32_MAX))};
    if (next == bounds_)
        return;
    invalidate();
    bounds_ = next;
    invalidate();
    if (!parent_)
        if (auto* window = dynamic_cast<Window*>(this))
            window->screenChange(ScreenChange::Placed);
    boundsChanged();
    if (parent_)
        parent_->boundsChanged();
}

void Control::setVisible(bool visible)
{
    if (visible == visible_)
        return;
    if (!visible)
        invalidate();
    visible_ = visible;
    if (visible)
        invalidate();
}

bool Control::showing() const
{
    for (const Control* c = this; c; c = c->parent_)
        if (!c->visible_)
            return false;
    return true;
}

gdi::Point Control::originIn(const Control* ancestor) const
{
    long long x = 0, y = 0;
    for (const Control* c = this; c && c != ancestor; c = c->parent_) {
        x += c->bounds_.left;
        y += c->bounds_.top;
        if (const Control* p = c->parent_) {
            const gdi::Point offset = p->childOffset();
            x += offset.x;
            y += offset.y;
            // The ancestor's own frame is not part of its client coordinates.
            if (p != ancestor) {
                const gdi::Point client = p->clientOrigin();
                x += client.x;
                y += client.y;
            }
        }
    }
    return {gdi::ClampToInt(x), gdi::ClampToInt(y)};
}

Window* Control::window()
{
    for (Control* c = this; c; c = c->parent_)
        if (auto* w = dynamic_cast<Window*>(c))
            return w;
    return nullptr;
}

void Control::mouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    if (onMouseDown)
        onMouseDown(button, shift, x, y);
}

void Control::mouseMove(ShiftState shift, int x, int y)
{
    if (onMouseMove)
        onMouseMove(shift, x, y);
}

void Control::mouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    if (onMouseUp)
        onMouseUp(button, shift, x, y);
}

void Control::keyDown(Key, char, ShiftState) {}

bool Control::mouseWheel(int delta, ShiftState shift, int x, int y)
{
    if (!parent_)
        return false;
    const gdi::Point at = originIn(parent_);
    return parent_->mouseWheel(delta, shift, gdi::ClampToInt(std::int64_t(x) + at.x),
                               gdi::ClampToInt(std::int64_t(y) + at.y));
}

bool Control::focused() const
{
    const Form* form = ParentForm(*this);
    return form && form->focusedControl() == this;
}

void Control::click()
{
    if (onClick)
        onClick();
}

Control* Control::controlAt(int x, int y, gdi::Point* local)
{
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return nullptr;
    const gdi::Point client = clientOrigin();
    const int cx = gdi::ClampToInt(std::int64_t(x) - client.x), cy = gdi::ClampToInt(std::int64_t(y) - client.y);
    if (childClip().contains(cx, cy)) {
        const gdi::Point offset = childOffset();
        for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
            Control* child = *it;
            if (!child->visible_ || !child->enabled_ || child->transparentToPointer_)
                continue;
            if (Control* hit = child->controlAt(gdi::ClampToInt(std::int64_t(cx) - offset.x - child->left()),
                                                gdi::ClampToInt(std::int64_t(cy) - offset.y - child->top()), local))
                return hit;
        }
    }
    if (local)
        *local = {x, y};
    return this;
}

void Control::paint(gdi::Canvas&) {}

void Control::paintOverlay(gdi::Canvas&) {}

bool Control::setValueText(const std::string&)
{
    return false;
}

namespace {

// A control paints with the tools of a new surface.
void ResetTools(gdi::Canvas& canvas)
{
    canvas.pen() = gdi::Pen();
    canvas.brush() = gdi::Brush();
    canvas.font() = gdi::Font();
    canvas.moveTo(0, 0);
}

} // namespace

void Control::paintTo(gdi::Canvas& canvas)
{
    const gdi::IntRect own{0, 0, width(), height()};
    const gdi::IntRect area = canvas.clipRect().intersected(own);
    if (area.isEmpty())
        return;
    canvas.save();
    canvas.clipTo(own);
    ResetTools(canvas);
    if (opaque() && !coversArea())
        canvas.fillRect(area); // the new brush is white
    paint(canvas);
    canvas.restore();

    if (children_.empty())
        return;
    const gdi::Point client = clientOrigin();
    const gdi::Point offset = childOffset();
    canvas.save();
    canvas.clipTo(own);
    canvas.translate(client.x, client.y);
    canvas.clipTo(childClip());
    canvas.translate(offset.x, offset.y);
    for (int pass = 0; pass < 2; ++pass) {
        for (Control* child : children_) {
            if (!child->visible_ || child->paintsAsOverlay() != (pass == 1))
                continue;
            canvas.save();
            canvas.translate(child->left(), child->top());
            if (pass == 0) {
                child->paintTo(canvas);
            } else {
                ResetTools(canvas);
                child->paintOverlay(canvas);
            }
            canvas.restore();
        }
    }
    canvas.restore();
}

gdi::Bitmap Control::snapshot()
{
    gdi::Bitmap out(width(), height());
    gdi::Canvas canvas(out);
    paintTo(canvas);
    return out;
}

void Control::invalidate()
{
    invalidate({0, 0, width(), height()});
}

void Control::invalidate(const gdi::IntRect& rect)
{
    // Up to the top-level window, cut at each parent's visible client part.
    std::int64_t l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    const Control* c = this;
    for (; c->parent_; c = c->parent_) {
        if (!c->visible_)
            return;
        l = std::max<std::int64_t>(l, 0);
        t = std::max<std::int64_t>(t, 0);
        r = std::min<std::int64_t>(r, c->width());
        b = std::min<std::int64_t>(b, c->height());
        const Control* p = c->parent_;
        const gdi::Point offset = p->childOffset();
        l += std::int64_t(c->bounds_.left) + offset.x;
        r += std::int64_t(c->bounds_.left) + offset.x;
        t += std::int64_t(c->bounds_.top) + offset.y;
        b += std::int64_t(c->bounds_.top) + offset.y;
        const gdi::IntRect clip = p->childClip();
        l = std::max<std::int64_t>(l, clip.left);
        t = std::max<std::int64_t>(t, clip.top);
        r = std::min<std::int64_t>(r, clip.right);
        b = std::min<std::int64_t>(b, clip.bottom);
        const gdi::Point client = p->clientOrigin();
        l += client.x;
        r += client.x;
        t += client.y;
        b += client.y;
        if (l >= r || t >= b)
            return;
    }
    if (!c->visible_)
        return;
    if (auto* window = dynamic_cast<Window*>(const_cast<Control*>(c)))
        window->damage({gdi::ClampToInt(l), gdi::ClampToInt(t), gdi::ClampToInt(r), gdi::ClampToInt(b)});
}

} // namespace forms
