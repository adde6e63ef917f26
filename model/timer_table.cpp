#include "model/timer_table.h"

#include <array>

namespace bruvik {
namespace {

constexpr std::array<BuiltTimer, 65> build() {
  std::array<BuiltTimer, 65> t{};
  auto set = [&t](int number, std::int32_t interval, bool enabled, TimerRole role, int method,
                  int station) {
    t[static_cast<std::size_t>(number - 1)] =
        BuiltTimer{number, interval, enabled, role, method, station};
  };
  set(1, 10, true, TimerRole::CollisionDisplay, -1, -1);
  set(12, 100, false, TimerRole::BusBusy, -1, -1);
  set(23, 1, true, TimerRole::CompletionTest, -1, -1);
  set(54, 1000, true, TimerRole::SecondsClock, -1, -1);
  set(65, 50, true, TimerRole::BusBusyDelay, -1, -1);
  for (int k = 0; k < 5; ++k) {
    const Method& m = kMethodTable[static_cast<std::size_t>(k)];
    for (int i = 0; i < 10; ++i)
      set(m.first_timer + i, 1000 * (i + 1), true, TimerRole::Station, k, i);
  }
  for (int i = 0; i < 10; ++i) set(kFirstFrameTimer + i, 150, true, TimerRole::Frame, -1, i);
  return t;
}

}  // namespace

constexpr std::array<BuiltTimer, 65> kTimerTable = build();

}  // namespace bruvik
