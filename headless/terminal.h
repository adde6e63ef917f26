// The terminal modes: whole runs (one, many, sweeps) and the state dump.
#pragma once

#include <functional>
#include <ostream>

#include "headless/run.h"
#include "model/events.h"
#include "options/options.h"

namespace bruvik {

// `bruvik --headless [...]`: returns the exit code.
int run_terminal(const Options& options);

// `bruvik --headless --dump-at MS [--start ...]`: prints the window state as JSON.
int dump_state(const Options& options);

// The same, printing to the given streams. `runner` runs one whole run (run_once when empty);
// tests put their own in its place.
using SingleRunner = std::function<RunResult(const RunParams&, EventSink* extra)>;
int run_terminal(const Options& options, std::ostream& out, std::ostream& err,
                 const SingleRunner& runner = {});
int dump_state(const Options& options, std::ostream& out, std::ostream& err);

// The run parameters that the options ask for, with the given seed.
RunParams run_params(const Options& options, std::uint64_t seed);

}  // namespace bruvik
