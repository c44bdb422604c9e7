#include "editor/EditorDialog.h"

#include "editor/Icons.h"
#include "plugin/FontDescriptor.h"
#include "plugin/HostServices.h"
#include "plugin/Values.h"
#include "platform/forms/Backend.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Image.h"
#include "platform/forms/LabeledEdit.h"
#include "platform/forms/LinkLabel.h"
#include "platform/forms/Panel.h"
#include "platform/forms/SpeedButton.h"
#include "platform/forms/SpinEdit.h"
#include "platform/forms/Window.h"
#include "platform/gdi/Canvas.h"

#include <array>

namespace zenvas::editor {

namespace {

constexpr gdi::Color kButtonFace = 0xFF00000F;
constexpr gdi::Color kSkyBlue = 0x00F0CAA6;
constexpr gdi::Color kMedGray = 0x00A4A0A0;
constexpr gdi::Color kWhite = 0x00FFFFFF;
constexpr gdi::Color kLightYellow = 8454143;
constexpr gdi::Color kBlue = 0x00FF0000;

constexpr std::string_view kCancelCaption = "\xCE\xF2\xEC\xE5\xED\xE0"; // Cancel, in code page 1251
constexpr std::string_view kSubroutineList = "\xD1\xEF\xE8\xF1\xEE\xEA \xEF\xEE\xE4\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC";
constexpr std::string_view kNoSubroutines =
    "\xCF\xEE\xE4\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB \xEE\xF2\xF1\xF3\xF2\xF1\xF2\xE2\xF3\xFE\xF2";

gdi::Font DialogFont(gdi::Color color = 0)
{
    gdi::Font font;
    font.setName("MS Sans Serif");
    font.setSize(8);
    font.setColor(color);
    return font;
}

// The hint under the action's name: line feeds start new lines.
class InfoLabel final : public forms::Label {
public:
    using forms::Label::Label;

protected:
    void paint(gdi::Canvas& canvas) override
    {
        canvas.brush().setColor(kWhite);
        canvas.fillRect(gdi::IntRect{0, 0, width(), height()});
        canvas.brush().setStyle(gdi::BrushStyle::Clear);
        canvas.font() = font;
        const int lineHeight = canvas.textExtent("Mg").height;
        int y = 0;
        std::string_view text = caption();
        while (true) {
            const std::size_t end = text.find('\n');
            canvas.textOut(0, y, text.substr(0, end));
            if (end == std::string_view::npos)
                break;
            text.remove_prefix(end + 1);
            y += lineHeight;
        }
    }
};

template <class T>
T* Add(forms::Control& parent, std::unique_ptr<T> control, int left, int top, int width, int height)
{
    T* raw = parent.addChild(std::move(control));
    raw->setBounds(left, top, width, height);
    return raw;
}

forms::Panel* AddRule(forms::Control& row, int left, int top, int width, int height)
{
    auto* rule = Add(row, std::make_unique<forms::Panel>(), left, top, width, height);
    rule->color = kMedGray;
    return rule;
}

// Brings the editor dialog of the class back above the common dialog that
// was just closed.
void BringBack(DialogClass id)
{
    if (TEditorDialog* dialog = CurrentDialog(id))
        forms::WindowSystem::instance().bringToTop(dialog->handle());
}

void QueryInto(forms::LabeledEdit& field, std::int32_t code)
{
    if (!Host().interfaceAccess)
        return;
    const InterfaceAnswer answer = InterfaceAccess(code, field.text());
    if (answer.ok)
        field.setText(answer.text);
}

void ShowSubroutines(const forms::LabeledEdit& field)
{
    if (!Host().interfaceAccess)
        return;
    const InterfaceAnswer answer = InterfaceAccess(kQuerySubroutines, field.text());
    const std::string list = answer.ok ? answer.text : std::string();
    const std::string message =
        list.empty() ? std::string(kNoSubroutines) : std::string(kSubroutineList) + "\r\r" + list;
    forms::CurrentBackend().messageBox(message, "Information");
}

void ChooseColour(TEditorDialog& dialog, forms::LabeledEdit& field)
{
    if (dialog.ColorDialog1->execute())
        field.setText(ColorToText(gdi::ResolveColor(dialog.ColorDialog1->color)));
    BringBack(dialog.layout().id);
}

void ChooseFont(TEditorDialog& dialog, forms::LabeledEdit& field)
{
    const bool chosen = dialog.FontDialog1->execute();
    if (chosen)
        dialog.FontPreview->font = dialog.FontDialog1->font;
    BringBack(dialog.layout().id);
    if (chosen)
        field.setText(FontToDescriptor(dialog.FontPreview->font));
}

void ChooseFile(TEditorDialog& dialog, forms::LabeledEdit& field, Filter filter)
{
    forms::FileDialog& files = dialog.fileDialog(filter);
    if (files.execute())
        field.setText(files.fileName);
    BringBack(dialog.layout().id);
}

void Clicked(TEditorDialog& dialog, const Component& button)
{
    auto* field = dialog.component<forms::LabeledEdit>(button.target);
    if (!field)
        return;
    switch (button.kind) {
    case ButtonKind::Rectangle:
        QueryInto(*field, kQueryRectangleName);
        break;
    case ButtonKind::Variable:
        QueryInto(*field, kQueryVariableName);
        break;
    case ButtonKind::SubList:
        ShowSubroutines(*field);
        break;
    case ButtonKind::Colour:
        ChooseColour(dialog, *field);
        break;
    case ButtonKind::Font:
        ChooseFont(dialog, *field);
        break;
    case ButtonKind::File:
        ChooseFile(dialog, *field, button.filter);
        break;
    }
}

} // namespace

TEditorDialog::TEditorDialog(const Layout& layout)
    : forms::Form(std::string(layout.className.substr(1)), forms::BorderStyle::Dialog), layout_(layout)
{
    setCaption("Action Properties");
    setColor(kButtonFace);
    setPosition(forms::FormPosition::ScreenCenter);
    setClientSize(layout.clientWidth, layout.clientHeight);
    ColorDialog1 = own(std::make_unique<forms::ColorDialog>("ColorDialog1"));
    if (layout.id == DialogClass::FormFo)
        FontDialog1 = own(std::make_unique<forms::FontDialog>("FontDialog1"));
    for (std::size_t i = 0; i < layout.rows.size(); ++i)
        addRow(int(i), layout.rows[i]);
    addFooter();
}

void TEditorDialog::addRow(int index, const Row& row)
{
    auto* panel = Add(*this, std::make_unique<forms::Panel>("Row" + std::to_string(index + 1)), kRowLeft, row.top,
                      kRowWidth, kRowHeight);
    panel->color = kButtonFace;
    // Decoration behind the prompts: the band, the rules, the line under
    // the prompt.
    auto* band = Add(*panel, std::make_unique<forms::GradientBand>(), 0, 0, 265, 22);
    band->startColor = kSkyBlue;
    band->endColor = kButtonFace;
    AddRule(*panel, 0, 0, 370, 2);
    AddRule(*panel, 0, 0, 2, 50);
    AddRule(*panel, 0, 21, 260, 1);

    for (const Component& c : row.components) {
        const std::string name(c.name);
        forms::Control* added = nullptr;
        switch (c.part) {
        case Part::Edit: {
            auto* edit = Add(*panel, std::make_unique<forms::LabeledEdit>(name), c.left, c.top, c.width, 21);
            edit->editLabel().setCaption(name);
            edit->editLabel().font = DialogFont();
            edit->editLabel().transparent = true;
            added = edit;
            break;
        }
        case Part::Prompt: {
            auto* label = Add(*panel, std::make_unique<forms::Label>(name, name), c.left, c.top, 175, 14);
            label->font = DialogFont();
            label->transparent = true;
            added = label;
            break;
        }
        case Part::Spin: {
            auto* spin = Add(*panel, std::make_unique<forms::SpinEdit>(name), c.left, c.top, c.width, 26);
            spin->setMinValue(c.range.min);
            spin->setMaxValue(c.range.max);
            spin->setValue(c.range.value);
            spin->setMaxLength(c.range.maxLength);
            added = spin;
            break;
        }
        case Part::Combo:
            added = Add(*panel, std::make_unique<forms::ComboBox>(name), c.left, c.top, c.width, 21);
            break;
        case Part::Button: {
            auto* button = Add(*panel, std::make_unique<forms::SpeedButton>(name), c.left, c.top, 26, 24);
            button->icon = ButtonIcon(c.kind);
            const Component* spec = &c;
            button->onClick = [this, spec] { Clicked(*this, *spec); };
            added = button;
            break;
        }
        }
        added->setVisible(c.visible);
    }
}

void TEditorDialog::addFooter()
{
    auto* footer = Add(*this, std::make_unique<forms::Panel>("Footer"), layout_.footerLeft, layout_.footerTop,
                       kRowWidth, kFooterHeight);
    footer->color = kButtonFace;
    GradientLabel = Add(*footer, std::make_unique<forms::GradientBand>("GradientLabel"), 0, 0, 100, 25);
    GradientLabel->startColor = kLightYellow;
    GradientLabel->endColor = kWhite;
    GradientLabel->border = kMedGray;
    GradientLabel->rounded = true;
    LabelCommand = Add(*footer, std::make_unique<forms::Label>("LabelCommand", "LabelCommand"), 5, 7, 360, 14);
    LabelCommand->font = DialogFont(kBlue);
    LabelCommand->font.setBold(true);
    LabelCommand->transparent = true;
    auto* infoBand = Add(*footer, std::make_unique<forms::GradientBand>("grdnt1"), 0, 21, 367, 50);
    infoBand->startColor = infoBand->endColor = kWhite;
    infoBand->border = kMedGray;
    LabelInfo = Add(*footer, std::make_unique<InfoLabel>("LabelInfo", "LabelInfo"), 5, 24, 358, 45);
    LabelInfo->font = DialogFont();

    auto* picture = Add(*footer, std::make_unique<forms::Image>(layout_.numberNames ? "Image1" : "img1"), 16, 75, 32, 32);
    picture->setPicture(FooterPicture());
    auto* link = Add(*footer, std::make_unique<forms::LinkLabel>("LinkLabel1"), 87, 74, 110, 14);
    link->caption = "Zenvas on the web";
    link->address = "https://zenvas.example.org/";
    link->font.setName("MS Sans Serif");
    link->font.setSize(8);

    OkButton = Add(*footer, std::make_unique<forms::Button>(layout_.numberNames ? "btnOK" : "ButtonOK50", "OK"), 208,
                   78, 75, 25);
    OkButton->setModalResult(forms::ModalResult::Ok);
    OkButton->setDefault(true);
    CancelButton = Add(*footer,
                       std::make_unique<forms::Button>(layout_.numberNames ? "btnCancel" : "ButtonCancel50",
                                                       std::string(kCancelCaption)),
                       292, 78, 75, 25);
    CancelButton->setModalResult(forms::ModalResult::Cancel);
    CancelButton->setCancel(true);

    if (layout_.id == DialogClass::FormFo) {
        FontPreview = Add(*footer, std::make_unique<forms::Label>("Label1", "Label1"), 208, 1, 100, 14);
        FontPreview->hide();
    }
}

forms::FileDialog& TEditorDialog::fileDialog(Filter filter)
{
    if (auto it = fileDialogs_.find(filter); it != fileDialogs_.end())
        return *it->second;
    const bool save = filter == Filter::SavePictures;
    std::string name = save ? "SavePictureDialog1" : "OpenPictureDialog1";
    if (layout_.id == DialogClass::FormFree && filter == Filter::OpenPictures)
        name = "OpenPictureDialog2";
    auto* dialog = own(std::make_unique<forms::FileDialog>(name, save));
    dialog->filter = std::string(FilterText(filter));
    fileDialogs_[filter] = dialog;
    return *dialog;
}

std::unique_ptr<TEditorDialog> MakeDialog(DialogClass id)
{
    switch (id) {
    case DialogClass::FormOne: return std::make_unique<TFormOne>();
    case DialogClass::DublForm: return std::make_unique<TDublForm>();
    case DialogClass::FormFree: return std::make_unique<TFormFree>();
    case DialogClass::FormVibor: return std::make_unique<TFormVibor>();
    case DialogClass::FormNumber: return std::make_unique<TFormNumber>();
    case DialogClass::FormCombo: return std::make_unique<TFormCombo>();
    case DialogClass::FormNumbColor: return std::make_unique<TFormNumbColor>();
    case DialogClass::FormNumbColorPlus: return std::make_unique<TFormNumbColorPlus>();
    case DialogClass::Form10: return std::make_unique<TForm10>();
    case DialogClass::FormPlus: return std::make_unique<TFormPlus>();
    case DialogClass::FormComboPlus: return std::make_unique<TFormComboPlus>();
    case DialogClass::FormPlusFo: return std::make_unique<TFormPlusFo>();
    case DialogClass::FormFiga: return std::make_unique<TFormFiga>();
    case DialogClass::FormFo: return std::make_unique<TFormFo>();
    }
    return nullptr;
}

TEditorDialog*& CurrentDialog(DialogClass id)
{
    static std::array<TEditorDialog*, kDialogClassCount> current{};
    return current[std::size_t(id)];
}

} // namespace zenvas::editor
