#include "canvas/CanvasList.h"

#include "platform/forms/Window.h"
#include "platform/gdi/Stretch.h"
#include "plugin/Dispatch.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace zenvas {
namespace {

using List = std::vector<std::unique_ptr<TZenvas>>;

std::optional<List>& CanvasListSlot()
{
    static std::optional<List> list;
    return list;
}

// Two names are equal when they match byte for byte after a-z become A-Z.
bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

// Takes the canvas out of service at once and destroys it as soon as no
// event handler is running (a handler of its own may be on the stack).
void Retire(std::unique_ptr<TZenvas> canvas)
{
    canvas->markReleased();
    forms::WindowSystem::instance().releaseLater(std::move(canvas));
}

void ReleaseAllCanvases()
{
    auto& list = CanvasListSlot();
    if (!list)
        return;
    for (auto& canvas : *list)
        canvas->close();
    List doomed = std::move(*list);
    list.reset();
    for (auto& canvas : doomed)
        Retire(std::move(canvas));
}

const bool kReleaseInstalled = InstallReleaseHandler(&ReleaseAllCanvases);

// Working memory is held to the largest picture still shown.
std::size_t LargestPicture()
{
    std::size_t largest = 0;
    if (const auto& list = CanvasListSlot())
        for (const auto& canvas : *list) {
            const gdi::Bitmap& picture = canvas->WSImageBox1->Bitmap();
            largest = std::max(largest, picture.stride() * std::size_t(picture.height()));
        }
    return largest;
}

const bool kBoundInstalled = InstallMemoryBound(&LargestPicture);
const bool kStretchTrimInstalled = InstallTrimHandler(&gdi::TrimStretchScratch);

} // namespace

int FindCanvas(std::string_view name)
{
    const auto& list = CanvasListSlot();
    if (!list)
        return -1;
    for (std::size_t i = 0; i < list->size(); ++i)
        if (SameName((*list)[i]->RectName, name))
            return static_cast<int>(i);
    return -1;
}

TZenvas& CanvasAt(int index)
{
    return *CanvasListSlot()->at(static_cast<std::size_t>(index));
}

int CanvasCount()
{
    const auto& list = CanvasListSlot();
    return list ? static_cast<int>(list->size()) : 0;
}

bool CanvasListExists()
{
    return CanvasListSlot().has_value();
}

bool DeleteCanvas(std::string_view name)
{
    try {
        const int index = FindCanvas(name);
        if (index == -1)
            return false;
        auto& list = *CanvasListSlot();
        auto entry = list.begin() + index;
        if (!(*entry)->RectName.empty())
            (*entry)->close();
        std::unique_ptr<TZenvas> canvas = std::move(*entry);
        list.erase(entry);
        Retire(std::move(canvas));
        return true;
    } catch (...) {
        RecordCurrentFailure();
        return false;
    }
}

void RegisterCanvas(std::unique_ptr<TZenvas> canvas)
{
    auto& list = CanvasListSlot();
    if (!list)
        list.emplace();
    list->push_back(std::move(canvas));
}

TZenvas* FindCanvasForAction(std::string_view name)
{
    const int index = FindCanvas(name);
    if (index == -1)
        return nullptr;
    TZenvas& canvas = CanvasAt(index);
    return canvas.RectName.empty() ? nullptr : &canvas;
}

} // namespace zenvas
