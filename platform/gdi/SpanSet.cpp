#include "platform/gdi/SpanSet.h"

#include <algorithm>

namespace gdi {

void SpanSet::add(std::int64_t y, std::int64_t x0, std::int64_t x1)
{
    if (y < clip_.top || y >= clip_.bottom)
        return;
    x0 = std::max<std::int64_t>(x0, clip_.left);
    x1 = std::min<std::int64_t>(x1, clip_.right);
    if (x0 >= x1)
        return;
    if (!spans_.empty()) {
        Span& last = spans_.back();
        if (last.y == y && x0 <= last.x1 && x1 >= last.x0) { // common case: a run grows
            last.x0 = std::min<int>(last.x0, int(x0));
            last.x1 = std::max<int>(last.x1, int(x1));
            return;
        }
        if (last.y > y || (last.y == y && last.x0 > x0))
            normalized_ = false;
    }
    spans_.push_back({int(y), int(x0), int(x1)});
    if (!spans_.empty() && spans_.size() > 1) {
        const Span& prev = spans_[spans_.size() - 2];
        if (prev.y == y && prev.x1 >= x0)
            normalized_ = false;
    }
}

void SpanSet::normalize()
{
    if (normalized_)
        return;
    std::sort(spans_.begin(), spans_.end(), [](const Span& a, const Span& b) {
        return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
    });
    std::size_t out = 0;
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        if (out > 0 && spans_[out - 1].y == spans_[i].y && spans_[i].x0 <= spans_[out - 1].x1)
            spans_[out - 1].x1 = std::max(spans_[out - 1].x1, spans_[i].x1);
        else
            spans_[out++] = spans_[i];
    }
    spans_.resize(out);
    normalized_ = true;
}

void SpanSet::paint(Bitmap& bmp, const Ink& ink)
{
    normalize();
    for (const Span& s : spans_)
        PaintSpan(bmp, s.y, s.x0, s.x1, ink);
}

bool SpanSet::contains(int x, int y)
{
    normalize();
    for (const Span& s : spans_)
        if (s.y == y && x >= s.x0 && x < s.x1)
            return true;
    return false;
}

} // namespace gdi
