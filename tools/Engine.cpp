#include "tools/Engine.h"

#include "pictures/PictureFiles.h"
#include "platform/gdi/codecs/Bmp.h"
#include "platform/gdi/codecs/Jpeg.h"
#include "platform/system/Files.h"
#include "plugin/HostServices.h"
#include "plugin/FontDescriptor.h"
#include "plugin/Random.h"
#include "plugin/Routine.h"
#include "plugin/Values.h"
#include "tools/Zoom.h"

#include <cmath>
#include <string_view>
#include <utility>

namespace zenvas {

forms::Shape* EngineState::rubberBand() const
{
    return rubberBandAlive_.expired() ? nullptr : rubberBand_;
}

forms::Shape* EngineState::stampFrame() const
{
    return stampFrameAlive_.expired() ? nullptr : stampFrame_;
}

void EngineState::setRubberBand(forms::Shape* frame)
{
    rubberBand_ = frame;
    rubberBandAlive_ = frame ? frame->lifetime() : std::weak_ptr<void>();
}

void EngineState::setStampFrame(forms::Shape* frame)
{
    stampFrame_ = frame;
    stampFrameAlive_ = frame ? frame->lifetime() : std::weak_ptr<void>();
}

EngineState& Engine()
{
    static EngineState state;
    return state;
}

namespace {

bool IsTrue(const std::string& slot)
{
    return slot == "True";
}

std::string& FlagSlot(TImageForm& form, ToolFlag flag)
{
    switch (flag) {
    case ToolFlag::Zvezda:
        return form.Zvezda;
    case ToolFlag::Zalivka:
        return form.Zalivka;
    case ToolFlag::Piksel:
        return form.Piksel;
    case ToolFlag::AeroGliss:
        return form.AeroGliss;
    case ToolFlag::Pipette:
        return form.Pipette;
    case ToolFlag::TextCanvas:
        return form.TextCanvas;
    case ToolFlag::Copy:
        return form.Copy;
    case ToolFlag::CopyPartePicture:
        return form.CopyPartePicture;
    case ToolFlag::PictureMouse:
    case ToolFlag::None:
        break;
    }
    return form.PictureMouse;
}

constexpr ToolFlag kFlags[] = {ToolFlag::Zvezda,     ToolFlag::Zalivka, ToolFlag::Piksel,
                               ToolFlag::AeroGliss,  ToolFlag::Pipette, ToolFlag::TextCanvas,
                               ToolFlag::Copy,       ToolFlag::CopyPartePicture, ToolFlag::PictureMouse};

bool NoToolActive(TImageForm& form)
{
    for (ToolFlag flag : kFlags)
        if (FlagSlot(form, flag) != "False")
            return false;
    return form.NumbProcedure == "0";
}

// Runs a project subroutine; answers whether the form is still in service
// afterwards (the subroutine may have deleted its canvas).
bool Run(TImageForm& form, const std::string& subroutine)
{
    RunSubroutine(subroutine);
    return !form.released();
}

gdi::Point ScrollOffset(TImageForm& form)
{
    return {form.ScrollBox1->horzPosition(), form.ScrollBox1->vertPosition()};
}

// Colour rule of the tools: an empty text is black, else the text's colour.
gdi::Color ToolColor(const std::string& text)
{
    return text.empty() ? gdi::Color(0) : ColorFromText(text);
}

// Rounds to the nearest integer, ties to even, without overflowing.
int RoundEven(long double value)
{
    const long double rounded = std::nearbyintl(value);
    if (rounded >= 2147483647.0L)
        return 2147483647;
    if (rounded <= -2147483648.0L)
        return -2147483647 - 1;
    return static_cast<int>(rounded);
}

void DrawStar(TImageForm& form, int x, int y)
{
    gdi::Canvas& canvas = form.WSImageBox1->Canvas();
    GuardedStep([&] { canvas.pen().setColor(ToolColor(form.Colorite)); }, "colour left unchanged");
    canvas.pen().setWidth(1);
    canvas.pen().setStyle(gdi::PenStyle::Solid);
    const int radius = IntegerFromText(form.Razmer);
    const auto points = StarPoints(x, y, radius);
    canvas.polyline(points);
}

void FloodFillAt(TImageForm& form, int x, int y)
{
    gdi::Canvas& canvas = form.WSImageBox1->Canvas();
    if (!form.Colorite.empty()) {
        if (!form.StyleBrush.empty()) {
            if (auto style = BrushStyleFromName(form.StyleBrush))
                canvas.brush().setStyle(*style);
        } else {
            canvas.brush().setStyle(gdi::BrushStyle::Solid);
        }
        GuardedStep([&] { canvas.brush().setColor(ColorFromText(form.Colorite)); }, "colour left unchanged");
    } else {
        canvas.brush().setStyle(gdi::BrushStyle::Solid);
        canvas.brush().setColor(0);
    }
    canvas.floodFill(x, y, canvas.pixel(x, y));
}

void SprayAt(TImageForm& form, int x, int y)
{
    const int radius = form.Razmer.empty() ? 30 : IntegerFromText(form.Razmer);
    gdi::Canvas& canvas = form.WSImageBox1->Canvas();
    if (form.Colorite.empty())
        SprayDots(canvas, x, y, radius, 0, form.Intensive);
    else
        GuardedStep([&] { SprayDots(canvas, x, y, radius, ColorFromText(form.Colorite), form.Intensive); },
                    "nothing sprayed");
}

void PickColor(TImageForm& form, int x, int y)
{
    if (form.PipetteColorite.empty())
        return;
    GuardedStep([&] {
        SetVariable(form.PipetteColorite, ColorToText(form.WSImageBox1->Canvas().pixel(x, y)));
    }, "no colour taken");
}

void WriteText(TImageForm& form, int x, int y)
{
    GuardedStep([&] {
        gdi::Canvas& canvas = form.WSImageBox1->Canvas();
        ApplyFontDescriptor(form.LabelFont, canvas.font());
        canvas.brush().setStyle(gdi::BrushStyle::Clear);
        canvas.textOut(x, y, form.LabelText);
    }, "nothing written");
}

void DestroyRubberBand()
{
    EngineState& engine = Engine();
    if (forms::Shape* frame = engine.rubberBand()) {
        engine.setRubberBand(nullptr);
        std::unique_ptr<forms::Control> owned;
        if (forms::Control* owner = frame->parent())
            owned = owner->disown(frame);
        frame->setParent(nullptr);
        owned.reset();
    }
    engine.setRubberBand(nullptr);
}

std::int64_t Percent(std::int64_t percent, int size)
{
    return percent * size / 100;
}

using gdi::ClampToInt;

forms::Shape* NewFrame(TImageForm& form)
{
    auto frame = std::make_unique<forms::Shape>("Frame");
    return form.ScrollBox1->addChild(std::move(frame));
}

} // namespace

std::array<gdi::Point, 11> StarPoints(int x, int y, int radius)
{
    std::array<gdi::Point, 11> points;
    const long double pi = 3.14159265358979323846264338327950288L;
    for (int k = 0; k < 10; ++k) {
        const long double angle = (18.0L + 36.0L * k) * pi / 180.0L;
        const long double r = (k % 2 == 0) ? static_cast<long double>(radius) : radius / 3.0L;
        points[k] = {ClampToInt(std::int64_t(x) + RoundEven(r * std::cos(angle))),
                     ClampToInt(std::int64_t(y) - RoundEven(r * std::sin(angle)))};
    }
    points[10] = points[0];
    return points;
}

void SprayDots(gdi::Canvas& canvas, int x, int y, int radius, gdi::Color color, const std::string& intensity)
{
    const std::int64_t n = intensity.empty() ? 10 : IntegerFromText(intensity);
    if (n < 0)
        return;
    const long long dots = std::min<long long>(n + 1, kMaxSprayDots);
    const float twoPi = 6.28318530717958647692f;
    for (long long i = 0; i < dots; ++i) {
        const float angle = static_cast<float>(RandomReal()) * twoPi;
        const float distance = static_cast<float>(RandomReal() * radius);
        const long double dx = static_cast<long double>(distance) * std::cos(static_cast<long double>(angle));
        const long double dy = static_cast<long double>(distance) * std::sin(static_cast<long double>(angle));
        canvas.setPixel(ClampToInt(std::int64_t(x) + RoundEven(dx)), ClampToInt(std::int64_t(y) + RoundEven(dy)),
                        color);
    }
}

void SelectTool(TImageForm& form, ToolFlag flag, int builtInTool, bool hidesStampFrame)
{
    if (hidesStampFrame)
        if (forms::Shape* frame = Engine().stampFrame())
            frame->hide();
    for (ToolFlag each : kFlags)
        FlagSlot(form, each) = (each == flag) ? "True" : "False";
    form.NumbProcedure = std::to_string(builtInTool);
    TWSImageBox::SetTool(builtInTool);
}

namespace {

void StartSelection(TImageForm& form, int x, int y)
{
    DestroyRubberBand();
    const gdi::Point scroll = ScrollOffset(form);
    EngineState& engine = Engine();
    engine.selectionStart = {ClampToInt(std::int64_t(x) - scroll.x), ClampToInt(std::int64_t(y) - scroll.y)};
    forms::Shape* frame = NewFrame(form);
    frame->setBounds(engine.selectionStart.x, engine.selectionStart.y, 1, 1);
    frame->show();
    engine.setRubberBand(frame);
}

void StretchSelection(TImageForm& form, int x, int y)
{
    forms::Shape* frame = Engine().rubberBand();
    if (!frame)
        return;
    const gdi::Point scroll = ScrollOffset(form);
    const gdi::Point start = Engine().selectionStart;
    frame->setBounds(start.x, start.y, ClampToInt(std::int64_t(x) - scroll.x - start.x),
                     ClampToInt(std::int64_t(y) - scroll.y - start.y));
}

void FinishSelection(TImageForm& form)
{
    forms::Shape* frame = Engine().rubberBand();
    if (!frame)
        return;
    const gdi::Point scroll = ScrollOffset(form);
    const std::int64_t l = frame->left(), t = frame->top(), w = frame->width(), h = frame->height();
    Selection& selection = Engine().selection;
    selection.width = ClampToInt(w < 0 ? -w : w);
    selection.height = ClampToInt(h < 0 ? -h : h);
    selection.x = ClampToInt(w >= 0 ? l + scroll.x : l + w + scroll.x);
    selection.y = ClampToInt(h >= 0 ? t + scroll.y : t + h + scroll.y);
}

void PasteSelection(TImageForm& form, int x, int y)
{
    const Selection s = Engine().selection;
    gdi::Canvas& canvas = form.WSImageBox1->Canvas();
    gdi::Bitmap& picture = form.WSImageBox1->Bitmap();
    const gdi::IntRect source{s.x, s.y, ClampToInt(std::int64_t(s.x) + s.width), ClampToInt(std::int64_t(s.y) + s.height)};
    const gdi::IntRect dest{ClampToInt(std::int64_t(x) - s.width), ClampToInt(std::int64_t(y) - s.height), x, y};
    if (form.CopyBoolean == "false") {
        canvas.copyRect(dest, picture, source);
    } else if (form.CopyBoolean == "true") {
        GuardedStep([&] {
            const gdi::Color transparent = form.CopyColor.empty() ? gdi::Color(0xFFFFFF) : ColorFromText(form.CopyColor);
            gdi::Bitmap part(s.width, s.height);
            gdi::Canvas(part).copyRect(part.bounds(), picture, source);
            canvas.drawTransparent(dest.left, dest.top, part, transparent);
        }, "nothing pasted");
    }
}

void SavePart(TImageForm& form)
{
    if (sys::FileExists(form.CopyPartPatch))
        sys::DeleteFile(form.CopyPartPatch);
    const std::string& path = form.CopyPartPatch;
    if (path.size() >= 4) {
        const std::string tail = path.substr(path.size() - 4);
        if (tail == ".bmp" || tail == ".jpg")
            form.CopyPartPatch = path.substr(0, path.size() - 4);
    }
    if (form.CopyPartPatch.empty()) {
        RecordActionReason("no file named; nothing saved");
        return;
    }
    if (form.CopyPartExt != ".bmp" && form.CopyPartExt != ".jpg") {
        RecordActionReason("extension " + Quoted(form.CopyPartExt) + " is not .bmp or .jpg; nothing saved");
        return;
    }
    const Selection s = Engine().selection;
    gdi::Bitmap part(s.width, s.height);
    gdi::Canvas(part).copyRect(part.bounds(), form.WSImageBox1->Bitmap(),
                               {s.x, s.y, ClampToInt(std::int64_t(s.x) + s.width), ClampToInt(std::int64_t(s.y) + s.height)});
    if (form.CopyPartExt == ".bmp")
        gdi::SaveBmp24(form.CopyPartPatch + ".bmp", part);
    else
        gdi::SaveJpeg(form.CopyPartPatch + ".jpg", part, kJpegQuality);
}

void MoveStampFrame(TImageForm& form, int x, int y)
{
    EngineState& engine = Engine();
    const gdi::Point scroll = ScrollOffset(form);
    forms::Shape* frame = engine.stampFrame();
    if (!frame) {
        const gdi::Bitmap loaded = gdi::LoadBmp(form.PictureMouseFile);
        const std::int64_t percent = IntegerFromText(form.PictureMouseRazmer);
        const int w = ClampToInt(Percent(percent, loaded.width()));
        const int h = ClampToInt(Percent(percent, loaded.height()));
        frame = NewFrame(form);
        frame->setBounds(ClampToInt(std::int64_t(x) - scroll.x - w - 2), ClampToInt(std::int64_t(y) - scroll.y - h - 2), w, h);
        frame->show();
        engine.setStampFrame(frame);
    } else if (frame->parent() != form.ScrollBox1) {
        // The stamp is in use on another canvas: the frame moves there.
        forms::Control* oldBox = frame->parent();
        std::unique_ptr<forms::Control> owned = oldBox ? oldBox->disown(frame) : nullptr;
        if (owned)
            form.ScrollBox1->own(std::move(owned));
        frame->setParent(form.ScrollBox1);
    }
    frame->show();
    frame->setBounds(ClampToInt(std::int64_t(x) - scroll.x - frame->width() - 2),
                     ClampToInt(std::int64_t(y) - scroll.y - frame->height() - 2), frame->width(), frame->height());
}

void StampPicture(TImageForm& form)
{
    EngineState& engine = Engine();
    forms::Shape* frame = engine.stampFrame();
    if (!frame)
        return;
    const gdi::Bitmap loaded = gdi::LoadBmp(form.PictureMouseFile);
    const std::int64_t percent = IntegerFromText(form.PictureMouseRazmer);
    frame->setBounds(frame->left(), frame->top(), ClampToInt(Percent(percent, loaded.width())),
                     ClampToInt(Percent(percent, loaded.height())));
    gdi::Bitmap stamp(frame->width(), frame->height());
    if (!stamp.isEmpty() && !loaded.isEmpty())
        gdi::StretchHalftone(stamp, stamp.bounds(), loaded, loaded.bounds());
    engine.stampBitmap = std::move(stamp);
    const gdi::Point scroll = ScrollOffset(form);
    const int left = ClampToInt(std::int64_t(frame->left()) + scroll.x);
    const int top = ClampToInt(std::int64_t(frame->top()) + scroll.y);
    gdi::Canvas& canvas = form.WSImageBox1->Canvas();
    if (form.PictureMouseColorTrue == "True") {
        const gdi::Color transparent =
            form.PictureMouseColor.empty() ? gdi::Color(0xFFFFFF) : ColorFromText(form.PictureMouseColor);
        canvas.drawTransparent(left, top, *engine.stampBitmap, transparent);
    } else {
        canvas.draw(left, top, *engine.stampBitmap);
    }
}

void EngineMouseDown(TImageForm& form, forms::MouseButton button, forms::ShiftState shift, int x, int y)
{
    EngineState& engine = Engine();
    const bool left = button == forms::MouseButton::Left;
    const bool right = button == forms::MouseButton::Right;
    const std::string& code = form.NumbProcedure;

    form.WSImageBox1->ibMouseDown(button, shift, x, y);
    if (left && NoToolActive(form) && !Run(form, form.LeftClickSubroutine))
        return;
    if (right && NoToolActive(form) && !Run(form, form.RightClickSubroutine))
        return;
    if (IsTrue(form.PictureMouse) && left && engine.stampFrame())
        StampPicture(form);
    if (IsTrue(form.CopyPartePicture) && left) {
        engine.partMoved = false;
        StartSelection(form, x, y);
        engine.partDragging = true;
    }
    if (IsTrue(form.Copy) && left) {
        StartSelection(form, x, y);
        engine.copyDragging = true;
    }
    if (right && IsTrue(form.Copy))
        PasteSelection(form, x, y);
    if (right && code == "2" && !Run(form, form.SubRight))
        return;
    if (right && IsTrue(form.Zvezda) && code == "0" && !Run(form, form.SubRight))
        return;
    if (right && IsTrue(form.Piksel) && code == "0" && !Run(form, form.SubRight))
        return;
    if (right && code == "1" && !Run(form, form.SubRight))
        return;
    if (left && code == "1" && !Run(form, form.SubLeft))
        return;
    for (const char* builtIn : {"3", "4", "5"})
        if (right && code == builtIn && !Run(form, form.SubRight))
            return;
    for (const std::string* flag : {&form.Zalivka, &form.AeroGliss, &form.Pipette, &form.TextCanvas})
        if (right && code == "0" && IsTrue(*flag) && !Run(form, form.SubRight))
            return;
    if (right && IsTrue(form.PictureMouse) && code == "0" && !Run(form, form.PictureMouseSub))
        return;
    if (IsTrue(form.Pipette) && left) {
        PickColor(form, x, y);
        if (form.released() || !Run(form, form.SubRoutine))
            return;
    }
    if (IsTrue(form.Zvezda) && left)
        DrawStar(form, x, y);
    if (IsTrue(form.Zalivka) && left)
        FloodFillAt(form, x, y);
    if (IsTrue(form.Piksel) && left) {
        GuardedStep([&] { form.WSImageBox1->Canvas().setPixel(x, y, ToolColor(form.Colorite)); },
                    "pixel left unchanged");
        if (!Run(form, form.SubLeft))
            return;
    }
    if (IsTrue(form.AeroGliss) && left) {
        SprayAt(form, x, y);
        engine.spraying = true;
    }
    if (IsTrue(form.TextCanvas) && left && !form.LabelFont.empty())
        WriteText(form, x, y);
}

void EngineMouseMove(TImageForm& form, forms::ShiftState shift, int x, int y)
{
    EngineState& engine = Engine();
    form.WSImageBox1->ibMouseMove(shift, x, y);
    if (!form.LabelX.empty()) {
        SetVariable(form.LabelX, IntegerToText(x));
        if (form.released())
            return;
    }
    if (!form.LabelY.empty()) {
        SetVariable(form.LabelY, IntegerToText(y));
        if (form.released())
            return;
    }
    if (engine.spraying)
        SprayAt(form, x, y);
    if (CurrentZoom())
        RefreshZoom(form, x, y);
    if (IsTrue(form.Copy) && engine.copyDragging)
        StretchSelection(form, x, y);
    if (IsTrue(form.CopyPartePicture) && engine.partDragging) {
        StretchSelection(form, x, y);
        engine.partMoved = true;
    }
    if (IsTrue(form.PictureMouse))
        MoveStampFrame(form, x, y);
}

void EngineMouseUp(TImageForm& form, forms::MouseButton button, forms::ShiftState shift, int x, int y)
{
    EngineState& engine = Engine();
    const bool left = button == forms::MouseButton::Left;
    form.WSImageBox1->ibMouseUp(button, shift, x, y);
    engine.spraying = false;
    if (IsTrue(form.Copy) && left && engine.rubberBand()) {
        FinishSelection(form);
        engine.copyDragging = false;
        DestroyRubberBand();
    }
    if (IsTrue(form.CopyPartePicture) && left && engine.rubberBand()) {
        if (engine.partMoved) {
            FinishSelection(form);
            // The frame goes and the drag ends even when the file cannot be
            // written; the failure still ends the event before the subroutine.
            struct EndDrag {
                ~EndDrag()
                {
                    DestroyRubberBand();
                    Engine().partDragging = false;
                }
            } endDrag;
            SavePart(form);
        } else {
            engine.partDragging = false;
            DestroyRubberBand();
        }
        if (engine.partMoved && !Run(form, form.CopyPartSub))
            return;
    }
    if (IsTrue(form.PictureMouse) && left && engine.stampBitmap)
        engine.stampBitmap.reset();
}

// The action that chose the tool handling the pointer, for reasons.
std::string_view ToolAction(void* subject)
{
    TImageForm& form = *static_cast<TImageForm*>(subject);
    static constexpr std::pair<ToolFlag, std::string_view> kFlagActions[] = {
        {ToolFlag::Zvezda, "ZenvasStar"},         {ToolFlag::Zalivka, "ZenvasFloodFill"},
        {ToolFlag::Piksel, "ZenvasPixel"},        {ToolFlag::AeroGliss, "ZenvasAero"},
        {ToolFlag::Pipette, "ZenvasPipette"},     {ToolFlag::TextCanvas, "ZenvasTextOut"},
        {ToolFlag::Copy, "ZenvasCopyPaste"},      {ToolFlag::CopyPartePicture, "ZenvasSavePartPicture"},
        {ToolFlag::PictureMouse, "ZenvasSetPictureMouse"},
    };
    for (const auto& [flag, action] : kFlagActions)
        if (IsTrue(FlagSlot(form, flag)))
            return action;
    static constexpr std::string_view kBuiltIn[] = {"ZenvasPen", "ZenvasBrush", "ZenvasRectangle", "ZenvasCircle",
                                                    "ZenvasLine"};
    const std::string& code = form.NumbProcedure;
    if (code.size() == 1 && code[0] >= '1' && code[0] <= '5')
        return kBuiltIn[code[0] - '1'];
    return "Zenvas";
}

// A pointer event's engine step. A failure still ends the event through the
// framework's error box; its reason is recorded on the way, under the
// action that chose the tool.
template <auto Step, class... Args>
void Reporting(TImageForm& form, Args... args)
{
    const ActionScope scope(&ToolAction, &form);
    try {
        Step(form, args...);
    } catch (...) {
        RecordCurrentFailure();
        throw;
    }
}

const bool kEngineInstalled = [] {
    ImageFormHandlers& hooks = ImageFormHooks();
    hooks.mouseDown = &Reporting<&EngineMouseDown, forms::MouseButton, forms::ShiftState, int, int>;
    hooks.mouseMove = &Reporting<&EngineMouseMove, forms::ShiftState, int, int>;
    hooks.mouseUp = &Reporting<&EngineMouseUp, forms::MouseButton, forms::ShiftState, int, int>;
    return true;
}();

} // namespace
} // namespace zenvas
