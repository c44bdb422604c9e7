#include "platform/gdi/Text.h"

#include "platform/gdi/Canvas.h"
#include "platform/gdi/Error.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace gdi {

namespace {

// Code page 1251, bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.
constexpr char16_t kUpper1251[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char32_t Decode1251(unsigned char c)
{
    if (c < 0x80)
        return c;
    if (c >= 0xC0)
        return char32_t(0x0410 + (c - 0xC0));
    return kUpper1251[c - 0x80];
}

std::string Squeeze(std::string_view name)
{
    std::string out;
    for (char c : name)
        if (c != ' ' && c != '\t')
            out += char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Windows face names by their squeezed spelling, so that fontconfig's
// metric aliases (Times New Roman -> Liberation Serif) apply.
const std::map<std::string, std::string>& WellKnownFaces()
{
    static const std::map<std::string, std::string> faces = {
        {"timesnewroman", "Times New Roman"}, {"arial", "Arial"},
        {"couriernew", "Courier New"},       {"arialnarrow", "Arial Narrow"},
        {"mssansserif", "Microsoft Sans Serif"}, {"microsoftsansserif", "Microsoft Sans Serif"},
        {"comicsansms", "Comic Sans MS"},     {"segoeui", "Segoe UI"},
        {"trebuchetms", "Trebuchet MS"},      {"lucidaconsole", "Lucida Console"},
    };
    return faces;
}

struct Face {
    FT_Face face = nullptr;
    bool emboldden = false;
    bool slant = false;
};

// FreeType and fontconfig set up once per process; faces are cached by
// (name, bold, italic) and kept until the process ends.
class FontEngine {
public:
    static FontEngine& instance()
    {
        static FontEngine engine;
        return engine;
    }

    const Face& face(const Font& font)
    {
        const std::string key = Squeeze(font.name());
        auto id = std::make_tuple(key, font.bold(), font.italic());
        auto it = faces_.find(id);
        if (it != faces_.end())
            return it->second;
        return faces_.emplace(id, open(key, font.bold(), font.italic())).first->second;
    }

    FontEngine(const FontEngine&) = delete;
    FontEngine& operator=(const FontEngine&) = delete;

    ~FontEngine()
    {
        for (auto& entry : faces_)
            FT_Done_Face(entry.second.face);
        FT_Done_FreeType(library_);
        FcFini();
    }

private:
    FontEngine()
    {
        if (FT_Init_FreeType(&library_) != 0)
            throw Error("the font engine could not be started");
        FcInit();
        // Installed families by their squeezed names.
        FcPattern* pattern = FcPatternCreate();
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
        if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
            for (int i = 0; i < set->nfont; ++i) {
                FcChar8* family = nullptr;
                for (int n = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, n, &family) == FcResultMatch; ++n)
                    installed_.emplace(Squeeze(reinterpret_cast<const char*>(family)),
                                       reinterpret_cast<const char*>(family));
            }
            FcFontSetDestroy(set);
        }
        FcObjectSetDestroy(objects);
        FcPatternDestroy(pattern);
    }

    Face open(const std::string& key, bool bold, bool italic)
    {
        std::string family = "sans-serif";
        if (auto it = installed_.find(key); it != installed_.end())
            family = it->second;
        else if (auto known = WellKnownFaces().find(key); known != WellKnownFaces().end())
            family = known->second;
        Face result;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult res = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &res);
        FcPatternDestroy(pattern);
        if (match) {
            FcChar8* file = nullptr;
            int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(match, FC_SLANT, 0, &slant);
            if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
                FT_New_Face(library_, reinterpret_cast<const char*>(file), index, &result.face) == 0) {
                result.emboldden = bold && weight < FC_WEIGHT_DEMIBOLD;
                result.slant = italic && slant == FC_SLANT_ROMAN;
            }
            FcPatternDestroy(match);
        }
        if (!result.face)
            throw Error("no font face could be found for \"" + key + "\"");
        return result;
    }

    FT_Library library_ = nullptr;
    std::map<std::string, std::string> installed_;
    std::map<std::tuple<std::string, bool, bool>, Face> faces_;
};

struct Layout {
    const Face* face;
    int ascent = 0, descent = 0, width = 0;
};

int Scale(FT_Face f, long units)
{
    return int(FT_MulFix(units, f->size->metrics.y_scale) + 32) >> 6;
}

int CeilPixels(FT_Pos v)
{
    return int((v + 63) >> 6);
}

bool LoadGlyph(const Face& face, char32_t code)
{
    FT_Face f = face.face;
    const FT_UInt index = FT_Get_Char_Index(f, code);
    if (FT_Load_Glyph(f, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
        return false;
    if (face.slant && f->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_GlyphSlot_Oblique(f->glyph);
    if (face.emboldden)
        FT_GlyphSlot_Embolden(f->glyph);
    return true;
}

Layout Measure(const Font& font, std::string_view text)
{
    Layout layout;
    layout.face = &FontEngine::instance().face(font);
    FT_Face f = layout.face->face;
    FT_Set_Pixel_Sizes(f, 0, FT_UInt(FontEmPixels(font.size())));
    // The cell uses the same ascent and descent the platform's fonts report.
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2)); os2 && os2->usWinAscent) {
        layout.ascent = CeilPixels(FT_MulFix(os2->usWinAscent, f->size->metrics.y_scale));
        layout.descent = CeilPixels(FT_MulFix(os2->usWinDescent, f->size->metrics.y_scale));
    } else {
        layout.ascent = CeilPixels(f->size->metrics.ascender);
        layout.descent = CeilPixels(-f->size->metrics.descender);
    }
    for (unsigned char c : text)
        if (LoadGlyph(*layout.face, Decode1251(c)))
            layout.width += int((f->glyph->advance.x + 32) >> 6);
    return layout;
}

void BlendRow(Bitmap& bmp, int y, int x0, int x1, Color c)
{
    if (y < 0 || y >= bmp.height())
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, bmp.width());
    if (x0 < x1)
        FillPixels(bmp.scanLine(y) + std::size_t(x0) * 3, std::size_t(x1 - x0), c);
}

} // namespace

int FontEmPixels(int points)
{
    const long long p = std::llabs((long long)points) * 96;
    return int(std::max<long long>((p + 36) / 72, 1));
}

std::string FontFaceName(const Font& font)
{
    FT_Face f = FontEngine::instance().face(font).face;
    return f->family_name ? f->family_name : "";
}

TextSize MeasureText(const Font& font, std::string_view text)
{
    const Layout layout = Measure(font, text);
    return {layout.width, layout.ascent + layout.descent};
}

TextSize DrawText(Bitmap& bmp, int x, int y, const Font& font, const Brush& brush, std::string_view text)
{
    const Layout layout = Measure(font, text);
    const TextSize size{layout.width, layout.ascent + layout.descent};
    const long long right = std::min<long long>((long long)x + size.width, INT32_MAX);
    if (brush.style() == BrushStyle::Solid) {
        for (long long row = std::max<long long>(y, 0);
             row < std::min<long long>((long long)y + size.height, bmp.height()); ++row)
            BlendRow(bmp, int(row), x, int(right), brush.color());
    }
    const Color color = font.color();
    const int cr = RedOf(color), cg = GreenOf(color), cb = BlueOf(color);
    FT_Face f = layout.face->face;
    const long long baseline = (long long)y + layout.ascent;
    long long penX = x;
    for (unsigned char c : text) {
        if (penX >= bmp.width())
            break;
        if (!LoadGlyph(*layout.face, Decode1251(c)))
            continue;
        const long long advance = (f->glyph->advance.x + 32) >> 6;
        if (penX + advance + f->size->metrics.x_ppem < 0) { // wholly left of the bitmap
            penX += advance;
            continue;
        }
        if (FT_Render_Glyph(f->glyph, FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& g = f->glyph->bitmap;
            const long long gx = penX + f->glyph->bitmap_left;
            const long long gy = baseline - f->glyph->bitmap_top;
            for (unsigned row = 0; row < g.rows; ++row) {
                const long long py = gy + row;
                if (py < 0 || py >= bmp.height())
                    continue;
                const unsigned char* cov = g.buffer + std::ptrdiff_t(row) * g.pitch;
                for (unsigned col = 0; col < g.width; ++col) {
                    const long long px = gx + col;
                    const int a = cov[col];
                    if (a == 0 || px < 0 || px >= bmp.width())
                        continue;
                    std::uint8_t* p = bmp.scanLine(int(py)) + std::size_t(px) * 3;
                    p[0] = std::uint8_t((cb * a + p[0] * (255 - a) + 127) / 255);
                    p[1] = std::uint8_t((cg * a + p[1] * (255 - a) + 127) / 255);
                    p[2] = std::uint8_t((cr * a + p[2] * (255 - a) + 127) / 255);
                }
            }
        }
        penX += advance;
    }
    auto line = [&](long long top, int thickness) {
        for (int i = 0; i < std::max(thickness, 1); ++i)
            if (top + i >= 0 && top + i < bmp.height())
                BlendRow(bmp, int(top + i), x, int(right), color);
    };
    if (font.underline()) {
        const int pos = f->underline_thickness ? Scale(f, -f->underline_position) : layout.descent / 2;
        line(baseline + pos, Scale(f, f->underline_thickness));
    }
    if (font.strikeOut()) {
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
        const int pos = os2 ? Scale(f, os2->yStrikeoutPosition) : layout.ascent / 3;
        const int thick = os2 ? Scale(f, os2->yStrikeoutSize) : 1;
        line(baseline - pos, thick);
    }
    return size;
}

} // namespace gdi
