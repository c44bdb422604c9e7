#pragma once

#include <span>
#include <string_view>

// The fourteen editor dialog classes as data: each a list of rows, each row
// a list of components with their places and starting states. One builder
// (EditorDialog.cpp) turns a layout into a dialog.
namespace zenvas::editor {

enum class DialogClass {
    FormOne,
    DublForm,
    FormFree,
    FormVibor,
    FormNumber,
    FormCombo,
    FormNumbColor,
    FormNumbColorPlus,
    Form10,
    FormPlus,
    FormComboPlus,
    FormPlusFo,
    FormFiga,
    FormFo,
};
inline constexpr int kDialogClassCount = 14;

enum class Part { Edit, Prompt, Spin, Combo, Button };

// What a small button does when clicked.
enum class ButtonKind { Rectangle, Variable, SubList, Colour, Font, File };

// The picture dialog a file button opens.
enum class Filter { None, OpenPictures, SavePictures, OpenBitmaps, OpenCursors };

struct SpinRange {
    int min = 1;
    int max = 99;
    int value = 2;
    int maxLength = 2;
};

// One component of a row, placed in the row's coordinates. A width of 0
// takes the part's usual width.
struct Component {
    Part part;
    std::string_view name;
    int left;
    int top;
    int width = 0;
    bool visible = false;
    ButtonKind kind = ButtonKind::Variable; // buttons only
    std::string_view target = {};           // the field a button fills or offers
    Filter filter = Filter::None;           // file buttons only
    SpinRange range = {};                   // spin fields only
};

struct Row {
    int top;
    std::span<const Component> components;
};

struct Layout {
    DialogClass id;
    std::string_view className; // TFormOne ...
    std::string_view unit;      // EditFormOne ...
    int clientWidth;
    int clientHeight;
    std::span<const Row> rows;
    int footerTop;
    int footerLeft;
    // btnOK / btnCancel / Kn2 / Image1 instead of ButtonOK50 / ButtonCancel50
    // / SpeedVariable / img1.
    bool numberNames;
};

const Layout& LayoutOf(DialogClass id);

// The filter texts the picture dialogs show.
std::string_view FilterText(Filter filter);

// Row and footer geometry shared by every class.
inline constexpr int kRowLeft = 10;
inline constexpr int kRowWidth = 375;
inline constexpr int kRowHeight = 50;
inline constexpr int kFooterHeight = 110;

} // namespace zenvas::editor
