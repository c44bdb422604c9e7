#pragma once

#include "platform/forms/Control.h"
#include "platform/gdi/Font.h"

#include <string>

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

} // namespace forms
