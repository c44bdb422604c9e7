#pragma once

#include "platform/forms/Control.h"

namespace forms {

enum class ScrollBarMode { Automatic, Hidden };

// One scroll bar of a scroll box. Shown automatically when the content is
// larger than the view, or kept hidden. The position stays within 0 and the
// largest offset.
struct ScrollBarState {
    ScrollBarMode mode = ScrollBarMode::Automatic;
    int position = 0;
};

// A view onto its children that scrolls: scrolling moves the children, and
// they are clipped to the area left free by the bars. Frames laid over the
// content (controls the pointer falls through) do not count for the range.
class ScrollBox : public Control {
public:
    static constexpr int kBarThickness = 17;

    explicit ScrollBox(std::string name = {});

    // true: shown whenever needed; false: hidden.
    void setVertBarVisible(bool visible);
    void setHorzBarVisible(bool visible);
    bool vertBarEnabled() const { return vert_.mode == ScrollBarMode::Automatic; }
    bool horzBarEnabled() const { return horz_.mode == ScrollBarMode::Automatic; }
    // Whether each bar is on screen now.
    bool vertBarShown() const;
    bool horzBarShown() const;

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

protected:
    void paint(gdi::Canvas& canvas) override;
    void boundsChanged() override { updateScrollRange(); }
    bool mouseWheel(int delta, ShiftState shift, int x, int y) override;

private:
    void barsNeeded(bool& horz, bool& vert) const;

    ScrollBarState horz_;
    ScrollBarState vert_;
    bool doubleBuffered_ = false;
};

} // namespace forms
