// Placeholder until the terminal modes are written; replaced, not kept.
#include <cstdio>

#include "headless/terminal.h"

namespace bruvik {

int run_terminal(const Options&) {
  std::fputs("bruvik: the terminal run is not built yet.\n", stderr);
  return 1;
}

int dump_state(const Options&) {
  std::fputs("bruvik: the state dump is not built yet.\n", stderr);
  return 1;
}

}  // namespace bruvik
