#include "platform/forms/Dialogs.h"

#include "platform/forms/Backend.h"

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

} // namespace forms
