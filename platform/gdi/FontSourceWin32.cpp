#include "platform/gdi/FontSource.h"

#include <windows.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>

namespace gdi {

namespace {

// GetFontData's name of the whole font collection file ('ttcf').
constexpr DWORD kCollectionTable = 0x66637474;

// A memory device context with a font selected; releases both.
class SelectedFont {
public:
    explicit SelectedFont(const LOGFONTA& description)
        : dc_(CreateCompatibleDC(nullptr)), font_(CreateFontIndirectA(&description))
    {
        if (dc_ && font_)
            previous_ = SelectObject(dc_, font_);
    }
    ~SelectedFont()
    {
        if (previous_)
            SelectObject(dc_, previous_);
        if (font_)
            DeleteObject(font_);
        if (dc_)
            DeleteDC(dc_);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

    HDC dc() const { return previous_ ? dc_ : nullptr; }

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_ = nullptr;
};

// In a collection, the face whose family the mapper chose, in the style
// asked for where the collection has it.
long FaceInCollection(const std::vector<unsigned char>& data, const char* family, bool bold, bool italic)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return 0;
    long chosen = 0;
    int bestScore = -1;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, data.data(), FT_Long(data.size()), -1, &face) == 0) {
        const long count = face->num_faces;
        FT_Done_Face(face);
        for (long index = 0; index < count; ++index) {
            if (FT_New_Memory_Face(library, data.data(), FT_Long(data.size()), index, &face) != 0)
                continue;
            const bool sameFamily = face->family_name && _stricmp(face->family_name, family) == 0;
            const int score = (sameFamily ? 4 : 0) + (((face->style_flags & FT_STYLE_FLAG_BOLD) != 0) == bold ? 2 : 0)
                + (((face->style_flags & FT_STYLE_FLAG_ITALIC) != 0) == italic ? 1 : 0);
            if (score > bestScore) {
                bestScore = score;
                chosen = index;
            }
            FT_Done_Face(face);
        }
    }
    FT_Done_FreeType(library);
    return chosen;
}

// The system's standard faces by their names without blanks, with the kind
// of face each is, so that the font mapper falls back to a face of the
// same kind (a serif for Times New Roman) where one is not installed.
struct KnownFace {
    const char* key;
    const char* name;
    BYTE pitchAndFamily;
};
constexpr KnownFace kKnownFaces[] = {
    {"timesnewroman", "Times New Roman", VARIABLE_PITCH | FF_ROMAN},
    {"arial", "Arial", VARIABLE_PITCH | FF_SWISS},
    {"arialnarrow", "Arial Narrow", VARIABLE_PITCH | FF_SWISS},
    {"couriernew", "Courier New", FIXED_PITCH | FF_MODERN},
    {"lucidaconsole", "Lucida Console", FIXED_PITCH | FF_MODERN},
    {"mssansserif", "Microsoft Sans Serif", VARIABLE_PITCH | FF_SWISS},
    {"microsoftsansserif", "Microsoft Sans Serif", VARIABLE_PITCH | FF_SWISS},
    {"segoeui", "Segoe UI", VARIABLE_PITCH | FF_SWISS},
    {"trebuchetms", "Trebuchet MS", VARIABLE_PITCH | FF_SWISS},
    {"comicsansms", "Comic Sans MS", VARIABLE_PITCH | FF_SCRIPT},
};

// Installed families by their names without blanks, lower-cased, listed
// once, so that "TimesNewRoman" finds Times New Roman.
std::map<std::string, std::string>& Installed()
{
    static std::map<std::string, std::string> installed;
    return installed;
}

int CALLBACK ListFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM)
{
    std::string key;
    for (const char* c = font->lfFaceName; *c; ++c)
        if (*c != ' ' && *c != '\t')
            key += char(std::tolower(static_cast<unsigned char>(*c)));
    if (font->lfFaceName[0] != '@') // vertical variants of East Asian faces
        Installed().emplace(key, font->lfFaceName);
    return 1;
}

} // namespace

FontSource::FontSource()
{
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        LOGFONTA every{};
        every.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExA(dc, &every, &ListFamily, 0, 0);
        DeleteDC(dc);
    }
}

FontSource::~FontSource() = default;

std::optional<FontFile> FontSource::find(std::string_view name, const std::string& key, bool bold, bool italic)
{
    // The system's font mapper picks the installed face closest to the name
    // (its own substitute when the name is not installed); GetFontData hands
    // over that face's file.
    LOGFONTA description{};
    for (const KnownFace& known : kKnownFaces)
        if (key == known.key) {
            name = known.name;
            description.lfPitchAndFamily = known.pitchAndFamily;
        }
    if (auto it = Installed().find(key); it != Installed().end())
        name = it->second;
    description.lfHeight = -16;
    description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = italic ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    description.lfQuality = ANTIALIASED_QUALITY;
    std::memcpy(description.lfFaceName, name.data(), std::min<std::size_t>(name.size(), LF_FACESIZE - 1));

    SelectedFont selected(description);
    HDC dc = selected.dc();
    if (!dc)
        return std::nullopt;
    DWORD table = kCollectionTable;
    DWORD size = GetFontData(dc, table, 0, nullptr, 0);
    if (size == GDI_ERROR || size == 0) {
        table = 0;
        size = GetFontData(dc, table, 0, nullptr, 0);
    }
    if (size == GDI_ERROR || size == 0)
        return std::nullopt;
    auto data = std::make_shared<std::vector<unsigned char>>(size);
    if (GetFontData(dc, table, 0, data->data(), size) != size)
        return std::nullopt;

    FontFile found;
    if (table == kCollectionTable) {
        char family[LF_FACESIZE] = {};
        GetTextFaceA(dc, LF_FACESIZE, family);
        found.index = FaceInCollection(*data, family, bold, italic);
    }
    found.data = std::move(data);
    return found;
}

} // namespace gdi
