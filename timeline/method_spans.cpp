#include "timeline/method_spans.h"

#include <algorithm>
#include <cstdio>

#include "history/bus_frames.h"
#include "model/form.h"
#include "model/methods.h"

namespace bruvik {

void MethodSpans::update(const RunRecord& record) {
  starts_ = {};
  starts_[0] = record.started();
  ends_ = record.method_ends();
  for (std::size_t k = 0; k + 1 < ends_.size(); ++k) {
    if (ends_[k]) starts_[k + 1] = ends_[k];
  }
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

std::optional<VirtualMs> MethodSpans::finished_by(VirtualMs t) const {
  return running_at(t) == kMethods ? ends_.back() : std::nullopt;
}

std::string figures_line(const RunRecord& record, const MethodSpans& spans, VirtualMs now) {
  const int running = spans.running_at(now);
  if (running < 0) return "Not started: press \"EnableThe Computers\".";
  const int k = std::min(running, kMethods - 1);
  const auto i = static_cast<std::size_t>(k);
  std::array<std::optional<VirtualMs>, 5> starts{}, ends{};
  starts[i] = spans.starts()[i];
  if (running == kMethods) ends[i] = spans.ends()[i];
  std::string line = methods()[i].name;
  // Over what the record still holds of the method, from a frame time after the let-go
  // stretch, so that the overlaps of its first frames are known.
  if (record.complete_from() > 0 && *starts[i] < record.complete_from() + kFrameTimeMs) {
    starts[i] = record.complete_from() + kFrameTimeMs;
    char since[64];
    std::snprintf(since, sizeof since, " since %.1f s (earlier events not kept)",
                  static_cast<double>(*starts[i]) / 1000.0);
    line += since;
    if (*starts[i] >= now) return line + ": no figures yet.";
  }
  // From a frame time before its start, so that the overlaps of its first frames are known.
  const VirtualMs from = *starts[i] - kFrameTimeMs;
  const BusFigures f = bus_figures(record.between(from, now), starts, ends, now)[i];
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
