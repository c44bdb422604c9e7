#include "platform/forms/ComboBox.h"

#include "platform/forms/ClassicLook.h"
#include "platform/forms/Form.h"

#include <algorithm>

namespace forms {
namespace {

constexpr int kButtonWidth = 16;
constexpr int kBarWidth = 16;

} // namespace

// The open list: a child of the box's form while it is open, hit and drawn
// above everything else there.
class ComboList : public Control {
public:
    explicit ComboList(ComboBox& box) : box_(box) {}

    int count() const { return int(box_.items_.size()); }
    int rows() const { return std::min(count(), box_.dropDownCount_); }
    bool scrolls() const { return count() > rows(); }
    int itemHeight() const { return itemHeight_; }

    // Sizes the list for the box and puts it in front of `host`'s children.
    void open(Control& host, const gdi::Point& boxOrigin)
    {
        itemHeight_ = look::LineHeight(look::DialogFont());
        const int listHeight = std::max(1, rows()) * itemHeight_ + 2;
        int y = boxOrigin.y + box_.height();
        if (y + listHeight > host.clientHeight() && boxOrigin.y - listHeight >= 0)
            y = boxOrigin.y - listHeight;
        const gdi::Point offset = host.childOffset();
        setParent(&host);
        setBounds(boxOrigin.x - offset.x, y - offset.y, box_.width(), listHeight);
        show();
        hot_ = -1;
        top_ = 0;
        follow(box_.index_);
    }

    // Scrolls so that `index` shows, and lets the highlight follow the
    // selection again.
    void follow(int index)
    {
        hot_ = -1;
        if (index < 0)
            return;
        if (index < top_)
            scrollTo(index);
        else if (index >= top_ + rows())
            scrollTo(index - rows() + 1);
    }
    void scrollTo(int top) { top_ = std::clamp(top, 0, std::max(0, count() - rows())); }
    int top() const { return top_; }

    gdi::IntRect itemsArea() const { return {1, 1, width() - 1 - (scrolls() ? kBarWidth : 0), height() - 1}; }
    gdi::IntRect rowRect(int index) const
    {
        if (index < top_ || index >= top_ + rows() || index >= count())
            return {};
        const gdi::IntRect area = itemsArea();
        const int y = area.top + (index - top_) * itemHeight_;
        return {area.left, y, area.right, y + itemHeight_};
    }
    gdi::IntRect scrollArrow(bool up) const
    {
        if (!scrolls())
            return {};
        const int arrow = std::min(kBarWidth, (height() - 2) / 2);
        const int left = width() - 1 - kBarWidth;
        return up ? gdi::IntRect{left, 1, width() - 1, 1 + arrow}
                  : gdi::IntRect{left, height() - 1 - arrow, width() - 1, height() - 1};
    }
    gdi::IntRect thumb() const
    {
        const gdi::IntRect up = scrollArrow(true), down = scrollArrow(false);
        const int track = down.top - up.bottom;
        const int length = std::min(track, std::max(8, track * rows() / std::max(1, count())));
        const int range = count() - rows();
        const int top = up.bottom + (range > 0 ? (track - length) * top_ / range : 0);
        return {up.left, top, up.right, top + length};
    }
    int rowAt(int x, int y) const
    {
        if (!itemsArea().contains(x, y))
            return -1;
        const int index = top_ + (y - itemsArea().top) / std::max(1, itemHeight_);
        return index < count() && index < top_ + rows() ? index : -1;
    }

    void mouseDown(MouseButton button, ShiftState shift, int x, int y) override
    {
        Control::mouseDown(button, shift, x, y);
        if (button != MouseButton::Left)
            return;
        pressOnItems_ = itemsArea().contains(x, y);
        if (pressOnItems_) {
            hot_ = rowAt(x, y);
        } else if (scrolls() && x >= itemsArea().right) {
            if (scrollArrow(true).contains(x, y))
                scrollTo(top_ - 1);
            else if (scrollArrow(false).contains(x, y))
                scrollTo(top_ + 1);
            else if (y < thumb().top)
                scrollTo(top_ - rows());
            else if (y >= thumb().bottom)
                scrollTo(top_ + rows());
        }
    }
    void mouseMove(ShiftState shift, int x, int y) override
    {
        Control::mouseMove(shift, x, y);
        if (const int row = rowAt(x, y); row >= 0)
            hot_ = row;
    }
    void mouseUp(MouseButton button, ShiftState shift, int x, int y) override
    {
        Control::mouseUp(button, shift, x, y);
        if (button != MouseButton::Left || !pressOnItems_)
            return;
        pressOnItems_ = false;
        const int row = rowAt(x, y);
        if (row < 0)
            return;
        // Nothing of the list is touched after this: the box's handler may
        // release the box, and the list with it.
        ComboBox& box = box_;
        box.setDroppedDown(false);
        box.choose(row);
    }

protected:
    void paint(gdi::Canvas& canvas) override
    {
        look::Fill(canvas, gdi::IntRect{0, 0, width(), height()}, look::kWindow);
        look::Ring(canvas, gdi::IntRect{0, 0, width(), height()}, look::kWindowFrame, look::kWindowFrame);
        canvas.brush().setStyle(gdi::BrushStyle::Clear);
        const int lit = hot_ >= 0 ? hot_ : box_.index_;
        for (int index = top_; index < top_ + rows(); ++index) {
            const gdi::IntRect row = rowRect(index);
            canvas.font() = look::DialogFont(index == lit ? look::kHighlightText : look::kWindowText);
            if (index == lit)
                look::Fill(canvas, row, look::kHighlight);
            canvas.brush().setStyle(gdi::BrushStyle::Clear);
            canvas.textOut(row.left + 2, row.top, box_.items_[std::size_t(index)]);
        }
        if (!scrolls())
            return;
        look::Fill(canvas, {width() - 1 - kBarWidth, 1, width() - 1, height() - 1}, look::kScrollBar);
        for (const bool up : {true, false}) {
            const gdi::IntRect arrow = scrollArrow(up);
            look::Fill(canvas, arrow, look::kBtnFace);
            look::RaisedEdge(canvas, arrow);
            look::Arrow(canvas, arrow.left + int(arrow.width()) / 2, arrow.top + int(arrow.height()) / 2, 4, up,
                        look::kBtnText);
        }
        look::Fill(canvas, thumb(), look::kBtnFace);
        look::RaisedEdge(canvas, thumb());
    }

private:
    ComboBox& box_;
    int itemHeight_ = 13;
    int top_ = 0;
    int hot_ = -1; // the row under the pointer, lit instead of the selection
    bool pressOnItems_ = false;
};

ComboBox::ComboBox(std::string name) : Control(std::move(name))
{
    list_ = own(std::make_unique<ComboList>(*this));
    list_->hide();
}

void ComboBox::addItem(std::string item)
{
    items_.push_back(std::move(item));
}

void ComboBox::clearItems()
{
    setDroppedDown(false);
    items_.clear();
    index_ = -1;
}

void ComboBox::setItemIndex(int index)
{
    invalidate();
    index_ = index >= 0 && index < int(items_.size()) ? index : -1;
    list_->follow(index_);
}

std::string ComboBox::text() const
{
    return index_ >= 0 ? items_[std::size_t(index_)] : std::string();
}

void ComboBox::choose(int index)
{
    if (index == index_ || index < 0 || index >= int(items_.size()))
        return;
    setItemIndex(index);
    if (onChange)
        onChange();
}

bool ComboBox::setValueText(const std::string& text)
{
    const auto found = std::find(items_.begin(), items_.end(), text);
    if (found == items_.end())
        return false;
    choose(int(found - items_.begin()));
    return true;
}

void ComboBox::setDroppedDown(bool open)
{
    invalidate();
    if (open == dropped_)
        return;
    if (!open) {
        dropped_ = false;
        WindowSystem::instance().closePopup(*list_);
        list_->hide();
        list_->setParent(nullptr);
        return;
    }
    Control* host = ParentForm(*this);
    if (!host)
        for (host = parent(); host && host->parent(); host = host->parent()) {
        }
    if (!host)
        return;
    dropped_ = true;
    list_->open(*host, originIn(host));
    WindowSystem::instance().openPopup(*list_, [this] { setDroppedDown(false); });
}

Control* ComboBox::dropDownList() const
{
    return dropped_ ? list_ : nullptr;
}

int ComboBox::topIndex() const
{
    return list_->top();
}

gdi::IntRect ComboBox::listItemRect(int index) const
{
    return dropped_ ? list_->rowRect(index) : gdi::IntRect{};
}

gdi::IntRect ComboBox::listScrollRect(bool up) const
{
    return dropped_ ? list_->scrollArrow(up) : gdi::IntRect{};
}

gdi::IntRect ComboBox::buttonRect() const
{
    return {width() - 2 - kButtonWidth, 2, width() - 2, height() - 2};
}

bool ComboBox::wantsDialogKey(Key key) const
{
    return dropped_ && (key == Key::Enter || key == Key::Escape);
}

void ComboBox::keyDown(Key key, char character, ShiftState shift)
{
    Control::keyDown(key, character, shift);
    const int last = int(items_.size()) - 1;
    switch (key) {
    case Key::Up:
        choose(std::max(0, index_ - 1));
        break;
    case Key::Down:
        choose(std::min(last, index_ + 1));
        break;
    case Key::Home:
        choose(0);
        break;
    case Key::End:
        choose(last);
        break;
    case Key::Enter:
    case Key::Escape:
        setDroppedDown(false);
        break;
    default:
        break;
    }
}

void ComboBox::focusChanged(bool focused)
{
    if (!focused)
        setDroppedDown(false);
}

void ComboBox::mouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    Control::mouseDown(button, shift, x, y);
    if (button == MouseButton::Left)
        setDroppedDown(!dropped_);
}

void ComboBox::setVisible(bool visible)
{
    if (!visible)
        setDroppedDown(false);
    Control::setVisible(visible);
}

void ComboBox::paint(gdi::Canvas& canvas)
{
    look::Fill(canvas, gdi::IntRect{0, 0, width(), height()}, enabled() ? look::kWindow : look::kBtnFace);
    look::SunkenEdge(canvas, gdi::IntRect{0, 0, width(), height()});

    const gdi::IntRect button = buttonRect();
    look::Fill(canvas, button, look::kBtnFace);
    if (dropped_)
        look::Ring(canvas, button, look::kBtnShadow, look::kBtnShadow);
    else
        look::RaisedEdge(canvas, button);
    const int shift = dropped_ ? 1 : 0;
    look::Arrow(canvas, button.left + int(button.width()) / 2 + shift, button.top + int(button.height()) / 2 + shift, 4,
                false, enabled() ? look::kBtnText : look::kGrayText);

    // Focused and closed, the selection is lit and framed.
    const gdi::IntRect field{3, 3, button.left - 1, height() - 3};
    const bool lit = focused() && !dropped_;
    if (lit) {
        look::Fill(canvas, field, look::kHighlight);
        look::FocusFrame(canvas, field);
    }
    canvas.font() = look::DialogFont(!enabled() ? look::kGrayText : lit ? look::kHighlightText : look::kWindowText);
    canvas.brush().setStyle(gdi::BrushStyle::Clear);
    canvas.textOut(field.left + 1, (height() - look::LineHeight(canvas.font())) / 2, text());
}

} // namespace forms
