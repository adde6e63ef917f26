// What the strip under the window shows as text, the same in every front: the run's time and
// the speeds to choose from.
#pragma once

#include <span>
#include <string>

#include "model/clock.h"

namespace bruvik {

struct SpeedChoice {
  double speed;  // 0: as fast as possible
  const char* text;
};
std::span<const SpeedChoice> speed_choices();
// The choice showing `speed`; 1x for a speed not offered.
int speed_index(double speed);

// "03:27.4": minutes, seconds and tenths of a virtual time.
std::string run_time_text(VirtualMs ms);

}  // namespace bruvik
