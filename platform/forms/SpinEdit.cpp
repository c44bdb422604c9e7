#include "platform/forms/SpinEdit.h"

#include "platform/forms/ClassicLook.h"
#include "platform/system/Clock.h"

#include <charconv>
#include <climits>
#include <optional>

namespace forms {
namespace {

constexpr int kArrowWidth = 15;

std::optional<int> ReadInteger(const std::string& text)
{
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

// Digits, and one minus in front of them all.
bool DigitsAndLeadingMinus(char c, std::size_t at, const std::string& text)
{
    const bool minusFirst = !text.empty() && text[0] == '-';
    if (c >= '0' && c <= '9')
        return at > 0 || !minusFirst;
    return c == '-' && at == 0 && !minusFirst;
}

} // namespace

SpinEdit::SpinEdit(std::string name) : Control(std::move(name))
{
    field_.setText("0");
}

int SpinEdit::value() const
{
    return ReadInteger(field_.text()).value_or(min_);
}

void SpinEdit::setValue(int value)
{
    invalidate();
    // The platform's order: below the minimum first, so that a minimum above
    // the maximum wins for small values.
    if (min_ != max_) {
        if (value < min_)
            value = min_;
        else if (value > max_)
            value = max_;
    }
    setText(std::to_string(value));
}

void SpinEdit::setText(std::string text)
{
    invalidate();
    const bool changed = text != field_.text();
    field_.setText(std::move(text));
    if (changed && onChange)
        onChange();
}

bool SpinEdit::setValueText(const std::string& text)
{
    const std::optional<int> number = ReadInteger(text);
    if (!number)
        return false;
    setValue(*number);
    return true;
}

gdi::IntRect SpinEdit::arrowRect(bool up) const
{
    const int right = width() - 2, left = right - kArrowWidth, middle = height() / 2;
    return up ? gdi::IntRect{left, 2, right, middle} : gdi::IntRect{left, middle, right, height() - 2};
}

void SpinEdit::step(int by)
{
    setValue(gdi::ClampToInt(std::int64_t(value()) + by));
}

void SpinEdit::keyDown(Key key, char character, ShiftState shift)
{
    Control::keyDown(key, character, shift);
    if (key == Key::Up || key == Key::Down) {
        step(key == Key::Up ? 1 : -1);
        return;
    }
    invalidate(); // the caret or the selection moves even when the text stays
    if (field_.edit(key, character, shift, DigitsAndLeadingMinus) && onChange)
        onChange();
}

void SpinEdit::focusChanged(bool focused)
{
    if (!focused) {
        field_.focusLost();
        setValue(value());
    }
}

void SpinEdit::mouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    Control::mouseDown(button, shift, x, y);
    if (button != MouseButton::Left)
        return;
    // The arrows own the whole right edge, frame included.
    if (x >= arrowRect(true).left) {
        field_.release();
        heldArrow_ = y < height() / 2 ? 1 : -1;
        step(heldArrow_);
    } else {
        field_.press(x, y, shift, textArea(), sys::TickCount());
        invalidate();
    }
}

void SpinEdit::mouseMove(ShiftState shift, int x, int y)
{
    if (field_.drag(x, shift, textArea()))
        invalidate();
    Control::mouseMove(shift, x, y);
}

void SpinEdit::mouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    Control::mouseUp(button, shift, x, y);
    if (button != MouseButton::Left)
        return;
    field_.release();
    if (heldArrow_ != 0) {
        heldArrow_ = 0;
        invalidate();
    }
}

gdi::IntRect SpinEdit::textArea() const
{
    return {2, 2, arrowRect(true).left, height() - 2};
}

void SpinEdit::paint(gdi::Canvas& canvas)
{
    look::Fill(canvas, gdi::IntRect{0, 0, width(), height()}, enabled() ? look::kWindow : look::kBtnFace);
    look::SunkenEdge(canvas, gdi::IntRect{0, 0, width(), height()});
    const gdi::IntRect up = arrowRect(true), down = arrowRect(false);
    field_.paint(canvas, textArea(), focused(), enabled());
    for (const gdi::IntRect& arrow : {up, down}) {
        const bool isUp = arrow == up;
        const bool held = heldArrow_ == (isUp ? 1 : -1);
        look::Fill(canvas, arrow, look::kBtnFace);
        if (held)
            look::Ring(canvas, arrow, look::kBtnShadow, look::kBtnShadow);
        else
            look::RaisedEdge(canvas, arrow);
        const int rows = std::max(1, std::min(3, (static_cast<int>(arrow.height()) - 4) / 2));
        const int shift = held ? 1 : 0;
        look::Arrow(canvas, arrow.left + static_cast<int>(arrow.width()) / 2 + shift,
                    arrow.top + static_cast<int>(arrow.height()) / 2 + shift, rows, isUp,
                    enabled() ? look::kBtnText : look::kGrayText);
    }
}

} // namespace forms
