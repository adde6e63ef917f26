#include "app/timer_table.h"

#include <array>

#include "sim/methods.h"
#include "sim/run/run.h"
#include "sim/stations/stations.h"

namespace bruvik {
namespace {

constexpr std::array<BuiltTimer, 65> build() {
  std::array<BuiltTimer, 65> t{};
  auto set = [&t](int number, std::int32_t interval, bool enabled, TimerRole role, int method,
                  int station, TickHandler handler) {
    t[static_cast<std::size_t>(number - 1)] =
        BuiltTimer{number, interval, enabled, role, method, station, handler};
  };
  set(1, 10, true, TimerRole::CollisionDisplay, -1, -1, collision_display_tick);
  set(12, 100, false, TimerRole::BusBusy, -1, -1, bus_busy_tick);
  set(23, 1, true, TimerRole::CompletionTest, -1, -1, completion_test_tick);
  set(54, 1000, true, TimerRole::SecondsClock, -1, -1, seconds_clock_tick);
  set(65, 50, true, TimerRole::BusBusyDelay, -1, -1, bus_delay_tick);
  for (int k = 0; k < 5; ++k) {
    const Method& m = kMethodTable[static_cast<std::size_t>(k)];
    for (int i = 0; i < 10; ++i) {
      set(m.first_timer + i, 1000 * (i + 1), true, TimerRole::Station, k, i, m.attempt);
    }
  }
  for (int i = 0; i < 10; ++i) {
    set(kFirstFrameTimer + i, 150, true, TimerRole::Frame, -1, i, frame_timer_tick);
  }
  return t;
}

}  // namespace

constexpr std::array<BuiltTimer, 65> kTimerTable = build();

}  // namespace bruvik
