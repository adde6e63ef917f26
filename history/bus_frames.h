// What happened on the bus, read from a run's record: every frame from its sending to the tick
// of its station's frame timer that took it off the bus, whether it overlapped a frame of
// another station, and per method the figures of the textbook (offered load, throughput).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "history/record.h"
#include "model/events.h"
#include "model/form.h"

namespace bruvik {

// The frame timers' interval: how long a frame is on the bus at most.
inline constexpr VirtualMs kFrameTimeMs = 150;

struct BusFrame {
  std::int8_t station = 0;
  std::int8_t method = 0;  // the method running when it was sent
  VirtualMs sent = 0;
  VirtualMs off = 0;        // taken off the bus; the record's end when it was still on it
  bool ended = false;       // false: still on the bus when the record stops
  bool overlapped = false;  // shared a positive length of time with another station's frame
  bool counted = false;     // its sending was counted as a collision
  std::uint32_t event = 0;  // index of its Sent event in the events given
};

// The frames of `events` (a run's record, or a stretch of it that begins at a quiet moment, no
// frame on the bus), in order of sending. A frame still on the bus ends at `stop`. A station's
// second sending while its frame timer runs ends with the first: the one tick ends both.
std::vector<BusFrame> bus_frames(std::span<const RecordedEvent> events, VirtualMs stop);

// Indices of the frames that `frames[i]` overlapped.
std::vector<std::size_t> overlap_partners(std::span<const BusFrame> frames, std::size_t i);

// One method's figures. Throughputs and the offered load are in frames per frame time.
struct BusFigures {
  int sendings = 0;
  int counted_collisions = 0;  // as its collision counter counts them
  int frames_overlapped = 0;
  VirtualMs duration_ms = 0;
  std::optional<double> offered_load;  // none without a duration
  std::optional<double> throughput_counted;
  std::optional<double> throughput_on_bus;
};

// Per method, over its span [start, end), from `events` in order of time as a record holds
// them (the figures are tallied as by BusTally): `starts[k]` is none for a method that did not
// start, `ends[k]` none for one still running at `stop`. A counted collision belongs to the family
// whose counter counts it (the station timer's method), a sending to the method running then.
std::array<BusFigures, 5> bus_figures(std::span<const RecordedEvent> events,
                                      const std::array<std::optional<VirtualMs>, 5>& starts,
                                      const std::array<std::optional<VirtualMs>, 5>& ends,
                                      VirtualMs stop);

// The figures taken event by event as a run emits them (in order of time), for a run that
// keeps no record: the same figures bus_figures reads from the record, without storing it.
// Two frames of different stations overlap when the later sending comes before the first of
// them leaves, so each pair is settled when one of them leaves, or at the stop.
class BusTally {
 public:
  void add(const RecordedEvent& e) { add(e.kind, e.time, e.method, e.station, e.timer); }
  // The event as the record would keep it, without the values the figures do not read.
  void add(const Event& e) {
    add(e.kind, e.time, e.method, e.station, static_cast<std::uint8_t>(e.timer));
  }
  std::array<BusFigures, 5> figures(const std::array<std::optional<VirtualMs>, 5>& starts,
                                    const std::array<std::optional<VirtualMs>, 5>& ends,
                                    VirtualMs stop) const;

 private:
  struct OnBus {
    VirtualMs sent;
    std::int8_t station;
    std::int8_t method;
    bool overlapped;
  };

  // Inline: a run emits a few thousand of these, most of them a count and no more.
  void add(EventKind kind, VirtualMs time, std::int8_t method, std::int8_t station,
           std::uint8_t timer) {
    const bool on_bus = station >= 0 && station < kStations;
    if (kind == EventKind::Sent) {
      if (method >= 0 && method < kMethods) ++counts_[static_cast<std::size_t>(method)].sendings;
      if (on_bus) on_bus_.push_back({time, station, method, false});
    } else if (kind == EventKind::Collision) {
      if (timer >= 1 && timer <= kTimerCount) count_collision(timer);
    } else if (kind == EventKind::FrameEnd && on_bus) {
      leave(station, time);
    }
  }
  void count_collision(int timer);
  // The station's frames leave the bus at `time`.
  void leave(std::int8_t station, VirtualMs time);
  void count_overlapped(const OnBus& f);

  std::array<BusFigures, 5> counts_{};
  std::vector<OnBus> on_bus_;  // a few at once: one a station, seldom two
};

// The event kinds the figures read: a run that wants only the figures records just these.
std::uint32_t bus_figure_events();

}  // namespace bruvik
