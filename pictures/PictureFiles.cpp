#include "pictures/PictureFiles.h"

#include "platform/gdi/Canvas.h"
#include "platform/gdi/codecs/Bmp.h"
#include "platform/gdi/codecs/Jpeg.h"
#include "platform/system/Files.h"
#include "platform/system/Text1251.h"

#include <memory>

namespace zenvas {
namespace {

enum class PictureKind { None, Bmp, Jpeg };

PictureKind KindOf(const std::string& file)
{
    const std::string extension = sys::LowerCase1251(FileExtension(file));
    if (extension == ".bmp")
        return PictureKind::Bmp;
    if (extension == ".jpg" || extension == ".jpeg")
        return PictureKind::Jpeg;
    return PictureKind::None;
}

bool EndsWith(std::string_view text, std::string_view ending)
{
    return text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending;
}

std::unique_ptr<gdi::Bitmap>& Slot()
{
    static std::unique_ptr<gdi::Bitmap> slot;
    return slot;
}

} // namespace

std::string FileExtension(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    const std::size_t separator = name.find_last_of("\\:/");
    if (separator != std::string_view::npos && separator > dot)
        return {};
    return std::string(name.substr(dot));
}

SaveTarget SavePictureTarget(std::string_view name, std::string_view extension)
{
    if (EndsWith(name, ".bmp") || EndsWith(name, ".jpg"))
        name.remove_suffix(4);
    const std::string lower = sys::LowerCase1251(extension);
    SaveTarget target;
    if (lower == ".jpg") {
        target.jpeg = true;
        target.path = std::string(name) + std::string(extension);
    } else if (lower == ".bmp") {
        target.path = std::string(name) + std::string(extension);
    } else {
        target.path = std::string(name) + ".bmp";
    }
    return target;
}

gdi::Bitmap PictureArea(const gdi::Bitmap& picture, int width, int height)
{
    gdi::Bitmap area(width, height);
    gdi::Canvas canvas(area);
    const gdi::IntRect rect{0, 0, area.width(), area.height()};
    canvas.copyRect(rect, picture, rect);
    return area;
}

void SavePicture(const gdi::Bitmap& picture, int width, int height, std::string_view name,
                 std::string_view extension)
{
    if (name.empty())
        return;
    const std::string exact(name);
    if (sys::FileExists(exact))
        sys::DeleteFile(exact);
    const SaveTarget target = SavePictureTarget(name, extension);
    const gdi::Bitmap area = PictureArea(picture, width, height);
    if (target.jpeg)
        gdi::SaveJpeg(target.path, area, kJpegQuality);
    else
        gdi::SaveBmp24(target.path, area);
}

std::optional<gdi::Bitmap> LoadPictureFile(const std::string& file)
{
    switch (KindOf(file)) {
    case PictureKind::Bmp:
        return gdi::LoadBmp(file);
    case PictureKind::Jpeg:
        return gdi::LoadJpeg(file);
    case PictureKind::None:
        break;
    }
    return std::nullopt;
}

std::optional<PictureSize> PictureFileSize(const std::string& file)
{
    const std::optional<gdi::Bitmap> picture = LoadPictureFile(file);
    if (!picture)
        return std::nullopt;
    return PictureSize{picture->width(), picture->height()};
}

const gdi::Bitmap* MemoryPicture()
{
    return Slot().get();
}

void CopyToMemory(const gdi::Bitmap& picture, int width, int height)
{
    Slot().reset();
    Slot() = std::make_unique<gdi::Bitmap>(PictureArea(picture, width, height));
}

void PasteFromMemory(gdi::Canvas& canvas)
{
    if (const gdi::Bitmap* memory = MemoryPicture())
        canvas.draw(0, 0, *memory);
}

void ClearMemory()
{
    Slot().reset();
}

} // namespace zenvas
