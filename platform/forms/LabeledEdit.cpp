#include "platform/forms/LabeledEdit.h"

#include "platform/forms/ClassicLook.h"
#include "platform/system/Clock.h"

namespace forms {
namespace {

constexpr int kLabelGap = 3;

// The prompt: sized to its caption, and it tells the edit when its size
// changes so that it stays above the box.
class BoundLabel : public Label {
public:
    explicit BoundLabel(std::function<void()> moved) : moved_(std::move(moved)) { autoSize_ = true; }

protected:
    void boundsChanged() override { moved_(); }

private:
    std::function<void()> moved_;
};

} // namespace

LabeledEdit::LabeledEdit(std::string name) : Control(std::move(name))
{
    label_ = own(std::make_unique<BoundLabel>([this] { placeLabel(); }));
    label_->transparent = true;
    label_->adjustSize();
}

void LabeledEdit::setText(std::string text)
{
    invalidate();
    const bool changed = text != field_.text();
    field_.setText(std::move(text));
    if (changed && onChange)
        onChange();
}

bool LabeledEdit::setValueText(const std::string& text)
{
    setText(text);
    return true;
}

void LabeledEdit::keyDown(Key key, char character, ShiftState shift)
{
    Control::keyDown(key, character, shift);
    invalidate(); // the caret or the selection moves even when the text stays
    if (field_.edit(key, character, shift) && onChange)
        onChange();
}

void LabeledEdit::focusChanged(bool focused)
{
    if (!focused)
        field_.focusLost();
}

void LabeledEdit::mouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    if (button == MouseButton::Left)
        field_.press(x, y, shift, textArea(), sys::TickCount());
    invalidate();
    Control::mouseDown(button, shift, x, y);
}

void LabeledEdit::mouseMove(ShiftState shift, int x, int y)
{
    if (field_.drag(x, shift, textArea()))
        invalidate();
    Control::mouseMove(shift, x, y);
}

void LabeledEdit::mouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    if (button == MouseButton::Left)
        field_.release();
    Control::mouseUp(button, shift, x, y);
}

void LabeledEdit::setVisible(bool visible)
{
    Control::setVisible(visible);
    placeLabel();
}

void LabeledEdit::boundsChanged()
{
    placeLabel();
}

void LabeledEdit::parentChanged()
{
    placeLabel();
}

void LabeledEdit::placeLabel()
{
    if (placing_)
        return;
    placing_ = true;
    if (label_->parent() != parent())
        label_->setParent(parent());
    label_->setVisible(visible());
    label_->setBounds(left(), top() - label_->height() - kLabelGap, label_->width(), label_->height());
    placing_ = false;
}

void LabeledEdit::paint(gdi::Canvas& canvas)
{
    look::Fill(canvas, gdi::IntRect{0, 0, width(), height()}, enabled() ? look::kWindow : look::kBtnFace);
    look::SunkenEdge(canvas, gdi::IntRect{0, 0, width(), height()});
    field_.paint(canvas, textArea(), focused(), enabled());
}

gdi::IntRect LabeledEdit::textArea() const
{
    return look::Inset(gdi::IntRect{0, 0, width(), height()}, 2);
}

} // namespace forms
