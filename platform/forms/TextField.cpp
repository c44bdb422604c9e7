#include "platform/forms/TextField.h"

#include "platform/forms/Backend.h"
#include "platform/forms/ClassicLook.h"
#include "platform/gdi/Text.h"
#include "platform/system/Text1251.h"

#include <array>
#include <cstdlib>

namespace forms {
namespace {

enum class CharKind { Space, Word, Other };

CharKind KindOf(unsigned char c)
{
    if (c <= ' ' || c == 0xA0)
        return CharKind::Space;
    // Every letter of code page 1251, Latin or Cyrillic, has two cases.
    if ((c >= '0' && c <= '9') || sys::LowerChar1251(c) != sys::UpperChar1251(c))
        return CharKind::Word;
    return CharKind::Other;
}

// Advances of single bytes in the font the field paints with; text widths
// are the sums of their advances.
class Advances {
public:
    int operator()(char c)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (!known_[byte]) {
            known_[byte] = true;
            width_[byte] = gdi::MeasureText(font_, std::string_view(&c, 1)).width;
        }
        return width_[byte];
    }

private:
    gdi::Font font_ = look::DialogFont();
    std::array<int, 256> width_{};
    std::array<bool, 256> known_{};
};

int TextWidth(std::string_view text)
{
    return gdi::MeasureText(look::DialogFont(), text).width;
}

} // namespace

bool DoubleClickTracker::press(std::uint32_t now, int x, int y)
{
    // The tick count wraps; the unsigned difference does not mind.
    const bool second = armed_ && now - at_ <= kTime && std::abs(x - x_) <= kSlop && std::abs(y - y_) <= kSlop;
    armed_ = !second;
    at_ = now;
    x_ = x;
    y_ = y;
    return second;
}

void TextField::setText(std::string text)
{
    text_ = std::move(text);
    caretToEnd();
}

void TextField::select(std::size_t anchor, std::size_t caret)
{
    anchor_ = std::min(anchor, text_.size());
    caret_ = std::min(caret, text_.size());
}

bool TextField::edit(Key key, char character, ShiftState shift, const Filter& accepts)
{
    // A key between two presses makes them two clicks.
    clicks_.forget();
    const bool extend = (shift & ssShift) != 0;
    switch (key) {
    case Key::Character: {
        const bool ctrl = (shift & ssCtrl) != 0, alt = (shift & ssAlt) != 0;
        // Ctrl with Alt is AltGr on the platform: it types.
        if (ctrl && !alt)
            return command(character, accepts);
        if (alt && !ctrl)
            return false;
        return type(character, accepts);
    }
    case Key::Backspace:
        if (!hasSelection()) {
            if (caret_ == 0)
                return false;
            anchor_ = caret_ - 1;
        }
        removeSelection();
        return true;
    case Key::Delete:
        if (!hasSelection()) {
            if (caret_ >= text_.size())
                return false;
            anchor_ = caret_ + 1;
        }
        removeSelection();
        return true;
    case Key::Left:
        moveCaret(!extend && hasSelection() ? selectionStart() : (caret_ > 0 ? caret_ - 1 : 0), extend);
        return false;
    case Key::Right:
        moveCaret(!extend && hasSelection() ? selectionEnd() : std::min(caret_ + 1, text_.size()), extend);
        return false;
    case Key::Home:
        moveCaret(0, extend);
        return false;
    case Key::End:
        moveCaret(text_.size(), extend);
        return false;
    default:
        return false;
    }
}

bool TextField::command(char letter, const Filter& accepts)
{
    switch (letter | 0x20) { // Shift or Caps Lock may bring the capital
    case 'a':
        selectAll();
        return false;
    case 'c':
        if (hasSelection())
            CurrentBackend().setClipboardText(selectedText());
        return false;
    case 'x':
        if (!hasSelection())
            return false;
        CurrentBackend().setClipboardText(selectedText());
        removeSelection();
        return true;
    case 'v':
        return paste(accepts);
    default:
        return false;
    }
}

bool TextField::type(char character, const Filter& accepts)
{
    if (static_cast<unsigned char>(character) < 32)
        return false;
    const std::size_t at = selectionStart();
    std::string result = text_;
    result.erase(at, selectionEnd() - at);
    if (maxLength > 0 && result.size() >= std::size_t(maxLength))
        return false;
    if (accepts && !accepts(character, at, result))
        return false;
    result.insert(at, 1, character);
    text_ = std::move(result);
    select(at + 1, at + 1);
    return true;
}

bool TextField::paste(const Filter& accepts)
{
    // One line: what follows the first line break stays behind.
    std::string pasted = CurrentBackend().clipboardText();
    pasted.resize(std::min(pasted.find_first_of("\r\n"), pasted.size()));
    std::size_t at = selectionStart();
    std::string result = text_;
    result.erase(at, selectionEnd() - at);
    bool inserted = false;
    for (const char c : pasted) {
        if (maxLength > 0 && result.size() >= std::size_t(maxLength))
            break;
        if (static_cast<unsigned char>(c) < 32 || (accepts && !accepts(c, at, result)))
            continue;
        result.insert(at++, 1, c);
        inserted = true;
    }
    // Nothing the field takes: the selection stays.
    if (!inserted)
        return false;
    text_ = std::move(result);
    select(at, at);
    return true;
}

void TextField::removeSelection()
{
    const std::size_t from = selectionStart();
    text_.erase(from, selectionEnd() - from);
    select(from, from);
}

void TextField::moveCaret(std::size_t to, bool extend)
{
    caret_ = to;
    if (!extend)
        anchor_ = to;
}

void TextField::press(int x, int y, ShiftState shift, const gdi::IntRect& area, std::uint32_t now)
{
    // Positions are read against the view as it shows now.
    scroll_ = scrollFor(area);
    if (shift & ssShift) {
        clicks_.forget();
        caret_ = positionAt(x, area);
        drag_ = Drag::Characters;
    } else if (clicks_.press(now, x, y)) {
        dragWord_ = WordAt(text_, characterAt(x, area));
        select(dragWord_.first, dragWord_.second);
        drag_ = Drag::Words;
    } else {
        const std::size_t at = positionAt(x, area);
        select(at, at);
        drag_ = Drag::Characters;
    }
}

bool TextField::drag(int x, ShiftState shift, const gdi::IntRect& area)
{
    // A release that never arrived ends the drag at the next move.
    if (!(shift & ssLeft))
        drag_ = Drag::None;
    if (drag_ == Drag::None)
        return false;
    scroll_ = scrollFor(area);
    const std::size_t anchor = anchor_, caret = caret_;
    if (drag_ == Drag::Characters) {
        caret_ = positionAt(x, area);
    } else {
        // By words, the double-clicked one always kept.
        const auto word = WordAt(text_, characterAt(x, area));
        if (word.first < dragWord_.first)
            select(dragWord_.second, word.first);
        else
            select(dragWord_.first, std::max(word.second, dragWord_.second));
    }
    return anchor != anchor_ || caret != caret_;
}

void TextField::focusLost()
{
    clicks_.forget();
    drag_ = Drag::None;
}

std::size_t TextField::positionAt(int x, const gdi::IntRect& area) const
{
    const std::int64_t offset = std::int64_t(x) - textLeft(area);
    Advances advance;
    std::int64_t left = 0;
    for (std::size_t i = 0; i < text_.size(); ++i) {
        const int width = advance(text_[i]);
        // Nearer the character's left edge than its right.
        if (2 * (offset - left) < width)
            return i;
        left += width;
    }
    return text_.size();
}

std::size_t TextField::characterAt(int x, const gdi::IntRect& area) const
{
    const std::int64_t offset = std::int64_t(x) - textLeft(area);
    Advances advance;
    std::int64_t left = 0;
    for (std::size_t i = 0; i < text_.size(); ++i) {
        left += advance(text_[i]);
        if (offset < left)
            return i;
    }
    return text_.empty() ? 0 : text_.size() - 1;
}

int TextField::textLeft(const gdi::IntRect& area) const
{
    return area.left + 1 - scrollFor(area);
}

int TextField::scrollFor(const gdi::IntRect& area) const
{
    const int room = static_cast<int>(area.width()) - 2;
    const int caretX = TextWidth(std::string_view(text_).substr(0, caret_));
    int scroll = scroll_;
    if (caretX - scroll > room)
        scroll = caretX - room;
    if (caretX < scroll)
        scroll = caretX;
    // No empty room at the right while text is hidden at the left.
    scroll = std::min(scroll, std::max(0, TextWidth(text_) - room));
    return std::max(0, scroll);
}

std::pair<std::size_t, std::size_t> TextField::WordAt(const std::string& text, std::size_t at)
{
    if (text.empty())
        return {0, 0};
    at = std::min(at, text.size() - 1);
    const CharKind kind = KindOf(static_cast<unsigned char>(text[at]));
    std::size_t first = at, last = at + 1;
    while (first > 0 && KindOf(static_cast<unsigned char>(text[first - 1])) == kind)
        --first;
    while (last < text.size() && KindOf(static_cast<unsigned char>(text[last])) == kind)
        ++last;
    return {first, last};
}

void TextField::paint(gdi::Canvas& canvas, const gdi::IntRect& area, bool focused, bool enabled)
{
    if (area.isEmpty())
        return;
    scroll_ = scrollFor(area);
    canvas.font() = look::DialogFont(enabled ? look::kWindowText : look::kGrayText);
    canvas.brush().setStyle(gdi::BrushStyle::Clear);
    const std::string_view text(text_);
    const int lineHeight = look::LineHeight(canvas.font());
    const int x = area.left + 1 - scroll_;
    const int y = area.top + (static_cast<int>(area.height()) - lineHeight) / 2;
    // Clipped to the area, so that scrolled text stays inside.
    canvas.save();
    canvas.clipTo(area);
    canvas.textOut(x, y, text);
    // The platform shows the selection only in the field that has the focus.
    if (focused && hasSelection()) {
        const std::size_t from = selectionStart(), count = selectionEnd() - from;
        const int left = x + canvas.textExtent(text.substr(0, from)).width;
        const gdi::IntRect band{left, y, left + canvas.textExtent(text.substr(from, count)).width, y + lineHeight};
        look::Fill(canvas, band, look::kHighlight);
        canvas.brush().setStyle(gdi::BrushStyle::Clear);
        canvas.font().setColor(look::kHighlightText);
        canvas.save();
        canvas.clipTo(band);
        canvas.textOut(left, y, text.substr(from, count));
        canvas.restore();
    }
    if (focused) {
        const int caretX = x + canvas.textExtent(text.substr(0, caret_)).width;
        look::Fill(canvas, {caretX, y, caretX + 1, y + lineHeight}, look::kWindowText);
    }
    canvas.restore();
}

} // namespace forms
