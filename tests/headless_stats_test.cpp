// Figures over many runs: the quantiles of Student's t, mean, sd and confidence interval on
// hand-computed sets, and which runs each method's figures take.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "headless/stats.h"

namespace bruvik {
namespace {

TEST(StudentT, QuantilesMatchTheTable) {
  struct Case {
    int df;
    double t;
  };
  // Two-sided 95 %: the 0.975 quantile, to 12 places. Up to 30 degrees of freedom it is the
  // table's, exact; beyond, the expansion's, within 1e-6 (at 30 the expansion is 3e-8 off).
  const Case cases[] = {{1, 12.706204736175},  {2, 4.302652729749},    {4, 2.776445105198},
                        {9, 2.262157162798},   {29, 2.045229642133},   {30, 2.042272456301},
                        {31, 2.039513446396},  {40, 2.021075390306},   {60, 2.000297822014},
                        {100, 1.983971518524}, {1000, 1.962339080826}, {1000000, 1.959966356814}};
  for (const Case& c : cases) {
    EXPECT_NEAR(student_t975(c.df), c.t, c.df <= 30 ? 1e-12 : 1e-6) << c.df;
  }
  // Falls towards the normal quantile as the degrees of freedom grow.
  for (int df = 1; df < 200; ++df) EXPECT_GT(student_t975(df), student_t975(df + 1)) << df;
}

TEST(Summarize, MeanSdAndIntervalOnHandComputedSets) {
  struct Case {
    std::vector<double> values;
    int n;
    double mean, sd, half;  // half width of the interval; sd < 0: none
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      // 2, 4, 4, 4, 5, 5, 7, 9: mean 5, squares 32, sd sqrt(32 / 7).
      {{2, 4, 4, 4, 5, 5, 7, 9},
       8,
       5,
       2.1380899352993950,
       2.364624251592785 * 2.138089935299395 / std::sqrt(8.0)},
      // 1 and 3: mean 2, sd sqrt(2), half 12.7062 * sqrt(2) / sqrt(2).
      {{1, 3}, 2, 2, 1.4142135623730951, 12.706204736174707},
      // Equal values: no spread.
      {{7, 7, 7}, 3, 7, 0, 0},
      // Values that are not finite are left out: as {10, 20, 30}.
      {{10, inf, 20, std::nan(""), 30}, 3, 20, 10, 4.302652729749464 * 10 / std::sqrt(3.0)},
      // Large values close together: the two-pass sum keeps the spread.
      {{1e9 + 1, 1e9 + 2, 1e9 + 3}, 3, 1e9 + 2, 1, 4.302652729749464 / std::sqrt(3.0)},
  };
  for (const Case& c : cases) {
    const Summary s = summarize(c.values);
    EXPECT_EQ(s.n, c.n);
    ASSERT_TRUE(s.mean && s.sd && s.ci95_low && s.ci95_high);
    EXPECT_NEAR(*s.mean, c.mean, 1e-9);
    EXPECT_NEAR(*s.sd, c.sd, 1e-9);
    EXPECT_NEAR(*s.ci95_low, c.mean - c.half, 1e-7);
    EXPECT_NEAR(*s.ci95_high, c.mean + c.half, 1e-7);
  }
}

TEST(Summarize, TooFewValuesGiveNoSpread) {
  const Summary none = summarize(std::vector<double>{});
  EXPECT_EQ(none.n, 0);
  EXPECT_FALSE(none.mean || none.sd || none.ci95_low || none.ci95_high);
  const Summary one = summarize(std::vector<double>{42});
  EXPECT_EQ(one.n, 1);
  ASSERT_TRUE(one.mean);
  EXPECT_EQ(*one.mean, 42);
  EXPECT_FALSE(one.sd || one.ci95_low || one.ci95_high);
}

MethodResult ended(double sent, double collided, VirtualMs start, VirtualMs end,
                   const char* throughput_text = "  2") {
  MethodResult m;
  m.reached = m.ended = true;
  m.data_sent = sent;
  m.collisions = collided;
  m.started_ms = start;
  m.ended_ms = end;
  m.throughput_text = throughput_text;
  return m;
}

TEST(Figures, PercentagePerSecondTableValueAndDuration) {
  struct Case {
    MethodResult m;
    std::optional<double> pct, thr, table, dur;
  };
  MethodResult not_ended;
  not_ended.reached = true;
  not_ended.started_ms = 100;
  not_ended.throughput_text = " .5";  // what the box shows before the method ends is no figure
  // The table's value comes from the text alone, however far it is from the per-second figure.
  const Case cases[] = {
      {ended(130, 30, 0, 50000, ".81"), 30 * 100.0 / 130, 100 / 50.0, 0.81, 50000},
      {ended(8, 2, 1000, 4000, "  2"), 25, 2, 2, 3000},
      {ended(100, 0, 500, 500, "1.6"), 0, std::nullopt, 1.6, 0},  // no virtual time: no rate
      {ended(0, 0, 0, 10, " .05 "), std::nullopt, 0, 0.05, 10},   // nothing sent: no percentage
      {ended(5, 1, 0, 1000, "2E+1x"), 20, 4, 20, 1000},
      {not_ended, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const MethodFigures f = figures(c.m);
    ASSERT_EQ(f.collision_pct.has_value(), c.pct.has_value());
    ASSERT_EQ(f.successful_per_virtual_second.has_value(), c.thr.has_value());
    ASSERT_EQ(f.table_value.has_value(), c.table.has_value());
    ASSERT_EQ(f.duration_ms.has_value(), c.dur.has_value());
    if (c.pct) {
      EXPECT_DOUBLE_EQ(*f.collision_pct, *c.pct);
    }
    if (c.thr) {
      EXPECT_DOUBLE_EQ(*f.successful_per_virtual_second, *c.thr);
    }
    if (c.table) {
      EXPECT_DOUBLE_EQ(*f.table_value, *c.table) << c.m.throughput_text;
    }
    if (c.dur) {
      EXPECT_DOUBLE_EQ(*f.duration_ms, *c.dur);
    }
  }
}

TEST(SummarizeRuns, EachMethodOverTheRunsInWhichItEnded) {
  // Three runs; pure ALOHA ends in all, slotted in two, the rest in none.
  std::vector<RunResult> runs(3);
  // The table's texts: what the window showed, by "Seconds passed".
  runs[0].methods[0] = ended(110, 10, 0, 50000, "1.6");      // 9.0909..%, 2 /s
  runs[1].methods[0] = ended(120, 20, 0, 40000, "  2");      // 16.66..%, 2.5 /s
  runs[2].methods[0] = ended(150, 50, 0, 25000, "3.1");      // 33.33..%, 4 /s
  runs[0].methods[1] = ended(100, 0, 50000, 100000, ".89");  // 0 %, 2 /s
  runs[1].methods[1] = ended(200, 50, 40000, 90000, "2.5");  // 25 %, 3 /s
  runs[2].methods[1].reached = true;
  runs[2].methods[1].throughput_text = "  9";  // not ended: left out
  const auto s = summarize_runs(runs);

  EXPECT_EQ(s[0].finished, 3);
  ASSERT_TRUE(s[0].successful_per_virtual_second.mean && s[0].successful_per_virtual_second.sd);
  EXPECT_NEAR(*s[0].successful_per_virtual_second.mean, 8.5 / 3, 1e-12);
  // Deviations -0.8333, -0.3333, 1.1667: squares 2.1667 over 2.
  EXPECT_NEAR(*s[0].successful_per_virtual_second.sd,
              std::sqrt((0.6944444444444 + 0.1111111111111 + 1.3611111111111) / 2), 1e-9);
  EXPECT_NEAR(*s[0].collision_pct.mean, (1000.0 / 110 + 2000.0 / 120 + 5000.0 / 150) / 3, 1e-9);
  EXPECT_NEAR(*s[0].duration_ms.mean, 115000.0 / 3, 1e-9);
  // 1.6, 2 and 3.1: mean 2.2333, deviations -0.6333, -0.2333, 0.8667: squares 1.2067 over 2.
  EXPECT_EQ(s[0].table_value.n, 3);
  EXPECT_NEAR(*s[0].table_value.mean, 6.7 / 3, 1e-12);
  EXPECT_NEAR(*s[0].table_value.sd, std::sqrt((0.40111111111 + 0.05444444444 + 0.75111111111) / 2),
              1e-9);

  EXPECT_EQ(s[1].finished, 2);
  EXPECT_EQ(s[1].successful_per_virtual_second.n, 2);
  EXPECT_NEAR(*s[1].successful_per_virtual_second.mean, 2.5, 1e-12);
  EXPECT_NEAR(*s[1].successful_per_virtual_second.sd, std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(
      *s[1].successful_per_virtual_second.ci95_high - *s[1].successful_per_virtual_second.ci95_low,
      2 * 12.706204736174707 * 0.5, 1e-9);
  // .89 and 2.5; the run where it did not end is left out.
  EXPECT_EQ(s[1].table_value.n, 2);
  EXPECT_NEAR(*s[1].table_value.mean, 1.695, 1e-12);
  EXPECT_NEAR(*s[1].collision_pct.mean, 12.5, 1e-12);

  for (std::size_t k = 2; k < 5; ++k) {
    EXPECT_EQ(s[k].finished, 0);
    EXPECT_FALSE(s[k].successful_per_virtual_second.mean.has_value());
    EXPECT_EQ(s[k].table_value.n, 0);
    EXPECT_FALSE(s[k].duration_ms.mean.has_value());
  }
}

}  // namespace
}  // namespace bruvik
