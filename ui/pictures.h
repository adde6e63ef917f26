// The window's pictures (see view/pictures.h) as images.
#pragma once

#include <QImage>

#include "model/control.h"
#include "view/pictures.h"

namespace bruvik {

// A null image for Picture::None.
QImage picture_image(Picture picture);

}  // namespace bruvik
