// Texts measured and laid out once per font: the timeline's labels come back frame after frame,
// and shaping them anew each time is most of the cost of a frame. The cache is emptied when the
// application ends, since fonts may not outlive it. For the thread that paints only.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QString>

namespace bruvik {

double text_width(const QFont& font, const QString& text);
// Draws `text` in `font` (the painter's) with its baseline starting at `baseline`.
void draw_cached_text(QPainter& painter, const QFont& font, QPointF baseline, const QString& text);

}  // namespace bruvik
