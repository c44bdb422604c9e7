#include "platform/forms/Form.h"

#include "platform/forms/Button.h"

#include <algorithm>
#include <functional>

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

// Every control below `root` in tree order, without nested forms.
void CollectTabOrder(Control& root, std::vector<Control*>& order)
{
    for (Control* child : root.children()) {
        if (dynamic_cast<Form*>(child))
            continue;
        order.push_back(child);
        CollectTabOrder(*child, order);
    }
}

Button* FindButton(Control& root, bool (Button::*flag)() const, const std::function<bool(Control*)>& usable)
{
    std::vector<Control*> order;
    CollectTabOrder(root, order);
    for (Control* control : order)
        if (auto* button = dynamic_cast<Button*>(control); button && (button->*flag)() && usable(button))
            return button;
    return nullptr;
}

} // namespace

Form* ParentForm(const Control& control)
{
    for (Control* c = control.parent(); c; c = c->parent())
        if (auto* form = dynamic_cast<Form*>(c))
            return form;
    return nullptr;
}

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
    if (!focusedControl())
        focusNext(false);
    ModalResult result = ModalResult::Cancel;
    modal_ = true;
    try {
        result = CurrentBackend().runModal(*this);
    } catch (...) {
        modal_ = false;
        hide();
        throw;
    }
    modal_ = false;
    hide();
    modalResult_ = result;
    return result;
}

bool Form::reachable(const Control* control) const
{
    for (const Control* c = control; c != this; c = c->parent())
        if (!c || !c->visible() || !c->enabled())
            return false;
    return true;
}

Control* Form::focusedControl() const
{
    if (!focus_ || focusLifetime_.expired() || ParentForm(*focus_) != this)
        return nullptr;
    return focus_;
}

void Form::setFocus(Control* control)
{
    if (control && (!control->focusable() || ParentForm(*control) != this || !reachable(control)))
        return;
    Control* previous = focusedControl();
    if (previous == control)
        return;
    focus_ = nullptr;
    focusLifetime_.reset();
    if (previous) {
        previous->invalidate();
        previous->focusChanged(false);
    }
    if (!control || control->lifetime().expired())
        return;
    focus_ = control;
    focusLifetime_ = control->lifetime();
    control->invalidate();
    control->focusChanged(true);
}

void Form::focusNext(bool backwards)
{
    std::vector<Control*> order;
    CollectTabOrder(*this, order);
    const std::ptrdiff_t count = std::ptrdiff_t(order.size());
    if (count == 0)
        return;
    const auto current = std::find(order.begin(), order.end(), focusedControl());
    std::ptrdiff_t at = current == order.end() ? (backwards ? 0 : count - 1) : current - order.begin();
    for (std::ptrdiff_t step = 0; step < count; ++step) {
        at = (at + (backwards ? count - 1 : 1)) % count;
        if (order[std::size_t(at)]->focusable() && reachable(order[std::size_t(at)])) {
            setFocus(order[std::size_t(at)]);
            return;
        }
    }
}

void Form::routeKey(Key key, char character, ShiftState shift)
{
    Control* focus = focusedControl();
    if (focus && !reachable(focus))
        focus = nullptr;
    if (!focus || !focus->wantsDialogKey(key)) {
        const auto usable = [this](Control* c) { return reachable(c); };
        switch (key) {
        case Key::Tab:
            focusNext((shift & ssShift) != 0);
            return;
        case Key::Enter: {
            Button* button = dynamic_cast<Button*>(focus);
            if (!button)
                button = FindButton(*this, &Button::isDefault, usable);
            if (button) {
                button->click();
                return;
            }
            break;
        }
        case Key::Escape:
            if (Button* button = FindButton(*this, &Button::isCancel, usable))
                button->click();
            else
                setModalResult(ModalResult::Cancel);
            return;
        default:
            break;
        }
    }
    if (focus)
        focus->keyDown(key, character, shift);
}

void Form::mouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    Window::mouseDown(button, shift, x, y);
    closeBoxPressed_ = button == MouseButton::Left && closeBoxRect().contains(x, y);
}

void Form::mouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    Window::mouseUp(button, shift, x, y);
    const bool clicked = closeBoxPressed_ && button == MouseButton::Left && closeBoxRect().contains(x, y);
    closeBoxPressed_ = false;
    if (clicked)
        closeBoxClicked();
}

void Form::closeBoxClicked()
{
    // Like Escape without a cancel button; a form that is not modal closes.
    setModalResult(ModalResult::Cancel);
    if (!modal_)
        close();
}

} // namespace forms
