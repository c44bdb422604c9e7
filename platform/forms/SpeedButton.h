#pragma once

#include "platform/forms/Clickable.h"

namespace forms {

// A square tool button showing an icon; the icon's bottom-left pixel gives
// its transparent colour. A flat button shows its edge only while pressed.
// A click (press and release inside it) runs onClick; it never takes the
// keyboard focus.
class SpeedButton : public Clickable {
public:
    explicit SpeedButton(std::string name = {});
    gdi::Bitmap icon;
    bool flat = true;
    // Latched down (the tool in use, say): drawn pushed in on a lighter
    // face until it is let up again.
    bool down() const { return down_; }
    void setDown(bool down);

protected:
    void paint(gdi::Canvas& canvas) override;

private:
    bool down_ = false;
};

} // namespace forms
