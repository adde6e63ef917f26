// The timeline's pictures drawn with a QPainter, for the window's pane and the PNG pictures, and
// their texts measured with Qt's font metrics. For the thread that paints only.
#pragma once

#include <QFont>
#include <QPainter>

#include "timeline/picture.h"

namespace bruvik {

QFont timeline_font(const TextFont& font);

// Measured once per font and text: the pane's labels come back frame after frame, and shaping
// them anew each time is most of the cost of a frame. The measures are forgotten when the
// application ends, since fonts may not outlive it.
class QtTextMeasure : public TextMeasure {
 public:
  double width(const TextFont& font, std::string_view text) const override;
  double ascent(const TextFont& font) const override;
  double descent(const TextFont& font) const override;
};

// Kinds drawn alike one after another are drawn in one call.
void draw_picture(QPainter& painter, const TimelinePicture& picture);

}  // namespace bruvik
