#pragma once

#include "platform/forms/Control.h"
#include "platform/forms/TextField.h"

#include <functional>

namespace forms {

// An edit box for a whole number with up and down arrows at its right edge
// (each half its height). The text is edited freely and read as a number
// when asked: text that is not a 32-bit decimal integer counts as
// minValue(). Values are clamped into [minValue, maxValue] by setValue(), by
// the arrows and keys and when the box loses the focus, except when
// minValue equals maxValue (no limits).
class SpinEdit : public Control {
public:
    explicit SpinEdit(std::string name = {});

    int minValue() const { return min_; }
    int maxValue() const { return max_; }
    void setMinValue(int value) { min_ = value; }
    void setMaxValue(int value) { max_ = value; }

    int value() const;
    // Clamps, then sets the text to the decimal value.
    void setValue(int value);
    const std::string& text() const { return field_.text(); }
    // The raw text, not clamped; the caret goes to its end and nothing is
    // selected.
    void setText(std::string text);
    // The text with its caret and selection.
    const TextField& field() const { return field_; }
    // Limits typed and pasted characters only.
    int maxLength() const { return field_.maxLength; }
    void setMaxLength(int n) { field_.maxLength = n; }
    // Runs after every change of the text.
    std::function<void()> onChange;

    // An arrow button in the control's own coordinates.
    gdi::IntRect arrowRect(bool up) const;

    // An integer text sets the value (clamped); anything else is refused.
    bool setValueText(const std::string& text) override;
    bool focusable() const override { return true; }
    // Up and Down step; the other keys edit as TextField::edit does, and
    // typing and pasting take digits and a leading minus.
    void keyDown(Key key, char character, ShiftState shift) override;
    void focusChanged(bool focused) override;
    // A press on an arrow steps by 1 from value(); elsewhere the left button
    // places the caret and selects as TextField::press does.
    void mouseDown(MouseButton button, ShiftState shift, int x, int y) override;
    void mouseMove(ShiftState shift, int x, int y) override;
    void mouseUp(MouseButton button, ShiftState shift, int x, int y) override;

protected:
    void paint(gdi::Canvas& canvas) override;

private:
    void step(int by);
    gdi::IntRect textArea() const;

    TextField field_;
    int min_ = 0;
    int max_ = 0;
    int heldArrow_ = 0; // +1 up, -1 down while pressed
};

} // namespace forms
