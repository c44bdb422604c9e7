#include "platform/forms/ScrollBox.h"

#include "platform/gdi/Canvas.h"

#include <algorithm>

namespace forms {

ScrollBox::ScrollBox(std::string name) : Control(std::move(name)) {}

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

bool ScrollBox::mouseWheel(int delta, ShiftState shift, int x, int y)
{
    // A notch (120) scrolls three lines of 16 pixels; with Shift, sideways.
    const int step = -delta * 48 / 120;
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

void ScrollBox::paint(gdi::Canvas& canvas)
{
    canvas.brush().setColor(0xFF00000F); // button face behind the content
    canvas.fillRect(gdi::IntRect{0, 0, width(), height()});
    const bool horz = horzBarShown(), vert = vertBarShown();
    auto drawBar = [&](gdi::IntRect track, bool horizontal, int position, int range, int view) {
        canvas.brush().setColor(0xFF000000); // scroll bar
        canvas.fillRect(track);
        const int length = horizontal ? static_cast<int>(track.width()) : static_cast<int>(track.height());
        if (range <= 0 || length <= 0)
            return;
        const int thumb = std::max(8, static_cast<int>(std::int64_t(length) * view / range));
        const int travel = std::max(0, length - thumb);
        const int maxPosition = std::max(1, range - view);
        const int start = static_cast<int>(std::int64_t(travel) * position / maxPosition);
        canvas.brush().setColor(0xFF000010); // button shadow
        if (horizontal)
            canvas.fillRect({track.left + start, track.top + 2, track.left + start + thumb, track.bottom - 2});
        else
            canvas.fillRect({track.left + 2, track.top + start, track.right - 2, track.top + start + thumb});
    };
    const int w = width(), h = height();
    if (horz)
        drawBar({0, h - kBarThickness, w - (vert ? kBarThickness : 0), h}, true, horz_.position, horzRange(),
                clientWidth());
    if (vert)
        drawBar({w - kBarThickness, 0, w, h - (horz ? kBarThickness : 0)}, false, vert_.position, vertRange(),
                clientHeight());
    if (horz && vert) {
        canvas.brush().setColor(0xFF00000F);
        canvas.fillRect({w - kBarThickness, h - kBarThickness, w, h});
    }
}

} // namespace forms
