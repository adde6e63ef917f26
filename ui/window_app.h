// The window modes: the window itself, and a screenshot rendered without a display.
#pragma once

#include "options/options.h"

namespace bruvik {

// `bruvik [--seed N] [--speed X]`: opens the window; returns the exit code.
int run_window(const Options& options, int& argc, char** argv);

// `bruvik --screenshot FILE [--at MS] [--start ...]`: writes the PNG and returns the exit code.
int take_screenshot(const Options& options, int& argc, char** argv);

}  // namespace bruvik
