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
  h.idle_timer = 23;
  h.idle_probe = completion_test_idle;
  return h;
}

}  // namespace

const TickHandlers& tick_handlers() {
  static const TickHandlers handlers = build();
  return handlers;
}

}  // namespace bruvik
