// Placeholder until the window is written; replaced, not kept.
#include <cstdio>

#include "ui/window_app.h"

namespace bruvik {

int run_window(const Options&, int&, char**) {
  std::fputs("bruvik: the window is not built yet.\n", stderr);
  return 1;
}

int take_screenshot(const Options&, int&, char**) {
  std::fputs("bruvik: the screenshot is not built yet.\n", stderr);
  return 1;
}

}  // namespace bruvik
