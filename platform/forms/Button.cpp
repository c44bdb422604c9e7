#include "platform/forms/Button.h"

#include "platform/forms/ClassicLook.h"
#include "platform/forms/Form.h"
#include "platform/gdi/Canvas.h"

namespace forms {

Button::Button(std::string name, std::string caption) : Clickable(std::move(name)), caption_(std::move(caption)) {}

void Button::keyDown(Key key, char character, ShiftState shift)
{
    Control::keyDown(key, character, shift);
    if (key == Key::Character && character == ' ')
        click();
}

void Button::click()
{
    if (modalResult_ != ModalResult::None)
        if (Form* form = ParentForm(*this))
            form->setModalResult(modalResult_);
    Control::click();
}

void Button::paint(gdi::Canvas& canvas)
{
    gdi::IntRect box = gdi::IntRect{0, 0, width(), height()};
    look::Fill(canvas, box, look::kBtnFace);
    const bool down = pressed();
    if (default_ || focused()) {
        look::Ring(canvas, box, look::kWindowFrame, look::kWindowFrame);
        box = look::Inset(box, 1);
    }
    if (down)
        look::Ring(canvas, box, look::kBtnShadow, look::kBtnShadow);
    else
        look::RaisedEdge(canvas, box);
    canvas.brush().setStyle(gdi::BrushStyle::Clear);
    canvas.font() = look::DialogFont(enabled() ? look::kBtnText : look::kGrayText);
    const gdi::TextSize extent = canvas.textExtent(caption_);
    const int shift = down ? 1 : 0;
    canvas.textOut((width() - extent.width) / 2 + shift, (height() - extent.height) / 2 + shift,
                   caption_);
    if (focused())
        look::FocusFrame(canvas, look::Inset(box, 3));
}

} // namespace forms
