// What the terminal runs print: one run, many runs and sweeps, each as text, JSON or CSV.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "headless/run.h"
#include "headless/stats.h"
#include "options/options.h"

namespace bruvik {

// One run. The JSON object is the same wherever a run is printed, alone or among many.
std::string run_json(const RunResult& run);
std::string run_text(const RunResult& run);
std::string run_csv(const RunResult& run);

// Runs with the seeds first_seed, first_seed + 1, ... and otherwise the same parameters.
struct BatchReport {
  RunParams params;  // of the first run
  std::uint64_t first_seed = 0;
  std::vector<RunResult> runs;
  std::array<MethodSummary, 5> summary;
};
BatchReport make_batch_report(std::vector<RunResult> runs);
std::string batch_text(const BatchReport& report);
// Streams, run by run: a hundred thousand runs print a few hundred megabytes.
void batch_json(const BatchReport& report, std::ostream& out);
std::string batch_csv(const BatchReport& report);

// One value of a sweep: the same seeds as every other value, its own parameters.
struct SweepPoint {
  long long value = 0;
  RunParams params;
  int runs_finished = 0;
  std::array<MethodSummary, 5> summary;
};
struct SweepReport {
  Sweep sweep;
  RunParams base;  // the fixed values; the swept one is taken from each point
  std::uint64_t first_seed = 0;
  int runs = 0;  // per value
  std::vector<SweepPoint> points;
};
std::string sweep_text(const SweepReport& report);
std::string sweep_json(const SweepReport& report);
std::string sweep_csv(const SweepReport& report);

// The swept quantity in words: "data sending rate" for "rate".
std::string sweep_title(const std::string& name);
// The parameters with `value` put in place of the swept one.
RunParams swept_params(const RunParams& base, const std::string& name, long long value);

// Left- or right-aligned columns, two blanks apart; widths count UTF-8 characters.
std::string aligned_table(const std::vector<std::vector<std::string>>& rows,
                          const std::vector<bool>& right);

}  // namespace bruvik
