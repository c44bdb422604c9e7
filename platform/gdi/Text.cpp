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
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace gdi {

namespace {

bool& FontconfigShared()
{
    static bool shared = false;
    return shared;
}

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

    FT_Library library() const { return library_; }

    FontEngine(const FontEngine&) = delete;
    FontEngine& operator=(const FontEngine&) = delete;

    ~FontEngine()
    {
        for (auto& entry : faces_)
            FT_Done_Face(entry.second.face);
        FT_Done_FreeType(library_);
        if (!FontconfigShared())
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

// The cell of a text and the advance of every byte it uses. The width is
// summed wide and saturated to the coordinate range.
struct Layout {
    const Face* face;
    int ascent = 0, descent = 0, width = 0;
    std::array<int, 256> advance{};
    std::array<bool, 256> hasGlyph{};
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
    // Each distinct byte is loaded once, however long the text.
    std::array<bool, 256> known{};
    long long width = 0;
    for (unsigned char c : text) {
        if (!known[c]) {
            known[c] = true;
            if (LoadGlyph(*layout.face, Decode1251(c))) {
                layout.hasGlyph[c] = true;
                layout.advance[c] = int((f->glyph->advance.x + 32) >> 6);
            }
        }
        width = std::min<long long>(width + layout.advance[c], INT32_MAX);
    }
    layout.width = int(width);
    return layout;
}

// Blends a glyph's coverage spans straight into the bitmap. FreeType calls
// back only inside the clip box, so a glyph far larger than the bitmap
// costs only its visible rows.
struct GlyphTarget {
    Bitmap* bmp;
    long long x, baseline; // the glyph origin in bitmap coordinates
    int r, g, b;
};

void BlendSpans(int y, int count, const FT_Span* spans, void* user)
{
    auto& t = *static_cast<GlyphTarget*>(user);
    const long long row = t.baseline - 1 - y; // outline rows grow upwards
    if (row < 0 || row >= t.bmp->height())
        return;
    std::uint8_t* line = t.bmp->scanLine(int(row));
    for (int i = 0; i < count; ++i) {
        const int a = spans[i].coverage;
        const long long from = std::max<long long>(t.x + spans[i].x, 0);
        const long long to = std::min<long long>(t.x + spans[i].x + spans[i].len, t.bmp->width());
        for (long long px = from; px < to; ++px) {
            std::uint8_t* p = line + std::size_t(px) * 3;
            p[0] = std::uint8_t((t.b * a + p[0] * (255 - a) + 127) / 255);
            p[1] = std::uint8_t((t.g * a + p[1] * (255 - a) + 127) / 255);
            p[2] = std::uint8_t((t.r * a + p[2] * (255 - a) + 127) / 255);
        }
    }
}

void RenderGlyph(FT_GlyphSlot glyph, FT_Library library, GlyphTarget& target)
{
    if (glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return;
    // Only the part of the glyph over the bitmap, in outline pixels.
    FT_BBox box;
    FT_Outline_Get_CBox(&glyph->outline, &box);
    const long long left = -target.x, right = target.bmp->width() - target.x;
    const long long bottom = target.baseline - target.bmp->height(), top = target.baseline;
    if ((box.xMax >> 6) + 1 < left || (box.xMin >> 6) - 1 > right || (box.yMax >> 6) + 1 < bottom ||
        (box.yMin >> 6) - 1 > top)
        return;
    FT_Raster_Params params{};
    params.source = &glyph->outline;
    params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
    params.gray_spans = BlendSpans;
    params.user = &target;
    params.clip_box = {FT_Pos(std::max<long long>(left, box.xMin >> 6) - 1),
                       FT_Pos(std::max<long long>(bottom, box.yMin >> 6) - 1),
                       FT_Pos(std::min<long long>(right, (box.xMax >> 6) + 1) + 1),
                       FT_Pos(std::min<long long>(top, (box.yMax >> 6) + 1) + 1)};
    FT_Outline_Render(library, &glyph->outline, &params);
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
    const Color color = ResolveColor(font.color());
    FT_Face f = layout.face->face;
    const long long baseline = (long long)y + layout.ascent;
    GlyphTarget target{&bmp, x, baseline, RedOf(color), GreenOf(color), BlueOf(color)};
    const long long reach = f->size->metrics.x_ppem; // how far a glyph may stray from its advance
    for (unsigned char c : text) {
        if (target.x >= bmp.width())
            break;
        if (!layout.hasGlyph[c])
            continue;
        const int advance = layout.advance[c];
        // A glyph wholly left of the bitmap is not even loaded.
        if (target.x + advance + reach >= 0 && LoadGlyph(*layout.face, Decode1251(c)))
            RenderGlyph(f->glyph, FontEngine::instance().library(), target);
        target.x += advance;
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

void ShareFontconfig()
{
    FontconfigShared() = true;
}

} // namespace gdi
