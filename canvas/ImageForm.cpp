#include "canvas/ImageForm.h"

namespace zenvas {

ImageFormHandlers& ImageFormHooks()
{
    static ImageFormHandlers hooks;
    return hooks;
}

namespace {

// The form's client area is filled by its scroll box.
void FitScrollBox(TImageForm& form)
{
    if (form.ScrollBox1)
        form.ScrollBox1->setBounds(0, 0, form.clientWidth(), form.clientHeight());
}

std::unique_ptr<forms::Button> HiddenButton(const char* name, TImageForm& form, void (*ImageFormHandlers::*hook)(TImageForm&))
{
    auto button = std::make_unique<forms::Button>(name);
    button->setBounds(0, 0, 17, 17);
    button->hide();
    button->onClick = [&form, hook] {
        if (auto handler = ImageFormHooks().*hook)
            handler(form);
    };
    return button;
}

} // namespace

TImageForm::TImageForm() : forms::Form("ImageForm", forms::BorderStyle::None)
{
    setColor(0xFF00000A); // active border
    setClientSize(118, 117);
    ScrollBox1 = addChild(std::make_unique<forms::ScrollBox>("ScrollBox1"));
    FitScrollBox(*this);
    WSImageBox1 = ScrollBox1->addChild(std::make_unique<TWSImageBox>());
    WSImageBox1->ComWidth = 100;
    WSImageBox1->ComHeight = 100;
    WSImageBox1->setBounds(0, 0, 100, 100);
    WSImageBox1->resizePicture(100, 100);
    WSImageBox1->Canvas().fillRect({0, 0, 100, 100});
    Button1 = addChild(HiddenButton("Button1", *this, &ImageFormHandlers::button1Click));
    Button2 = addChild(HiddenButton("Button2", *this, &ImageFormHandlers::button2Click));
    Button3 = addChild(HiddenButton("Button3", *this, &ImageFormHandlers::button3Click));

    WSImageBox1->onMouseDown = [this](forms::MouseButton b, forms::ShiftState s, int x, int y) {
        WSImageBox1MouseDown(b, s, x, y);
    };
    WSImageBox1->onMouseMove = [this](forms::ShiftState s, int x, int y) { WSImageBox1MouseMove(s, x, y); };
    WSImageBox1->onMouseUp = [this](forms::MouseButton b, forms::ShiftState s, int x, int y) {
        WSImageBox1MouseUp(b, s, x, y);
    };
}

void TImageForm::boundsChanged()
{
    FitScrollBox(*this);
}

void TImageForm::WSImageBox1MouseDown(forms::MouseButton button, forms::ShiftState shift, int x, int y)
{
    if (auto handler = ImageFormHooks().mouseDown) {
        handler(*this, button, shift, x, y);
        return;
    }
    WSImageBox1->ibMouseDown(button, shift, x, y);
}

void TImageForm::WSImageBox1MouseMove(forms::ShiftState shift, int x, int y)
{
    if (auto handler = ImageFormHooks().mouseMove) {
        handler(*this, shift, x, y);
        return;
    }
    WSImageBox1->ibMouseMove(shift, x, y);
}

void TImageForm::WSImageBox1MouseUp(forms::MouseButton button, forms::ShiftState shift, int x, int y)
{
    if (auto handler = ImageFormHooks().mouseUp) {
        handler(*this, button, shift, x, y);
        return;
    }
    WSImageBox1->ibMouseUp(button, shift, x, y);
}

} // namespace zenvas
