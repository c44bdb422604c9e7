#include "platform/gdi/Canvas.h"

#include "platform/gdi/BoxFigure.h"
#include "platform/gdi/Int128.h"
#include "platform/gdi/Ink.h"
#include "platform/gdi/LineWalk.h"
#include "platform/gdi/SpanSet.h"
#include "platform/gdi/Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gdi {

namespace {

using i64 = std::int64_t;

// Dash patterns in pixels, starting with a drawn run.
struct Pattern {
    const int* runs;
    int count;
    int length;
};
constexpr int kDash[] = {18, 6};
constexpr int kDot[] = {3, 3};
constexpr int kDashDot[] = {9, 6, 3, 6};
constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};

Pattern PatternOf(PenStyle style)
{
    switch (style) {
    case PenStyle::Dash: return {kDash, 2, 24};
    case PenStyle::Dot: return {kDot, 2, 6};
    case PenStyle::DashDot: return {kDashDot, 4, 24};
    case PenStyle::DashDotDot: return {kDashDotDot, 6, 24};
    default: return {nullptr, 0, 0};
    }
}

bool PatternOn(const Pattern& p, i64 index)
{
    int k = int(index % p.length);
    for (int i = 0; i < p.count; ++i) {
        if (k < p.runs[i])
            return i % 2 == 0;
        k -= p.runs[i];
    }
    return false;
}

// Dashed outlines of curved figures count every outline pixel to place the
// pattern, which costs time for the whole figure; above these sizes the
// outline is drawn solid instead.
constexpr i64 kMaxDashedFigureRows = i64(1) << 20;
constexpr i64 kMaxDashedPieExtent = i64(1) << 18;

struct Box {
    i64 l, t, r, b;
    i64 w() const { return r - l; }
    i64 h() const { return b - t; }
};

Box NormalBox(int left, int top, int right, int bottom)
{
    Box box{left, top, right, bottom};
    if (box.l > box.r)
        std::swap(box.l, box.r);
    if (box.t > box.b)
        std::swap(box.t, box.b);
    return box;
}

i64 CeilDiv(Int128 n, Int128 d)
{
    if (d < 0) {
        n = -n;
        d = -d;
    }
    Int128 q = n / d;
    if (n % d != 0 && n > 0)
        ++q;
    return i64(q);
}

// Hands `run` the outline of a box figure between rows lo and hi as four
// chains, each ended on the stroke: the top row, the bottom row, the left
// side, the right side. Runs are inclusive column spans.
template <class Stroke, class Run>
void WalkOutlineChains(const BoxFigure& fig, i64 t, i64 b, i64 lo, i64 hi, Stroke& stroke, Run&& run)
{
    for (const i64 y : {t, b - 1}) {
        if (y >= lo && y < hi) {
            const BoxFigure::Row row = fig.row(y);
            run(y, row.leftFrom, row.rightTo);
        }
        stroke.endChain();
    }
    for (int side = 0; side < 2; ++side) {
        for (i64 y = std::max(lo, t + 1); y < std::min(hi, b - 1); ++y) {
            const BoxFigure::Row row = fig.row(y);
            if (side == 0)
                run(y, row.leftFrom, row.leftTo);
            else
                run(y, row.rightFrom, row.rightTo);
        }
        stroke.endChain();
    }
}

} // namespace

// Pens wider than this draw like this width (our rule): it covers four
// times the largest useful picture and bounds the work per path pixel.
constexpr int kMaxPenWidth = 1 << 14;

// Collects the pixels of one outline and paints them with the pen. Thin
// solid pens gather a span set that is painted once at the end; thin styled
// pens paint each pixel as it comes, by its pattern index. Wide pens stamp
// a disc on every path pixel: along one chain of pixels that is monotone in
// y or x (a segment, one side of a curve) the stamps of each row join into
// one interval, so a chain keeps a row's extent only and adds it to the set
// when the chain ends. The work per pixel is bounded by the bitmap height.
class Canvas::Stroke {
public:
    explicit Stroke(Canvas& c)
        : bmp_(*c.bitmap_), set_(c.bitmap_->bounds()), penInk_(Ink::Solid(c.pen_.color(), c.pen_.mode())),
          gapInk_(Ink::Solid(c.brush_.color(), c.pen_.mode())),
          paintGaps_(c.brush_.style() == BrushStyle::Solid),
          width_(std::clamp(c.pen_.width(), 1, kMaxPenWidth)),
          pattern_(width_ > 1 ? Pattern{nullptr, 0, 0} : PatternOf(c.pen_.style()))
    {
        if (!wide())
            return;
        // Row i of the disc (offset off + i) covers columns off + lo .. off + hi:
        // the cells whose centres lie within w / 2 of the disc's centre.
        const i64 w = width_, off = -(w / 2);
        for (i64 i = 0; i < w; ++i) {
            const i64 dy = 2 * i - (w - 1);
            const i64 room = w * w - dy * dy; // (2 * j - (w - 1))^2 <= room
            i64 r = i64(std::sqrt(double(room)));
            while (r * r > room)
                --r;
            while ((r + 1) * (r + 1) <= room)
                ++r;
            // 2j - (w - 1) in [-r, r] with j integer.
            const i64 lo = (w - 1 - r + 1) / 2, hi = (w - 1 + r) / 2;
            disc_.push_back({int(off + lo), int(off + hi + 1)});
        }
        rowMin_.assign(std::size_t(bmp_.height()), INT64_MAX);
        rowMax_.assign(std::size_t(bmp_.height()), INT64_MIN);
    }

    bool wide() const { return width_ > 1; }
    bool styled() const { return pattern_.runs != nullptr; }
    // How far outside the bitmap a path pixel can still paint inside it.
    i64 margin() const { return width_ / 2 + 1; }

    void pixel(i64 index, i64 x, i64 y)
    {
        if (styled()) {
            if (x < 0 || y < 0 || x >= bmp_.width() || y >= bmp_.height())
                return;
            if (PatternOn(pattern_, index))
                PaintSpan(bmp_, int(y), int(x), int(x) + 1, penInk_);
            else if (paintGaps_)
                PaintSpan(bmp_, int(y), int(x), int(x) + 1, gapInk_);
            return;
        }
        run(y, x, x + 1);
    }

    // Pixels x0..x1-1 of row y, unstyled.
    void run(i64 y, i64 x0, i64 x1)
    {
        if (!wide()) {
            set_.add(y, x0, x1);
            return;
        }
        const i64 off = -(width_ / 2);
        const i64 first = std::max<i64>(y + off, 0), last = std::min<i64>(y + off + width_, bmp_.height());
        for (i64 row = first; row < last; ++row) {
            const Disc& d = disc_[std::size_t(row - y - off)];
            rowMin_[std::size_t(row)] = std::min(rowMin_[std::size_t(row)], x0 + d.x0);
            rowMax_[std::size_t(row)] = std::max(rowMax_[std::size_t(row)], x1 - 1 + d.x1);
        }
        if (first < last) {
            touchedLo_ = std::min(touchedLo_, first);
            touchedHi_ = std::max(touchedHi_, last);
        }
    }

    // Ends a chain of wide-pen pixels (see above).
    void endChain()
    {
        for (i64 row = touchedLo_; row < touchedHi_; ++row) {
            const std::size_t r = std::size_t(row);
            if (rowMin_[r] < rowMax_[r])
                set_.add(row, rowMin_[r], rowMax_[r]);
            rowMin_[r] = INT64_MAX;
            rowMax_[r] = INT64_MIN;
        }
        touchedLo_ = INT64_MAX;
        touchedHi_ = INT64_MIN;
    }

    void finish()
    {
        endChain();
        set_.paint(bmp_, penInk_);
    }

private:
    struct Disc {
        int x0, x1; // column offsets x0..x1-1
    };

    Bitmap& bmp_;
    SpanSet set_;
    Ink penInk_;
    Ink gapInk_;
    bool paintGaps_;
    int width_;
    Pattern pattern_;
    std::vector<Disc> disc_;
    std::vector<i64> rowMin_, rowMax_;
    i64 touchedLo_ = INT64_MAX, touchedHi_ = INT64_MIN;
};

void Canvas::place()
{
    if (!clipped_ && origin_.x == 0 && origin_.y == 0) {
        bitmap_ = root_;
        shift_ = {};
        return;
    }
    if (!clipped_) {
        bitmap_ = root_;
        shift_ = origin_;
        return;
    }
    view_ = Bitmap::View(*root_, clip_);
    bitmap_ = &view_;
    const IntRect inside = clip_.intersected(root_->bounds());
    shift_ = {ClampToInt(i64(origin_.x) - inside.left), ClampToInt(i64(origin_.y) - inside.top)};
}

void Canvas::translate(int dx, int dy)
{
    origin_ = {ClampToInt(i64(origin_.x) + dx), ClampToInt(i64(origin_.y) + dy)};
    place();
}

void Canvas::clipTo(const IntRect& rect)
{
    const IntRect r = rect.normalized();
    const IntRect inRoot{ClampToInt(i64(r.left) + origin_.x), ClampToInt(i64(r.top) + origin_.y),
                         ClampToInt(i64(r.right) + origin_.x), ClampToInt(i64(r.bottom) + origin_.y)};
    clip_ = (clipped_ ? clip_ : root_->bounds()).intersected(inRoot).intersected(root_->bounds());
    clipped_ = true;
    place();
}

IntRect Canvas::clipRect() const
{
    const IntRect c = clipped_ ? clip_ : root_->bounds();
    if (c.isEmpty())
        return {};
    return {ClampToInt(i64(c.left) - origin_.x), ClampToInt(i64(c.top) - origin_.y),
            ClampToInt(i64(c.right) - origin_.x), ClampToInt(i64(c.bottom) - origin_.y)};
}

void Canvas::save()
{
    saved_.push_back({origin_, clip_, clipped_, pen_, brush_, font_, pos_});
}

void Canvas::restore()
{
    if (saved_.empty())
        return;
    State state = std::move(saved_.back());
    saved_.pop_back();
    origin_ = state.origin;
    clipped_ = state.clipped;
    clip_ = state.clip;
    pen_ = std::move(state.pen);
    brush_ = std::move(state.brush);
    font_ = std::move(state.font);
    pos_ = state.pos;
    place();
}

void Canvas::touch(i64 l, i64 t, i64 r, i64 b)
{
    l = std::max<i64>(l, 0);
    t = std::max<i64>(t, 0);
    r = std::min<i64>(r, bitmap_->width());
    b = std::min<i64>(b, bitmap_->height());
    if (l >= r || t >= b)
        return;
    // A view's pixels sit at the clip's top-left of the root.
    const i64 ox = bitmap_ == root_ ? 0 : clip_.left, oy = bitmap_ == root_ ? 0 : clip_.top;
    if (onTouched)
        onTouched(IntRect{int(l + ox), int(t + oy), int(r + ox), int(b + oy)});
}

void Canvas::touchPoints(std::span<const Point> points, i64 margin)
{
    if (points.empty())
        return;
    i64 l = points[0].x, t = points[0].y, r = l, b = t;
    for (const Point& p : points) {
        l = std::min<i64>(l, p.x);
        r = std::max<i64>(r, p.x);
        t = std::min<i64>(t, p.y);
        b = std::max<i64>(b, p.y);
    }
    touch(l - margin, t - margin, r + 1 + margin, b + 1 + margin);
}

std::span<const Point> Canvas::shiftPoints(std::span<const Point> points)
{
    if (!shifted())
        return points;
    shiftedPoints_.clear();
    for (const Point& p : points)
        shiftedPoints_.push_back({sx(p.x), sy(p.y)});
    return shiftedPoints_;
}

Color Canvas::pixel(int x, int y) const
{
    return bitmap_->pixel(sx(x), sy(y));
}

void Canvas::setPixel(int x, int y, Color c)
{
    x = sx(x);
    y = sy(y);
    bitmap_->setPixel(x, y, c);
    touch(x, y, i64(x) + 1, i64(y) + 1);
}

void Canvas::strokePath(Stroke& stroke, std::span<const Point> points, bool closed, bool includeEnd)
{
    const i64 m = stroke.margin();
    const i64 w = bitmap_->width(), h = bitmap_->height();
    const std::size_t segments = closed ? points.size() : points.size() - 1;
    i64 phase = 0;
    for (std::size_t i = 0; i < segments; ++i) {
        const Point a = points[i];
        const Point b = points[(i + 1) % points.size()];
        const LineSteps line(a, b);
        // Wide strokes include every end point so that joins and caps are round.
        const bool end = stroke.wide() || (includeEnd && i + 1 == segments);
        line.walk(end, -m, w + m, -m, h + m,
                  [&](i64 j, i64 x, i64 y) { stroke.pixel(phase + j, x, y); });
        stroke.endChain();
        phase += line.count;
    }
}

void Canvas::lineTo(int x, int y)
{
    const Point pts[2] = {{sx(pos_.x), sy(pos_.y)}, {sx(x), sy(y)}};
    pos_ = {x, y};
    touchPoints(pts, std::clamp(pen_.width(), 1, kMaxPenWidth) / 2 + 1);
    Stroke stroke(*this);
    if (pen_.width() > 1 || pts[0] != pts[1])
        strokePath(stroke, pts, false, false);
    stroke.finish();
}

void Canvas::polyline(std::span<const Point> points)
{
    if (points.size() < 2)
        return;
    points = shiftPoints(points);
    touchPoints(points, std::clamp(pen_.width(), 1, kMaxPenWidth) / 2 + 1);
    Stroke stroke(*this);
    strokePath(stroke, points, false, false);
    stroke.finish();
}

void Canvas::fillBoxRows(i64 top, i64 bottom, i64 left, i64 right)
{
    bool visible = false;
    const Ink ink = Ink::FromBrush(brush_, pen_.mode(), &visible);
    if (!visible)
        return;
    const i64 y0 = std::max<i64>(top, 0), y1 = std::min<i64>(bottom, bitmap_->height());
    const i64 x0 = std::max<i64>(left, 0), x1 = std::min<i64>(right, bitmap_->width());
    if (x0 >= x1)
        return;
    for (i64 y = y0; y < y1; ++y)
        PaintSpan(*bitmap_, int(y), int(x0), int(x1), ink);
}

void Canvas::rectangle(int left, int top, int right, int bottom)
{
    const Box box = NormalBox(sx(left), sy(top), sx(right), sy(bottom));
    const i64 m = std::clamp(pen_.width(), 1, kMaxPenWidth) / 2 + 1;
    touch(box.l - m, box.t - m, box.r + m, box.b + m);
    if (box.w() == 0 || box.h() == 0 || (box.w() == 1 && box.h() == 1))
        return;
    fillBoxRows(box.t + 1, box.b - 1, box.l + 1, box.r - 1);
    Stroke stroke(*this);
    const int l = int(box.l), t = int(box.t), r1 = int(box.r - 1), b1 = int(box.b - 1);
    if (box.w() == 1 || box.h() == 1) {
        const Point pts[2] = {{l, t}, {r1, b1}};
        strokePath(stroke, pts, false, true);
    } else {
        const Point pts[4] = {{r1, t}, {l, t}, {l, b1}, {r1, b1}};
        strokePath(stroke, pts, true, false);
    }
    stroke.finish();
}

void Canvas::boxFigure(i64 l, i64 t, i64 r, i64 b, i64 cw, i64 ch)
{
    const BoxFigure fig(l, t, r, b, cw, ch);
    const i64 bw = bitmap_->width(), bh = bitmap_->height();
    bool visible = false;
    const Ink fill = Ink::FromBrush(brush_, pen_.mode(), &visible);
    if (visible) {
        for (i64 y = std::max<i64>(t, 0); y < std::min<i64>(b, bh); ++y) {
            const BoxFigure::Row row = fig.row(y);
            const i64 x0 = std::max<i64>(row.leftTo + 1, 0), x1 = std::min<i64>(row.rightFrom, bw);
            if (!row.full && x0 < x1)
                PaintSpan(*bitmap_, int(y), int(x0), int(x1), fill);
        }
    }
    Stroke stroke(*this);
    if (stroke.styled() && b - t <= kMaxDashedFigureRows) {
        fig.walk(0, bh, -1, bw + 1, [&](i64 index, i64 x, i64 y) { stroke.pixel(index, x, y); });
        return;
    }
    // Top row, left side, right side and bottom row are separate chains.
    const i64 m = stroke.margin();
    const i64 lo = std::max<i64>(t, -m), hi = std::min<i64>(b, bh + m);
    auto clipped = [&](i64 y, i64 from, i64 to) { // inclusive run, cut to the window
        const i64 x0 = std::max(from, -m), x1 = std::min(to + 1, bw + m);
        if (x0 < x1)
            stroke.run(y, x0, x1);
    };
    WalkOutlineChains(fig, t, b, lo, hi, stroke, clipped);
    stroke.finish();
}

void Canvas::ellipse(int left, int top, int right, int bottom)
{
    const Box box = NormalBox(sx(left), sy(top), sx(right), sy(bottom));
    if (box.w() == 0 || box.h() == 0)
        return;
    if (box.w() <= 2 || box.h() <= 2) {
        rectangle(left, top, right, bottom);
        return;
    }
    const i64 m = std::clamp(pen_.width(), 1, kMaxPenWidth) / 2 + 1;
    touch(box.l - m, box.t - m, box.r + m, box.b + m);
    boxFigure(box.l, box.t, box.r, box.b, box.w(), box.h());
}

void Canvas::roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    const Box box = NormalBox(sx(left), sy(top), sx(right), sy(bottom));
    if (box.w() == 0 || box.h() == 0)
        return;
    const i64 cw = std::min<i64>(std::llabs(i64(cornerWidth)), box.w());
    const i64 ch = std::min<i64>(std::llabs(i64(cornerHeight)), box.h());
    if (cw <= 2 || ch <= 2) {
        rectangle(left, top, right, bottom);
        return;
    }
    const i64 m = std::clamp(pen_.width(), 1, kMaxPenWidth) / 2 + 1;
    touch(box.l - m, box.t - m, box.r + m, box.b + m);
    boxFigure(box.l, box.t, box.r, box.b, cw, ch);
}

void Canvas::pie(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4)
{
    const Box box = NormalBox(sx(left), sy(top), sx(right), sy(bottom));
    if (box.w() == 0 || box.h() == 0)
        return;
    if (box.w() <= 2 || box.h() <= 2) {
        rectangle(left, top, right, bottom);
        return;
    }
    x3 = sx(x3);
    y3 = sy(y3);
    x4 = sx(x4);
    y4 = sy(y4);
    {
        const i64 m = std::clamp(pen_.width(), 1, kMaxPenWidth) / 2 + 1;
        touch(box.l - m, box.t - m, box.r + m, box.b + m);
    }
    using i128 = Int128;
    const i64 cx = box.l + box.w() / 2, cy = box.t + box.h() / 2;
    // Ray directions with y growing upwards, so counter-clockwise on screen
    // is the positive turn.
    i64 d1x = i64(x3) - cx, d1y = cy - i64(y3);
    i64 d2x = i64(x4) - cx, d2y = cy - i64(y4);
    if (d1x == 0 && d1y == 0)
        d1x = 1;
    if (d2x == 0 && d2y == 0)
        d2x = 1;
    auto cross = [](i64 ax, i64 ay, i64 bx, i64 by) { return i128(ax) * by - i128(ay) * bx; };
    const i128 c12 = cross(d1x, d1y, d2x, d2y);
    const bool full = c12 == 0 && (i128(d1x) * d2x + i128(d1y) * d2y) > 0;
    auto inSector = [&](i64 x, i64 y) {
        const i64 vx = x - cx, vy = cy - y;
        if (full || (vx == 0 && vy == 0))
            return true;
        const bool afterStart = cross(d1x, d1y, vx, vy) >= 0;
        const bool beforeEnd = cross(vx, vy, d2x, d2y) >= 0;
        if (c12 > 0)
            return afterStart && beforeEnd;
        if (c12 < 0)
            return afterStart || beforeEnd;
        return afterStart;
    };
    // Where a ray from the centre leaves the ellipse, rounded to a pixel.
    auto arcPoint = [&](i64 dx, i64 dy) {
        const long double a = (box.w() - 1) / 2.0L, b = (box.h() - 1) / 2.0L;
        const long double ex = box.l + a, ey = box.t + b;
        const long double sx = (long double)dx, sy = -(long double)dy;
        const long double px = cx - ex, py = cy - ey;
        const long double A = sx * sx / (a * a) + sy * sy / (b * b);
        const long double B = 2 * (px * sx / (a * a) + py * sy / (b * b));
        const long double C = px * px / (a * a) + py * py / (b * b) - 1;
        const long double s = (-B + std::sqrt(std::max<long double>(B * B - 4 * A * C, 0))) / (2 * A);
        return Point{int(std::llround(cx + s * sx)), int(std::llround(cy + s * sy))};
    };
    const BoxFigure fig(box.l, box.t, box.r, box.b, box.w(), box.h());
    const i64 bw = bitmap_->width(), bh = bitmap_->height();
    bool visible = false;
    const Ink fill = Ink::FromBrush(brush_, pen_.mode(), &visible);
    if (visible) {
        for (i64 y = std::max<i64>(box.t, 0); y < std::min<i64>(box.b, bh); ++y) {
            const BoxFigure::Row row = fig.row(y);
            if (row.full)
                continue;
            const i64 x0 = std::max<i64>(row.leftTo + 1, 0), x1 = std::min<i64>(row.rightFrom, bw);
            i64 runStart = -1;
            for (i64 x = x0; x <= x1; ++x) {
                const bool in = x < x1 && inSector(x, y);
                if (in && runStart < 0)
                    runStart = x;
                if (!in && runStart >= 0) {
                    PaintSpan(*bitmap_, int(y), int(runStart), int(x), fill);
                    runStart = -1;
                }
            }
        }
    }
    const Point start = arcPoint(d1x, d1y), end = arcPoint(d2x, d2y);
    const Point radii[3] = {end, {int(cx), int(cy)}, start};
    Stroke stroke(*this);
    if (stroke.styled() && box.w() + box.h() <= kMaxDashedPieExtent) {
        // The arc runs counter-clockwise from the start ray: order its pixels
        // by their angle from that ray, then continue along the radii.
        struct ArcPixel {
            long double angle;
            i64 x, y;
        };
        std::vector<ArcPixel> arc;
        const long double base = std::atan2((long double)d1y, (long double)d1x);
        fig.walk(box.t, box.b, box.l, box.r, [&](i64, i64 x, i64 y) {
            if (!inSector(x, y))
                return;
            long double a = std::atan2((long double)(cy - y), (long double)(x - cx)) - base;
            while (a < 0)
                a += 2 * 3.14159265358979323846L;
            arc.push_back({a, x, y});
        });
        std::stable_sort(arc.begin(), arc.end(),
                         [](const ArcPixel& p, const ArcPixel& q) { return p.angle < q.angle; });
        i64 index = 0;
        for (const ArcPixel& p : arc)
            stroke.pixel(index++, p.x, p.y);
        const i64 m = 0;
        for (int i = 0; i < 2; ++i) {
            const LineSteps line(radii[i], radii[i + 1]);
            line.walk(i == 1, -m, bw + m, -m, bh + m,
                      [&](i64 j, i64 x, i64 y) { stroke.pixel(index + j, x, y); });
            index += line.count;
        }
        return;
    }
    // The arc in chains as for the ellipse, each also broken where the
    // sector leaves it out, then the two radii.
    const i64 m = stroke.margin();
    const i64 lo = std::max<i64>(box.t, -m), hi = std::min<i64>(box.b, bh + m);
    auto arcRun = [&](i64 y, i64 from, i64 to) {
        i64 runStart = -1;
        const i64 last = std::min(to, bw + m);
        for (i64 x = std::max(from, -m); x <= last + 1; ++x) {
            const bool in = x <= last && inSector(x, y);
            if (in && runStart < 0)
                runStart = x;
            if (!in && runStart >= 0) {
                stroke.run(y, runStart, x);
                runStart = -1;
                if (x <= last)
                    stroke.endChain();
            }
        }
    };
    WalkOutlineChains(fig, box.t, box.b, lo, hi, stroke, arcRun);
    strokePath(stroke, radii, false, true);
    stroke.finish();
}

void Canvas::polygon(std::span<const Point> points)
{
    if (points.size() < 2)
        return;
    points = shiftPoints(points);
    touchPoints(points, std::clamp(pen_.width(), 1, kMaxPenWidth) / 2 + 1);
    bool visible = false;
    const Ink fill = Ink::FromBrush(brush_, pen_.mode(), &visible);
    if (visible) {
        i64 minY = points[0].y, maxY = points[0].y;
        for (const Point& p : points) {
            minY = std::min<i64>(minY, p.y);
            maxY = std::max<i64>(maxY, p.y);
        }
        const i64 bw = bitmap_->width();
        std::vector<i64> xs;
        for (i64 y = std::max<i64>(minY, 0); y < std::min<i64>(maxY, bitmap_->height()); ++y) {
            xs.clear();
            for (std::size_t i = 0; i < points.size(); ++i) {
                const Point a = points[i], b = points[(i + 1) % points.size()];
                if (a.y == b.y)
                    continue;
                const Point& lo = a.y < b.y ? a : b;
                const Point& hi = a.y < b.y ? b : a;
                if (y < lo.y || y >= hi.y)
                    continue;
                // Pixels at or right of the crossing are inside.
                const Int128 num = Int128(lo.x) * (i64(hi.y) - lo.y) + Int128(y - lo.y) * (i64(hi.x) - lo.x);
                xs.push_back(CeilDiv(num, i64(hi.y) - lo.y));
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
                const i64 x0 = std::max<i64>(xs[k], 0), x1 = std::min<i64>(xs[k + 1], bw);
                if (x0 < x1)
                    PaintSpan(*bitmap_, int(y), int(x0), int(x1), fill);
            }
        }
    }
    Stroke stroke(*this);
    strokePath(stroke, points, true, false);
    stroke.finish();
}

void Canvas::fillRect(const IntRect& rect)
{
    bool visible = false;
    const Ink ink = Ink::FromBrush(brush_, PenMode::Copy, &visible);
    const IntRect n = rect.normalized();
    const IntRect r = IntRect{sx(n.left), sy(n.top), sx(n.right), sy(n.bottom)}.intersected(bitmap_->bounds());
    if (!visible || r.isEmpty())
        return;
    touch(r.left, r.top, r.right, r.bottom);
    if (ink.hatched) {
        for (int y = r.top; y < r.bottom; ++y)
            PaintSpan(*bitmap_, y, r.left, r.right, ink);
        return;
    }
    // One row is filled, the others copied from it.
    PaintSpan(*bitmap_, r.top, r.left, r.right, ink);
    const std::size_t bytes = std::size_t(r.width()) * 3;
    const std::uint8_t* first = bitmap_->scanLine(r.top) + std::size_t(r.left) * 3;
    for (int y = r.top + 1; y < r.bottom; ++y)
        MoveBytes(bitmap_->scanLine(y) + std::size_t(r.left) * 3, first, bytes);
}

void Canvas::floodFill(int x, int y, Color color)
{
    bool visible = false;
    const Ink ink = Ink::FromBrush(brush_, PenMode::Copy, &visible);
    if (!visible)
        return;
    if (bitmap_ == root_) {
        // Each span is painted as soon as it is found, while its row is
        // still in the cache.
        FloodVisit(*bitmap_, sx(x), sy(y), color, floodScratch_, [&](const FloodSpan& s) {
            PaintSpan(*bitmap_, s.y, s.x0, s.x1, ink);
            touch(s.x0, s.y, s.x1, i64(s.y) + 1);
        });
        return;
    }
    // Under a clip the region is found in the whole bitmap and painted
    // where the clip lets it.
    const int rx = ClampToInt(i64(sx(x)) + clip_.left), ry = ClampToInt(i64(sy(y)) + clip_.top);
    FloodVisit(*root_, rx, ry, color, floodScratch_, [&](const FloodSpan& s) {
        if (s.y < clip_.top || s.y >= clip_.bottom)
            return;
        const int x0 = std::max(s.x0, clip_.left), x1 = std::min(s.x1, clip_.right);
        if (x0 >= x1)
            return;
        PaintSpan(*bitmap_, s.y - clip_.top, x0 - clip_.left, x1 - clip_.left, ink);
        touch(x0 - clip_.left, s.y - clip_.top, x1 - clip_.left, i64(s.y) - clip_.top + 1);
    });
}

void Canvas::copyRect(const IntRect& destRect, const Bitmap& src, const IntRect& srcRect)
{
    const IntRect n = destRect.normalized();
    const IntRect d{sx(n.left), sy(n.top), sx(n.right), sy(n.bottom)};
    const IntRect s = srcRect.normalized();
    if (d.isEmpty() || s.isEmpty())
        return;
    if (&src == root_ && bitmap_ != root_) {
        // Reading the bitmap a clipped view writes into: copy the source
        // part aside first, so that overlapping rows read old pixels.
        const IntRect inside = s.intersected(src.bounds());
        if (inside.isEmpty())
            return;
        Bitmap part(int(inside.width()), int(inside.height()));
        for (int y = 0; y < part.height(); ++y)
            std::memcpy(part.scanLine(y), src.scanLine(inside.top + y) + std::size_t(inside.left) * 3, part.stride());
        const IntRect rest{s.left - inside.left, s.top - inside.top, int(i64(s.right) - inside.left),
                           int(i64(s.bottom) - inside.top)};
        const Point saved = shift_;
        shift_ = {};
        copyRect(d, part, rest);
        shift_ = saved;
        return;
    }
    touch(d.left, d.top, d.right, d.bottom);
    if (d.width() != s.width() || d.height() != s.height()) {
        // Only the part of the source inside its bitmap is stretched, onto
        // the matching part of the destination.
        const IntRect inside = s.intersected(src.bounds());
        if (inside.isEmpty())
            return;
        auto map = [](i64 v, i64 from0, i64 fromSize, i64 to0, i64 toSize) {
            return i64(to0 + (Int128(v - from0) * toSize) / fromSize);
        };
        const i64 dl = map(inside.left, s.left, s.width(), d.left, d.width());
        const i64 dr = map(inside.right, s.left, s.width(), d.left, d.width());
        const i64 dt = map(inside.top, s.top, s.height(), d.top, d.height());
        const i64 db = map(inside.bottom, s.top, s.height(), d.top, d.height());
        if (dl >= dr || dt >= db)
            return;
        const IntRect target{int(dl), int(dt), int(dr), int(db)};
        if (&src == bitmap_) {
            copyScratch_.setSize(int(inside.width()), int(inside.height()));
            for (int y = 0; y < inside.height(); ++y)
                std::memcpy(copyScratch_.scanLine(y), src.scanLine(inside.top + y) + std::size_t(inside.left) * 3,
                            copyScratch_.stride());
            StretchHalftone(*bitmap_, target, copyScratch_, copyScratch_.bounds());
        } else {
            StretchHalftone(*bitmap_, target, src, inside);
        }
        return;
    }
    const i64 ox = i64(d.left) - s.left, oy = i64(d.top) - s.top;
    const IntRect inside = s.intersected(src.bounds());
    if (inside.isEmpty())
        return;
    // The destination of the readable source, clipped to this bitmap.
    const i64 l = std::max<i64>(inside.left + ox, 0), t = std::max<i64>(inside.top + oy, 0);
    const i64 r = std::min<i64>(inside.right + ox, bitmap_->width());
    const i64 b = std::min<i64>(inside.bottom + oy, bitmap_->height());
    if (l >= r || t >= b)
        return;
    const std::size_t bytes = std::size_t(r - l) * 3;
    auto copyRow = [&](i64 y) {
        MoveBytes(bitmap_->scanLine(int(y)) + std::size_t(l) * 3, src.scanLine(int(y - oy)) + std::size_t(l - ox) * 3,
                  bytes);
    };
    // Within one bitmap, rows are copied in the order that never reads a row
    // already written; memmove handles overlap inside a row.
    if (&src == bitmap_ && oy > 0) {
        for (i64 y = b - 1; y >= t; --y)
            copyRow(y);
    } else {
        for (i64 y = t; y < b; ++y)
            copyRow(y);
    }
}

void Canvas::draw(int x, int y, const Bitmap& src)
{
    const IntRect d{x, y, int(std::min<i64>(i64(x) + src.width(), INT32_MAX)),
                    int(std::min<i64>(i64(y) + src.height(), INT32_MAX))};
    copyRect(d, src, {0, 0, int(d.width()), int(d.height())});
}

void Canvas::drawTransparent(int x, int y, const Bitmap& src, Color transparent)
{
    if (&src == root_ && bitmap_ != root_) {
        const Bitmap copy = src;
        drawTransparent(x, y, copy, transparent);
        return;
    }
    x = sx(x);
    y = sy(y);
    transparent = ResolveColor(transparent);
    touch(x, y, i64(x) + src.width(), i64(y) + src.height());
    const i64 l = std::max<i64>(x, 0), t = std::max<i64>(y, 0);
    const i64 r = std::min<i64>(i64(x) + src.width(), bitmap_->width());
    const i64 b = std::min<i64>(i64(y) + src.height(), bitmap_->height());
    if (l >= r || t >= b)
        return;
    if (&src == bitmap_) {
        const Bitmap copy = src;
        const Point saved = shift_;
        shift_ = {};
        drawTransparent(x, y, copy, transparent);
        shift_ = saved;
        return;
    }
    const std::uint8_t tb = std::uint8_t(BlueOf(transparent)), tg = std::uint8_t(GreenOf(transparent)),
                       tr = std::uint8_t(RedOf(transparent));
    for (i64 yy = t; yy < b; ++yy) {
        const std::uint8_t* s = src.scanLine(int(yy - y)) + std::size_t(l - x) * 3;
        std::uint8_t* d = bitmap_->scanLine(int(yy)) + std::size_t(l) * 3;
        for (i64 xx = l; xx < r; ++xx, s += 3, d += 3) {
            if (s[0] == tb && s[1] == tg && s[2] == tr)
                continue;
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

void Canvas::textOut(int x, int y, std::string_view text)
{
    const TextSize size = DrawText(*bitmap_, sx(x), sy(y), font_, brush_, text);
    // Slanted glyphs may reach past the advance by up to a line's height.
    touch(sx(x) - i64(size.height), sy(y), i64(sx(x)) + size.width + size.height, i64(sy(y)) + size.height);
    pos_ = {int(std::min<i64>(i64(x) + size.width, INT32_MAX)), y};
}

TextSize Canvas::textExtent(std::string_view text) const
{
    return MeasureText(font_, text);
}

} // namespace gdi
