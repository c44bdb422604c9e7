// The .cur / .ico / .ani reader over any bytes: it answers null or a shape
// whose frames all have its size, opacity for every pixel, a hot spot inside
// it and steps that name existing frames.
#include "platform/forms/CursorFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto shape = forms::LoadCursorFromBytes(std::span<const std::uint8_t>(data, size));
    if (!shape)
        return 0;
    if (shape->frames().empty() || shape->steps().empty())
        std::abort();
    for (const forms::CursorFrame& frame : shape->frames())
        if (frame.image.width() != shape->width() || frame.image.height() != shape->height() ||
            frame.opacity.size() != std::size_t(shape->width()) * std::size_t(shape->height()))
            std::abort();
    for (const forms::CursorStep& step : shape->steps())
        if (step.frame < 0 || step.frame >= shape->frameCount())
            std::abort();
    if (shape->hotspotX() < 0 || shape->hotspotY() < 0 || shape->hotspotX() >= shape->width() ||
        shape->hotspotY() >= shape->height())
        std::abort();
    return 0;
}
