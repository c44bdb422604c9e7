#include "editor/Layouts.h"

#include <array>

namespace zenvas::editor {

namespace {

constexpr Component Edit(std::string_view name)
{
    return {Part::Edit, name, 5, 23, 260, true};
}

constexpr Component Button(std::string_view name, int left, ButtonKind kind, std::string_view target,
                           Filter filter = Filter::None)
{
    return {Part::Button, name, left, 23, 26, false, kind, target, filter};
}

constexpr Component SubList(std::string_view name, std::string_view row)
{
    return Button(name, 311, ButtonKind::SubList, row);
}

constexpr Component Prompt(std::string_view name, int left, bool visible = false)
{
    return {Part::Prompt, name, left, 7, 0, visible};
}

constexpr Component Spin(std::string_view name, int left, int top = 23, int width = 101, SpinRange range = {})
{
    return {Part::Spin, name, left, top, width, false, ButtonKind::Variable, {}, Filter::None, range};
}

constexpr Component Combo(std::string_view name, int left, int top = 23, int width = 142, bool visible = false)
{
    return {Part::Combo, name, left, top, width, visible};
}

constexpr Component Shown(Component c)
{
    c.visible = true;
    return c;
}

constexpr Component kRectangleButton{Part::Button, "Kn1", 343, 23, 26, true, ButtonKind::Rectangle, "LEdit1"};

// The first row of every class: the rectangle field, its rectangle button
// and a hidden variable button for the same field.
constexpr std::array<Component, 3> FirstRow(std::string_view variableButton)
{
    return {Edit("LEdit1"), kRectangleButton, Button(variableButton, 311, ButtonKind::Variable, "LEdit1")};
}

constexpr auto kFirstRow = FirstRow("SpeedVariable");
constexpr auto kFirstRowKn2 = FirstRow("Kn2");

// TFormOne
constexpr Row kFormOneRows[] = {{10, kFirstRow}};

// TDublForm
constexpr Component kDublRow2[] = {
    Edit("LEdit2"), Button("SpeedButton1", 311, ButtonKind::Colour, "LEdit2"),
    Button("SpeedButton3", 311, ButtonKind::File, "LEdit2", Filter::OpenCursors),
    Button("SpeedButton2", 343, ButtonKind::Variable, "LEdit2")};
constexpr Row kDublRows[] = {{10, kFirstRow}, {65, kDublRow2}};

// TFormFree
constexpr Component kFreeRow1[] = {
    Edit("LEdit1"), kRectangleButton, Button("SpeedVariable", 311, ButtonKind::Variable, "LEdit1"),
    Button("SpeedButton6", 311, ButtonKind::File, "LEdit1", Filter::OpenPictures),
    Button("SpeedButton7", 343, ButtonKind::Variable, "LEdit1")};
constexpr Component kFreeRow2[] = {
    Edit("LEdit2"), Button("SpeedButton1", 311, ButtonKind::Colour, "LEdit2"),
    Button("SpeedButton3", 311, ButtonKind::File, "LEdit2", Filter::OpenCursors), SubList("SpeedButton8", "LEdit2"),
    Button("SpeedButton2", 343, ButtonKind::Variable, "LEdit2")};
constexpr Component kFreeRow3[] = {Edit("LEdit3"), SubList("SpeedButton5", "LEdit3"),
                                   Button("SpeedButton4", 343, ButtonKind::Variable, "LEdit3")};
constexpr Row kFreeRows[] = {{10, kFreeRow1}, {65, kFreeRow2}, {120, kFreeRow3}};

// TFormVibor
constexpr Component kViborRow2[] = {Edit("LEdit2"), Button("SpeedButton1", 311, ButtonKind::Colour, "LEdit2"),
                                    Button("SpeedButton2", 343, ButtonKind::Variable, "LEdit2")};
constexpr Component kViborRow3[] = {Edit("LEdit3"), Button("SpeedButton4", 311, ButtonKind::Colour, "LEdit3"),
                                    SubList("SpeedButton5", "LEdit3"),
                                    Button("SpeedButton3", 343, ButtonKind::Variable, "LEdit3")};
constexpr Component kViborRow4[] = {Edit("LEdit4"), SubList("SpeedButton7", "LEdit4"),
                                    Button("SpeedButton6", 343, ButtonKind::Variable, "LEdit4")};
constexpr Row kViborRows[] = {{10, kFirstRow}, {65, kViborRow2}, {120, kViborRow3}, {175, kViborRow4}};

// TFormNumber
constexpr Component kNumberRow2[] = {Prompt("Label1", 5, true), Prompt("Label2", 185, true), Prompt("Label3", 265),
                                     Spin("SpinEdit1", 5), Spin("SpinEdit2", 185, 24), Spin("SpinEdit3", 265)};
constexpr Row kNumberRows[] = {{10, kFirstRowKn2}, {65, kNumberRow2}};

// TFormCombo
constexpr Component kComboRow2[] = {Prompt("Label1", 5), Prompt("Label2", 185), Combo("ComboBox1", 5),
                                    Combo("ComboBox2", 185), Spin("SpinEdit1", 185, 24)};
constexpr Row kComboRows[] = {{10, kFirstRow}, {65, kComboRow2}};

// TFormNumbColor and TFormNumbColorPlus share their first three rows.
constexpr Component kNcRow2[] = {Prompt("Label1", 5, true), Prompt("Label2", 157), Spin("SpinEdit1", 5),
                                 Spin("SpinEdit2", 157), Combo("ComboBox1", 157, 25, 108)};
constexpr Component kNcRow3[] = {Edit("LEdit2"), Button("SpeedButton1", 311, ButtonKind::Colour, "LEdit2"),
                                 Button("SpeedButton2", 343, ButtonKind::Variable, "LEdit2")};
constexpr Component kNcRow4[] = {Edit("LEdit3"), Button("SpeedButton4", 311, ButtonKind::Colour, "LEdit3"),
                                 SubList("SpeedButton5", "LEdit3"),
                                 Button("SpeedButton3", 343, ButtonKind::Variable, "LEdit3")};
constexpr Row kNcRows[] = {{10, kFirstRowKn2}, {65, kNcRow2}, {120, kNcRow3}, {175, kNcRow4}};

constexpr Component kNcPlusRow4[] = {Prompt("Label3", 5, true), Prompt("Label4", 157), Spin("SpinEdit3", 5),
                                     Spin("SpinEdit4", 157), Combo("cbb1", 157, 23, 108)};
constexpr Component kNcPlusRow5[] = {Prompt("Label5", 5, true), Prompt("Label6", 157), Spin("SpinEdit5", 5),
                                     Spin("SpinEdit6", 157), Combo("cbb2", 157, 23, 108)};
constexpr Row kNcPlusRows[] = {{10, kFirstRowKn2}, {65, kNcRow2}, {120, kNcRow3}, {175, kNcPlusRow4},
                               {230, kNcPlusRow5}};

// TForm10 and TFormPlus share their first three rows.
constexpr Component kSaveRow2[] = {
    Edit("LEdit2"), Button("SpeedButton1", 311, ButtonKind::Colour, "LEdit2"),
    Button("SpeedButton3", 311, ButtonKind::File, "LEdit2", Filter::SavePictures),
    Button("SpeedButton2", 343, ButtonKind::Variable, "LEdit2")};
constexpr Component kSaveRow3[] = {Prompt("Label1", 5, true), Prompt("Label2", 185),
                                   Combo("ComboBox1", 5, 23, 142, true), Spin("se2", 185, 24)};
constexpr Row kForm10Rows[] = {{10, kFirstRow}, {65, kSaveRow2}, {120, kSaveRow3}};

constexpr Component kPlusRow4[] = {Edit("LEdit3"), Button("SpeedButton5", 311, ButtonKind::Colour, "LEdit3"),
                                   SubList("SpeedButton6", "LEdit3"),
                                   Button("SpeedButton4", 343, ButtonKind::Variable, "LEdit3")};
constexpr Row kPlusRows[] = {{10, kFirstRow}, {65, kSaveRow2}, {120, kSaveRow3}, {175, kPlusRow4}};

// TFormComboPlus
constexpr SpinRange kCoordinates{-9000, 90000, 0, 5};
constexpr Component kComboPlusRow2[] = {
    Edit("LEdit2"), Button("SpeedButton1", 311, ButtonKind::Colour, "LEdit2"),
    Button("SpeedButton3", 311, ButtonKind::File, "LEdit2", Filter::SavePictures),
    Button("SpeedButton4", 311, ButtonKind::File, "LEdit2", Filter::OpenPictures),
    Button("SpeedButton2", 343, ButtonKind::Variable, "LEdit2")};
constexpr Component kComboPlusRow3[] = {Prompt("Label1", 5, true), Prompt("Label2", 121), Prompt("Label3", 233),
                                        Combo("ComboBox1", 5, 23, 84, true), Spin("SpinEdit1", 121, 23, 80, kCoordinates),
                                        Spin("SpinEdit2", 233, 23, 80, kCoordinates)};
constexpr Row kComboPlusRows[] = {{10, kFirstRow}, {65, kComboPlusRow2}, {120, kComboPlusRow3}};

// TFormPlusFo
constexpr Component kPlusFoRow2[] = {Edit("LEdit2"),
                                     Button("SpeedButton3", 311, ButtonKind::File, "LEdit2", Filter::OpenBitmaps),
                                     Button("SpeedButton2", 343, ButtonKind::Variable, "LEdit2")};
constexpr Component kPlusFoRow3[] = {Prompt("Label1", 5, true), Prompt("Label2", 121), Prompt("Label3", 241),
                                     Combo("ComboBox1", 5, 23, 76, true),
                                     Spin("SpinEdit1", 121, 23, 70, {1, 100, 50, 3}),
                                     Spin("SpinEdit2", 241, 23, 70, {1, 200, 100, 3})};
constexpr Component kPlusFoRow4[] = {Edit("LEdit3"), Button("SpeedButton5", 311, ButtonKind::Colour, "LEdit3"),
                                     Button("SpeedButton4", 343, ButtonKind::Variable, "LEdit3")};
constexpr Component kPlusFoRow5[] = {Edit("LEdit4"), SubList("SpeedButton6", "LEdit4"),
                                     Button("SpeedButton7", 343, ButtonKind::Variable, "LEdit4")};
constexpr Row kPlusFoRows[] = {{10, kFirstRow},    {65, kPlusFoRow2}, {120, kPlusFoRow3},
                               {175, kPlusFoRow4}, {230, kPlusFoRow5}};

// TFormFiga: everything starts visible but the variable button of row 1.
constexpr Component kFigaRow2[] = {Shown(Prompt("Label1", 5)), Shown(Spin("SpinEdit1", 5))};
constexpr Component kFigaRow3[] = {Edit("LEdit2"), Shown(Button("SpeedButton2", 311, ButtonKind::Colour, "LEdit2")),
                                   Shown(Button("SpeedButton1", 343, ButtonKind::Variable, "LEdit2"))};
constexpr Component kFigaRow4[] = {Shown(Prompt("Label2", 5)), Shown(Combo("ComboBox1", 5))};
constexpr Component kFigaRow5[] = {Shown(Prompt("Label3", 5)), Shown(Combo("ComboBox2", 5))};
constexpr Component kFigaRow6[] = {Edit("LEdit3"), Shown(Button("SpeedButton4", 311, ButtonKind::Colour, "LEdit3")),
                                   Shown(Button("SpeedButton3", 343, ButtonKind::Variable, "LEdit3"))};
constexpr Component kFigaRow7[] = {Edit("LEdit4"), Shown(SubList("SpeedButton6", "LEdit4")),
                                   Shown(Button("SpeedButton5", 343, ButtonKind::Variable, "LEdit4"))};
constexpr Row kFigaRows[] = {{10, kFirstRow},  {65, kFigaRow2},  {120, kFigaRow3}, {175, kFigaRow4},
                             {230, kFigaRow5}, {280, kFigaRow6}, {335, kFigaRow7}};

// TFormFo
constexpr Component kFoRow2[] = {Edit("LEdit2"), Button("SpeedButton1", 311, ButtonKind::Colour, "LEdit2"),
                                 Button("SpeedButton3", 311, ButtonKind::File, "LEdit2", Filter::OpenPictures),
                                 Button("SpeedButton8", 311, ButtonKind::Font, "LEdit2"),
                                 Button("SpeedButton2", 343, ButtonKind::Variable, "LEdit2")};
constexpr Component kFoRow3[] = {Edit("LEdit3"), SubList("SpeedButton5", "LEdit3"),
                                 Button("SpeedButton4", 343, ButtonKind::Variable, "LEdit3")};
constexpr Component kFoRow4[] = {Edit("LEdit4"), SubList("SpeedButton7", "LEdit4"),
                                 Button("SpeedButton6", 343, ButtonKind::Variable, "LEdit4")};
constexpr Row kFoRows[] = {{10, kFirstRow}, {65, kFoRow2}, {120, kFoRow3}, {175, kFoRow4}};

constexpr Layout kLayouts[kDialogClassCount] = {
    {DialogClass::FormOne, "TFormOne", "EditFormOne", 390, 175, kFormOneRows, 65, 11, false},
    {DialogClass::DublForm, "TDublForm", "EditDuibl", 390, 230, kDublRows, 120, 11, false},
    {DialogClass::FormFree, "TFormFree", "EditFree", 390, 284, kFreeRows, 175, 10, false},
    {DialogClass::FormVibor, "TFormVibor", "EditVibor", 390, 338, kViborRows, 230, 10, false},
    {DialogClass::FormNumber, "TFormNumber", "EditFormNumber", 388, 230, kNumberRows, 120, 10, true},
    {DialogClass::FormCombo, "TFormCombo", "EditFormCombo", 390, 230, kComboRows, 120, 10, false},
    {DialogClass::FormNumbColor, "TFormNumbColor", "EditFormNC", 388, 340, kNcRows, 230, 10, true},
    {DialogClass::FormNumbColorPlus, "TFormNumbColorPlus", "EditFormNCPlus", 388, 394, kNcPlusRows, 285, 10, true},
    {DialogClass::Form10, "TForm10", "EditViborBox", 390, 284, kForm10Rows, 175, 10, false},
    {DialogClass::FormPlus, "TFormPlus", "EditViborPlus", 390, 340, kPlusRows, 230, 10, false},
    {DialogClass::FormComboPlus, "TFormComboPlus", "EditSpinCombo", 390, 285, kComboPlusRows, 175, 10, false},
    {DialogClass::FormPlusFo, "TFormPlusFo", "EditViborPlusFo", 390, 394, kPlusFoRows, 285, 10, false},
    {DialogClass::FormFiga, "TFormFiga", "EditFormFiga", 388, 500, kFigaRows, 390, 10, false},
    {DialogClass::FormFo, "TFormFo", "EditFormFo", 390, 339, kFoRows, 230, 10, false},
};

// The table is indexed by class; rows stand above the footer, which ends
// with the dialog (some classes cut its last two pixels).
constexpr bool LayoutsAreConsistent()
{
    for (int i = 0; i < kDialogClassCount; ++i) {
        const Layout& l = kLayouts[i];
        if (int(l.id) != i || l.footerTop + kFooterHeight > l.clientHeight + 2)
            return false;
        if (l.rows.back().top + kRowHeight > l.footerTop)
            return false;
    }
    return true;
}
static_assert(LayoutsAreConsistent());

} // namespace

const Layout& LayoutOf(DialogClass id)
{
    return kLayouts[int(id)];
}

std::string_view FilterText(Filter filter)
{
    switch (filter) {
    case Filter::OpenPictures:
        return "All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|JPEG Image File (*.jpg)|*.jpg|"
               "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";
    case Filter::SavePictures:
        return "All (*.jpg;*.bmp)|*.jpg;*.bmp|JPEG Image File (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp";
    case Filter::OpenBitmaps:
        return "Bitmaps (*.bmp)|*.bmp";
    case Filter::OpenCursors:
        return "\xCA\xF3\xF0\xF1\xEE\xF0 (*cur)|*cur"; // Cursor, in code page 1251
    case Filter::None:
        break;
    }
    return {};
}

} // namespace zenvas::editor
