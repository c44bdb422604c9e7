#pragma once

#include "canvas/ImageForm.h"

namespace zenvas {

// A canvas: the canvas form placed in a host rectangle and named by it.
class TZenvas : public TImageForm {
public:
    // The window message the canvas window swallows, answering 0.
    static constexpr std::uint32_t kSwallowedMessage = 1274;

    TZenvas();

    std::string RectName;
};

} // namespace zenvas
