// The run-time routines of picture files and the memory slot.
#include "canvas/CanvasList.h"
#include "pictures/PictureFiles.h"
#include "plugin/Dispatch.h"
#include "plugin/HostServices.h"
#include "plugin/Values.h"
#include "platform/gdi/Error.h"
#include "platform/system/Files.h"

#include <algorithm>
#include <array>
#include <limits>

namespace zenvas {
namespace {

using gdi::ClampToInt;

std::string NoFileReason(const std::string& file)
{
    return file.empty() ? std::string("no file named") : file + ": no such file";
}

// A picture file's contents; a reader's message that does not name the file
// gets its name in front.
std::optional<gdi::Bitmap> ReadPicture(const std::string& file)
{
    try {
        return LoadPictureFile(file);
    } catch (const gdi::Error& failure) {
        const std::string_view message = failure.what();
        if (message.find(file) != std::string_view::npos)
            throw;
        throw Declined(file + ": " + std::string(message));
    }
}

std::string NotAPictureReason(const std::string& file)
{
    const std::string extension = FileExtension(file);
    return file + ": " + (extension.empty() ? std::string("no extension") : "extension " + Quoted(extension)) +
           " is not .bmp, .jpg or .jpeg";
}

bool ZenvasSavePicture(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        const TWSImageBox& box = *canvas.WSImageBox1;
        if (params.at(1).empty())
            RecordActionReason("no file named; nothing saved");
        SavePicture(canvas.WSImageBox1->Bitmap(), box.width(), box.height(), params.at(1), params.at(2));
    });
}

bool ZenvasSetPicture(const Params& params)
{
    return RunOnCanvas(params, [&](TZenvas& canvas) {
        const std::string& file = params.at(1);
        if (!sys::FileExists(file))
            throw Declined(NoFileReason(file));
        const std::optional<gdi::Bitmap> image = ReadPicture(file);
        const std::int32_t x = IntegerFromText(params.at(2));
        const std::int32_t y = IntegerFromText(params.at(3));
        if (!image) {
            RecordActionReason(NotAPictureReason(file) + "; nothing drawn");
            return;
        }
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
        if (!sys::FileExists(file)) {
            RecordActionReason(NoFileReason(file));
            return false;
        }
        const std::optional<gdi::Bitmap> picture = ReadPicture(file);
        const std::optional<PictureSize> size =
            picture ? std::optional<PictureSize>(PictureSize{picture->width(), picture->height()}) : std::nullopt;
        if (!size) {
            RecordActionReason(NotAPictureReason(file));
            return false;
        }
        if (!params.at(1).empty())
            SetVariable(params[1], IntegerToText(size->width));
        if (!params.at(2).empty())
            SetVariable(params[2], IntegerToText(size->height));
    } catch (...) {
        RecordCurrentFailure();
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
    if (!MemoryPicture())
        RecordActionReason("no picture in memory; nothing pasted");
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
