#pragma once

#include "platform/forms/Backend.h"
#include "platform/forms/Clickable.h"
#include "platform/forms/Control.h"
#include "platform/forms/Label.h"

namespace forms {

// A push button: a click (press and release inside it, Enter when it is
// focused or the default button, Escape when it is the cancel button, the
// space bar when focused) sets its form's modal result, if it has one, then
// runs onClick.
class Button : public Clickable {
public:
    explicit Button(std::string name = {}, std::string caption = {});
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption)
    {
        caption_ = std::move(caption);
        invalidate();
    }

    ModalResult modalResult() const { return modalResult_; }
    void setModalResult(ModalResult result) { modalResult_ = result; }
    bool isDefault() const { return default_; }
    void setDefault(bool on)
    {
        default_ = on;
        invalidate();
    }
    bool isCancel() const { return cancel_; }
    void setCancel(bool on) { cancel_ = on; }

    bool focusable() const override { return true; }
    void keyDown(Key key, char character, ShiftState shift) override;
    void click() override;

protected:
    void paint(gdi::Canvas& canvas) override;

private:
    std::string caption_;
    ModalResult modalResult_ = ModalResult::None;
    bool default_ = false;
    bool cancel_ = false;
};

} // namespace forms
