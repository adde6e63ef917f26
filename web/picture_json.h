// The timeline's picture as JSON, for the page's canvas: each primitive an object with a `k`
// naming its kind, then the frames' boxes.
#pragma once

#include <string>

#include "timeline/picture.h"

namespace bruvik {

std::string picture_json(const TimelinePicture& picture);

}  // namespace bruvik
