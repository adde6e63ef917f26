// The terminal modes: whole runs (one, many, sweeps) and the state dump.
#pragma once

#include "app/options.h"

namespace bruvik {

// `bruvik --headless [...]`: returns the exit code.
int run_terminal(const Options& options);

// `bruvik --headless --dump-at MS [--start ...]`: prints the window state as JSON.
int dump_state(const Options& options);

}  // namespace bruvik
