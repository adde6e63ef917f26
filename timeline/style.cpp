#include "timeline/style.h"

namespace bruvik {

TimelineStyle timeline_style(int pixels) {
  TimelineStyle s;
  s.font = QFont(QStringLiteral("Liberation Sans"));
  s.font.setStyleHint(QFont::SansSerif);
  s.font.setPixelSize(pixels);
  return s;
}

}  // namespace bruvik
