#pragma once

#include "platform/forms/Control.h"
#include "platform/gdi/Font.h"

#include <string>
#include <vector>

namespace forms {

// The common dialogs: components that run modally through the backend.
// execute() answers whether the user confirmed; on confirmation the
// component holds the choice.

class ColorDialog : public Control {
public:
    explicit ColorDialog(std::string name = {}) : Control(std::move(name)) { hide(); }
    gdi::Color color = 0;
    bool execute();
};

class FontDialog : public Control {
public:
    explicit FontDialog(std::string name = {});
    gdi::Font font;
    bool execute();
};

class FileDialog : public Control {
public:
    FileDialog(std::string name, bool save) : Control(std::move(name)), save_(save) { hide(); }
    std::string fileName;
    std::string filter;
    bool execute();

private:
    bool save_;
};

// One entry of a file dialog's filter list.
struct FileFilter {
    std::string name;                  // as shown
    std::vector<std::string> patterns; // glob patterns such as *.bmp
};
// A file dialog's filter text, "Description|pattern;pattern|…", as a list.
// Blanks around patterns are dropped; a description without a pattern part
// is ignored.
std::vector<FileFilter> FileFiltersFrom(const std::string& filter);

} // namespace forms
