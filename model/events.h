// What happens in a run, for traces, fingerprints and reports. The core only emits events when a
// sink is attached; nothing in the run depends on them.
#pragma once

#include <cstdint>

#include "model/clock.h"

namespace bruvik {

enum class EventKind : std::uint8_t {
  Attempt,    // a station timer ticked
  Sent,       // the attempt put a frame on the bus (`value`: data-sent count after it)
  Collision,  // the frame met another one in transit (`value`: collision count after it)
  Busy,       // a carrier-sensing station found the bus busy
  Deferred,   // a p-persistent station found the bus idle and the coin said wait
  FrameEnd,   // a frame timer hid its frame
  BusBusy,    // the bus was drawn busy
  BusIdle,    // the bus was drawn idle again
  MethodEnd,  // the running method ended (`value`, `value2`: data sent and collisions then)
  Rearm,      // after an attempt: the station timer's interval (`value`)
};

struct Event {
  VirtualMs time = 0;
  EventKind kind = EventKind::Attempt;
  std::int8_t method = -1;   // 0..4 in run order
  std::int8_t station = -1;  // 0..9, -1 when the event is not a station's
  std::int16_t timer = 0;    // the timer whose tick caused it
  double value = 0;
  double value2 = 0;
};

class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void on_event(const Event& event) = 0;
};

}  // namespace bruvik
