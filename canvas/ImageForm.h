#pragma once

#include "canvas/WSImageBox.h"
#include "platform/forms/Button.h"
#include "platform/forms/Form.h"
#include "platform/forms/ScrollBox.h"

#include <string>

namespace zenvas {

class TImageForm;

// The work of a canvas form's pointer handlers and hidden buttons, installed
// by the subsystems that own it (the mouse engine, the zoom window, the
// memory slot). Without an engine the handlers run only the built-in tools.
struct ImageFormHandlers {
    void (*mouseDown)(TImageForm&, forms::MouseButton, forms::ShiftState, int, int) = nullptr;
    void (*mouseMove)(TImageForm&, forms::ShiftState, int, int) = nullptr;
    void (*mouseUp)(TImageForm&, forms::MouseButton, forms::ShiftState, int, int) = nullptr;
    void (*button1Click)(TImageForm&) = nullptr; // zoom window
    void (*button2Click)(TImageForm&) = nullptr; // picture to the memory slot
    void (*button3Click)(TImageForm&) = nullptr; // memory slot to the picture
};
ImageFormHandlers& ImageFormHooks();

// The canvas form: a borderless form whose scroll box shows the image box,
// with the per-canvas tool state kept as texts.
class TImageForm : public forms::Form {
public:
    TImageForm();

    forms::ScrollBox* ScrollBox1 = nullptr;
    TWSImageBox* WSImageBox1 = nullptr;
    forms::Button* Button1 = nullptr;
    forms::Button* Button2 = nullptr;
    forms::Button* Button3 = nullptr;

    // Tool flags: "True" or "False" (empty until a tool action runs).
    std::string Zvezda, Zalivka, Piksel, AeroGliss, Pipette, TextCanvas, Copy, CopyPartePicture, PictureMouse;
    // Built-in tool code "0".."5".
    std::string NumbProcedure;
    std::string Colorite, StyleBrush, Razmer, Intensive, Crest;
    std::string PipetteColorite, SubRoutine, LabelFont, LabelText;
    std::string SubRight, SubLeft, LabelX, LabelY, LeftClickSubroutine, RightClickSubroutine;
    std::string CopyBoolean, CopyColor, CopyPartExt, CopyPartPatch, CopyPartSub;
    std::string PictureMouseFile, PictureMouseColorTrue, PictureMouseColor, PictureMouseRazmer, PictureMouseSub;

    // The form's pointer handlers for its image box.
    void WSImageBox1MouseDown(forms::MouseButton button, forms::ShiftState shift, int x, int y);
    void WSImageBox1MouseMove(forms::ShiftState shift, int x, int y);
    void WSImageBox1MouseUp(forms::MouseButton button, forms::ShiftState shift, int x, int y);

    // True once the form has been closed for good (deleted from the canvas
    // list); a handler that sees this stops.
    bool released() const { return released_; }
    void markReleased() { released_ = true; }

protected:
    void boundsChanged() override;

private:
    bool released_ = false;
};

} // namespace zenvas
