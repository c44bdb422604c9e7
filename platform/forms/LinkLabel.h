#pragma once

#include "platform/forms/Clickable.h"
#include "platform/gdi/Font.h"

namespace forms {

// A web address shown as blue, underlined text over whatever lies below it,
// with the hand pointer (kCursorHand). A click (press and release inside it)
// asks the backend to open the address, then runs onClick.
class LinkLabel : public Clickable {
public:
    explicit LinkLabel(std::string name = {});
    std::string caption;
    std::string address;
    gdi::Font font; // starts as the dialog font in blue, underlined

    void click() override;

protected:
    bool opaque() const override { return false; }
    void paint(gdi::Canvas& canvas) override;

};

} // namespace forms
