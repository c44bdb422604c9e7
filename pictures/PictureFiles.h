#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Canvas.h"

#include <optional>
#include <string>
#include <string_view>

// Picture files (Windows BMP and JPEG), their name rules, and the memory
// slot that carries a picture from one canvas to another.
namespace zenvas {

// The part of a file name from its last dot on, dot included, when that dot
// comes after the last path separator (backslash, colon or slash); empty
// when there is none.
std::string FileExtension(std::string_view name);

// JPEG files are always written at this quality.
inline constexpr int kJpegQuality = 95;

// Where a saved picture goes: the name loses an exact ".bmp" or ".jpg"
// ending, and the extension, unless it is ".bmp" or ".jpg" in any case,
// becomes ".bmp"; the extension is appended as written.
struct SaveTarget {
    std::string path;
    bool jpeg = false;
    friend bool operator==(const SaveTarget&, const SaveTarget&) = default;
};
SaveTarget SavePictureTarget(std::string_view name, std::string_view extension);

// A new bitmap of width x height holding the picture's pixels from (0, 0);
// the part beyond the picture stays white.
gdi::Bitmap PictureArea(const gdi::Bitmap& picture, int width, int height);

// Saves the picture area under `name`: nothing for an empty name; a file
// named exactly `name` is deleted first. Throws gdi::Error when the file
// cannot be written.
void SavePicture(const gdi::Bitmap& picture, int width, int height, std::string_view name,
                 std::string_view extension);

// The picture a file holds, read by its extension in any case: ".bmp", or
// ".jpg" and ".jpeg". No value for other extensions; throws gdi::Error for a
// file that does not read as a picture.
std::optional<gdi::Bitmap> LoadPictureFile(const std::string& file);

struct PictureSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};
// The size of the picture in the file, after reading all of it, by the same
// extension rules. No value for other extensions; throws for a file that
// does not read.
std::optional<PictureSize> PictureFileSize(const std::string& file);

// The process-wide memory slot: empty until the first copy.
const gdi::Bitmap* MemoryPicture();
// Empties the slot, then fills it with the picture area.
void CopyToMemory(const gdi::Bitmap& picture, int width, int height);
// Draws the slot's picture at (0, 0), opaque and clipped; nothing when empty.
void PasteFromMemory(gdi::Canvas& canvas);
// Empties the slot.
void ClearMemory();

} // namespace zenvas
