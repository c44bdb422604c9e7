// The colour and font windows: the end user's choice lands in a project
// variable as a colour text or a font descriptor.
#include "pictures/ColorForm.h"

#include "platform/forms/Window.h"
#include "plugin/Dispatch.h"
#include "plugin/FontDescriptor.h"
#include "plugin/HostServices.h"
#include "plugin/Values.h"

#include <memory>

namespace zenvas {

TFormColorText::TFormColorText() : forms::Form("FormColorText", forms::BorderStyle::Dialog)
{
    ColorDialog2 = own(std::make_unique<forms::ColorDialog>("ColorDialog2"));
    FontDialog2 = own(std::make_unique<forms::FontDialog>("FontDialog2"));
    Label1 = addChild(std::make_unique<forms::Label>("Label1"));
}

namespace {

// Closes the selection form however the action ends. The form is released
// afterwards instead of being kept until unload: nothing reads it again.
class SelectionForm {
public:
    SelectionForm() : form_(std::make_unique<TFormColorText>()) {}
    ~SelectionForm()
    {
        form_->close();
        forms::WindowSystem::instance().releaseLater(std::move(form_));
    }
    SelectionForm(const SelectionForm&) = delete;
    SelectionForm& operator=(const SelectionForm&) = delete;
    TFormColorText* operator->() { return form_.get(); }

private:
    std::unique_ptr<TFormColorText> form_;
};

bool ZenvasColorBox(const Params& p)
{
    SelectionForm form;
    if (form->ColorDialog2->execute())
        SetVariable(p[0], ColorToText(gdi::ResolveColor(form->ColorDialog2->color)));
    return false;
}

bool ZenvasFontBox(const Params& p)
{
    SelectionForm form;
    if (form->FontDialog2->execute()) {
        gdi::Font& font = form->Label1->font;
        font = form->FontDialog2->font;
        SetVariable(p[0], FontToDescriptor(font));
    }
    return false;
}

constexpr ActionRoutines kRoutines[] = {
    {17, &ZenvasColorBox, nullptr},
    {18, &ZenvasFontBox, nullptr},
};
const bool kInstalled = InstallRoutines(kRoutines);

} // namespace
} // namespace zenvas
