// What a stretch of a run's record shows on the timeline: the frames that cross it with their
// overlaps, when the bus was drawn busy, each sensing of a busy bus and each deferral, and where
// the methods began and ended. Only the events of the stretch and a little around it are read.
#pragma once

#include <cstddef>
#include <vector>

#include "history/bus_frames.h"
#include "history/record.h"

namespace bruvik {

// The stretch of virtual time shown, the present moment in it and where the record stops.
struct TimelineSpan {
  VirtualMs from = 0;
  VirtualMs to = 3000;
  VirtualMs cursor = -1;  // the present moment; none when negative
  VirtualMs end = 0;      // the record's end: a frame still on the bus reaches up to here
  bool operator==(const TimelineSpan&) const = default;
};

struct StationMark {
  VirtualMs time = 0;
  int station = 0;
  EventKind kind = EventKind::Busy;  // Busy or Deferred
};

struct BusyStretch {
  VirtualMs from = 0;
  VirtualMs to = 0;
};

// Method `begins` starts at `time` (kMethods: the run finished there).
struct MethodBoundary {
  VirtualMs time = 0;
  int begins = 0;
};

struct Stretch {
  std::vector<BusFrame> frames;    // every frame derived around the span, in order of sending
  std::vector<std::size_t> shown;  // those that cross the span
  std::vector<BusyStretch> bus_busy;
  std::vector<StationMark> marks;
  std::vector<MethodBoundary> boundaries;
  int method_at_from = -1;  // running at the span's start: -1 before the run, kMethods after it
};

Stretch derive_stretch(const RunRecord& record, const TimelineSpan& span);

// When method 0 began (run_begun); -1 before it.
VirtualMs run_start(const RunRecord& record);

}  // namespace bruvik
