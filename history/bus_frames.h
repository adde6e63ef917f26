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

// Per method, over its span [start, end): `starts[k]` is none for a method that did not start,
// `ends[k]` none for one still running at `stop`. A counted collision belongs to the family
// whose counter counts it (the station timer's method), a sending to the method running then.
std::array<BusFigures, 5> bus_figures(std::span<const RecordedEvent> events,
                                      const std::array<std::optional<VirtualMs>, 5>& starts,
                                      const std::array<std::optional<VirtualMs>, 5>& ends,
                                      VirtualMs stop);

// The event kinds the figures read: a run that wants only the figures records just these.
std::uint32_t bus_figure_events();

}  // namespace bruvik
