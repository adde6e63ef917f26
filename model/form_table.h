// The window as built: every control of Form1 in one table, and the window's own properties.
#pragma once

#include <span>

#include "model/control.h"

namespace bruvik {

struct BuiltWindow {
  const char* caption;
  int client_width;   // twips
  int client_height;  // twips
  Colour back;
  Colour fore;
};

const BuiltWindow& built_window();
std::span<const BuiltControl> built_controls();

inline constexpr int kTwipsPerPixel = 15;

}  // namespace bruvik
