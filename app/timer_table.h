// The 65 timers of the window: how each is built and which handler its tick calls. One table,
// so that no timer is wired by hand.
#pragma once

#include <cstdint>
#include <span>

namespace bruvik {

class Form1;

using TickHandler = void (*)(Form1& form, int station);

enum class TimerRole {
  CollisionDisplay,  // Timer1
  Station,           // ten per method
  BusBusy,           // Timer12
  CompletionTest,    // Timer23
  SecondsClock,      // Timer54
  Frame,             // Timer55..Timer64, one per station
  BusBusyDelay,      // Timer65
};

struct TimerSpec {
  int number;                   // Timer<number>
  std::int32_t built_interval;  // ms
  bool built_enabled;
  TimerRole role;
  int method;   // run order 0..4 for station timers, else -1
  int station;  // 0..9 for station and frame timers, else -1
  TickHandler handler;
};

// Timer1 .. Timer65, in number order.
std::span<const TimerSpec> timer_table();
const TimerSpec& timer_spec(int number);

inline constexpr int kFirstFrameTimer = 55;
int station_timer(int method, int station);
inline int frame_timer(int station) {
  return kFirstFrameTimer + station;
}

}  // namespace bruvik
