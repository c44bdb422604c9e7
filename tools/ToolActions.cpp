// The actions that choose a mouse tool and set up the pen, brush and slots
// it works with.
#include "canvas/CanvasList.h"
#include "pictures/PictureFiles.h"
#include "platform/forms/Cursor.h"
#include "platform/forms/CursorFile.h"
#include "platform/system/Files.h"
#include "platform/system/Text1251.h"
#include "plugin/Dispatch.h"
#include "plugin/Values.h"
#include "tools/Engine.h"

namespace zenvas {
namespace {

// Colour rule of the set-ups: empty is black, an unreadable text leaves the
// colour as it was.
template <class Setter>
void SetColorFromText(const std::string& text, Setter&& set)
{
    GuardedStep([&] { set(text.empty() ? gdi::Color(0) : ColorFromText(text)); }, "colour left unchanged");
}

// A pen width: `least` for texts that are not plain numbers, and never
// below `least`.
int PenWidth(const std::string& text, int least)
{
    if (HasNonDigit(text))
        return least;
    return std::max(IntegerFromText(text), least);
}

void PenStyle(gdi::Canvas& canvas, const std::string& name)
{
    if (auto style = PenStyleFromName(name))
        canvas.pen().setStyle(*style);
}

bool ZenvasPen(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::None, 1);
        c.SubRight = p[2];
        c.SubLeft = p[3];
        gdi::Canvas& canvas = c.WSImageBox1->Canvas();
        canvas.pen().setStyle(gdi::PenStyle::Solid);
        SetColorFromText(p[1], [&](gdi::Color color) { canvas.pen().setColor(color); });
        canvas.pen().setWidth(1);
        TWSImageBox::SetTool(1);
    });
}

bool ZenvasBrush(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::None, 2);
        c.SubRight = p[3];
        gdi::Canvas& canvas = c.WSImageBox1->Canvas();
        canvas.pen().setWidth(PenWidth(p[1], 2));
        SetColorFromText(p[2], [&](gdi::Color color) { canvas.pen().setColor(color); });
        TWSImageBox::SetTool(2);
    });
}

bool BoxFigureTool(const Params& p, int tool)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::None, tool);
        c.SubRight = p[6];
        gdi::Canvas& canvas = c.WSImageBox1->Canvas();
        canvas.pen().setWidth(PenWidth(p[1], 1));
        SetColorFromText(p[2], [&](gdi::Color color) { canvas.pen().setColor(color); });
        PenStyle(canvas, p[3]);
        SetColorFromText(p[5], [&](gdi::Color color) { canvas.brush().setColor(color); });
        if (auto style = BrushStyleFromName(p[4]))
            canvas.brush().setStyle(*style);
        TWSImageBox::SetTool(tool);
    });
}

bool ZenvasRectangle(const Params& p)
{
    return BoxFigureTool(p, 3);
}

bool ZenvasCircle(const Params& p)
{
    return BoxFigureTool(p, 4);
}

bool ZenvasLine(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::None, 5);
        c.SubRight = p[4];
        gdi::Canvas& canvas = c.WSImageBox1->Canvas();
        canvas.pen().setWidth(PenWidth(p[1], 1));
        SetColorFromText(p[2], [&](gdi::Color color) { canvas.pen().setColor(color); });
        PenStyle(canvas, p[3]);
        TWSImageBox::SetTool(5);
    });
}

bool ZenvasStar(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::Zvezda, 0);
        c.Colorite = p[2];
        c.Razmer = p[1];
        c.SubRight = p[3];
    });
}

bool ZenvasPixel(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::Piksel, 0);
        c.Colorite = p[1];
        c.SubRight = p[2];
        c.SubLeft = p[3];
    });
}

bool ZenvasFloodFill(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::Zalivka, 0);
        c.Colorite = p[1];
        c.StyleBrush = p[2];
        c.SubRight = p[3];
    });
}

bool ZenvasAero(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::AeroGliss, 0);
        c.Colorite = p[3];
        c.Razmer = p[1];
        c.Intensive = p[2];
        c.SubRight = p[4];
    });
}

bool ZenvasTextOut(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::TextCanvas, 0);
        c.LabelFont = p[1];
        c.LabelText = p[2];
        c.SubRight = p[3];
    });
}

bool ZenvasSetCursor(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        auto shape = forms::LoadCursorFile(p[1]);
        if (!shape)
            RecordActionReason(!sys::FileExists(p[1]) ? (p[1].empty() ? std::string("no file named") : p[1] + ": no such file")
                                                      : p[1] + ": not a cursor file");
        forms::Screen::instance().setCursor(1, std::move(shape));
        c.WSImageBox1->setCursor(1);
    });
}

bool ZenvasCursorClear(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) { c.WSImageBox1->setCursor(0); });
}

bool ZenvasPipette(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::Pipette, 0);
        c.PipetteColorite = p[1];
        c.SubRoutine = p[2];
        c.SubRight = p[3];
    });
}

bool ZenvasCoordinates(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        c.LabelX = p[1];
        c.LabelY = p[2];
    });
}

bool ZenvasCopyPaste(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::Copy, 0);
        c.CopyBoolean = sys::LowerCase1251(p[1]) == "true" ? "true" : "false";
        c.CopyColor = p[2];
    });
}

bool ZenvasRemoveTool(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) { SelectTool(c, ToolFlag::None, 0); });
}

bool ZenvasOnClick(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        c.LeftClickSubroutine = p[1];
        c.RightClickSubroutine = p[2];
    });
}

bool ZenvasSavePartPicture(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::CopyPartePicture, 0);
        c.CopyPartExt = sys::LowerCase1251(p[2]) == ".jpg" ? ".jpg" : ".bmp";
        c.CopyPartPatch = p[1];
        c.CopyPartSub = p[3];
    });
}

// Succeeds only when the file exists and is a BMP file; the stamp tool is
// selected either way.
bool ZenvasSetPictureMouse(const Params& p)
{
    bool accepted = false;
    const bool found = RunOnCanvas(p, [&](TZenvas& c) {
        SelectTool(c, ToolFlag::PictureMouse, 0, false);
        if (!sys::FileExists(p[1])) {
            RecordActionReason(p[1].empty() ? std::string("no file named") : p[1] + ": no such file");
            return;
        }
        if (sys::LowerCase1251(FileExtension(p[1])) != ".bmp") {
            RecordActionReason(p[1] + ": not a .bmp file");
            return;
        }
        c.PictureMouseFile = p[1];
        c.PictureMouseColorTrue = p[2];
        c.PictureMouseRazmer = HasNonDigit(p[3]) ? "100" : p[3];
        c.PictureMouseColor = p[4];
        c.PictureMouseSub = p[5];
        accepted = true;
    });
    return found && accepted;
}

constexpr ActionRoutines kRoutines[] = {
    {8, &ZenvasPixel, nullptr},
    {9, &ZenvasPen, nullptr},
    {10, &ZenvasBrush, nullptr},
    {11, &ZenvasRectangle, nullptr},
    {12, &ZenvasCircle, nullptr},
    {13, &ZenvasLine, nullptr},
    {14, &ZenvasStar, nullptr},
    {15, &ZenvasFloodFill, nullptr},
    {16, &ZenvasAero, nullptr},
    {19, &ZenvasSetCursor, nullptr},
    {20, &ZenvasCursorClear, nullptr},
    {22, &ZenvasPipette, nullptr},
    {23, &ZenvasTextOut, nullptr},
    {24, &ZenvasCoordinates, nullptr},
    {25, &ZenvasCopyPaste, nullptr},
    {26, &ZenvasRemoveTool, nullptr},
    {27, &ZenvasOnClick, nullptr},
    {32, &ZenvasSavePartPicture, nullptr},
    {34, &ZenvasSetPictureMouse, nullptr},
};
const bool kInstalled = InstallRoutines(kRoutines);

} // namespace
} // namespace zenvas
