// The one painter of the timeline, for the window's pane and the exported pictures alike: from a
// run's record and the stretch asked for, the drawing calls on a QPainter. Reads only the
// events of the stretch; a long stretch is drawn a mark per pixel column, so that its cost and
// an SVG's size stay bounded by the width, not by the run.
#pragma once

#include <QPainter>
#include <QRectF>

#include "history/record.h"
#include "timeline/stretch.h"
#include "timeline/style.h"

namespace bruvik {

void paint_timeline(QPainter& painter, const QRectF& area, const RunRecord& record,
                    const TimelineSpan& span, const TimelineStyle& style);

// The same in two layers. The backdrop does not move with time (the rows and their names, the
// legend): the window keeps it in a picture and paints only the content over it each frame.
void paint_timeline_backdrop(QPainter& painter, const QRectF& area, const TimelineStyle& style);
void paint_timeline_content(QPainter& painter, const QRectF& area, const RunRecord& record,
                            const TimelineSpan& span, const TimelineStyle& style);

}  // namespace bruvik
