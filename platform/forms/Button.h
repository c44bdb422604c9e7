#pragma once

#include "platform/forms/Control.h"
#include "platform/gdi/Font.h"

namespace forms {

// A push button: a click runs onClick.
class Button : public Control {
public:
    explicit Button(std::string name = {}, std::string caption = {});
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) { caption_ = std::move(caption); }

    void mouseUp(MouseButton button, ShiftState shift, int x, int y) override;

protected:
    void paint(gdi::Bitmap& surface) override;

private:
    std::string caption_;
};

// A line of text in its own font.
class Label : public Control {
public:
    gdi::Font font;

    explicit Label(std::string name = {}, std::string caption = {});
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) { caption_ = std::move(caption); }
    bool setValueText(const std::string& text) override;

protected:
    void paint(gdi::Bitmap& surface) override;

private:
    std::string caption_;
};

} // namespace forms
