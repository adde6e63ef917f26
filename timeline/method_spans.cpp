#include "timeline/method_spans.h"

#include <algorithm>
#include <cstdio>

#include "history/bus_frames.h"
#include "model/form.h"
#include "model/methods.h"

namespace bruvik {

void MethodSpans::update(const RunRecord& record) {
  const auto events = record.events();
  if (events.size() < read_ || (read_ > 0 && events[read_ - 1].tick != last_tick_)) {
    *this = MethodSpans();
  }
  for (; read_ < events.size(); ++read_) {
    const RecordedEvent& e = events[read_];
    if (!starts_[0] && (e.kind == EventKind::Attempt || e.kind == EventKind::Sent)) {
      starts_[0] = e.time;
    } else if (e.kind == EventKind::MethodEnd && e.method >= 0 && e.method < kMethods) {
      const auto k = static_cast<std::size_t>(e.method);
      ends_[k] = e.time;
      if (k + 1 < ends_.size()) starts_[k + 1] = e.time;
    }
  }
  if (read_ > 0) last_tick_ = events[read_ - 1].tick;
}

int MethodSpans::running_at(VirtualMs t) const {
  int running = -1;
  for (int k = 0; k < kMethods; ++k) {
    const auto i = static_cast<std::size_t>(k);
    if (starts_[i] && *starts_[i] <= t) running = k;
  }
  if (running == kMethods - 1 && ends_.back() && *ends_.back() <= t) return kMethods;
  return running;
}

std::string figures_line(const RunRecord& record, const MethodSpans& spans, VirtualMs now) {
  const int running = spans.running_at(now);
  if (running < 0) return "Not started: press \"EnableThe Computers\".";
  const int k = std::min(running, kMethods - 1);
  const auto i = static_cast<std::size_t>(k);
  std::array<std::optional<VirtualMs>, 5> starts{}, ends{};
  starts[i] = spans.starts()[i];
  if (running == kMethods) ends[i] = spans.ends()[i];
  // From a frame time before its start, so that the overlaps of its first frames are known.
  const VirtualMs from = *starts[i] - kFrameTimeMs;
  const BusFigures f = bus_figures(record.between(from, now), starts, ends, now)[i];
  std::string line = methods()[i].name;
  if (running == kMethods) line += " (the run has finished)";
  if (!f.offered_load) return line + ": no figures yet.";
  char figures[160];
  std::snprintf(figures, sizeof figures,
                ": offered load G %.2f, throughput counted %.2f, on the bus %.2f frames per "
                "frame time",
                *f.offered_load, *f.throughput_counted, *f.throughput_on_bus);
  return line + figures;
}

}  // namespace bruvik
