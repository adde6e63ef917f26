// What happened on the bus, read from a run's record: every frame from its sending to the tick
// of its station's frame timer that took it off the bus, whether it overlapped a frame of
// another station, and per method the figures of the textbook (offered load, throughput).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
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

  bool operator==(const BusFigures&) const = default;
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
// them leaves. So a frame overlapped one that left earlier when another station's frame, sent
// before that leaving, left after its own sending; it overlaps one still there when that one
// was sent before it leaves. The first needs only the latest such leaving.
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
  // A station's later frames while its first is still on the bus: seldom any.
  struct Later {
    VirtualMs sent;
    std::int8_t station;
    std::int8_t method;
  };

  // Inline: a run emits a few thousand of these, each a count or two and a few bits.
  void add(EventKind kind, VirtualMs time, std::int8_t method, std::int8_t station,
           std::uint8_t timer) {
    switch (kind) {
      case EventKind::Sent:
        if (in_range(method, kMethods)) ++sendings_[static_cast<std::size_t>(method)];
        if (in_range(station, kStations)) send(station, method, time);
        break;
      case EventKind::Collision:
        if (timer >= 1 && timer <= kTimerCount) count_collision(timer);
        break;
      case EventKind::FrameEnd:
        if (in_range(station, kStations) && (on_bus_ >> station & 1u) != 0) leave(station, time);
        break;
      default:
        break;
    }
  }
  static bool in_range(int v, int n) { return static_cast<unsigned>(v) < static_cast<unsigned>(n); }
  void send(std::int8_t station, std::int8_t method, VirtualMs time) {
    const std::uint32_t bit = 1u << station;
    if ((on_bus_ & bit) != 0) {
      send_later(station, method, time);
      return;
    }
    on_bus_ |= bit;
    first_sent_[static_cast<std::size_t>(station)] = time;
    first_method_[static_cast<std::size_t>(station)] = method;
  }
  // The station's frames leave the bus at `time`: out of line, so that the other events need
  // no registers saved.
  void leave(std::int8_t station, VirtualMs time);
  void send_later(std::int8_t station, std::int8_t method, VirtualMs time);
  void count_collision(int timer);
  void leave_later(std::int8_t station, VirtualMs time, bool others_before, VirtualMs met);
  void count_overlapped(std::int8_t method) {
    if (in_range(method, kMethods)) ++overlapped_[static_cast<std::size_t>(method)];
  }

  std::array<int, kMethods> sendings_{}, collisions_{}, overlapped_{};
  std::uint32_t on_bus_ = 0;  // a bit a station with a frame on the bus
  std::uint32_t later_ = 0;   // a bit a station with more than one
  std::array<VirtualMs, kStations> first_sent_{};
  std::array<std::int8_t, kStations> first_method_{};
  std::vector<Later> later_frames_;
  // The latest leaving of frames sent before it. A station's own leavings come before the
  // sending of each of its frames still on the bus, so they never count for them.
  VirtualMs left_ = std::numeric_limits<VirtualMs>::min();
};

// The event kinds the figures read: a run that wants only the figures records just these.
std::uint32_t bus_figure_events();

}  // namespace bruvik
