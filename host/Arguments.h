#pragma once

#include "host/Script.h"
#include "platform/backends/scripted/ScriptedAnswers.h"
#include "platform/forms/Input.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Font.h"

#include <string>

// Reading a command's arguments, and writing the pictures commands take,
// for every kind of host window.
namespace host {

// A 32-bit integer; a script error naming `what` for anything else.
int readInt32(const Statement& statement, const std::string& text, const char* what);

// left, right or middle.
forms::MouseButton readButton(const Statement& statement, const std::string& text);

// Comma-separated keys (shift, ctrl, alt) and, where allowed, buttons;
// "none" is the empty set.
forms::ShiftState readShift(const Statement& statement, const std::string& text, bool buttonsAllowed);

// "R,G,B" both ways.
std::string rgbText(gdi::Color c);
gdi::Color readRgb(const Statement& statement, const std::string& text);

// A font answer's five fields Name|Colour|Size|Styles|Charset.
gdi::Font readFont(const Statement& statement, const std::string& text);

// A snapshot to FILE, PNG or BMP by its extension.
void writePicture(const Statement& statement, const std::string& file, const gdi::Bitmap& picture);

class Interpreter;

// A Button statement: NAME X Y W H CAPTION SUBROUTINE [PICTURE], the
// picture read from its .bmp, .jpg or .jpeg file (empty when none).
struct ButtonStatement {
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
    std::string caption;
    std::string subroutine;
    gdi::Bitmap picture;
};
ButtonStatement readButtonStatement(const Interpreter& in, const Statement& statement);

// The answer an Answer statement queues (color, font, file, pick, cancel
// or dialog), its arguments checked.
forms::Answer readAnswer(const Interpreter& in, const Statement& statement);

} // namespace host
