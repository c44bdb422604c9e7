#include "platform/gdi/FontSource.h"
#include "platform/gdi/Text.h"

#include <fontconfig/fontconfig.h>

#include <cctype>
#include <map>

namespace gdi {

namespace {

std::string Squeeze(const char* name)
{
    std::string out;
    for (; *name; ++name)
        if (*name != ' ' && *name != '\t')
            out += char(std::tolower(static_cast<unsigned char>(*name)));
    return out;
}

// Windows face names by their squeezed spelling, so that fontconfig's
// metric aliases (Times New Roman -> Liberation Serif) apply. The dialog
// faces (MS Sans Serif, Microsoft Sans Serif, Tahoma) have no metric twin
// of their own; Arial's (Liberation Sans) is the nearest in width, where
// the default sans face (DejaVu Sans) is far wider and cuts off the
// dialogs' texts.
const std::map<std::string, std::string>& WellKnownFaces()
{
    static const std::map<std::string, std::string> faces = {
        {"timesnewroman", "Times New Roman"}, {"arial", "Arial"},
        {"couriernew", "Courier New"},       {"arialnarrow", "Arial Narrow"},
        {"mssansserif", "Arial"},            {"microsoftsansserif", "Arial"},
        {"tahoma", "Arial"},
        {"comicsansms", "Comic Sans MS"},     {"segoeui", "Segoe UI"},
        {"trebuchetms", "Trebuchet MS"},      {"lucidaconsole", "Lucida Console"},
    };
    return faces;
}

bool& FontconfigShared()
{
    static bool shared = false;
    return shared;
}

// Installed families by their squeezed names, listed once.
std::map<std::string, std::string>& Installed()
{
    static std::map<std::string, std::string> installed;
    return installed;
}

} // namespace

FontSource::FontSource()
{
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* family = nullptr;
            for (int n = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, n, &family) == FcResultMatch; ++n)
                Installed().emplace(Squeeze(reinterpret_cast<const char*>(family)),
                                    reinterpret_cast<const char*>(family));
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
}

FontSource::~FontSource()
{
    if (!FontconfigShared())
        FcFini();
}

std::optional<FontFile> FontSource::find(std::string_view, const std::string& key, bool bold, bool italic)
{
    std::string family = "sans-serif";
    if (auto it = Installed().find(key); it != Installed().end())
        family = it->second;
    else if (auto known = WellKnownFaces().find(key); known != WellKnownFaces().end())
        family = known->second;
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
    if (!match)
        return std::nullopt;
    std::optional<FontFile> found;
    FcChar8* file = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        found.emplace();
        found->path = reinterpret_cast<const char*>(file);
        found->index = index;
        found->bold = weight >= FC_WEIGHT_DEMIBOLD;
        found->italic = slant != FC_SLANT_ROMAN;
    }
    FcPatternDestroy(match);
    return found;
}

void ShareFontconfig()
{
    FontconfigShared() = true;
}

} // namespace gdi
