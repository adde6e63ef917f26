#include "history/record.h"

#include <algorithm>
#include <cmath>

#include "model/form.h"

namespace bruvik {
namespace {

std::int32_t whole32(double v) {
  constexpr double lo = std::numeric_limits<std::int32_t>::min();
  constexpr double hi = std::numeric_limits<std::int32_t>::max();
  if (v >= lo && v <= hi) return static_cast<std::int32_t>(v);  // the cast truncates
  if (!(v == v)) return 0;
  return static_cast<std::int32_t>(std::clamp(std::trunc(v), lo, hi));
}

}  // namespace

void RunRecord::add(const Event& e, std::uint64_t ticks) {
  if (e.kind == EventKind::Rearm) return;
  if (events_.size() >= capacity_ || ticks > std::numeric_limits<std::uint32_t>::max()) {
    full_ = true;
    return;
  }
  if (events_.capacity() == events_.size()) {
    // Blocks of a quarter of what is there, at least 64 k events: few moves, little slack.
    events_.reserve(
        std::min(capacity_, events_.size() + std::max<std::size_t>(65536, events_.size() / 4)));
  }
  RecordedEvent r;
  r.time = e.time;
  r.tick = static_cast<std::uint32_t>(ticks);
  r.value = whole32(e.value);
  r.value2 = whole32(e.value2);
  r.kind = e.kind;
  r.method = e.method;
  r.station = e.station;
  r.timer = static_cast<std::uint8_t>(e.timer);
  events_.push_back(r);
}

std::span<const RecordedEvent> RunRecord::between(VirtualMs from, VirtualMs to) const {
  const auto by_time = [](const RecordedEvent& r, VirtualMs t) { return r.time < t; };
  const auto first = std::lower_bound(events_.begin(), events_.end(), from, by_time);
  const auto last =
      std::upper_bound(events_.begin(), events_.end(), to,
                       [](VirtualMs t, const RecordedEvent& r) { return t < r.time; });
  if (last <= first) return {};
  return {&*first, static_cast<std::size_t>(last - first)};
}

void RunRecord::truncate_after(std::uint64_t ticks) {
  const auto keep = std::partition_point(events_.begin(), events_.end(),
                                         [&](const RecordedEvent& r) { return r.tick <= ticks; });
  events_.erase(keep, events_.end());
  full_ = false;
}

void RunRecord::clear() {
  events_.clear();
  full_ = false;
}

const RecordedEvent* RunRecord::attempt_before(std::uint64_t ticks) const {
  auto it = std::partition_point(events_.begin(), events_.end(),
                                 [&](const RecordedEvent& r) { return r.tick < ticks; });
  while (it != events_.begin()) {
    --it;
    if (it->kind == EventKind::Attempt) return &*it;
  }
  return nullptr;
}

void RecordSink::on_event(const Event& e) {
  const std::uint64_t ticks = form_.clock().ticks();
  if (skipping_ && ticks <= skip_through_) return;
  record_.add(e, ticks);
}

}  // namespace bruvik
