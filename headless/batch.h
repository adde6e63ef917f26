// Many whole runs side by side: one form per run, as many threads as asked, the results kept by
// run index so that the thread count never changes what is printed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "headless/run.h"

namespace bruvik {

using Runner = std::function<RunResult(const RunParams&)>;

struct BatchRun {
  RunResult result;
  std::optional<std::string> error;  // the run-time error that ended the run, if any
};

// Runs every parameter set, each exactly once, on `threads` threads (0: all cores). A run that
// fails with a run-time error is recorded as such; the others go on.
std::vector<BatchRun> run_batch(const std::vector<RunParams>& params, int threads,
                                const Runner& runner);

// The thread count that `threads` (0: all cores) gives for `jobs` jobs: at least 1, at most jobs.
int worker_count(int threads, std::size_t jobs);

}  // namespace bruvik
