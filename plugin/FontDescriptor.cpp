#include "plugin/FontDescriptor.h"

#include "plugin/Values.h"

#include <cstdio>

namespace zenvas {

std::string FontToDescriptor(const gdi::Font& font)
{
    std::string colour;
    if (auto identifier = IdentifierFromColor(font.color())) {
        colour = *identifier;
    } else {
        char hex[10];
        std::snprintf(hex, sizeof hex, "$%08X", static_cast<unsigned>(font.color()));
        colour = hex;
    }
    std::string styles;
    if (font.bold())
        styles += "fsBold ";
    if (font.italic())
        styles += "fsItalic ";
    if (font.underline())
        styles += "fsUnderline ";
    if (font.strikeOut())
        styles += "fsStrikeOut ";
    return font.name() + "|" + colour + "|" + std::to_string(font.size()) + "|" + styles + "|" +
           std::to_string(font.charset() & 0xFF);
}

void ApplyFontDescriptor(std::string_view descriptor, gdi::Font& font)
{
    std::string compact;
    for (char c : descriptor)
        if (c != ' ')
            compact += c;
    auto items = SplitDelimited(compact, '|');
    if (items.size() < 5)
        throw ConversionError("a font needs five items: name|colour|size|styles|charset");

    font.setName(items[0]);
    if (auto identified = ColorFromIdentifier(items[1]))
        font.setColor(*identified);
    else
        font.setColor(static_cast<gdi::Color>(IntegerFromText(items[1])));
    font.setSize(IntegerFromText(items[2]));
    const std::string& styles = items[3];
    if (styles.find("fsBold") != std::string::npos)
        font.setBold(true);
    if (styles.find("fsItalic") != std::string::npos)
        font.setItalic(true);
    if (styles.find("fsUnderline") != std::string::npos)
        font.setUnderline(true);
    if (styles.find("fsStrikeOut") != std::string::npos)
        font.setStrikeOut(true);
}

} // namespace zenvas
