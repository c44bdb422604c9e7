#include "tools/Zoom.h"

#include "canvas/CanvasList.h"
#include "plugin/Dispatch.h"
#include "plugin/Values.h"
#include "platform/system/Text1251.h"

#include <cmath>

namespace zenvas {
namespace {

TFormZoom* g_current = nullptr;
std::weak_ptr<void> g_currentAlive;

// Halves rounded to the nearest integer, ties to even.
int HalfRoundedEven(int value)
{
    return static_cast<int>(std::nearbyint(value / 2.0));
}

void DrawSight(TFormZoom& zoom)
{
    gdi::Canvas& canvas = zoom.Canvas();
    const int cx = HalfRoundedEven(zoom.width());
    const int cy = HalfRoundedEven(zoom.height()) - 11;
    const int arms[4][4] = {
        {cx, cy - 30, cx, cy - 5},
        {cx, cy + 5, cx, cy + 30},
        {cx - 30, cy, cx - 5, cy},
        {cx + 30, cy, cx + 5, cy},
    };
    for (const auto& arm : arms) {
        canvas.moveTo(arm[0], arm[1]);
        canvas.lineTo(arm[2], arm[3]);
    }
}

} // namespace

TFormZoom::TFormZoom() : forms::Form("FormZoom", forms::BorderStyle::Dialog)
{
    setColor(0xFF00000F); // button face
    canvas_.brush().setColor(0xFF00000F);
}

void TFormZoom::boundsChanged()
{
    surface_.setSize(clientWidth(), clientHeight());
    canvas_.fillRect(surface_.bounds());
}

void TFormZoom::paint(gdi::Canvas& canvas)
{
    forms::Form::paint(canvas);
    const gdi::Point origin = clientOrigin();
    canvas.draw(origin.x, origin.y, surface_);
}

TFormZoom* CurrentZoom()
{
    return g_currentAlive.expired() ? nullptr : g_current;
}

void CreateZoomWindow(TImageForm& form)
{
    if (TFormZoom* previous = CurrentZoom())
        previous->close();
    TFormZoom* zoom = form.own(std::make_unique<TFormZoom>());
    zoom->setBounds(zoom->left(), zoom->top(), 250, 250);
    zoom->setStayOnTop(true);
    zoom->show();
    zoom->setCaption("Zenvas Zoom");
    g_current = zoom;
    g_currentAlive = zoom->lifetime();
    if (form.Crest == "True")
        DrawSight(*zoom);
    zoom->invalidate();
}

void RefreshZoom(TImageForm& form, int x, int y)
{
    TFormZoom* zoom = CurrentZoom();
    if (!zoom)
        return;
    const gdi::IntRect square{gdi::ClampToInt(std::int64_t(x) - 15), gdi::ClampToInt(std::int64_t(y) - 15),
                              gdi::ClampToInt(std::int64_t(x) + 15), gdi::ClampToInt(std::int64_t(y) + 15)};
    // Whatever of the square lies outside the picture shows the background.
    zoom->Canvas().fillRect(zoom->Surface().bounds());
    gdi::StretchNearest(zoom->Surface(), zoom->Surface().bounds(), form.WSImageBox1->Bitmap(), square);
    if (form.Crest == "True")
        DrawSight(*zoom);
    zoom->invalidate();
}

namespace {

bool ZenvasZoomCreate(const Params& p)
{
    return RunOnCanvas(p, [&](TZenvas& canvas) {
        const std::string flag = sys::LowerCase1251(p[1]);
        if (flag == "true")
            canvas.Crest = "True";
        else if (flag == "false")
            canvas.Crest = "False";
        canvas.Button1->click();
    });
}

constexpr ActionRoutines kRoutines[] = {{21, &ZenvasZoomCreate, nullptr}};
const bool kInstalled = InstallRoutines(kRoutines);
const bool kHookInstalled = [] {
    ImageFormHooks().button1Click = &CreateZoomWindow;
    return true;
}();

} // namespace
} // namespace zenvas
