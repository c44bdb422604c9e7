#pragma once

#include "platform/forms/Control.h"
#include "platform/forms/Label.h"
#include "platform/forms/TextField.h"

#include <functional>

namespace forms {

// A one-line edit box with its prompt above it. The prompt is a label the
// edit owns and shows as its sibling once the edit has a parent: it sits
// 3 pixels above the box at the box's left, sizes itself to its caption,
// and shows and hides with the edit.
class LabeledEdit : public Control {
public:
    explicit LabeledEdit(std::string name = {});

    const std::string& text() const { return field_.text(); }
    // Sets the text whatever its length; the caret goes to its end and
    // nothing is selected.
    void setText(std::string text);
    // The text with its caret and selection.
    const TextField& field() const { return field_; }
    // The most characters typing may leave in the box; 0 means no limit.
    int maxLength() const { return field_.maxLength; }
    void setMaxLength(int n) { field_.maxLength = n; }
    // Setting its caption places it; after changing its font, call its
    // adjustSize().
    Label& editLabel() { return *label_; }
    // Runs after every change of the text.
    std::function<void()> onChange;

    bool setValueText(const std::string& text) override;
    bool focusable() const override { return true; }
    // Editing, selection and clipboard keys (TextField::edit).
    void keyDown(Key key, char character, ShiftState shift) override;
    void focusChanged(bool focused) override;
    // The left button places the caret, selects a word with a double click
    // and drags out a selection (TextField::press).
    void mouseDown(MouseButton button, ShiftState shift, int x, int y) override;
    void mouseMove(ShiftState shift, int x, int y) override;
    void mouseUp(MouseButton button, ShiftState shift, int x, int y) override;
    void setVisible(bool visible) override;

protected:
    void paint(gdi::Canvas& canvas) override;
    void boundsChanged() override;
    void parentChanged() override;

private:
    void placeLabel();
    gdi::IntRect textArea() const;

    TextField field_;
    Label* label_;
    bool placing_ = false;
};

} // namespace forms
