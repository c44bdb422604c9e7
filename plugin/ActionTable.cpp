#include "plugin/ActionTable.h"

#include "plugin/HostServices.h"

namespace zenvas {
namespace {

constexpr std::array<ActionEntry, 54> kTable{{
    {0, "Zenvas", "", {0}},
    {1, "ZenvasCreate", "Create a canvas and set its dimensions.", {1, 1, 1}},
    {2, "ZenvasDelete", "Delete the previously created canvas.", {1}},
    {3, "ZenvasScroll", "Hide \\ Show scrollbars.", {1, 1, 1}},
    {4, "ZvGetScrollPosition", "Get numerical values for the position of the scroll bars.", {1, 6, 6}},
    {5, "ZvSetScrollPosition", "Set numeric values for scrollbars.", {1, 1, 1}},
    {6, "ZenvasChangeSize", "Resize canvas.", {1, 1, 1}},
    {7, "ZenvasClear", "Clear canvas.", {1}},
    {8, "ZenvasPixel", "Paint the pixel.", {1, 1, 1, 1}},
    {9, "ZenvasPen", "Choose a color and draw with a pencil.", {1, 1, 1, 1}},
    {10, "ZenvasBrush", "Draw with a brush.", {1, 1, 1, 1}},
    {11, "ZenvasRectangle", "Draw a rectangle with the mouse.", {1, 1, 1, 1, 1, 1, 1}},
    {12, "ZenvasCircle", "Draw a circle with the mouse.", {1, 1, 1, 1, 1, 1, 1}},
    {13, "ZenvasLine", "Draw a straight line with a mouse.", {1, 1, 1, 1, 1}},
    {14, "ZenvasStar", "Draw a star.", {1, 1, 1, 1}},
    {15, "ZenvasFloodFill", "Paint the closed area of pixels.", {1, 1, 1, 1}},
    {16, "ZenvasAero", "Spray.", {1, 1, 1, 1, 1}},
    {17, "ZenvasColorBox", "Color Selection Window.", {6}},
    {18, "ZenvasFontBox", "The font selection window.", {6}},
    {19, "ZenvasSetCursor", "Set mouse cursor.", {1, 5}},
    {20, "ZenvasCursorClear", "Undo cursor change", {1}},
    {21, "ZenvasZoomCreate", "Show window with magnification", {1, 1}},
    {22, "ZenvasPipette", "Get the color under the cursor.", {1, 6, 1, 1}},
    {23, "ZenvasTextOut", "Write text.", {1, 1, 1, 1}},
    {24, "ZenvasCoordinates", "Get the coordinates of the cursor.", {1, 6, 6}},
    {25, "ZenvasCopyPaste", "Select and copy part of the picture and paste it in another place.", {1, 1, 1}},
    {26, "ZenvasRemoveTool", "Unselect all tools.", {1}},
    {27, "ZenvasOnClick", "Execute a subroutine with canceled tools.", {1, 1, 1}},
    {28, "ZenvasCopyMemory", "Save image to memory.", {1}},
    {29, "ZenvasPasteMemory", "Extract drawing from memory.", {1}},
    {30, "znGetPictureSize", "Get Image File Sizes.", {1, 6, 6}},
    {31, "ZenvasSavePicture", "Save the picture to a file (picture of the whole canvas).", {1, 1, 1}},
    {32, "ZenvasSavePartPicture", "Select part of the picture and save to file.", {1, 1, 1, 1}},
    {33, "ZenvasSetPicture", "Arrange the image on the canvas according to the coordinates.", {1, 1, 1, 1}},
    {34, "ZenvasSetPictureMouse", "Arrange the image on the canvas on the coordinates of the cursor.", {1, 1, 1, 1, 1, 1}},
    {35, "ZenvasChangeRGB", "Change the color channels of the image (RGB).", {1, 1, 1, 1}},
    {36, "ZenvasChangeGamma", "Change the color gamut of the image.", {1, 1}},
    {37, "ZenvasNegative", "Invert image colors.", {1}},
    {38, "ZenvasMonochrome", "Make the image monochrome.", {1, 1}},
    {39, "ZenvasBlock", "Split images into blocks.", {1, 1, 1, 1}},
    {40, "ZenvasFrostGlass", "Frosted glass with frost.", {1, 1, 1}},
    {41, "ZenvasMonoPixel", "Increased pixels.", {1, 1}},
    {42, "ZenvasAddNoise", "Digital noise.", {1, 1, 1}},
    {0, "Drawing without a mouse", "", {1}},
    {43, "ZvGetColorPixel", "Get pixel color by coordinates.", {1, 6, 1, 1}},
    {44, "ZvSetColorPixel", "Set pixel color to coordinates.", {1, 1, 1, 1}},
    {45, "ZvLineNoMouse", "Draw a straight line with given coordinates.", {1, 1, 1, 1, 1, 1, 1, 1}},
    {46, "ZvRectangleNoMouse", "Draw a rectangle by coordinates..", {1, 1, 1, 1, 1, 1, 1}},
    {47, "ZvCircleNoMouse", "Draw a circle with given coordinates.", {1, 1, 1, 1, 1, 1, 1}},
    {48, "ZenvasRoundRect", "Draw a rectangle with rounded corners (ZvRectangleNoMouse) X3 end Y3 rounding size.", {1, 1, 1, 1, 1, 1, 1}},
    {49, "ZenvasPie", "Draw a circle sector.", {1, 1, 1, 1, 1, 1, 1}},
    {50, "ZenvasPolygon", "Draw a polygon.", {1, 1, 1, 1, 1, 1, 1}},
    {51, "ZvTextNoMouse", "Write text in the picture.", {1, 1, 1, 1}},
    {52, "ZvFloodFill", "To paint the closed area of pixels specifying the coordinates of the beginning of the dyeing.", {1, 1, 1, 1}},
}};

constexpr bool TableIsConsistent()
{
    int expected = 1;
    for (const auto& entry : kTable) {
        if (entry.isHeading())
            continue;
        if (entry.number != expected++ || entry.typeCount < 1 || entry.typeCount > kMaxParameters)
            return false;
    }
    return expected == kActionCount + 1;
}
static_assert(TableIsConsistent(), "actions must be numbered 1..52 in order");

} // namespace

const std::array<ActionEntry, 54>& ActionTable()
{
    return kTable;
}

const ActionEntry* FindAction(std::int32_t number)
{
    for (const auto& entry : kTable)
        if (!entry.isHeading() && entry.number == number)
            return &entry;
    return nullptr;
}

void RegisterActionTable()
{
    for (const auto& entry : kTable) {
        // The callback may have been replaced by a re-entrant registration.
        auto proc = Host().addAction;
        if (!proc)
            return;
        std::string name(entry.name), hint(entry.hint);
        proc(entry.number, name.c_str(), hint.c_str(), entry.types.data(), entry.highIndex(),
             entry.parameterCount());
    }
}

} // namespace zenvas
