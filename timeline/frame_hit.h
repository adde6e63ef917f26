// The frame under a point of the timeline and what its tooltip says: the station, when it was
// sent and taken off the bus, the frames it overlapped, whether the counters counted it.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

#include "history/bus_frames.h"
#include "timeline/stretch.h"
#include "timeline/style.h"

namespace bruvik {

struct FrameHit {
  BusFrame frame;
  std::vector<BusFrame> partners;  // the frames of other stations it overlapped
  QRectF bar;                      // where it is drawn
};

// The frame drawn at `at` in `area` (as paint_timeline draws it), or none.
std::optional<FrameHit> frame_at(const QRectF& area, const RunRecord& record,
                                 const TimelineSpan& span, const TimelineStyle& style, QPointF at);

QString frame_tooltip(const FrameHit& hit);

}  // namespace bruvik
