#include "platform/forms/Form.h"

namespace forms {
namespace {

std::uint32_t StyleFor(BorderStyle border)
{
    switch (border) {
    case BorderStyle::None:
        return 0;
    case BorderStyle::Dialog:
        return wsDialogFrame | wsCaption;
    case BorderStyle::ToolWindow:
        return wsBorder | wsCaption | wsToolWindow;
    case BorderStyle::Sizeable:
        return wsBorder | wsCaption;
    }
    return 0;
}

} // namespace

Form::Form(std::string name, BorderStyle border) : Window(std::move(name), StyleFor(border)), border_(border)
{
    hide();
}

void Form::setBorderStyle(BorderStyle border)
{
    border_ = border;
    setStyle(StyleFor(border) | (style() & wsStayOnTop));
}

void Form::setStayOnTop(bool on)
{
    setStyle(on ? (style() | wsStayOnTop) : (style() & ~std::uint32_t(wsStayOnTop)));
}

ModalResult Form::showModal()
{
    modalResult_ = ModalResult::None;
    show();
    ModalResult result = ModalResult::Cancel;
    try {
        result = CurrentBackend().runModal(*this);
    } catch (...) {
        hide();
        throw;
    }
    hide();
    modalResult_ = result;
    return result;
}

} // namespace forms
