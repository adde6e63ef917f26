// How the window looks on this toolkit: colours of the model as Qt colours, the pinned fonts,
// and the style and palette the whole program uses.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include "model/control.h"
#include "view/colours.h"

namespace bruvik {

// A colour of the view on the given palette: a system colour is the palette's colour for its
// role, so that the window looks like its desktop.
QColor to_qcolor(const ViewColour& colour, const QPalette& palette);
// A colour of the model (0x00BBGGRR, or a system colour by index) on the given palette.
QColor to_qcolor(Colour colour, const QPalette& palette);

// "MS Sans Serif" at the given size as pixels at 96 dpi, so that every caption fits its box
// whatever the screen's resolution.
QFont control_font(double points, bool bold);

// Fusion style and the font substitution; with `pinned_palette` also Fusion's own palette, so
// that pictures taken on different machines match.
void install_look(bool pinned_palette);

}  // namespace bruvik
