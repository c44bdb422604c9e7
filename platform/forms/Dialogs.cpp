#include "platform/forms/Dialogs.h"

#include "platform/forms/Backend.h"

#include <sstream>

namespace forms {

bool ColorDialog::execute()
{
    if (auto chosen = CurrentBackend().chooseColor(color)) {
        color = *chosen;
        return true;
    }
    return false;
}

FontDialog::FontDialog(std::string name) : Control(std::move(name))
{
    hide();
    font.setName("MS Sans Serif");
    font.setSize(8);
    font.setColor(0xFF000008); // window text
    font.setCharset(1);        // default character set
}

bool FontDialog::execute()
{
    if (auto chosen = CurrentBackend().chooseFont(font)) {
        font = *chosen;
        return true;
    }
    return false;
}

bool FileDialog::execute()
{
    if (auto chosen = CurrentBackend().chooseFile(save_, filter, fileName)) {
        fileName = *chosen;
        return true;
    }
    return false;
}

namespace {

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

std::vector<FileFilter> FileFiltersFrom(const std::string& filter)
{
    std::vector<std::string> parts;
    std::stringstream in(filter);
    for (std::string part; std::getline(in, part, '|');)
        parts.push_back(part);
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        FileFilter entry{parts[i], {}};
        std::stringstream patterns(parts[i + 1]);
        for (std::string pattern; std::getline(patterns, pattern, ';');)
            if (std::string glob = Trimmed(pattern); !glob.empty())
                entry.patterns.push_back(std::move(glob));
        if (!entry.patterns.empty())
            filters.push_back(std::move(entry));
    }
    return filters;
}

} // namespace forms
