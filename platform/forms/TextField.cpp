#include "platform/forms/TextField.h"

#include "platform/forms/ClassicLook.h"

#include <algorithm>

namespace forms {

void TextField::setText(std::string text)
{
    text_ = std::move(text);
    caret_ = text_.size();
}

bool TextField::edit(Key key, char character, const Filter& accepts)
{
    switch (key) {
    case Key::Character:
        if (static_cast<unsigned char>(character) < 32)
            return false;
        if (maxLength > 0 && text_.size() >= std::size_t(maxLength))
            return false;
        if (accepts && !accepts(character, caret_, text_))
            return false;
        text_.insert(caret_, 1, character);
        ++caret_;
        return true;
    case Key::Backspace:
        if (caret_ == 0)
            return false;
        text_.erase(--caret_, 1);
        return true;
    case Key::Delete:
        if (caret_ >= text_.size())
            return false;
        text_.erase(caret_, 1);
        return true;
    case Key::Left:
        caret_ = caret_ > 0 ? caret_ - 1 : 0;
        return false;
    case Key::Right:
        caret_ = std::min(caret_ + 1, text_.size());
        return false;
    case Key::Home:
        caret_ = 0;
        return false;
    case Key::End:
        caret_ = text_.size();
        return false;
    default:
        return false;
    }
}

void TextField::paint(gdi::Canvas& canvas, const gdi::IntRect& area, bool focused, bool enabled) const
{
    if (area.isEmpty())
        return;
    canvas.font() = look::DialogFont(enabled ? look::kWindowText : look::kGrayText);
    canvas.brush().setStyle(gdi::BrushStyle::Clear);
    const int lineHeight = look::LineHeight(canvas.font());
    const int caretX = canvas.textExtent(std::string_view(text_).substr(0, caret_)).width;
    const int room = static_cast<int>(area.width()) - 2;
    const int scroll = std::max(0, caretX - room);
    const int x = area.left + 1 - scroll;
    const int y = area.top + (static_cast<int>(area.height()) - lineHeight) / 2;
    // Clipped to the area, so that scrolled text stays inside.
    canvas.save();
    canvas.clipTo(area);
    canvas.textOut(x, y, text_);
    if (focused)
        look::Fill(canvas, {x + caretX, y, x + caretX + 1, y + lineHeight}, look::kWindowText);
    canvas.restore();
}

} // namespace forms
