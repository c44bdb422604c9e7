#include "editor/ActionEditors.h"

#include "plugin/ActionTable.h"

namespace zenvas::editor {

namespace {

using Names = std::string_view[];

constexpr std::string_view kPenStyles[] = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot"};
constexpr std::string_view kBrushStyles[] = {"Solid",     "Clear",     "Horizontal", "Vertical",
                                             "FDiagonal", "BDiagonal", "Cross",      "DiagCross"};
constexpr std::string_view kBooleans[] = {"True", "False"};
constexpr std::string_view kExtensions[] = {".bmp", ".jpg"};

constexpr std::string_view kRectanglePrompt = "Rectangle selection:";
constexpr std::string_view kRightClick = "Subroutine when right-clicking a mouse:";
constexpr std::string_view kLeftPress = "Subroutine when left mouse button is pressed:";

constexpr Field Text(int slot, std::string_view control, std::string_view prompt, std::string_view button1 = {},
                     std::string_view button2 = {})
{
    return {slot, control, prompt, {}, Rule::Text, 0, false, {}, Items::None, {button1, button2}};
}

constexpr Field kRectangle = Text(0, "LEdit1", kRectanglePrompt);

constexpr Field Spin(int slot, std::string_view control, std::string_view label, std::string_view prompt, Rule rule,
                     int floor = 0)
{
    return {slot, control, prompt, label, rule, floor};
}

constexpr Field Spin(int slot, std::string_view control, std::string_view label, std::string_view prompt, Rule rule,
                     int floor, SpinRange range)
{
    return {slot, control, prompt, label, rule, floor, true, range};
}

constexpr Field Choice(int slot, std::string_view control, std::string_view label, std::string_view prompt,
                       Items items)
{
    return {slot, control, prompt, label, Rule::Choice, 0, false, {}, items};
}

// TFormOne: the rectangle alone, or a variable instead of it.
constexpr Field kRectangleOnly[] = {kRectangle};
constexpr Field kColourVariable[] = {Text(0, "LEdit1", "Variable for color:")};
constexpr Field kFontVariable[] = {Text(0, "LEdit1", "Variable for font:")};
constexpr std::string_view kVariableInsteadShown[] = {"SpeedVariable"};
constexpr std::string_view kVariableInsteadHidden[] = {"Kn1"};

// TDublForm
constexpr Field kSetCursor[] = {kRectangle,
                                Text(1, "LEdit2", "Select mouse cursor:", "SpeedButton2", "SpeedButton3")};
constexpr Field kMonochrome[] = {kRectangle,
                                 Text(1, "LEdit2", "Color of monochrome image:", "SpeedButton1", "SpeedButton2")};

// TFormFree
constexpr Field kScrollPosition[] = {kRectangle,
                                     Text(1, "LEdit2", "Variable for horizontal scroll bar:", "SpeedButton2"),
                                     Text(2, "LEdit3", "Variable for vertical scrollbar:", "SpeedButton4")};
constexpr Field kCoordinatesFields[] = {kRectangle, Text(1, "LEdit2", "Variable for X:", "SpeedButton2"),
                                        Text(2, "LEdit3", "Variable for Y:", "SpeedButton4")};
constexpr Field kOnClick[] = {Text(0, "LEdit1", " Rectangle selection:"),
                              Text(1, "LEdit2", kLeftPress, "SpeedButton8", "SpeedButton2"),
                              Text(2, "LEdit3", kRightClick, "SpeedButton4", "SpeedButton5")};
constexpr Field kPictureSize[] = {Text(0, "LEdit1", "Picture file (*jpg, *bmp):"),
                                  Text(1, "LEdit2", "Variable for width:", "SpeedButton2"),
                                  Text(2, "LEdit3", "Variable for height:", "SpeedButton4")};
constexpr std::string_view kPictureSizeShown[] = {"SpeedButton6", "SpeedButton7"};

// TFormVibor
constexpr Field kPixel[] = {kRectangle, Text(1, "LEdit2", "Color:", "SpeedButton1", "SpeedButton2"),
                            Text(2, "LEdit3", kRightClick, "SpeedButton3", "SpeedButton5"),
                            Text(3, "LEdit4", kLeftPress, "SpeedButton6", "SpeedButton7")};

// TFormNumber
constexpr Field kCreate[] = {kRectangle,
                             Spin(1, "SpinEdit1", "Label1", "Canvas width:", Rule::Floor, 1, {1, 1024, 2, 4}),
                             Spin(2, "SpinEdit2", "Label2", "Canvas height:", Rule::Floor, 1, {1, 1024, 2, 4})};
constexpr Field kSetScroll[] = {
    kRectangle, Spin(1, "SpinEdit1", "Label1", "Horizontal scroll bar", Rule::Digits, 0, {0, 1000, 100, 4}),
    Spin(2, "SpinEdit2", "Label2", "Vertical scroll bar", Rule::Digits, 0, {0, 1000, 100, 4})};
constexpr Field kChangeRgb[] = {kRectangle,
                                Spin(1, "SpinEdit1", "Label1", "Red ( R )", Rule::Integer, 0, {0, 255, 0, 3}),
                                Spin(2, "SpinEdit2", "Label2", "Green ( G )", Rule::Integer, 0, {0, 255, 0, 3}),
                                Spin(3, "SpinEdit3", "Label3", "Blue ( B )", Rule::Integer, 0, {0, 255, 0, 3})};
constexpr Move kChangeRgbMoves[] = {{"SpinEdit2", 130}, {"Label2", 130}};
constexpr Field kGamma[] = {kRectangle,
                            Spin(1, "SpinEdit1", "Label1", "Number from 0 to 7", Rule::Integer, 0, {0, 7, 7, 1})};
constexpr Field kMonoPixel[] = {
    kRectangle, Spin(1, "SpinEdit1", "Label1", "Number from 2 to 10 (Pixel size)", Rule::Integer, 0, {1, 10, 2, 2})};
constexpr std::string_view kLabel2Hidden[] = {"Label2"};

// TFormCombo
constexpr Field kScroll[] = {kRectangle,
                             Choice(1, "ComboBox1", "Label1", "Vertical scroll bar", Items::Booleans),
                             Choice(2, "ComboBox2", "Label2", "Horizontal scroll bar", Items::Booleans)};
constexpr Field kZoom[] = {kRectangle, Choice(1, "ComboBox1", "Label1", "Hide \\ Show Sight. ", Items::Booleans)};
constexpr Field kNoise[] = {
    kRectangle, Choice(1, "ComboBox1", "Label1", "True/False ( black/white \\ colored)", Items::Booleans),
    Spin(2, "SpinEdit1", "Label2", "Amount of dot", Rule::Integer, 0, {1, 1000, 100, 4})};

// TFormNumbColor
constexpr Field kBrush[] = {kRectangle,
                            Spin(1, "SpinEdit1", "Label1", "Width of the brush:", Rule::FloorKeepDefault, 2),
                            Text(2, "LEdit2", "Color:", "SpeedButton1", "SpeedButton2"),
                            Text(3, "LEdit3", kRightClick, "SpeedButton3", "SpeedButton5")};
constexpr Field kLine[] = {kRectangle, Spin(1, "SpinEdit1", "Label1", "Line Width:", Rule::Floor, 1),
                           Text(2, "LEdit2", "Line color:", "SpeedButton1", "SpeedButton2"),
                           Choice(3, "ComboBox1", "Label2", "Line Style:", Items::PenStyles),
                           Text(4, "LEdit3", kRightClick, "SpeedButton3", "SpeedButton5")};
constexpr Field kStar[] = {kRectangle,
                           Spin(1, "SpinEdit1", "Label1", "Star radius:", Rule::Floor, 3, {3, 1024, 3, 4}),
                           Text(2, "LEdit2", "Color of the contour of the star:", "SpeedButton1", "SpeedButton2"),
                           Text(3, "LEdit3", kRightClick, "SpeedButton3", "SpeedButton5")};
// The style row stands above the colour row, though the colour is slot 1.
constexpr Field kFloodFill[] = {kRectangle, Choice(2, "ComboBox1", "Label1", "Fill style:", Items::BrushStyles),
                                Text(1, "LEdit2", "Fill color:", "SpeedButton1", "SpeedButton2"),
                                Text(3, "LEdit3", kRightClick, "SpeedButton3", "SpeedButton5")};
constexpr Field kFloodFillAt[] = {kRectangle, Choice(2, "ComboBox1", "Label1", "Fill style:", Items::BrushStyles),
                                  Text(1, "LEdit2", "Fill color:", "SpeedButton1", "SpeedButton2"),
                                  Text(3, "LEdit3", "X1 | Y1  Coordinates of the start of dyeing:", "SpeedButton3")};
constexpr Move kStyleFirst[] = {{"ComboBox1", 5}};
constexpr Field kAero[] = {
    kRectangle, Spin(1, "SpinEdit1", "Label1", "Radius of the spraying:", Rule::Floor, 1, {1, 100, 10, 2}),
    Spin(2, "SpinEdit2", "Label2", "Intensity of spraying:", Rule::Floor, 1, {1, 100, 10, 2}),
    Text(3, "LEdit2", "Paint Color:", "SpeedButton1", "SpeedButton2"),
    Text(4, "LEdit3", kRightClick, "SpeedButton3", "SpeedButton5")};

// TFormNumbColorPlus
constexpr SpinRange kPoint{1, 9000, 1, 4};
constexpr Field kLineAt[] = {
    kRectangle,
    Spin(1, "SpinEdit1", "Label1", "Line Width:", Rule::Floor, 1),
    Text(2, "LEdit2", "Line color:", "SpeedButton1", "SpeedButton2"),
    Choice(3, "ComboBox1", "Label2", "Line Style:", Items::PenStyles),
    Spin(4, "SpinEdit3", "Label3", "X (the beginning of the line):", Rule::Floor, 1, kPoint),
    Spin(5, "SpinEdit4", "Label4", "Y (the beginning of the line):", Rule::Floor, 1, kPoint),
    Spin(6, "SpinEdit5", "Label5", "Coordinate X (end of line):", Rule::Floor, 1, kPoint),
    Spin(7, "SpinEdit6", "Label6", "Coordinate Y (end of line):", Rule::Floor, 1, kPoint)};

// TForm10 and TFormPlus
constexpr Field kCopyPaste[] = {
    kRectangle, Choice(1, "ComboBox1", "Label1", "Set Transparency (True\\False):", Items::Booleans),
    Text(2, "LEdit2", "Transparency color ( default setting 255.255.255):", "SpeedButton1", "SpeedButton2")};
constexpr Move kRowsSwapped[] = {{"Row3", -1, 65}, {"Row2", -1, 120}};
constexpr std::string_view kFileNamePrompt = "Path \\ File name (without extension):";
constexpr Field kSavePicture[] = {kRectangle, Text(1, "LEdit2", kFileNamePrompt, "SpeedButton3", "SpeedButton2"),
                                  Choice(2, "ComboBox1", "Label1", "filename extension:", Items::Extensions)};
constexpr Field kSavePart[] = {
    kRectangle, Text(1, "LEdit2", kFileNamePrompt, "SpeedButton3", "SpeedButton2"),
    Choice(2, "ComboBox1", "Label1", "filename extension:", Items::Extensions),
    Text(3, "LEdit3", "Subroutine when the mouse button is released:", "SpeedButton4", "SpeedButton6")};

// TFormComboPlus
constexpr Field kSetPicture[] = {
    kRectangle, Text(1, "LEdit2", "Select a file (*.bmp;  *.jpg)", "SpeedButton4", "SpeedButton2"),
    Spin(2, "SpinEdit1", "Label1", "X coordinate", Rule::Integer),
    Spin(3, "SpinEdit2", "Label2", "Y coordinate", Rule::Integer)};
constexpr std::string_view kComboHidden[] = {"ComboBox1"};
constexpr Move kSetPictureMoves[] = {{"SpinEdit1", 5}, {"SpinEdit2", 125}, {"Label2", 125}};
constexpr Field kBlock[] = {
    kRectangle, Text(1, "LEdit2", "Color between blocks:", "SpeedButton1", "SpeedButton2"),
    Spin(2, "SpinEdit1", "Label2", "Number of blocks in a row:", Rule::Integer, 0, {2, 300, 2, 3}),
    Spin(3, "SpinEdit2", "Label3", "Size of the seam(px):", Rule::Integer, 0, {2, 10, 2, 3})};
constexpr std::string_view kChoiceRowHidden[] = {"Label1", "ComboBox1"};
constexpr Move kTwoSpinsMoved[] = {{"Label2", 5}, {"SpinEdit1", 5}, {"Label3", 200}, {"SpinEdit2", 200}};
constexpr Field kFrostGlass[] = {
    kRectangle, Text(1, "LEdit2", "Rime color:", "SpeedButton1", "SpeedButton2"),
    Spin(2, "SpinEdit1", "Label2", "The size ( 0 < R < ):", Rule::Integer, 0, {1, 100, 5, 3})};
constexpr Move kOneSpinMoved[] = {{"Label2", 5}, {"SpinEdit1", 5}};
constexpr Field kGetPixel[] = {
    kRectangle, Text(1, "LEdit2", "Variable for color:", "SpeedButton2"),
    Spin(2, "SpinEdit1", "Label2", "X coordinate:", Rule::Integer, 0, kPoint),
    Spin(3, "SpinEdit2", "Label3", "Y coordinate:", Rule::Integer, 0, kPoint)};
constexpr Field kSetPixel[] = {
    kRectangle, Text(1, "LEdit2", "Color:", "SpeedButton2", "SpeedButton1"),
    Spin(2, "SpinEdit1", "Label2", "X coordinate:", Rule::Integer, 0, kPoint),
    Spin(3, "SpinEdit2", "Label3", "Y coordinate:", Rule::Integer, 0, kPoint)};

// TFormPlusFo
constexpr Field kPictureMouse[] = {
    kRectangle, Text(1, "LEdit2", "Select a file (*.bmp)", "SpeedButton2", "SpeedButton3"),
    Choice(2, "ComboBox1", "Label1", "Set Transparency:", Items::Booleans),
    Spin(3, "SpinEdit1", "Label2", "File size ( % )", Rule::Integer),
    Text(4, "LEdit3", "Transparency color:", "SpeedButton4", "SpeedButton5"),
    Text(5, "LEdit4", kRightClick, "SpeedButton6", "SpeedButton7")};
constexpr Move kPictureMouseMoves[] = {{"SpinEdit1", 145}, {"Label2", 145}};

// TFormFiga: every row in use; the buttons keep the class's states.
constexpr Field Figure(std::string_view lineStyle, std::string_view fillStyle, std::string_view last, int n)
{
    switch (n) {
    case 0: return kRectangle;
    case 1: return Spin(1, "SpinEdit1", "Label1", "Width of the contour line:", Rule::Floor, 1);
    case 2: return Text(2, "LEdit2", "Color of the contour line:");
    case 3: return Choice(3, "ComboBox1", "Label2", lineStyle, Items::PenStyles);
    case 4: return Choice(4, "ComboBox2", "Label3", fillStyle, Items::BrushStyles);
    case 5: return Text(5, "LEdit3", "Fill color:");
    default: return Text(6, "LEdit4", last);
    }
}
constexpr std::array<Field, 7> Figure(std::string_view lineStyle, std::string_view fillStyle, std::string_view last)
{
    return {Figure(lineStyle, fillStyle, last, 0), Figure(lineStyle, fillStyle, last, 1),
            Figure(lineStyle, fillStyle, last, 2), Figure(lineStyle, fillStyle, last, 3),
            Figure(lineStyle, fillStyle, last, 4), Figure(lineStyle, fillStyle, last, 5),
            Figure(lineStyle, fillStyle, last, 6)};
}
constexpr auto kRectangleFigure = Figure("Contour line style:", "Fill style:", kRightClick);
constexpr auto kCircleFigure = Figure("Contour line style", "Fill style:", kRightClick);
constexpr std::string_view kFourPoints = "X1 | Y1 | X2 | Y2  ( example: 1 | 1 | 150 | 150 )";
constexpr auto kRectangleAt = Figure("Contour line style", "Fill style", kFourPoints);
constexpr auto kRoundRect =
    Figure("Contour line style", "Fill style", "X1 | Y1 | X2 | Y2 | X3 | Y3 ( example: 1 | 1 | 150 | 150 | 40 | 40)");
constexpr auto kPie = Figure("Contour line style", "Fill style",
                             "X1 | Y1 | X2 | Y2 | X3 | Y3| X4 | Y4 ( example: 1|1|150|150|70|1|150|70  )");
constexpr auto kPolygon = Figure("Contour line style", "Fill style",
                                 "X1 | Y1 | X2 | Y2 | X3 | Y3( example triangle: 10|50|40|10|70|50  )");
constexpr std::string_view kSubListHidden[] = {"SpeedButton6"};

// TFormFo
constexpr Field kPipette[] = {kRectangle, Text(1, "LEdit2", "Variable for color:", "SpeedButton2"),
                              Text(2, "LEdit3", kLeftPress, "SpeedButton4", "SpeedButton5"),
                              Text(3, "LEdit4", kRightClick, "SpeedButton6", "SpeedButton7")};
constexpr Field kTextOut[] = {kRectangle, Text(1, "LEdit2", "Font:", "SpeedButton8", "SpeedButton2"),
                              Text(2, "LEdit3", "Text:", "SpeedButton4"),
                              Text(3, "LEdit4", kRightClick, "SpeedButton7", "SpeedButton6")};
constexpr Field kTextAt[] = {kRectangle, Text(1, "LEdit2", "Font:", "SpeedButton8", "SpeedButton2"),
                             Text(2, "LEdit3", "Text:", "SpeedButton4"),
                             Text(3, "LEdit4", "X1 | Y1  Coordinates of the text", "SpeedButton6")};

using D = DialogClass;

constexpr ActionEditor kEditors[] = {
    {1, D::FormNumber, "Create a canvas and set its dimensions.", kCreate},
    {2, D::FormOne, "Delete the previously created canvas.", kRectangleOnly},
    {3, D::FormCombo, "Hide \\ Show scrollbars", kScroll},
    {4, D::FormFree, "Get numerical values for the position of the scroll bars", kScrollPosition},
    {5, D::FormNumber, "Set numeric values for scrollbars", kSetScroll},
    {6, D::FormNumber, "Resize canvas.", kCreate},
    {7, D::FormOne, "Clear canvas.", kRectangleOnly},
    {8, D::FormVibor, "Paint the pixel.", kPixel},
    {9, D::FormVibor, "Choose a color and draw with a pencil.", kPixel},
    {10, D::FormNumbColor, "Draw with a brush.", kBrush},
    {11, D::FormFiga, "Draw a rectangle with the mouse.", kRectangleFigure},
    {12, D::FormFiga, "Draw a circle with the mouse.", kCircleFigure},
    {13, D::FormNumbColor, "Draw a straight line with a mouse.", kLine},
    {14, D::FormNumbColor, "Draw a star", kStar},
    {15, D::FormNumbColor, "Paint the closed area of pixels.", kFloodFill, {}, {}, kStyleFirst},
    {16, D::FormNumbColor, "Spray.", kAero},
    {17, D::FormOne, "Color Selection Window", kColourVariable, kVariableInsteadShown, kVariableInsteadHidden},
    {18, D::FormOne, "The font selection window.", kFontVariable, kVariableInsteadShown, kVariableInsteadHidden},
    {19, D::DublForm, "Set mouse cursor.", kSetCursor},
    {20, D::FormOne, "Undo cursor change", kRectangleOnly},
    {21, D::FormCombo, "Show window with magnification", kZoom},
    {22, D::FormFo, "Get the color under the cursor.", kPipette},
    {23, D::FormFo, "Write text.", kTextOut},
    {24, D::FormFree, "Get the coordinates of the cursor", kCoordinatesFields},
    {25, D::Form10,
     "Select and copy part of the picture and paste it in another place.\nLeft button - select and copy\n"
     "Right button - to insert into a new place.",
     kCopyPaste, {}, {}, kRowsSwapped},
    {26, D::FormOne, "Unselect all tools.", kRectangleOnly},
    {27, D::FormFree, "Execute a subroutine with canceled tools\n  (ZenvasRemoveTool)", kOnClick},
    {28, D::FormOne, "Save image to memory.", kRectangleOnly},
    {29, D::FormOne, "Extract drawing from memory.", kRectangleOnly},
    {30, D::FormFree, "Get Image File Sizes(px).", kPictureSize, kPictureSizeShown, kVariableInsteadHidden},
    {31, D::Form10, "Save the picture to a file (picture of the whole canvas).", kSavePicture},
    {32, D::FormPlus,
     "Select part of the picture and save to file.\nLeft mouse button - select.\n"
     "When the button is released, the file will be saved.",
     kSavePart},
    {33, D::FormComboPlus, "Arrange the image on the canvas \n according to the coordinates.", kSetPicture, {},
     kComboHidden, kSetPictureMoves},
    {34, D::FormPlusFo, "Arrange the image on the canvas on the \ncoordinates of the cursor.", kPictureMouse, {}, {},
     kPictureMouseMoves},
    {35, D::FormNumber, "Change the color channels of the image (RGB).", kChangeRgb, {}, {}, kChangeRgbMoves},
    {36, D::FormNumber, "Change the color gamut of the image.", kGamma, {}, kLabel2Hidden},
    {37, D::FormOne, "Invert image colors.", kRectangleOnly},
    {38, D::DublForm, "Make the image monochrome.", kMonochrome},
    {39, D::FormComboPlus, "Split images into blocks.", kBlock, {}, kChoiceRowHidden, kTwoSpinsMoved},
    {40, D::FormComboPlus, "Frosted glass with frost\".", kFrostGlass, {}, kChoiceRowHidden, kOneSpinMoved},
    {41, D::FormNumber, "Increased pixels.", kMonoPixel, {}, kLabel2Hidden},
    {42, D::FormCombo, "Digital noise", kNoise},
    {43, D::FormComboPlus, "Get pixel color by coordinates.", kGetPixel, {}, kChoiceRowHidden, kTwoSpinsMoved},
    {44, D::FormComboPlus, "Set pixel color to coordinates.", kSetPixel, {}, kChoiceRowHidden, kTwoSpinsMoved},
    {45, D::FormNumbColorPlus, "Draw a straight line with given coordinates", kLineAt},
    {46, D::FormFiga,
     "Draw a rectangle by coordinates.\nX1,Y1  - coordinates of the upper-left corner of the rectangle.\n"
     "X2,Y2 -  coordinates of the bottom right corner of the rectangle.",
     kRectangleAt, {}, kSubListHidden},
    {47, D::FormFiga,
     "Draw a circle with given coordinates.\nX1,Y1  - coordinates of the upper left corner.\n"
     "X2,Y2 -  the coordinates of the lower right corner.",
     kRectangleAt, {}, kSubListHidden},
    {48, D::FormFiga, "Draw a rectangle with rounded corners\n(ZvRectangleNoMouse)\nX3,Y3 -  rounding size.", kRoundRect,
     {}, kSubListHidden},
    {49, D::FormFiga, "Draw a circle sector", kPie, {}, kSubListHidden},
    {50, D::FormFiga, "Draw a polygon (record a set of points)", kPolygon, {}, kSubListHidden},
    {51, D::FormFo, "  Write text in the picture", kTextAt},
    {52, D::FormNumbColor,
     "To paint the closed area of pixels specifying the \n coordinates of the beginning of the dyeing.", kFloodFillAt, {},
     {}, kStyleFirst},
};

// Checked by the compiler: one editor per action in number order, every
// slot of the action filled exactly once.
constexpr bool EditorsMatchTheActions()
{
    if (std::size(kEditors) != std::size_t(kActionCount))
        return false;
    for (int i = 0; i < kActionCount; ++i) {
        const ActionEditor& e = kEditors[i];
        if (e.number != i + 1)
            return false;
        int count = 0;
        for (const auto& entry : kActionTable)
            if (entry.number == e.number)
                count = entry.parameterCount();
        if (int(e.fields.size()) != count)
            return false;
        for (int slot = 0; slot < count; ++slot) {
            int uses = 0;
            for (const Field& f : e.fields)
                uses += f.slot == slot;
            if (uses != 1)
                return false;
        }
    }
    return true;
}
static_assert(EditorsMatchTheActions());

} // namespace

std::span<const std::string_view> ItemsOf(Items items)
{
    switch (items) {
    case Items::PenStyles:
        return kPenStyles;
    case Items::BrushStyles:
        return kBrushStyles;
    case Items::Booleans:
        return kBooleans;
    case Items::Extensions:
        return kExtensions;
    case Items::None:
        break;
    }
    return {};
}

const ActionEditor* FindActionEditor(int number)
{
    if (number < 1 || number > kActionCount)
        return nullptr;
    return &kEditors[number - 1];
}

std::span<const ActionEditor> ActionEditors()
{
    return kEditors;
}

} // namespace zenvas::editor
