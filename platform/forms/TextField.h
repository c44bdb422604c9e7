#pragma once

#include "platform/forms/Input.h"
#include "platform/gdi/Canvas.h"

#include <functional>
#include <string>

namespace forms {

// The text and caret of a one-line edit box, its typing rules and its
// look; the edit controls hold one each.
class TextField {
public:
    const std::string& text() const { return text_; }
    // Replaces the text (typing limits do not apply) and puts the caret at
    // its end.
    void setText(std::string text);
    std::size_t caret() const { return caret_; }
    void caretToEnd() { caret_ = text_.size(); }

    // Typed characters beyond this length are dropped; 0 means no limit.
    int maxLength = 0;

    // Decides whether a printable byte may be inserted at `at`.
    using Filter = std::function<bool(char character, std::size_t at, const std::string& text)>;
    // Applies an editing key: a printable byte (code page 1251, 32 and up)
    // that `accepts` lets through is inserted at the caret while the text is
    // shorter than maxLength; Backspace and Delete remove the byte before or
    // after the caret; Left, Right, Home and End move it. True when the text
    // changed.
    bool edit(Key key, char character, const Filter& accepts = {});

    // The text in `area`, left-aligned and centred vertically, scrolled so
    // that the caret shows; the caret is drawn when `focused`.
    void paint(gdi::Canvas& canvas, const gdi::IntRect& area, bool focused, bool enabled) const;

private:
    std::string text_;
    std::size_t caret_ = 0;
};

} // namespace forms
