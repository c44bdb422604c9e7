#pragma once

#include "platform/forms/Button.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Form.h"

namespace zenvas {

// The selection form behind the colour and font windows: never shown
// itself, it carries the two system dialogs and a label whose font holds the
// chosen font. Each call makes a new one, so every dialog starts from its
// initial state.
class TFormColorText : public forms::Form {
public:
    TFormColorText();

    forms::ColorDialog* ColorDialog2;
    forms::FontDialog* FontDialog2;
    forms::Label* Label1;
};

} // namespace zenvas
