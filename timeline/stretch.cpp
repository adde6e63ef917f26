#include "timeline/stretch.h"

#include <algorithm>

#include "model/form.h"

namespace bruvik {
namespace {

// A frame is on the bus a frame time at most, so the frames that cross the span were sent at
// most that long before it; their partners, at most that long before them.
constexpr VirtualMs kLead = 2 * kFrameTimeMs;
// How far back the bus's state at the span's start is looked for, in events.
constexpr std::size_t kBusLookBack = 200000;

bool bus_busy_before(const RunRecord& record, VirtualMs t) {
  const auto events = record.events();
  const auto at = std::lower_bound(events.begin(), events.end(), t,
                                   [](const RecordedEvent& e, VirtualMs v) { return e.time < v; });
  std::size_t looked = 0;
  for (auto it = at; it != events.begin() && looked < kBusLookBack; ++looked) {
    --it;
    if (it->kind == EventKind::BusBusy) return true;
    if (it->kind == EventKind::BusIdle) return false;
  }
  return false;
}

int method_running_at(const RunRecord& record, VirtualMs start, VirtualMs t) {
  if (start < 0 || t < start) return -1;
  const auto before = record.between(start, t);
  if (before.empty()) return 0;
  const RecordedEvent& last = before.back();
  return last.kind == EventKind::MethodEnd ? last.method + 1 : last.method;
}

}  // namespace

VirtualMs run_start(const RunRecord& record) {
  return record.started().value_or(-1);
}

Stretch derive_stretch(const RunRecord& record, const TimelineSpan& span) {
  Stretch out;
  const auto around = record.between(span.from - kLead, span.to + kLead);
  // Frames cut by the margin's end were sent after the span and overlap none shown.
  out.frames = bus_frames(around, span.end);
  for (std::size_t i = 0; i < out.frames.size(); ++i) {
    const BusFrame& f = out.frames[i];
    if (f.sent <= span.to && (f.off > span.from || f.sent >= span.from)) out.shown.push_back(i);
  }

  bool busy = bus_busy_before(record, span.from);
  VirtualMs busy_from = span.from;
  const VirtualMs start = run_start(record);
  for (const RecordedEvent& e : record.between(span.from, span.to)) {
    switch (e.kind) {
      case EventKind::BusBusy:
        if (!busy) busy_from = e.time;
        busy = true;
        break;
      case EventKind::BusIdle:
        if (busy) out.bus_busy.push_back({busy_from, e.time});
        busy = false;
        break;
      case EventKind::Busy:
      case EventKind::Deferred:
        if (e.station >= 0 && e.station < kStations) {
          out.marks.push_back({e.time, e.station, e.kind});
        }
        break;
      case EventKind::MethodEnd:
        out.boundaries.push_back({e.time, e.method + 1});
        break;
      default:
        break;
    }
  }
  if (busy) out.bus_busy.push_back({busy_from, std::max(busy_from, std::min(span.to, span.end))});
  if (start >= span.from && start <= span.to) {
    out.boundaries.insert(out.boundaries.begin(), {start, 0});
  }
  out.method_at_from = method_running_at(record, start, span.from);
  return out;
}

}  // namespace bruvik
