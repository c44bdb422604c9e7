#pragma once

#include "editor/Layouts.h"
#include "platform/gdi/Bitmap.h"

namespace zenvas::editor {

// The transparent colour of the icons below: their bottom-left pixel.
inline constexpr gdi::Color kIconBackground = 0x00FF00FF;

// The 18 x 18 icon of each kind of small button, drawn on kIconBackground.
gdi::Bitmap ButtonIcon(ButtonKind kind);

// The 32 x 32 picture in every dialog's footer, on the button face: a
// palette with a brush.
gdi::Bitmap FooterPicture();

} // namespace zenvas::editor
