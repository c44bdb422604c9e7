#pragma once

#include "platform/forms/Form.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace forms::testing {

// A shown dialog and an author's hands on it: every press and key enters at
// the form's window through the window system.
struct Author {
    Form form{"Dialog", BorderStyle::Dialog};

    Author()
    {
        form.setCaption("Dialog");
        form.setClientSize(300, 200);
        form.show();
    }

    template <class T>
    T* add(std::unique_ptr<T> control, int left, int top, int width, int height, Control* parent = nullptr)
    {
        T* raw = (parent ? *parent : form).addChild(std::move(control));
        raw->setBounds(left, top, width, height);
        return raw;
    }
    template <class T>
    T& get(const std::string& name)
    {
        auto* control = dynamic_cast<T*>(form.find(name));
        EXPECT_TRUE(control) << name;
        return *control;
    }

    // Presses and releases at (x, y) of `control`, or at its centre.
    void clickAt(Control& control, int x, int y)
    {
        const gdi::Point at = control.originIn(&form);
        WindowSystem::instance().pointer(form.handle(), PointerKind::Down, MouseButton::Left, ssLeft, at.x + x, at.y + y);
        WindowSystem::instance().pointer(form.handle(), PointerKind::Up, MouseButton::Left, 0, at.x + x, at.y + y);
    }
    void click(Control& control) { clickAt(control, control.width() / 2, control.height() / 2); }
    void clickIn(Control& control, const gdi::IntRect& r)
    {
        clickAt(control, r.left + int(r.width()) / 2, r.top + int(r.height()) / 2);
    }
    void press(Key key, ShiftState shift = 0) { WindowSystem::instance().key(form.handle(), key, 0, shift); }
    void type(const std::string& text)
    {
        for (char c : text)
            WindowSystem::instance().key(form.handle(), Key::Character, c, 0);
    }
};

} // namespace forms::testing
