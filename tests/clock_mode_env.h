// BRUVIK_CLOCK=plain runs the tests with every shortcut of the clock off, so that a test that
// fails in one mode only names the shortcut as the fault. False, having said why, for a value
// that is not a mode.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/clock.h"

namespace bruvik::test {

inline bool apply_clock_mode_env() {
  std::string refused;
  const auto mode = clock_mode_from(std::getenv("BRUVIK_CLOCK"), &refused);
  if (!mode) {
    std::fprintf(stderr, "%s\n", refused.c_str());
    return false;
  }
  set_default_clock_mode(*mode);
  return true;
}

}  // namespace bruvik::test
