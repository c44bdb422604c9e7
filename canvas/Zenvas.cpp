#include "canvas/Zenvas.h"

namespace zenvas {

TZenvas::TZenvas()
{
    setName("Zenvas");
    onMessage = [](std::uint32_t message, std::intptr_t, std::intptr_t) -> std::optional<std::intptr_t> {
        if (message == kSwallowedMessage)
            return 0;
        return std::nullopt;
    };
}

} // namespace zenvas
