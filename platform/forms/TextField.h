#pragma once

#include "platform/forms/Input.h"
#include "platform/gdi/Canvas.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace forms {

// Tells a double click from two clicks: the second of two presses within
// the desktop's double-click time and a few pixels of the first. The press
// after a double click starts afresh, as does one after forget().
class DoubleClickTracker {
public:
    static constexpr std::uint32_t kTime = 500; // milliseconds
    static constexpr int kSlop = 2;             // pixels either way

    // A press at tick count `now`; true when it completes a double click.
    bool press(std::uint32_t now, int x, int y);
    void forget() { armed_ = false; }

private:
    bool armed_ = false;
    std::uint32_t at_ = 0;
    int x_ = 0, y_ = 0;
};

// The text, caret and selection of a one-line edit box, its typing and
// clipboard rules, its pointer handling and its look; the edit controls
// hold one each. Texts are code page 1251 bytes; positions are byte
// offsets between characters, 0 to text().size().
class TextField {
public:
    const std::string& text() const { return text_; }
    // Replaces the text (typing limits do not apply), puts the caret at its
    // end and selects nothing.
    void setText(std::string text);

    // The selection runs between the anchor and the caret, either way
    // round; nothing is selected when they meet.
    std::size_t caret() const { return caret_; }
    std::size_t anchor() const { return anchor_; }
    std::size_t selectionStart() const { return std::min(anchor_, caret_); }
    std::size_t selectionEnd() const { return std::max(anchor_, caret_); }
    bool hasSelection() const { return anchor_ != caret_; }
    std::string selectedText() const { return text_.substr(selectionStart(), selectionEnd() - selectionStart()); }
    // Both ends are clamped to the text.
    void select(std::size_t anchor, std::size_t caret);
    void selectAll() { select(0, text_.size()); }
    void caretToEnd() { select(text_.size(), text_.size()); }

    // Typing and pasting stop at this length; 0 means no limit.
    int maxLength = 0;

    // Decides whether a printable byte may be inserted at `at` of `text`
    // (the text as it is at that moment, a replaced selection removed).
    using Filter = std::function<bool(char character, std::size_t at, const std::string& text)>;
    // Applies a key as the platform's edit boxes do:
    // - a printable byte (32 and up) that `accepts` lets through replaces
    //   the selection, or goes in at the caret, while the text that results
    //   stays within maxLength;
    // - Backspace and Delete remove the selection, or the byte before or
    //   after the caret;
    // - Left, Right, Home and End move the caret; with Shift they extend the
    //   selection, without it they collapse it (Left and Right to the
    //   selection's own left or right edge);
    // - a letter with Ctrl (and without Alt) is a command: A selects all,
    //   C copies the selection to the backend's clipboard, X cuts it, V
    //   pastes its first line, taking the characters that `accepts` and
    //   maxLength let through; any other character with Ctrl, or with Alt
    //   alone, does nothing (Ctrl with Alt is AltGr and types).
    // True when the text changed.
    bool edit(Key key, char character, ShiftState shift = 0, const Filter& accepts = {});

    // Pointer input, in the coordinates `area` is given in (the rectangle
    // the text shows in, as for paint()). A press puts the caret at the
    // nearest character boundary (the end when it lies past the text); with
    // Shift it extends the selection instead; the second press of a double
    // click (at tick count `now`) selects the word under the pointer. Moves
    // with the left button held extend the selection until the release, by
    // words after a double click.
    void press(int x, int y, ShiftState shift, const gdi::IntRect& area, std::uint32_t now);
    // True when the selection changed.
    bool drag(int x, ShiftState shift, const gdi::IntRect& area);
    void release() { drag_ = Drag::None; }
    // The field lost the focus: a pending drag or first click is forgotten.
    void focusLost();

    // The character boundary nearest to `x`, as paint() would show the text
    // in `area` now.
    std::size_t positionAt(int x, const gdi::IntRect& area) const;

    // The text in `area`, left-aligned and centred vertically, scrolled so
    // that the caret shows (the view moves only when the caret leaves it).
    // When `focused`, the caret is drawn and the selection is highlighted.
    void paint(gdi::Canvas& canvas, const gdi::IntRect& area, bool focused, bool enabled);

    // The word holding the character at `at`: the run of letters and digits
    // around it, or of other printable characters, or of spaces. The
    // half-open range [first, second); empty for an empty text.
    static std::pair<std::size_t, std::size_t> WordAt(const std::string& text, std::size_t at);

private:
    enum class Drag { None, Characters, Words };

    bool command(char letter, const Filter& accepts);
    bool type(char character, const Filter& accepts);
    bool paste(const Filter& accepts);
    void removeSelection();
    void moveCaret(std::size_t to, bool extend);
    // The character under `x` (the last one past the text).
    std::size_t characterAt(int x, const gdi::IntRect& area) const;
    // Where the text starts horizontally in `area` for the current scroll.
    int textLeft(const gdi::IntRect& area) const;
    int scrollFor(const gdi::IntRect& area) const;

    std::string text_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    int scroll_ = 0; // pixels of text hidden at the left
    DoubleClickTracker clicks_;
    Drag drag_ = Drag::None;
    std::pair<std::size_t, std::size_t> dragWord_; // the double-clicked word
};

} // namespace forms
