// The window as built: every control of Form1 in one table, and the window's own properties.
#pragma once

#include <span>

#include "app/control.h"

namespace bruvik {

struct WindowSpec {
  const char* caption;
  int client_width;   // twips
  int client_height;  // twips
  Colour back;
  Colour fore;
};

const WindowSpec& built_window();
std::span<const ControlSpec> built_controls();

inline constexpr int kTwipsPerPixel = 15;

}  // namespace bruvik
