#include "history/record.h"

#include <algorithm>
#include <cmath>

#include "model/form.h"
#include "model/timer_table.h"

namespace bruvik {
namespace {

std::int32_t whole32(double v) {
  constexpr double lo = std::numeric_limits<std::int32_t>::min();
  constexpr double hi = std::numeric_limits<std::int32_t>::max();
  if (v >= lo && v <= hi) return static_cast<std::int32_t>(v);  // the cast truncates
  if (!(v == v)) return 0;
  return static_cast<std::int32_t>(std::clamp(std::trunc(v), lo, hi));
}

constexpr std::uint64_t kMaxOffset = std::numeric_limits<std::uint32_t>::max();

}  // namespace

bool run_begun(const Form1& form) {
  if (form.method_code() != "pure") return false;
  for (int i = 0; i < kStations; ++i) {
    if (form.clock().enabled(station_timer(0, i))) return true;
  }
  return false;
}

void RunRecord::add(const Event& e, std::uint64_t ticks) {
  if (e.kind == EventKind::Rearm) return;
  if (e.kind == EventKind::MethodEnd && e.method >= 0 && e.method < kMethods) {
    ends_[static_cast<std::size_t>(e.method)] = e.time;
    end_ticks_[static_cast<std::size_t>(e.method)] = ticks;
  }
  if (events_.size() >= capacity_) let_go(events_.size() / 2);
  if (!events_.empty() && ticks - base_tick_ > kMaxOffset) {
    // Ticks counted from the base no longer fit: the events too old for a new base go.
    const auto fits = std::partition_point(events_.begin(), events_.end(), [&](const auto& r) {
      return ticks - tick_of(r) > kMaxOffset;
    });
    let_go(static_cast<std::size_t>(fits - events_.begin()));
  }
  if (events_.empty()) {
    base_tick_ = ticks;
  } else if (ticks - base_tick_ > kMaxOffset) {
    const std::uint32_t shift = events_.front().tick;
    for (RecordedEvent& r : events_) r.tick -= shift;
    base_tick_ += shift;
  }
  if (events_.capacity() == events_.size()) {
    // Blocks of a quarter of what is there, at least 64 k events: few moves, little slack.
    events_.reserve(
        std::min(capacity_, events_.size() + std::max<std::size_t>(65536, events_.size() / 4)));
  }
  RecordedEvent r;
  r.time = e.time;
  r.tick = static_cast<std::uint32_t>(ticks - base_tick_);
  r.value = whole32(e.value);
  r.value2 = whole32(e.value2);
  r.kind = e.kind;
  r.method = e.method;
  r.station = e.station;
  r.timer = static_cast<std::uint8_t>(e.timer);
  events_.push_back(r);
}

void RunRecord::let_go(std::size_t keep_from) {
  if (keep_from == 0 || events_.empty()) return;
  keep_from = std::min(keep_from, events_.size());
  // A millisecond is held whole or not at all, so that what is held is complete from a time on.
  const VirtualMs t =
      keep_from < events_.size() ? events_[keep_from].time : events_.back().time + 1;
  auto first = std::partition_point(events_.begin(), events_.end(),
                                    [&](const RecordedEvent& r) { return r.time < t; });
  VirtualMs from = t;
  if (first == events_.begin()) {  // one millisecond fills the record: it goes in part
    first = events_.begin() + static_cast<std::ptrdiff_t>(keep_from);
    from = t + 1;
  }
  events_.erase(events_.begin(), first);
  complete_from_ = std::max(complete_from_, from);
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

void RunRecord::note_start(VirtualMs time, std::uint64_t ticks) {
  started_ = time;
  started_tick_ = ticks;
}

void RunRecord::truncate_after(std::uint64_t ticks) {
  const auto keep = std::partition_point(
      events_.begin(), events_.end(), [&](const RecordedEvent& r) { return tick_of(r) <= ticks; });
  events_.erase(keep, events_.end());
  // The action at this very tick that began the run is being replaced too; if the run still
  // has begun, the new action notes it again.
  if (started_ && started_tick_ >= ticks) started_.reset();
  for (std::size_t k = 0; k < ends_.size(); ++k) {
    if (ends_[k] && end_ticks_[k] > ticks) ends_[k].reset();
  }
}

void RunRecord::clear() {
  events_.clear();
  complete_from_ = 0;
  started_.reset();
  ends_ = {};
}

const RecordedEvent* RunRecord::attempt_before(std::uint64_t ticks) const {
  auto it = std::partition_point(events_.begin(), events_.end(),
                                 [&](const RecordedEvent& r) { return tick_of(r) < ticks; });
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

void RecordSink::action_done() {
  if (!record_.started() && run_begun(form_)) {
    record_.note_start(form_.now(), form_.clock().ticks());
  }
}

}  // namespace bruvik
