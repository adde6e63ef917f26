// The one layout of the timeline, for the window's pane, the exported pictures and the page
// alike: from a run's record and the stretch asked for, the primitives that draw it and each
// frame's box. Reads only the events of the stretch; a long stretch is drawn a mark per pixel
// column, so that its cost and an SVG's size stay bounded by the width, not by the run.
#pragma once

#include "history/record.h"
#include "timeline/picture.h"
#include "timeline/stretch.h"
#include "timeline/style.h"

namespace bruvik {

// The timeline in `area`, added to `picture`.
void add_timeline(TimelinePicture& picture, const Rect& area, const RunRecord& record,
                  const TimelineSpan& span, const TimelineStyle& style, const TextMeasure& measure);

// The same in two layers. The backdrop does not move with time (the rows and their names, the
// legend): the window keeps it in a picture and draws only the content over it each frame.
void add_timeline_backdrop(TimelinePicture& picture, const Rect& area, const TimelineStyle& style,
                           const TextMeasure& measure);
void add_timeline_content(TimelinePicture& picture, const Rect& area, const RunRecord& record,
                          const TimelineSpan& span, const TimelineStyle& style,
                          const TextMeasure& measure);

// `text` cut at the right with an ellipsis so that it fits `room` pixels; empty when not even
// the ellipsis fits.
std::string elided(const std::string& text, double room, const TextFont& font,
                   const TextMeasure& measure);

}  // namespace bruvik
