// The three pictures of the window, drawn for this program: a desktop computer, a lightning
// bolt for the collision and a small red flag for a station's mark. 32 x 32 pixels each.
#pragma once

#include <QImage>

#include "model/control.h"

namespace bruvik {

inline constexpr int kPictureSize = 32;

// A null image for Picture::None.
QImage picture_image(Picture picture);

}  // namespace bruvik
