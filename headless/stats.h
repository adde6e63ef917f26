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
// cannot be formed: the percentage without data sent, the throughput without virtual time.
struct MethodFigures {
  std::optional<double> collision_pct;  // collisions x 100 / data sent
  std::optional<double> throughput;     // (data sent - collisions) per virtual second
  std::optional<double> duration_ms;    // ended_ms - started_ms
};
MethodFigures figures(const MethodResult& m);

// Per method over a set of runs: the runs in which it ended, and the three figures.
struct MethodSummary {
  int finished = 0;
  Summary collision_pct, throughput, duration_ms;
};
std::array<MethodSummary, 5> summarize_runs(std::span<const RunResult> runs);

}  // namespace bruvik
