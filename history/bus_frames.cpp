#include "history/bus_frames.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "model/form.h"
#include "model/timer_table.h"

namespace bruvik {
namespace {

bool overlap(const BusFrame& a, const BusFrame& b) {
  return std::max(a.sent, b.sent) < std::min(a.off, b.off);
}

// The largest value noted and, apart, the largest of the other stations', so that a station
// can ask for the largest among all stations but its own.
class Furthest {
 public:
  void note(int station, VirtualMs v) {
    if (station == best_station_) {
      best_ = std::max(best_, v);
    } else if (v > best_) {
      second_ = best_;
      best_ = v;
      best_station_ = station;
    } else {
      second_ = std::max(second_, v);
    }
  }
  VirtualMs other_than(int station) const { return station == best_station_ ? second_ : best_; }

 private:
  static constexpr VirtualMs kNone = std::numeric_limits<VirtualMs>::min();
  VirtualMs best_ = kNone, second_ = kNone;
  int best_station_ = -1;
};

}  // namespace

std::vector<BusFrame> bus_frames(std::span<const RecordedEvent> events, VirtualMs stop) {
  std::vector<BusFrame> frames;
  std::array<std::vector<std::size_t>, kStations> open;  // per station, frames on the bus
  for (std::size_t i = 0; i < events.size(); ++i) {
    const RecordedEvent& e = events[i];
    if (e.station < 0 || e.station >= kStations) continue;
    auto& on_bus = open[static_cast<std::size_t>(e.station)];
    if (e.kind == EventKind::Sent) {
      BusFrame f;
      f.station = e.station;
      f.method = e.method;
      f.sent = e.time;
      f.event = static_cast<std::uint32_t>(i);
      on_bus.push_back(frames.size());
      frames.push_back(f);
    } else if (e.kind == EventKind::Collision) {
      // The collision follows its own sending, in the same tick.
      if (!on_bus.empty()) {
        BusFrame& f = frames[on_bus.back()];
        if (events[f.event].tick == e.tick) f.counted = true;
      }
    } else if (e.kind == EventKind::FrameEnd) {
      for (const std::size_t k : on_bus) {
        frames[k].off = e.time;
        frames[k].ended = true;
      }
      on_bus.clear();
    }
  }
  for (auto& on_bus : open) {
    for (const std::size_t k : on_bus) frames[k].off = std::max(stop, frames[k].sent);
  }
  // In order of sending, a frame overlaps one sent before it when that one is still on the bus
  // after its sending, and one sent after it when that one comes before it leaves. Two sweeps,
  // one each way, find both, however many frames are on the bus at once.
  Furthest latest_off;
  for (BusFrame& f : frames) {
    if (f.sent < f.off && latest_off.other_than(f.station) > f.sent) f.overlapped = true;
    latest_off.note(f.station, f.off);
  }
  Furthest earliest_sent;  // of the frames sent after, negated: the earliest sending
  for (auto f = frames.rbegin(); f != frames.rend(); ++f) {
    if (earliest_sent.other_than(f->station) > -f->off) f->overlapped = true;
    if (f->sent < f->off) earliest_sent.note(f->station, -f->sent);
  }
  return frames;
}

std::vector<std::size_t> overlap_partners(std::span<const BusFrame> frames, std::size_t i) {
  std::vector<std::size_t> out;
  const BusFrame& f = frames[i];
  // Frames sent before it overlap only when sent less than a frame time earlier, unless one
  // was still on the bus at the record's end.
  for (std::size_t j = 0; j < frames.size(); ++j) {
    if (j != i && frames[j].station != f.station && overlap(f, frames[j])) out.push_back(j);
    if (frames[j].sent >= f.off) break;
  }
  return out;
}

std::array<BusFigures, 5> bus_figures(std::span<const RecordedEvent> events,
                                      const std::array<std::optional<VirtualMs>, 5>& starts,
                                      const std::array<std::optional<VirtualMs>, 5>& ends,
                                      VirtualMs stop) {
  BusTally tally;
  for (const RecordedEvent& e : events) tally.add(e);
  return tally.figures(starts, ends, stop);
}

void BusTally::send_later(std::int8_t station, std::int8_t method, VirtualMs time) {
  later_frames_.push_back({time, station, method});
  later_ |= 1u << station;
}

void BusTally::count_collision(int timer) {
  const int family = built_timer(timer).method;
  if (family >= 0) ++collisions_[static_cast<std::size_t>(family)];
}

// Every frame still on the bus leaves at or after this moment: one of another station sent before
// it overlaps the station's frames sent before it. That one learns it at its own leaving, from the
// leaving noted here.
void BusTally::leave(std::int8_t station, VirtualMs time) {
  const std::uint32_t bit = 1u << station;
  bool others_before = false;  // seldom more than one other station's frame to look at
  for (std::uint32_t m = on_bus_ & ~bit; m != 0; m &= m - 1) {
    if (first_sent_[static_cast<std::size_t>(std::countr_zero(m))] < time) {
      others_before = true;
      break;
    }
  }
  const VirtualMs met = left_;
  const auto s = static_cast<std::size_t>(station);
  const VirtualMs sent = first_sent_[s];
  if ((sent < time && others_before) || met > sent) count_overlapped(first_method_[s]);
  on_bus_ &= ~bit;
  if (sent < time) left_ = std::max(left_, time);
  // Last, so that the common case keeps nothing across a call.
  if ((later_ & bit) != 0) leave_later(station, time, others_before, met);
}

void BusTally::leave_later(std::int8_t station, VirtualMs time, bool others_before, VirtualMs met) {
  std::erase_if(later_frames_, [&](const Later& f) {
    if (f.station != station) return false;
    if ((f.sent < time && others_before) || met > f.sent) count_overlapped(f.method);
    return true;
  });
  later_ &= ~(1u << station);
}

std::array<BusFigures, 5> BusTally::figures(const std::array<std::optional<VirtualMs>, 5>& starts,
                                            const std::array<std::optional<VirtualMs>, 5>& ends,
                                            VirtualMs stop) const {
  // The frames still on the bus leave at the stop.
  struct Rest {
    VirtualMs sent;
    std::int8_t station;
    std::int8_t method;
  };
  std::vector<Rest> rest;
  for (std::uint32_t m = on_bus_; m != 0; m &= m - 1) {
    const int station = std::countr_zero(m);
    const auto s = static_cast<std::size_t>(station);
    rest.push_back({first_sent_[s], static_cast<std::int8_t>(station), first_method_[s]});
  }
  for (const Later& f : later_frames_) rest.push_back({f.sent, f.station, f.method});
  std::array<int, kMethods> overlapped_rest = overlapped_;
  for (const Rest& f : rest) {
    bool overlapped = left_ > f.sent;
    for (const Rest& g : rest) {
      const VirtualMs leaves = std::min(std::max(stop, f.sent), std::max(stop, g.sent));
      if (g.station != f.station && std::max(f.sent, g.sent) < leaves) overlapped = true;
    }
    if (overlapped && in_range(f.method, kMethods)) {
      ++overlapped_rest[static_cast<std::size_t>(f.method)];
    }
  }
  std::array<BusFigures, 5> out{};
  for (std::size_t k = 0; k < out.size(); ++k) {
    BusFigures& m = out[k];
    m.sendings = sendings_[k];
    m.counted_collisions = collisions_[k];
    m.frames_overlapped = overlapped_rest[k];
    if (!starts[k]) continue;
    m.duration_ms = ends[k].value_or(stop) - *starts[k];
    if (m.duration_ms <= 0) continue;
    const double per_frame_time = static_cast<double>(kFrameTimeMs) / m.duration_ms;
    m.offered_load = m.sendings * per_frame_time;
    m.throughput_counted = (m.sendings - m.counted_collisions) * per_frame_time;
    m.throughput_on_bus = (m.sendings - m.frames_overlapped) * per_frame_time;
  }
  return out;
}

std::uint32_t bus_figure_events() {
  return event_bit(EventKind::Sent) | event_bit(EventKind::Collision) |
         event_bit(EventKind::FrameEnd) | event_bit(EventKind::MethodEnd);
}

}  // namespace bruvik
