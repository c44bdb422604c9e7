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
    const int frame = look::FrameThickness(style_);
    return {frame, frame + look::CaptionHeight(style_)};
}

int Window::clientWidth() const
{
    return std::max(0, width() - 2 * look::FrameThickness(style_));
}

int Window::clientHeight() const
{
    return std::max(0, height() - 2 * look::FrameThickness(style_) - look::CaptionHeight(style_));
}

void Window::setClientSize(int width, int height)
{
    const int frame = look::FrameThickness(style_);
    setBounds(left(), top(), width + 2 * frame, height + 2 * frame + look::CaptionHeight(style_));
}

gdi::IntRect Window::closeBoxRect() const
{
    const int caption = look::CaptionHeight(style_);
    if (caption <= 4)
        return {};
    const int frame = look::FrameThickness(style_);
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
    const int frame = look::FrameThickness(style_);
    const int caption = look::CaptionHeight(style_);
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

} // namespace forms
