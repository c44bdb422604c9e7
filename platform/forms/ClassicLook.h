#pragma once

#include "platform/gdi/Canvas.h"

// The classic three-dimensional look every control of the framework shares:
// system colours, raised and sunken edges, arrows, the dotted focus frame
// and the dialog font.
namespace forms::look {

inline constexpr gdi::Color kScrollBar = 0xFF000000;
inline constexpr gdi::Color kWindow = 0xFF000005;
inline constexpr gdi::Color kWindowFrame = 0xFF000006;
inline constexpr gdi::Color kWindowText = 0xFF000008;
inline constexpr gdi::Color kHighlight = 0xFF00000D;
inline constexpr gdi::Color kHighlightText = 0xFF00000E;
inline constexpr gdi::Color kBtnFace = 0xFF00000F;
inline constexpr gdi::Color kBtnShadow = 0xFF000010;
inline constexpr gdi::Color kGrayText = 0xFF000011;
inline constexpr gdi::Color kBtnText = 0xFF000012;
inline constexpr gdi::Color kBtnHighlight = 0xFF000014;
inline constexpr gdi::Color k3DDkShadow = 0xFF000015;
inline constexpr gdi::Color k3DLight = 0xFF000016;

// The frame on each side of a window and the height of its caption bar,
// for a window's style (forms::WindowStyle bits).
int FrameThickness(std::uint32_t style);
int CaptionHeight(std::uint32_t style);

// "MS Sans Serif", 8 points, in `color`.
gdi::Font DialogFont(gdi::Color color = kWindowText);
// The height of a line of text in `font`.
int LineHeight(const gdi::Font& font);

void Fill(gdi::Canvas& canvas, const gdi::IntRect& rect, gdi::Color color);
// One ring of 1-pixel lines just inside `rect`: top and left in `topLeft`,
// bottom and right in `bottomRight`.
void Ring(gdi::Canvas& canvas, const gdi::IntRect& rect, gdi::Color topLeft, gdi::Color bottomRight);
// A push button's two rings (lit from the top left) or, pressed, sunk in.
void RaisedEdge(gdi::Canvas& canvas, const gdi::IntRect& rect);
// The two rings of an edit box or a pressed button.
void SunkenEdge(gdi::Canvas& canvas, const gdi::IntRect& rect);
// A filled triangle `rows` tall pointing up or down, its base 2*rows-1 wide,
// centred on (cx, cy).
void Arrow(gdi::Canvas& canvas, int cx, int cy, int rows, bool up, gdi::Color color);
// The same triangle turned on its side: `rows` wide, pointing left or right.
void SideArrow(gdi::Canvas& canvas, int cx, int cy, int rows, bool left, gdi::Color color);
// Every other pixel of the rectangle's outline.
void FocusFrame(gdi::Canvas& canvas, const gdi::IntRect& rect);
// `rect` moved inwards by `by` on every side.
gdi::IntRect Inset(const gdi::IntRect& rect, int by);

} // namespace forms::look
