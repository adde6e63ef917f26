#include "history/bus_frames.h"

#include <algorithm>
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

void BusTally::count_overlapped(const OnBus& f) {
  if (f.overlapped && f.method >= 0 && f.method < kMethods) {
    ++counts_[static_cast<std::size_t>(f.method)].frames_overlapped;
  }
}

void BusTally::count_collision(int timer) {
  const int family = built_timer(timer).method;
  if (family >= 0) ++counts_[static_cast<std::size_t>(family)].counted_collisions;
}

void BusTally::leave(std::int8_t station, VirtualMs time) {
  // Every frame still on the bus leaves at or after this moment: a pair with one of the
  // station's frames overlaps when its later sending came before it.
  for (OnBus& f : on_bus_) {
    if (f.station != station) continue;
    for (OnBus& g : on_bus_) {
      if (g.station != station && std::max(f.sent, g.sent) < time) {
        f.overlapped = true;
        g.overlapped = true;
      }
    }
  }
  std::erase_if(on_bus_, [&](const OnBus& f) {
    if (f.station != station) return false;
    count_overlapped(f);
    return true;
  });
}

std::array<BusFigures, 5> BusTally::figures(const std::array<std::optional<VirtualMs>, 5>& starts,
                                            const std::array<std::optional<VirtualMs>, 5>& ends,
                                            VirtualMs stop) const {
  // The frames still on the bus leave at the stop.
  BusTally rest = *this;
  for (OnBus& f : rest.on_bus_) {
    for (const OnBus& g : rest.on_bus_) {
      const VirtualMs leaves = std::min(std::max(stop, f.sent), std::max(stop, g.sent));
      if (g.station != f.station && std::max(f.sent, g.sent) < leaves) f.overlapped = true;
    }
    rest.count_overlapped(f);
  }
  std::array<BusFigures, 5> out = rest.counts_;
  for (std::size_t k = 0; k < out.size(); ++k) {
    BusFigures& m = out[k];
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
