#include "sim/wiring.h"

#include <array>

#include "model/timer_table.h"
#include "sim/run/run.h"
#include "sim/stations/stations.h"

namespace bruvik {
namespace {

constexpr std::array<TickHandler, 5> kAttempts = {pure_aloha_attempt, slotted_aloha_attempt,
                                                  one_persistent_attempt, non_persistent_attempt,
                                                  p_persistent_attempt};

TickHandler handler_of(const BuiltTimer& t) {
  switch (t.role) {
    case TimerRole::CollisionDisplay:
      return collision_display_tick;
    case TimerRole::Station:
      return kAttempts[static_cast<std::size_t>(t.method)];
    case TimerRole::BusBusy:
      return bus_busy_tick;
    case TimerRole::CompletionTest:
      return completion_test_tick;
    case TimerRole::SecondsClock:
      return seconds_clock_tick;
    case TimerRole::Frame:
      return frame_timer_tick;
    case TimerRole::BusBusyDelay:
      return bus_delay_tick;
  }
  return nullptr;
}

TickHandlers build() {
  TickHandlers h;
  for (const BuiltTimer& t : timer_table())
    h.tick[static_cast<std::size_t>(t.number)] = handler_of(t);
  h.idle_events = event_bit(EventKind::Busy);
  h.idle_probe[23] = completion_test_idle;
  h.idle_probe[12] = bus_busy_tick_idle;
  h.idle_any_interval[12] = true;
  for (int i = 0; i < kStations; ++i) {
    const auto one = static_cast<std::size_t>(station_timer(2, i));
    const auto p = static_cast<std::size_t>(station_timer(4, i));
    h.idle_probe[one] = h.idle_probe[p] = bus_busy_probe;
    h.idle_tick[one] = one_persistent_poll;
    h.idle_tick[p] = p_persistent_poll;
    h.idle_rounds[one] = one_persistent_polls;
    h.idle_rounds[p] = p_persistent_polls;
  }
  return h;
}

}  // namespace

const TickHandlers& tick_handlers() {
  static const TickHandlers handlers = build();
  return handlers;
}

}  // namespace bruvik
