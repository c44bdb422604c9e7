#include "platform/forms/ScrollBox.h"

#include "platform/forms/Backend.h"
#include "platform/forms/ClassicLook.h"
#include "platform/gdi/Canvas.h"

#include <algorithm>
#include <cstdint>

namespace forms {
namespace {

// a / b to the nearest whole number, for a >= 0 and b > 0.
std::int64_t RoundedDiv(std::int64_t a, std::int64_t b)
{
    return (a + b / 2) / b;
}

} // namespace

ScrollBarPart ScrollBarLayout::partAt(int x, int y) const
{
    if (!bar.contains(x, y))
        return ScrollBarPart::None;
    if (back.contains(x, y))
        return ScrollBarPart::LineBack;
    if (forward.contains(x, y))
        return ScrollBarPart::LineForward;
    if (thumb.isEmpty())
        return ScrollBarPart::None;
    if (along(x, y) < along(thumb.left, thumb.top))
        return ScrollBarPart::PageBack;
    if (along(x, y) >= along(thumb.right, thumb.bottom))
        return ScrollBarPart::PageForward;
    return ScrollBarPart::Thumb;
}

ScrollBox::ScrollBox(std::string name) : Control(std::move(name)) {}

ScrollBox::~ScrollBox()
{
    stopTimer();
}

// The content's extent: children sit at their scrolled positions, so the
// scroll position is added back.
int ScrollBox::horzRange() const
{
    long long range = 0;
    for (const Control* child : children())
        if (child->visible() && !child->transparentToPointer())
            range = std::max<long long>(range, (long long)child->left() + child->width() + horz_.position);
    return static_cast<int>(std::min<long long>(range, 0x7FFFFFFF));
}

int ScrollBox::vertRange() const
{
    long long range = 0;
    for (const Control* child : children())
        if (child->visible() && !child->transparentToPointer())
            range = std::max<long long>(range, (long long)child->top() + child->height() + vert_.position);
    return static_cast<int>(std::min<long long>(range, 0x7FFFFFFF));
}

void ScrollBox::barsNeeded(bool& horz, bool& vert) const
{
    // Showing one bar narrows the view and may make the other necessary.
    horz = vert = false;
    const bool horzAllowed = horz_.mode == ScrollBarMode::Automatic;
    const bool vertAllowed = vert_.mode == ScrollBarMode::Automatic;
    for (int pass = 0; pass < 2; ++pass) {
        const int viewWidth = width() - (vert ? kBarThickness : 0);
        const int viewHeight = height() - (horz ? kBarThickness : 0);
        horz = horzAllowed && horzRange() > viewWidth;
        vert = vertAllowed && vertRange() > viewHeight;
    }
}

bool ScrollBox::horzBarShown() const
{
    bool horz, vert;
    barsNeeded(horz, vert);
    return horz;
}

bool ScrollBox::vertBarShown() const
{
    bool horz, vert;
    barsNeeded(horz, vert);
    return vert;
}

int ScrollBox::clientWidth() const
{
    return std::max(0, width() - (vertBarShown() ? kBarThickness : 0));
}

int ScrollBox::clientHeight() const
{
    return std::max(0, height() - (horzBarShown() ? kBarThickness : 0));
}

int ScrollBox::maxHorzPosition() const
{
    return std::max(0, horzRange() - clientWidth());
}

int ScrollBox::maxVertPosition() const
{
    return std::max(0, vertRange() - clientHeight());
}

// Scrolling moves every child, as the platform's scroll box does, so a
// child's position is always in the box's client coordinates.
void ScrollBox::setHorzPosition(int position)
{
    const int next = std::clamp(position, 0, maxHorzPosition());
    const int delta = horz_.position - next;
    if (delta == 0)
        return;
    invalidate();
    horz_.position = next;
    for (Control* child : children())
        child->moveBy(delta, 0);
}

void ScrollBox::setVertPosition(int position)
{
    const int next = std::clamp(position, 0, maxVertPosition());
    const int delta = vert_.position - next;
    if (delta == 0)
        return;
    invalidate();
    vert_.position = next;
    for (Control* child : children())
        child->moveBy(0, delta);
}

void ScrollBox::setPosition(bool horizontal, int position)
{
    if (horizontal)
        setHorzPosition(position);
    else
        setVertPosition(position);
}

bool ScrollBox::mouseWheel(int delta, ShiftState shift, int x, int y)
{
    // A notch (120) scrolls three lines; with Shift, sideways.
    const int step = -delta * 3 * kLineStep / 120;
    if (shift & ssShift) {
        if (maxHorzPosition() == 0)
            return Control::mouseWheel(delta, shift, x, y);
        setHorzPosition(horz_.position + step);
    } else {
        if (maxVertPosition() == 0)
            return Control::mouseWheel(delta, shift, x, y);
        setVertPosition(vert_.position + step);
    }
    return true;
}

void ScrollBox::setHorzBarVisible(bool visible)
{
    invalidate();
    horz_.mode = visible ? ScrollBarMode::Automatic : ScrollBarMode::Hidden;
    updateScrollRange();
}

void ScrollBox::setVertBarVisible(bool visible)
{
    invalidate();
    vert_.mode = visible ? ScrollBarMode::Automatic : ScrollBarMode::Hidden;
    updateScrollRange();
}

void ScrollBox::updateScrollRange()
{
    setHorzPosition(horz_.position);
    setVertPosition(vert_.position);
}

void ScrollBox::boundsChanged()
{
    updateScrollRange();
    // Content of another size changes the bars without scrolling: they
    // appear, vanish or get a thumb of another length.
    const ScrollBarLayout horz = barLayout(true), vert = barLayout(false);
    if (horz == shownHorz_ && vert == shownVert_)
        return;
    shownHorz_ = horz;
    shownVert_ = vert;
    invalidate({width() - kBarThickness, 0, width(), height()});
    invalidate({0, height() - kBarThickness, width(), height()});
}

ScrollBarLayout ScrollBox::barLayout(bool horizontal) const
{
    ScrollBarLayout layout;
    layout.horizontal = horizontal;
    bool horz, vert;
    barsNeeded(horz, vert);
    if (!(horizontal ? horz : vert))
        return layout;
    const int w = width(), h = height(), t = kBarThickness;
    const gdi::IntRect bar = horizontal ? gdi::IntRect{0, h - t, w - (vert ? t : 0), h}
                                        : gdi::IntRect{w - t, 0, w, h - (horz ? t : 0)};
    if (bar.isEmpty())
        return layout;
    layout.bar = bar;
    // Lengths along the bar; `span` turns a stretch of it into a rectangle.
    const int start = horizontal ? bar.left : bar.top;
    const int length = static_cast<int>(horizontal ? bar.width() : bar.height());
    auto span = [&](int from, int to) {
        return horizontal ? gdi::IntRect{from, bar.top, to, bar.bottom} : gdi::IntRect{bar.left, from, bar.right, to};
    };
    const int arrow = std::min(t, length / 2);
    layout.back = span(start, start + arrow);
    layout.forward = span(start + length - arrow, start + length);
    layout.trough = span(start + arrow, start + length - arrow);

    const int trough = length - 2 * arrow;
    const std::int64_t range = horizontal ? horzRange() : vertRange();
    const std::int64_t view = horizontal ? clientWidth() : clientHeight();
    layout.maxPosition = horizontal ? maxHorzPosition() : maxVertPosition();
    if (range <= 0)
        return layout;
    const int thumb = static_cast<int>(std::max<std::int64_t>(kMinThumb, trough * view / range));
    if (thumb > trough)
        return layout;
    layout.travel = trough - thumb;
    const int at = start + arrow
                   + (layout.maxPosition > 0
                          ? static_cast<int>(RoundedDiv(std::int64_t(layout.travel) * position(horizontal),
                                                        layout.maxPosition))
                          : 0);
    layout.thumb = span(at, at + thumb);
    return layout;
}

void ScrollBox::step(bool horizontal, ScrollBarPart part)
{
    const std::int64_t page = horizontal ? clientWidth() : clientHeight();
    std::int64_t by = 0;
    switch (part) {
    case ScrollBarPart::LineBack: by = -kLineStep; break;
    case ScrollBarPart::LineForward: by = kLineStep; break;
    case ScrollBarPart::PageBack: by = -page; break;
    case ScrollBarPart::PageForward: by = page; break;
    default: return;
    }
    setPosition(horizontal, gdi::ClampToInt(position(horizontal) + by));
}

void ScrollBox::mouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    if (button == MouseButton::Left) {
        endPress(); // a release that never arrived
        for (const bool horizontal : {true, false}) {
            const ScrollBarLayout layout = barLayout(horizontal);
            const ScrollBarPart part = layout.partAt(x, y);
            if (part == ScrollBarPart::None)
                continue;
            press_ = Press{horizontal, part, layout.along(x, y) - layout.along(layout.thumb.left, layout.thumb.top),
                           {x, y}};
            invalidate(layout.bar);
            if (part != ScrollBarPart::Thumb) {
                step(horizontal, part);
                repeating_ = false;
                timer_ = CurrentBackend().startTimer(kRepeatDelay, [this] { repeat(); });
            }
            break;
        }
    }
    Control::mouseDown(button, shift, x, y);
}

void ScrollBox::mouseMove(ShiftState shift, int x, int y)
{
    if (press_ && !(shift & ssLeft))
        endPress(); // the button went up where we could not hear it
    if (press_) {
        const bool looked = pressedLook();
        press_->pointer = {x, y};
        if (press_->part == ScrollBarPart::Thumb)
            dragThumb();
        else if (pressedLook() != looked)
            invalidate(barLayout(press_->horizontal).bar);
    }
    Control::mouseMove(shift, x, y);
}

void ScrollBox::mouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    if (button == MouseButton::Left)
        endPress();
    Control::mouseUp(button, shift, x, y);
}

void ScrollBox::setVisible(bool visible)
{
    if (!visible)
        endPress();
    Control::setVisible(visible);
}

// The thumb keeps the point where it was grabbed under the pointer; its
// travel maps onto the positions from 0 to the largest.
void ScrollBox::dragThumb()
{
    const ScrollBarLayout layout = barLayout(press_->horizontal);
    if (layout.travel <= 0)
        return;
    const std::int64_t offset = std::int64_t(layout.along(press_->pointer.x, press_->pointer.y)) - press_->grab
                                - layout.along(layout.trough.left, layout.trough.top);
    const std::int64_t travelled = std::clamp<std::int64_t>(offset, 0, layout.travel);
    setPosition(press_->horizontal,
                static_cast<int>(RoundedDiv(travelled * layout.maxPosition, layout.travel)));
}

void ScrollBox::repeat()
{
    if (!press_ || !showing() || !enabled()) {
        endPress();
        return;
    }
    if (!repeating_) {
        repeating_ = true;
        stopTimer();
        timer_ = CurrentBackend().startTimer(kRepeatInterval, [this] { repeat(); });
    }
    // Only while the pointer is on the part pressed: the trough stops once
    // the thumb has come under the pointer.
    if (barLayout(press_->horizontal).partAt(press_->pointer.x, press_->pointer.y) == press_->part)
        step(press_->horizontal, press_->part);
}

bool ScrollBox::pressedLook() const
{
    return press_ && press_->part != ScrollBarPart::Thumb
           && barLayout(press_->horizontal).partAt(press_->pointer.x, press_->pointer.y) == press_->part;
}

void ScrollBox::endPress()
{
    stopTimer();
    if (!press_)
        return;
    invalidate(barLayout(press_->horizontal).bar);
    press_.reset();
}

void ScrollBox::stopTimer()
{
    if (timer_ != 0)
        CurrentBackend().stopTimer(timer_);
    timer_ = 0;
}

void ScrollBox::paint(gdi::Canvas& canvas)
{
    look::Fill(canvas, gdi::IntRect{0, 0, width(), height()}, look::kBtnFace); // behind the content
    const bool pressed = pressedLook();
    for (const bool horizontal : {true, false}) {
        const ScrollBarLayout layout = barLayout(horizontal);
        if (layout.bar.isEmpty())
            continue;
        const bool mine = pressed && press_->horizontal == horizontal;
        look::Fill(canvas, layout.bar, look::kScrollBar);
        if (mine && (press_->part == ScrollBarPart::PageBack || press_->part == ScrollBarPart::PageForward)) {
            // The stretch of trough between the thumb and the arrow pressed toward.
            gdi::IntRect lit = layout.trough;
            const bool back = press_->part == ScrollBarPart::PageBack;
            if (horizontal)
                (back ? lit.right : lit.left) = back ? layout.thumb.left : layout.thumb.right;
            else
                (back ? lit.bottom : lit.top) = back ? layout.thumb.top : layout.thumb.bottom;
            look::Fill(canvas, lit, look::k3DDkShadow);
        }
        for (const bool back : {true, false}) {
            const gdi::IntRect arrow = back ? layout.back : layout.forward;
            if (arrow.isEmpty())
                continue;
            const bool sunk = mine && press_->part == (back ? ScrollBarPart::LineBack : ScrollBarPart::LineForward);
            look::Fill(canvas, arrow, look::kBtnFace);
            if (sunk)
                look::Ring(canvas, arrow, look::kBtnShadow, look::kBtnShadow);
            else
                look::RaisedEdge(canvas, arrow);
            const int shortest = static_cast<int>(std::min(arrow.width(), arrow.height()));
            const int rows = std::clamp((shortest - 5) / 2, 1, 4);
            const int shift = sunk ? 1 : 0;
            const int cx = arrow.left + static_cast<int>(arrow.width()) / 2 + shift;
            const int cy = arrow.top + static_cast<int>(arrow.height()) / 2 + shift;
            const gdi::Color ink = enabled() ? look::kBtnText : look::kGrayText;
            if (horizontal)
                look::SideArrow(canvas, cx, cy, rows, back, ink);
            else
                look::Arrow(canvas, cx, cy, rows, back, ink);
        }
        if (!layout.thumb.isEmpty()) {
            look::Fill(canvas, layout.thumb, look::kBtnFace);
            look::RaisedEdge(canvas, layout.thumb);
        }
    }
}

} // namespace forms
