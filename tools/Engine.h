#pragma once

#include "canvas/ImageForm.h"
#include "platform/forms/Shape.h"

#include <array>
#include <optional>
#include <string>

// The mouse engine of the canvas forms: the press, move and release
// handlers, the tool selection protocol, and the plug-in-wide engine state.
namespace zenvas {

struct Selection {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const Selection&, const Selection&) = default;
};

// One copy for all canvases.
struct EngineState {
    bool spraying = false;
    gdi::Point selectionStart;
    bool copyDragging = false;
    bool partDragging = false;
    bool partMoved = false;
    Selection selection;
    std::optional<gdi::Bitmap> stampBitmap;

    // The frames are controls of some canvas's scroll box; these answer null
    // once that canvas (and with it the frame) is gone.
    forms::Shape* rubberBand() const;
    forms::Shape* stampFrame() const;
    void setRubberBand(forms::Shape* frame);
    void setStampFrame(forms::Shape* frame);

private:
    forms::Shape* rubberBand_ = nullptr;
    std::weak_ptr<void> rubberBandAlive_;
    forms::Shape* stampFrame_ = nullptr;
    std::weak_ptr<void> stampFrameAlive_;
};
EngineState& Engine();

// The nine tool flags.
enum class ToolFlag { None, Zvezda, Zalivka, Piksel, AeroGliss, Pipette, TextCanvas, Copy, CopyPartePicture, PictureMouse };

// Selects a tool: the chosen flag "True", the eight others "False", the
// built-in tool code and number, and, unless told otherwise, hides the stamp
// frame.
void SelectTool(TImageForm& form, ToolFlag flag, int builtInTool, bool hidesStampFrame = true);

// The press, move and release handlers are installed into every canvas
// form (ImageFormHooks) when the plug-in loads.

// Most dots one spray event places, however large the intensity.
inline constexpr long long kMaxSprayDots = 1'000'000;

// The eleven points of a star (the last repeats the first).
std::array<gdi::Point, 11> StarPoints(int x, int y, int radius);
// Places the dots of one spray event.
void SprayDots(gdi::Canvas& canvas, int x, int y, int radius, gdi::Color color, const std::string& intensity);

} // namespace zenvas
