// The run-time routines of picture files and the memory slot.
#include "canvas/CanvasList.h"
#include "pictures/PictureFiles.h"
#include "plugin/Dispatch.h"
#include "plugin/HostServices.h"
#include "plugin/Values.h"
#include "platform/system/Files.h"

#include <algorithm>
#include <array>
#include <limits>

namespace zenvas {
namespace {

// Raised inside a routine's work to end it with false.
struct Declined {};

using gdi::ClampToInt;

bool ZenvasSavePicture(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        const TWSImageBox& box = *canvas.WSImageBox1;
        SavePicture(canvas.WSImageBox1->Bitmap(), box.width(), box.height(), params.at(1), params.at(2));
    });
}

bool ZenvasSetPicture(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        const std::string& file = params.at(1);
        if (!sys::FileExists(file))
            throw Declined{};
        const std::optional<gdi::Bitmap> image = LoadPictureFile(file);
        const std::int32_t x = IntegerFromText(params.at(2));
        const std::int32_t y = IntegerFromText(params.at(3));
        if (!image)
            return;
        const int left = ClampToInt(std::int64_t(x) - canvas.ScrollBox1->horzPosition());
        const int top = ClampToInt(std::int64_t(y) - canvas.ScrollBox1->vertPosition());
        canvas.WSImageBox1->Canvas().draw(left, top, *image);
    });
}

// Needs no canvas; the variables are its only output, and it answers false.
bool znGetPictureSize(const Params& params)
{
    try {
        const std::string& file = params.at(0);
        if (!sys::FileExists(file))
            return false;
        const std::optional<PictureSize> size = PictureFileSize(file);
        if (!size)
            return false;
        if (!params.at(1).empty())
            SetVariable(params[1], IntegerToText(size->width));
        if (!params.at(2).empty())
            SetVariable(params[2], IntegerToText(size->height));
    } catch (...) {
    }
    return false;
}

// The copy and the paste run as the clicks of the canvas form's hidden
// buttons.
void CopyPictureToMemory(TImageForm& form)
{
    const TWSImageBox& box = *form.WSImageBox1;
    CopyToMemory(form.WSImageBox1->Bitmap(), box.width(), box.height());
}

void PasteMemoryPicture(TImageForm& form)
{
    PasteFromMemory(form.WSImageBox1->Canvas());
}

bool ZenvasCopyMemory(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) { canvas.Button2->click(); });
}

bool ZenvasPasteMemory(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) { canvas.Button3->click(); });
}

constexpr std::array<ActionRoutines, 5> kRoutines{{
    {28, &ZenvasCopyMemory, nullptr},
    {29, &ZenvasPasteMemory, nullptr},
    {30, &znGetPictureSize, nullptr},
    {31, &ZenvasSavePicture, nullptr},
    {33, &ZenvasSetPicture, nullptr},
}};

bool InstallButtons()
{
    ImageFormHooks().button2Click = &CopyPictureToMemory;
    ImageFormHooks().button3Click = &PasteMemoryPicture;
    return true;
}

const bool kInstalled = InstallRoutines(kRoutines);
const bool kButtonsInstalled = InstallButtons();

} // namespace
} // namespace zenvas
