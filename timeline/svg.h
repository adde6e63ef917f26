// A picture written as an SVG document, without any toolkit: kinds drawn alike go into one path,
// so that a long stretch stays small.
#pragma once

#include <string>

#include "timeline/picture.h"

namespace bruvik {

std::string svg_document(const TimelinePicture& picture, const std::string& title);

}  // namespace bruvik
