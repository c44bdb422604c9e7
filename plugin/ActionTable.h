#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

// The table of entries registered with the host, in registration order:
// 52 actions and two headings (number 0).
namespace zenvas {

inline constexpr int kActionCount = 52;
inline constexpr int kMaxParameters = 8;

// Parameter type codes.
inline constexpr std::uint8_t kTypeOrdinary = 1;
inline constexpr std::uint8_t kTypeCursorFile = 5;
inline constexpr std::uint8_t kTypeVariable = 6;

struct ActionEntry {
    std::int32_t number; // 1..52, or 0 for a heading
    std::string_view name;
    std::string_view hint;
    std::array<std::uint8_t, kMaxParameters> types;
    std::int32_t typeCount; // bytes in `types`: the parameter count, or 1 for a heading

    constexpr ActionEntry(std::int32_t n, std::string_view nm, std::string_view h,
                          std::initializer_list<std::uint8_t> codes)
        : number(n), name(nm), hint(h), types{}, typeCount(static_cast<std::int32_t>(codes.size()))
    {
        std::size_t i = 0;
        for (auto code : codes)
            types[i++] = code;
    }

    constexpr bool isHeading() const { return number == 0; }
    constexpr std::int32_t parameterCount() const { return isHeading() ? 0 : typeCount; }
    constexpr std::int32_t highIndex() const { return isHeading() ? 0 : typeCount - 1; }
};

// Registration order, headings included.
inline constexpr std::array<ActionEntry, 54> kActionTable{{
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

const std::array<ActionEntry, 54>& ActionTable();

// The entry of action `number` (1..52), or null.
const ActionEntry* FindAction(std::int32_t number);

// Makes the 54 registration calls through the stored register-action
// callback, in table order.
void RegisterActionTable();

} // namespace zenvas
