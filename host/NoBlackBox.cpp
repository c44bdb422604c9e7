#include "host/BlackBox.h"

namespace host {

std::unique_ptr<BlackBox> OpenBlackBox(Interpreter&, std::string& problem)
{
    problem = "black-box hosting drives the windows, dialogs and screen of Windows, and this build is not for Windows";
    return nullptr;
}

} // namespace host
