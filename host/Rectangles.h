#pragma once

#include <cstdint>
#include <string_view>

namespace host {

// The page's rectangles as the plug-in sees them: a name gives the handle
// of that rectangle's window, 0 when no rectangle has the name. The window
// system will provide the real registry; without it no rectangle exists.
class RectangleRegistry {
public:
    virtual ~RectangleRegistry() = default;
    virtual std::int64_t handleOf(std::string_view name) const = 0;
};

class NoRectangles final : public RectangleRegistry {
public:
    std::int64_t handleOf(std::string_view) const override { return 0; }
};

} // namespace host
