#pragma once

// Canvases registered straight into the canvas list, action routines called
// by number, and project variables caught from the set-variable callback.
#include "canvas/CanvasList.h"
#include "plugin/Dispatch.h"
#include "plugin/HostServices.h"

#include <map>
#include <memory>
#include <string>

namespace zenvas::fixture {

inline std::map<std::string, std::string>& Variables()
{
    static std::map<std::string, std::string> variables;
    return variables;
}

inline void ZENVAS_CALL CatchVariable(const char* name, const char* value)
{
    Variables()[name] = value;
}

inline void CatchVariables()
{
    Host().setVariable = &CatchVariable;
    Variables().clear();
}

inline TZenvas& MakeCanvas(const std::string& name, int width, int height)
{
    DeleteCanvas(name);
    auto canvas = std::make_unique<TZenvas>();
    canvas->RectName = name;
    TWSImageBox& box = *canvas->WSImageBox1;
    box.setWidth(width);
    box.SetWidth(width);
    box.setHeight(height);
    box.SetHeight(height);
    TZenvas& made = *canvas;
    RegisterCanvas(std::move(canvas));
    return made;
}

inline gdi::Bitmap& Picture(TZenvas& canvas)
{
    return canvas.WSImageBox1->Bitmap();
}

inline bool RunAction(int number, const Params& params)
{
    const RunRoutine routine = FindRunRoutine(number);
    return routine && routine(params);
}

} // namespace zenvas::fixture
