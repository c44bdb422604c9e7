#pragma once

#include "host/Interpreter.h"

#include <memory>
#include <string>

namespace host {

// The host as the real authoring host is to a shipped plug-in DLL: its page
// and rectangles are windows of the system, code 7 answers their handles,
// and the script's commands reach the plug-in only as a host and a person
// can (window messages to its windows, the system's own dialogs answered
// through their controls, pixels read from the screen or from the files
// the plug-in's actions write). Commands that cannot work that way are
// refused with the reason. Constructed, it defines the window commands
// of `interpreter` and serves its rectangles until destroyed.
class BlackBox {
public:
    virtual ~BlackBox() = default;
    // The page's caption: the script's name.
    virtual void setCaption(const std::string& caption) = 0;
};

// Nothing, with the reason in `problem`, where the system has no such
// windows.
std::unique_ptr<BlackBox> OpenBlackBox(Interpreter& interpreter, std::string& problem);

} // namespace host
