#pragma once

#include "platform/forms/Control.h"
#include "platform/gdi/Font.h"

namespace forms {

// A line of text in its own font, on the button face or, transparent, over
// whatever lies below it.
class Label : public Control {
public:
    gdi::Font font;
    bool transparent = false;

    explicit Label(std::string name = {}, std::string caption = {});
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    // Sizes the label to its caption in its font (the height of a line when
    // the caption is empty).
    void adjustSize();
    bool setValueText(const std::string& text) override;

protected:
    bool opaque() const override { return !transparent; }
    void paint(gdi::Canvas& canvas) override;
    // Whether setCaption() sizes the label to the new caption.
    bool autoSize_ = false;

private:
    std::string caption_;
};

} // namespace forms
