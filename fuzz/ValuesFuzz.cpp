// The parameter value routines over any text, with their round trips:
// integers, colours, colour identifiers and font descriptors written back
// read as what they were written from.
#include "plugin/FontDescriptor.h"
#include "plugin/Values.h"

#include <cstdlib>

namespace {

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

// Font names survive a round trip unless they hold what the descriptor
// splits at: bars, blanks and control codes, or quotes.
bool PlainName(std::string_view name)
{
    for (unsigned char c : name)
        if (c <= 32 || c == '|' || c == '"')
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zenvas;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (const auto value = TryIntegerFromText(text))
        Check(IntegerFromText(IntegerToText(*value)) == *value);
    try {
        PlainNumber(text, 7, 1);
    } catch (const ConversionError&) {
    }
    HasNonDigit(text);
    BooleanFromText(text);
    PenStyleFromName(text);
    BrushStyleFromName(text);
    for (char delimiter : {'|', ','})
        for (const std::string& item : SplitDelimited(text, delimiter))
            Check(item.size() <= text.size());

    try {
        const ColorValue colour = ColorFromText(text);
        Check(colour <= 0xFFFFFF);
        Check(ColorFromText(ColorToText(colour)) == colour);
    } catch (const ConversionError&) {
    }
    if (const auto colour = ColorFromIdentifier(text)) {
        const auto name = IdentifierFromColor(*colour);
        Check(name && ColorFromIdentifier(*name) == colour);
    }

    gdi::Font font;
    try {
        ApplyFontDescriptor(text, font);
    } catch (const ConversionError&) {
        return 0;
    }
    const std::string written = FontToDescriptor(font);
    if (!PlainName(font.name()))
        return 0;
    gdi::Font again;
    ApplyFontDescriptor(written, again);
    Check(FontToDescriptor(again) == written);
    return 0;
}
