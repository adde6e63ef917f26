// Whole runs over many seeds and operator settings: every method delivers its data amount,
// its statistics line agrees with its counts, the table ends sorted with ties in run order, a
// seed gives the same run twice, and the idle probes change nothing.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

struct RunCase {
  const char* what;
  Settings settings;
  std::uint64_t first_seed;
  int seeds;
};

const std::vector<RunCase>& run_cases() {
  static const std::vector<RunCase> cases = {
      {"default settings", {5, 5, 5, "100"}, 1, 50},
      {"slot and busy duration 1000", {1, 5, 10, "40"}, 101, 6},
      {"slot and busy duration 10", {10, 5, 1, "40"}, 201, 6},
      {"random limit 20", {5, 8, 5, "40"}, 301, 6},
      {"random limit 80", {5, 2, 5, "30"}, 401, 6},
      {"slot 83, random limit 60", {6, 4, 5, "25"}, 501, 6},
  };
  return cases;
}

struct Observed {
  const RunCase* c;
  std::uint64_t seed;
  WholeRun run;
};

const std::vector<Observed>& observed() {
  static const std::vector<Observed> runs = [] {
    std::vector<Observed> out;
    for (const RunCase& c : run_cases()) {
      for (int n = 0; n < c.seeds; ++n) {
        const std::uint64_t seed = c.first_seed + static_cast<std::uint64_t>(n);
        out.push_back({&c, seed, run_whole(seed, c.settings)});
      }
    }
    return out;
  }();
  return runs;
}

std::string trimmed_tail(const std::string& line) {
  const std::string t(numtext::trim(line));
  return std::string(numtext::trim(t.size() > 3 ? t.substr(t.size() - 3) : t));
}

class EveryMethod : public ::testing::TestWithParam<int> {};

TEST_P(EveryMethod, DeliversItsDataAmountAndItsLineAgreesWithItsCounts) {
  const int k = GetParam();
  for (const Observed& o : observed()) {
    SCOPED_TRACE(testing::Message() << o.c->what << ", seed " << o.seed);
    const MethodRecord& m = o.run.methods[static_cast<std::size_t>(k)];
    ASSERT_TRUE(m.ended);
    const double amount = numtext::val(o.c->settings.data_amount);
    const double successful = m.sent - m.collisions;
    EXPECT_GE(successful, amount);
    EXPECT_LT(successful, amount + 10);  // the test runs every millisecond
    EXPECT_EQ(m.sendings_seen, m.sent);
    EXPECT_NE(m.line, "Ready");
    EXPECT_EQ(m.line, m.expected_line);
    if (k > 0) {
      EXPECT_GE(m.ended_at, o.run.methods[static_cast<std::size_t>(k) - 1].ended_at);
    }
    // Its row of the table pairs its name with the end of its line.
    int rows = 0;
    for (int row = 0; row < 5; ++row) {
      if (o.run.names[static_cast<std::size_t>(row)] != kNames[k]) continue;
      ++rows;
      EXPECT_EQ(o.run.values[static_cast<std::size_t>(row)], trimmed_tail(m.line));
    }
    EXPECT_EQ(rows, 1);
  }
}

std::string method_name(const ::testing::TestParamInfo<int>& info) {
  static const char* const names[5] = {"Pure", "Slotted", "OnePersistent", "NonPersistent",
                                       "PPersistent"};
  return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(WholeRuns, EveryMethod, ::testing::Range(0, 5), method_name);

TEST(WholeRun, EveryRunFinishesWithTheTableSortedAndTiesInRunOrder) {
  int ties = 0;
  for (const Observed& o : observed()) {
    SCOPED_TRACE(testing::Message() << o.c->what << ", seed " << o.seed);
    ASSERT_TRUE(o.run.finished);
    for (int row = 0; row + 1 < 5; ++row) {
      const double here = numtext::val(o.run.values[static_cast<std::size_t>(row)]);
      const double next = numtext::val(o.run.values[static_cast<std::size_t>(row) + 1]);
      EXPECT_GE(here, next) << row;
      if (here == next) {
        ++ties;
        int a = -1, b = -1;
        for (int k = 0; k < 5; ++k) {
          if (o.run.names[static_cast<std::size_t>(row)] == kNames[k]) a = k;
          if (o.run.names[static_cast<std::size_t>(row) + 1] == kNames[k]) b = k;
        }
        EXPECT_LT(a, b) << "tie at row " << row;
      }
    }
  }
  EXPECT_GT(ties, 0) << "no run had a tie; the tie order went untested";
}

TEST(WholeRun, AFixedSeedGivesTheSameRunTwice) {
  for (const RunCase& c : run_cases()) {
    const WholeRun a = run_whole(c.first_seed, c.settings);
    const WholeRun b = run_whole(c.first_seed, c.settings);
    EXPECT_EQ(a.snapshot, b.snapshot) << c.what;
    EXPECT_EQ(a.end, b.end) << c.what;
  }
  const WholeRun one = run_whole(1, run_cases()[0].settings);
  const WholeRun two = run_whole(2, run_cases()[0].settings);
  EXPECT_NE(one.snapshot, two.snapshot);
}

// The fast lane changes nothing but the cost: the same run with every shortcut off, compared
// whole (generator and pending ticks too) after slices of every size, so that skips, idle
// ticks and the rounds of many milliseconds all come in.
TEST(WholeRun, TheFastLaneChangesNothing) {
  for (const RunCase& c : run_cases()) {
    for (int n = 0; n < 2; ++n) {
      const std::uint64_t seed = c.first_seed + 1000 + static_cast<std::uint64_t>(n);
      SCOPED_TRACE(testing::Message() << c.what << ", seed " << seed);
      std::unique_ptr<Form1> forms[2];
      for (int m = 0; m < 2; ++m) {
        const ClockModeScope scope(m == 0 ? ClockMode::Fast : ClockMode::Plain);
        forms[m] = std::make_unique<Form1>(seed, tick_handlers());
        Form_Load(*forms[m]);
        press_to_operator_values(*forms[m], c.settings.mtu, c.settings.rate,
                                 c.settings.frame_length);
        ASSERT_TRUE(commit_data_amount(*forms[m], c.settings.data_amount).accepted);
        Command1_Click(*forms[m]);
      }
      VirtualMs t = 0;
      for (int k = 0; !finished(*forms[1]) && t < 4 * 3600 * 1000; ++k) {
        t += 1 + (k * 37 % 11) * (k % 3 == 0 ? 1 : 97);
        for (auto& f : forms) f->advance_to(t);
        ASSERT_EQ(forms[0]->clock().ticks(), forms[1]->clock().ticks()) << "at " << t;
        ASSERT_EQ(forms[0]->clock().ticks_v1(), forms[1]->clock().ticks_v1()) << "at " << t;
        ASSERT_EQ(snapshot(*forms[0]), snapshot(*forms[1])) << "at " << t;
      }
      EXPECT_TRUE(finished(*forms[0]));
      EXPECT_GT(forms[0]->clock().skipped(), 0u);
    }
  }
}

// The same claim millisecond by millisecond where the completion test passes on every tick:
// a data amount of 0 or less, typed before the run or after its end.
TEST(WholeRun, TheIdleProbeChangesNothingWhileTestsKeepPassing) {
  struct Case {
    const char* amount;
    bool after_a_run;
  };
  const Case cases[] = {{"0", false}, {"-5", false}, {"0", true}, {"-1000000", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.amount << (c.after_a_run ? " after a run" : ""));
    std::unique_ptr<Form1> forms[2];
    for (int m = 0; m < 2; ++m) {
      const ClockModeScope scope(m == 0 ? ClockMode::Fast : ClockMode::Plain);
      forms[m] = std::make_unique<Form1>(77, tick_handlers());
    }
    for (auto& f : forms) {
      Form_Load(*f);
      ASSERT_TRUE(commit_data_amount(*f, "20").accepted);
      Command1_Click(*f);
      if (c.after_a_run) {
        while (!finished(*f) && f->now() < 3600000) f->advance_to(f->now() + 1000);
        ASSERT_TRUE(finished(*f));
      } else {
        f->advance_to(100);
      }
    }
    const VirtualMs start = forms[0]->now();
    ASSERT_EQ(forms[1]->now(), start);
    for (auto& f : forms) ASSERT_TRUE(commit_data_amount(*f, c.amount).accepted);
    for (VirtualMs t = start; t <= start + 2500; ++t) {
      for (auto& f : forms) f->advance_to(t);
      ASSERT_EQ(snapshot(*forms[0]), snapshot(*forms[1])) << "at " << t;
    }
    EXPECT_TRUE(finished(*forms[0]));
  }
}

}  // namespace
}  // namespace bruvik
