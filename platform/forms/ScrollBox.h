#pragma once

#include "platform/forms/Control.h"

#include <optional>

namespace forms {

enum class ScrollBarMode { Automatic, Hidden };

// One scroll bar of a scroll box. Shown automatically when the content is
// larger than the view, or kept hidden. The position stays within 0 and the
// largest offset.
struct ScrollBarState {
    ScrollBarMode mode = ScrollBarMode::Automatic;
    int position = 0;
};

// The parts of a scroll bar, from its left or top end to the other.
enum class ScrollBarPart { None, LineBack, PageBack, Thumb, PageForward, LineForward };

// Where the parts of one scroll bar lie, in the scroll box's coordinates.
// Painting and the pointer read the same layout, so what is drawn is what is
// hit. A bar too short for both arrows shares its length between them; a
// trough too short for the smallest thumb has none.
struct ScrollBarLayout {
    bool horizontal = false;
    gdi::IntRect bar;     // empty when the bar is not shown
    gdi::IntRect back;    // the arrow at the left or top end
    gdi::IntRect forward; // the arrow at the right or bottom end
    gdi::IntRect trough;  // between the arrows; the thumb lies on it
    gdi::IntRect thumb;   // empty when there is none
    int travel = 0;       // how far the thumb moves from 0 to maxPosition
    int maxPosition = 0;

    ScrollBarPart partAt(int x, int y) const;
    friend bool operator==(const ScrollBarLayout&, const ScrollBarLayout&) = default;
    // The coordinate along the bar.
    int along(int x, int y) const { return horizontal ? x : y; }
};

// A view onto its children that scrolls: scrolling moves the children, and
// they are clipped to the area left free by the bars. Frames laid over the
// content (controls the pointer falls through) do not count for the range.
//
// The bars work with the left button: an arrow scrolls a line, the trough
// before or after the thumb a page (the view's size along the bar), and both
// repeat while held (after kRepeatDelay, every kRepeatInterval) as long as
// the pointer stays on the part pressed; the trough stops once the thumb
// reaches the pointer. Dragging the thumb scrolls in proportion, however far
// from the bar the pointer goes while the button is held.
class ScrollBox : public Control {
public:
    static constexpr int kBarThickness = 17;
    static constexpr int kLineStep = 16;       // pixels an arrow scrolls (a wheel notch: 3)
    static constexpr int kMinThumb = 8;        // the thumb's smallest length
    static constexpr int kRepeatDelay = 400;   // ms before a held part repeats
    static constexpr int kRepeatInterval = 50; // ms between repeats

    explicit ScrollBox(std::string name = {});
    ~ScrollBox() override;

    // true: shown whenever needed; false: hidden.
    void setVertBarVisible(bool visible);
    void setHorzBarVisible(bool visible);
    bool vertBarEnabled() const { return vert_.mode == ScrollBarMode::Automatic; }
    bool horzBarEnabled() const { return horz_.mode == ScrollBarMode::Automatic; }
    // Whether each bar is on screen now.
    bool vertBarShown() const;
    bool horzBarShown() const;
    // Where the parts of the horizontal or vertical bar are now.
    ScrollBarLayout barLayout(bool horizontal) const;

    int horzPosition() const { return horz_.position; }
    int vertPosition() const { return vert_.position; }
    void setHorzPosition(int position);
    void setVertPosition(int position);
    int horzRange() const;
    int vertRange() const;
    int maxHorzPosition() const;
    int maxVertPosition() const;

    bool doubleBuffered() const { return doubleBuffered_; }
    void setDoubleBuffered(bool on) { doubleBuffered_ = on; }

    int clientWidth() const override;
    int clientHeight() const override;

    // Clamps the positions again after the content or the size changed.
    void updateScrollRange();

    // Hiding ends a press on a bar.
    void setVisible(bool visible) override;

    void mouseDown(MouseButton button, ShiftState shift, int x, int y) override;
    void mouseMove(ShiftState shift, int x, int y) override;
    void mouseUp(MouseButton button, ShiftState shift, int x, int y) override;

protected:
    void paint(gdi::Canvas& canvas) override;
    void boundsChanged() override;
    bool mouseWheel(int delta, ShiftState shift, int x, int y) override;

private:
    // A left-button press on a bar, until its release.
    struct Press {
        bool horizontal;
        ScrollBarPart part;
        int grab;           // the pointer's offset into the thumb
        gdi::Point pointer; // where the pointer is now
    };

    void barsNeeded(bool& horz, bool& vert) const;
    int position(bool horizontal) const { return horizontal ? horz_.position : vert_.position; }
    void setPosition(bool horizontal, int position);
    // Scrolls as a press on `part` does once.
    void step(bool horizontal, ScrollBarPart part);
    void repeat();
    void dragThumb();
    // Whether the part pressed looks pressed: the pointer is on it.
    bool pressedLook() const;
    void endPress();
    void stopTimer();

    ScrollBarState horz_;
    ScrollBarState vert_;
    bool doubleBuffered_ = false;
    ScrollBarLayout shownHorz_, shownVert_; // as the bars last changed
    std::optional<Press> press_;
    int timer_ = 0;
    bool repeating_ = false; // the first delay is over
};

} // namespace forms
