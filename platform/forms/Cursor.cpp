#include "platform/forms/Cursor.h"

#include <utility>

namespace forms {

CursorShape::CursorShape(int width, int height, int hotspotX, int hotspotY,
                         std::vector<CursorFrame> frames, std::vector<CursorStep> steps)
    : width_(width), height_(height), hotspotX_(hotspotX), hotspotY_(hotspotY),
      frames_(std::move(frames)), steps_(std::move(steps))
{
}

std::string DescribeCursor(const CursorShape* shape)
{
    if (!shape)
        return "default";
    return std::to_string(shape->width()) + "x" + std::to_string(shape->height()) + " hotspot " +
           std::to_string(shape->hotspotX()) + "," + std::to_string(shape->hotspotY()) + " frames " +
           std::to_string(shape->frameCount());
}

Screen& Screen::instance()
{
    static Screen screen;
    return screen;
}

std::shared_ptr<const CursorShape> Screen::cursor(int index) const
{
    const auto found = cursors_.find(index);
    return found == cursors_.end() ? nullptr : found->second;
}

void Screen::setCursor(int index, std::shared_ptr<const CursorShape> shape)
{
    if (shape)
        cursors_[index] = std::move(shape);
    else
        cursors_.erase(index);
}

} // namespace forms
