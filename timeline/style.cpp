#include "timeline/style.h"

namespace bruvik {

TimelineStyle timeline_style(int pixels) {
  TimelineStyle s;
  s.font.pixels = pixels;
  return s;
}

}  // namespace bruvik
