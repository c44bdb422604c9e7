#include "platform/forms/Control.h"

#include "platform/forms/Form.h"
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
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    parent_ = parent;
    if (parent_)
        parent_->children_.push_back(this);
    parentChanged();
}

void Control::bringToFront()
{
    if (!parent_)
        return;
    auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it != siblings.end())
        std::rotate(it, it + 1, siblings.end());
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
    bounds_.left += dx;
    bounds_.right += dx;
    bounds_.top += dy;
    bounds_.bottom += dy;
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
    bounds_ = next;
    boundsChanged();
    if (parent_)
        parent_->boundsChanged();
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

Control* Control::controlAt(int x, int y)
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
                                                gdi::ClampToInt(std::int64_t(cy) - offset.y - child->top())))
                return hit;
        }
    }
    return this;
}

void Control::paint(gdi::Bitmap&) {}

void Control::paintInto(gdi::Bitmap& target, int x, int y, const gdi::IntRect& area)
{
    gdi::Bitmap own(width(), height());
    if (!opaque())
        gdi::Canvas(own).copyRect({area.left - x, area.top - y, area.right - x, area.bottom - y}, target, area);
    paint(own);
    gdi::Canvas(target).copyRect(area, own, {area.left - x, area.top - y, area.right - x, area.bottom - y});
}

void Control::paintOverlay(gdi::Bitmap&, int, int, const gdi::IntRect&) {}

bool Control::setValueText(const std::string&)
{
    return false;
}

void Control::paintTo(gdi::Bitmap& target, int x, int y, const gdi::IntRect& clip)
{
    const gdi::IntRect area = gdi::IntRect{x, y, x + width(), y + height()}.intersected(clip);
    if (area.isEmpty())
        return;
    paintInto(target, x, y, area);

    const gdi::Point client = clientOrigin();
    const gdi::Point offset = childOffset();
    gdi::IntRect childArea = childClip();
    childArea = gdi::IntRect{childArea.left + x + client.x, childArea.top + y + client.y,
                             childArea.right + x + client.x, childArea.bottom + y + client.y}
                    .intersected(area);
    for (Control* child : children_) {
        if (!child->visible_)
            continue;
        const int childX = x + client.x + offset.x + child->left();
        const int childY = y + client.y + offset.y + child->top();
        if (child->paintsAsOverlay())
            continue;
        child->paintTo(target, childX, childY, childArea);
    }
    for (Control* child : children_) {
        if (!child->visible_ || !child->paintsAsOverlay())
            continue;
        const int childX = x + client.x + offset.x + child->left();
        const int childY = y + client.y + offset.y + child->top();
        child->paintOverlay(target, childX, childY, childArea);
    }
}

gdi::Bitmap Control::snapshot()
{
    gdi::Bitmap out(width(), height());
    paintTo(out, 0, 0, out.bounds());
    return out;
}

} // namespace forms
