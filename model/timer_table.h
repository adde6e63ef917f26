// The 65 timers of the window as built: number, interval, whether enabled, and what each one is
// (which station of which method). Which handler a tick calls is the simulation's business.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "model/methods.h"

namespace bruvik {

enum class TimerRole {
  CollisionDisplay,  // Timer1
  Station,           // ten per method
  BusBusy,           // Timer12
  CompletionTest,    // Timer23
  SecondsClock,      // Timer54
  Frame,             // Timer55..Timer64, one per station
  BusBusyDelay,      // Timer65
};

struct BuiltTimer {
  int number;                   // Timer<number>
  std::int32_t built_interval;  // ms
  bool built_enabled;
  TimerRole role;
  int method;   // run order 0..4 for station timers, else -1
  int station;  // 0..9 for station and frame timers, else -1
};

inline constexpr int kFirstFrameTimer = 55;

// Timer1 .. Timer65, in number order.
extern const std::array<BuiltTimer, 65> kTimerTable;
inline std::span<const BuiltTimer> timer_table() {
  return kTimerTable;
}
inline const BuiltTimer& built_timer(int number) {
  return kTimerTable[static_cast<std::size_t>(number - 1)];
}

// The timer of station i under method k (run order), and the frame timer of station i.
inline int station_timer(int method, int station) {
  return kMethodTable[static_cast<std::size_t>(method)].first_timer + station;
}
inline int frame_timer(int station) {
  return kFirstFrameTimer + station;
}

}  // namespace bruvik
