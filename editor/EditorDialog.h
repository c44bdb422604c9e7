#pragma once

#include "editor/Layouts.h"
#include "platform/forms/Button.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Form.h"
#include "platform/forms/GradientBand.h"

#include <map>
#include <memory>
#include <string_view>

namespace zenvas::editor {

// An action editor dialog built from its class's layout: the rows with
// their components (named as the layout names them), the footer, OK and
// Cancel, and the common dialogs its buttons use.
class TEditorDialog : public forms::Form {
public:
    explicit TEditorDialog(const Layout& layout);

    const Layout& layout() const { return layout_; }

    // The component of that name and type, or null.
    template <class T>
    T* component(std::string_view name)
    {
        return dynamic_cast<T*>(find(std::string(name)));
    }

    forms::Label* LabelCommand = nullptr;
    forms::GradientBand* GradientLabel = nullptr;
    forms::Label* LabelInfo = nullptr;
    forms::Button* OkButton = nullptr;
    forms::Button* CancelButton = nullptr;
    forms::ColorDialog* ColorDialog1 = nullptr;
    forms::FontDialog* FontDialog1 = nullptr; // TFormFo only
    forms::Label* FontPreview = nullptr;      // TFormFo's hidden Label1

    // The picture dialog of a filter, made the first time it is needed.
    forms::FileDialog& fileDialog(Filter filter);

private:
    void addRow(int index, const Row& row);
    void addFooter();

    const Layout& layout_;
    std::map<Filter, forms::FileDialog*> fileDialogs_;
};

// One type per class, so each has its own name and current-dialog variable.
template <DialogClass Class>
class TEditorForm final : public TEditorDialog {
public:
    TEditorForm() : TEditorDialog(LayoutOf(Class)) {}
};
using TFormOne = TEditorForm<DialogClass::FormOne>;
using TDublForm = TEditorForm<DialogClass::DublForm>;
using TFormFree = TEditorForm<DialogClass::FormFree>;
using TFormVibor = TEditorForm<DialogClass::FormVibor>;
using TFormNumber = TEditorForm<DialogClass::FormNumber>;
using TFormCombo = TEditorForm<DialogClass::FormCombo>;
using TFormNumbColor = TEditorForm<DialogClass::FormNumbColor>;
using TFormNumbColorPlus = TEditorForm<DialogClass::FormNumbColorPlus>;
using TForm10 = TEditorForm<DialogClass::Form10>;
using TFormPlus = TEditorForm<DialogClass::FormPlus>;
using TFormComboPlus = TEditorForm<DialogClass::FormComboPlus>;
using TFormPlusFo = TEditorForm<DialogClass::FormPlusFo>;
using TFormFiga = TEditorForm<DialogClass::FormFiga>;
using TFormFo = TEditorForm<DialogClass::FormFo>;

std::unique_ptr<TEditorDialog> MakeDialog(DialogClass id);

// The dialog of each class that an edit routine made last. It is not
// cleared when the dialog goes and is read only while the dialog is open.
TEditorDialog*& CurrentDialog(DialogClass id);

} // namespace zenvas::editor
