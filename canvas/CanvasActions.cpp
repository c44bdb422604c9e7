// Creating, deleting, sizing, clearing and scrolling canvases.
#include "canvas/CanvasList.h"

#include "platform/forms/Window.h"
#include "platform/gdi/Error.h"
#include "plugin/Dispatch.h"
#include "plugin/HostServices.h"
#include "plugin/Values.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace zenvas {
namespace {

// A size text: 1 unless it is a plain number of at least 1.
int PictureSize(const std::string& text)
{
    return PlainNumber(text, 1, 1);
}

// A picture size beyond the drawing layer's limit fails with the size it
// asked for; other failures pass through as they are.
template <class Apply>
void ApplySize(int width, int height, Apply&& apply)
{
    try {
        apply();
    } catch (const gdi::Error&) {
        const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) * 3;
        if (bytes <= gdi::Bitmap::kMaxBytes)
            throw;
        char gib[32];
        std::snprintf(gib, sizeof gib, "%.1f", double(bytes) / double(std::uint64_t(1) << 30));
        throw Declined("canvas of " + std::to_string(width) + " x " + std::to_string(height) +
                       " pixels is too large (" + gib + " GiB)");
    }
}

void ApplyWidth(TWSImageBox& box, int width)
{
    ApplySize(width, box.Bitmap().height(), [&] {
        box.setWidth(width);
        box.SetWidth(width);
    });
}

void ApplyHeight(TWSImageBox& box, int height)
{
    ApplySize(box.Bitmap().width(), height, [&] {
        box.setHeight(height);
        box.SetHeight(height);
    });
}

void ClearToWhite(TWSImageBox& box)
{
    gdi::Canvas& canvas = box.Canvas();
    canvas.brush().setColor(0xFFFFFF);
    canvas.brush().setStyle(gdi::BrushStyle::Solid);
    canvas.fillRect(box.Bitmap().bounds());
    box.invalidate();
}

bool ZenvasCreate(const Params& p)
{
    bool result = false;
    try {
        DeleteCanvas(p[0]);
        if (!Host().interfaceAccess) {
            RecordActionReason("the host answers no window queries");
            return false;
        }
        const InterfaceAnswer answer = InterfaceAccess(kQueryWindowHandle, p[0]);
        const std::int32_t handle = IntegerFromText(answer.text);
        if (handle != 0) {
            // A handle of the desktop (the host's own window) first, then
            // one of the window system, where a host can know those.
            forms::Backend& backend = forms::CurrentBackend();
            forms::Window* host = backend.hostedWindow(handle);
            if (!host && backend.sharesWindowHandles())
                host = forms::WindowSystem::instance().find(handle);
            if (!host) {
                RecordActionReason("no window " + std::to_string(handle) + " for rectangle " + Quoted(p[0]));
                return false;
            }
            auto canvas = std::make_unique<TZenvas>();
            canvas->setParent(host);
            canvas->RectName = p[0];
            canvas->setBounds(0, 0, host->clientWidth(), host->clientHeight());
            canvas->show();
            TWSImageBox& box = *canvas->WSImageBox1;
            ApplyWidth(box, PictureSize(p[1]));
            ApplyHeight(box, PictureSize(p[2]));
            canvas->ScrollBox1->setDoubleBuffered(true);
            TWSImageBox::SetTool(0);
            RegisterCanvas(std::move(canvas));
        }
        result = true;
    } catch (...) {
        RecordCurrentFailure();
    }
    return result;
}

bool ZenvasDelete(const Params& p)
{
    if (FindCanvas(p[0]) == -1) {
        RecordActionReason("no canvas in rectangle " + Quoted(p[0]));
        return false;
    }
    return DeleteCanvas(p[0]);
}

bool ZenvasScroll(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& canvas) {
        if (auto vertical = BooleanFromText(p[1]))
            canvas.ScrollBox1->setVertBarVisible(*vertical);
        if (auto horizontal = BooleanFromText(p[2]))
            canvas.ScrollBox1->setHorzBarVisible(*horizontal);
    });
}

bool ZvGetScrollPosition(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& canvas) {
        SetVariable(p[1], IntegerToText(canvas.ScrollBox1->horzPosition()));
        SetVariable(p[2], IntegerToText(canvas.ScrollBox1->vertPosition()));
    });
}

bool ZvSetScrollPosition(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& canvas) {
        if (!HasNonDigit(p[1]))
            canvas.ScrollBox1->setHorzPosition(IntegerFromText(p[1]));
        if (!HasNonDigit(p[2]))
            canvas.ScrollBox1->setVertPosition(IntegerFromText(p[2]));
    });
}

bool ZenvasChangeSize(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& canvas) {
        TWSImageBox& box = *canvas.WSImageBox1;
        if (!p[1].empty())
            ApplyWidth(box, PictureSize(p[1]));
        if (!p[2].empty())
            ApplyHeight(box, PictureSize(p[2]));
        canvas.ScrollBox1->setDoubleBuffered(true);
        ClearToWhite(box);
    });
}

bool ZenvasClear(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& canvas) { ClearToWhite(*canvas.WSImageBox1); });
}

constexpr ActionRoutines kRoutines[] = {
    {1, &ZenvasCreate, nullptr},        {2, &ZenvasDelete, nullptr},     {3, &ZenvasScroll, nullptr},
    {4, &ZvGetScrollPosition, nullptr}, {5, &ZvSetScrollPosition, nullptr}, {6, &ZenvasChangeSize, nullptr},
    {7, &ZenvasClear, nullptr},
};
const bool kInstalled = InstallRoutines(kRoutines);

} // namespace
} // namespace zenvas
