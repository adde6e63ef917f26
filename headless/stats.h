// Figures over many runs: mean, standard deviation and the 95 % confidence interval of the mean.
#pragma once

#include <optional>
#include <span>

#include "headless/run.h"

namespace bruvik {

struct Summary {
  int n = 0;                   // values taken
  std::optional<double> mean;  // none without values
  std::optional<double> sd;    // sample standard deviation; none below 2 values
  std::optional<double> ci95_low, ci95_high;
};

// The two-sided 95 % quantile of Student's t with `df` degrees of freedom (df >= 1).
double student_t975(int df);

// Mean, sample standard deviation (n - 1 in the denominator) and
//   mean -/+ t(0.975, n - 1) * sd / sqrt(n)
// as the 95 % confidence interval of the mean. Values that are not finite are left out.
Summary summarize(std::span<const double> values);

// What one method achieved in one run, where it ended. Each figure is left out (none) where it
// cannot be formed: the percentage without data sent, the per-second figure without virtual time.
struct MethodFigures {
  std::optional<double> collision_pct;                  // collisions x 100 / data sent
  std::optional<double> successful_per_virtual_second;  // (data sent - collisions) per second
  // The performance table's own value: the throughput text read as the window reads it to rank
  // (successful sendings per "Seconds passed", which collision displays lengthen).
  std::optional<double> table_value;
  std::optional<double> duration_ms;  // ended_ms - started_ms
  // On the bus, in frames per frame time (see history/bus_frames.h).
  std::optional<double> offered_load, frames_overlapped, throughput_counted, throughput_on_bus;
};
MethodFigures figures(const MethodResult& m);

// Per method over a set of runs: the runs in which it ended, and the figures of those runs.
struct MethodSummary {
  int finished = 0;
  Summary collision_pct, successful_per_virtual_second, table_value, duration_ms;
  Summary offered_load, frames_overlapped, throughput_counted, throughput_on_bus;
};
std::array<MethodSummary, 5> summarize_runs(std::span<const RunResult> runs);

}  // namespace bruvik
