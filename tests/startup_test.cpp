// Start-up: the waiting state Form_Load leaves, the fifty first back-off intervals, the one
// Timer1 tick that follows, and what Form_Load leaves alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"

namespace bruvik {
namespace {

using test::started;

std::vector<int> station_timers_in_order() {
  std::vector<int> out;
  for (int first : {2, 13, 24, 34, 44}) {
    for (int i = 0; i < 10; ++i) out.push_back(first + i);
  }
  return out;
}

TEST(StartUp, EveryControlOfTheStartUpTable) {
  auto form = started();
  struct Row {
    const char* name;
    const char* text;  // nullptr: not checked
    bool enabled;
    bool visible;
  };
  const Row rows[] = {
      {"Text1(0)", "", false, true},     {"Text1(1)", "", false, true},
      {"Text2(0)", "", false, true},     {"Text2(1)", "", false, true},
      {"Text3(0)", "", false, true},     {"Text3(1)", "", false, true},
      {"Text4(0)", "", false, true},     {"Text4(1)", "", false, true},
      {"Text5(0)", "", false, true},     {"Text5(1)", "", false, true},
      {"Text14(0)", "", true, true},     {"Text14(1)", "", true, true},
      {"Text14(2)", "", true, true},     {"Text6", "100", true, true},
      {"Text7", "0", true, true},        {"Text8(0)", "", false, true},
      {"Text8(1)", "", false, true},     {"Text8(2)", "", false, true},
      {"Text8(3)", "", false, true},     {"Text8(4)", "", false, true},
      {"Text9", "Empty", true, true},    {"Text10", "0", true, false},
      {"Text11", "5", false, true},      {"Text12", "5", false, true},
      {"Text13", "5", false, true},      {"Option1", nullptr, false, true},
      {"Option2", nullptr, false, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const Control* c = form->find_named(r.name);
    ASSERT_NE(c, nullptr);
    if (r.text != nullptr) {
      EXPECT_EQ(c->text(), r.text);
    }
    EXPECT_EQ(c->enabled(), r.enabled);
    EXPECT_EQ(c->visible(), r.visible);
  }
  EXPECT_FALSE(form->Option1.value());
  EXPECT_FALSE(form->Option2.value());
  EXPECT_FALSE(form->Label20.visible());
  EXPECT_FALSE(form->Image2.visible());
  for (int i = 0; i < 10; ++i) {
    EXPECT_FALSE(form->Image3[i].visible()) << i;
    EXPECT_FALSE(form->Shape1[i].visible()) << i;
  }
  EXPECT_EQ(form->method_code(), "pure");
  EXPECT_EQ(form->method_index(), 0);
}

TEST(StartUp, LabelCaptionsBusAndTheOtherControlsAreLeftAsBuilt) {
  Form1 built(7, tick_handlers());
  auto form = started(7);
  for (std::size_t n = 0; n < built.controls().size(); ++n) {
    const Control& before = built.controls()[n];
    const Control& after = form->controls()[n];
    if (before.kind() == Kind::TextBox) continue;
    const std::string name = window_name(before.built());
    EXPECT_EQ(after.text(), before.text()) << name;
    EXPECT_EQ(after.border_color(), before.border_color()) << name;
    EXPECT_EQ(after.border_width(), before.border_width()) << name;
    const bool hidden_by_start_up = name == "Label20" || name == "Image2" ||
                                    name.rfind("Image3(", 0) == 0 || name.rfind("Shape1(", 0) == 0;
    EXPECT_EQ(after.visible(), !hidden_by_start_up) << name;
  }
  const std::pair<const char*, const char*> captions[] = {
      {"Label1(0)", "Ready"},
      {"Label1(4)", "Ready"},
      {"Label17(0)", "Not Prosessed"},
      {"Label17(4)", "Not Prosessed"},
      {"Label31", "100"},
      {"Label34", "50"},
      {"Label29", "PROCESSING THE PURE ALOHA METHOD"},
  };
  for (auto [name, caption] : captions) EXPECT_EQ(form->find_named(name)->text(), caption);
}

TEST(StartUp, TimersAfterStartUp) {
  auto form = started();
  const Clock& clock = form->clock();
  struct Row {
    int number;
    std::int32_t interval;
    bool enabled;
    VirtualMs due;
  };
  const Row rows[] = {{1, 10, true, 10},
                      {12, 100, false, -1},
                      {23, 1, true, 1},
                      {54, 1000, false, -1},
                      {65, 50, false, -1}};
  for (const Row& r : rows) {
    EXPECT_EQ(clock.interval(r.number), r.interval) << r.number;
    EXPECT_EQ(clock.enabled(r.number), r.enabled) << r.number;
    EXPECT_EQ(clock.due(r.number), r.due) << r.number;
  }
  for (int i = 0; i < 10; ++i) {
    EXPECT_FALSE(clock.enabled(55 + i));
    EXPECT_EQ(clock.interval(55 + i), 150);
  }
  for (int n : station_timers_in_order()) {
    EXPECT_FALSE(clock.enabled(n)) << n;
    EXPECT_EQ(clock.due(n), -1) << n;
  }
}

TEST(StartUp, FiftyIntervalsAreMultiplesOf125DrawnIndependently) {
  std::map<std::int32_t, int> histogram;
  std::set<std::vector<std::int32_t>> distinct_forms;
  const int forms = 200;
  for (int seed = 1; seed <= forms; ++seed) {
    auto form = started(static_cast<std::uint64_t>(seed));
    std::vector<std::int32_t> intervals;
    for (int n : station_timers_in_order()) {
      const std::int32_t v = form->clock().interval(n);
      EXPECT_EQ(v % 125, 0) << n;
      EXPECT_GE(v, 125);
      EXPECT_LE(v, 6250);
      intervals.push_back(v);
      ++histogram[v];
    }
    const std::set<std::int32_t> values(intervals.begin(), intervals.end());
    // Fifty independent draws from fifty values hit about 32 different ones.
    EXPECT_GE(values.size(), 20u) << "seed " << seed;
    distinct_forms.insert(intervals);
  }
  EXPECT_EQ(static_cast<int>(distinct_forms.size()), forms);
  // Every one of the fifty values occurs, each about 200 times in 10000 draws.
  EXPECT_EQ(histogram.size(), 50u);
  for (auto [value, n] : histogram) {
    EXPECT_GT(n, 120) << value;
    EXPECT_LT(n, 290) << value;
  }
}

TEST(StartUp, IntervalsAreDrawnInTimerOrder) {
  Form1 form(3, tick_handlers());
  std::vector<float> draws;
  for (int k = 1; k <= 50; ++k) draws.push_back(test::draw_for_slots(k));
  for (float r : draws) form.rng().script({r});
  Form_Load(form);
  EXPECT_EQ(form.rng().scripted_left(), 0u);
  int k = 1;
  for (int n : station_timers_in_order()) {
    EXPECT_EQ(form.clock().interval(n), 125 * k) << "Timer" << n;
    ++k;
  }
}

TEST(StartUp, TheRandomLimitIsReadFromLabel34ForEveryDraw) {
  struct Case {
    const char* caption;
    std::set<std::int32_t> allowed;
  };
  const Case cases[] = {
      {"0", {125}}, {"1", {125}}, {" 2 ", {125, 250}}, {"abc", {125}}, {"3x", {125, 250, 375}},
  };
  for (const Case& c : cases) {
    Form1 form(11, tick_handlers());
    form.Label34.set_text(c.caption);
    Form_Load(form);
    std::set<std::int32_t> seen;
    for (int n : station_timers_in_order()) seen.insert(form.clock().interval(n));
    EXPECT_EQ(seen, c.allowed) << '"' << c.caption << '"';
  }
}

TEST(StartUp, AFixedSeedGivesTheSameStartUp) {
  auto a = started(42);
  auto b = started(42);
  auto c = started(43);
  EXPECT_EQ(test::snapshot(*a), test::snapshot(*b));
  EXPECT_NE(test::snapshot(*a), test::snapshot(*c));
}

TEST(StartUp, DrawsAtTheSameClockReadingDiffer) {
  Generator g(5);
  std::set<float> seen;
  for (int n = 0; n < 100; ++n) {
    g.reseed_from_clock(0);
    const float r = g.draw();
    EXPECT_GE(r, 0.0f);
    EXPECT_LT(r, 1.0f);
    seen.insert(r);
  }
  EXPECT_GT(seen.size(), 95u);
  // And a generator that is given draws uses them first, in order.
  g.script({0.5f, 0.25f});
  g.reseed_from_clock(3);
  EXPECT_EQ(g.draw(), 0.5f);
  EXPECT_EQ(g.draw(), 0.25f);
  EXPECT_EQ(g.scripted_left(), 0u);
}

TEST(StartUp, Timer1TicksOnceAt10msAndNothingElseHappens) {
  auto form = started();
  test::Recorder rec;
  form->set_sink(&rec);
  const std::string before = test::snapshot(*form);
  form->advance_to(9);
  EXPECT_EQ(form->Text7.text(), "0");
  EXPECT_TRUE(form->clock().enabled(1));
  form->advance_to(10);
  EXPECT_EQ(form->Text7.text(), "1");
  EXPECT_FALSE(form->clock().enabled(1));
  EXPECT_FALSE(form->Image2.visible());
  form->advance_to(60000);
  EXPECT_EQ(form->Text7.text(), "1");
  EXPECT_TRUE(rec.events.empty());
  // Apart from Text7, Timer1 and the completion test's pending tick, the form is unchanged.
  std::string after = test::snapshot(*form);
  auto without_moving_parts = [](std::string s) {
    std::string out;
    std::size_t pos = 0;
    while (pos < s.size()) {
      const std::size_t end = s.find('\n', pos);
      const std::string row = s.substr(pos, end == std::string::npos ? s.npos : end - pos);
      if (row.rfind("Text7=", 0) != 0 && row.rfind("Timer1 ", 0) != 0 &&
          row.rfind("Timer23 ", 0) != 0 && row.rfind("code ", 0) != 0)
        out += row + '\n';
      if (end == std::string::npos) break;
      pos = end + 1;
    }
    return out;
  };
  EXPECT_EQ(without_moving_parts(after), without_moving_parts(before));
  EXPECT_EQ(form->method_code(), "pure");
  EXPECT_EQ(form->clock().due(23), 60001);
}

TEST(StartUp, Text10AndItsCaptionStayHiddenThroughAWholeRun) {
  test::Settings s;
  s.data_amount = "15";
  Form1 form(9, tick_handlers());
  Form_Load(form);
  ASSERT_TRUE(commit_data_amount(form, s.data_amount).accepted);
  Command1_Click(form);
  for (VirtualMs t = 0; t < 20 * 60 * 1000 && !test::finished(form); t += 1000) {
    form.advance_to(t);
    ASSERT_FALSE(form.Text10.visible());
    ASSERT_FALSE(form.Label20.visible());
    ASSERT_EQ(form.Text10.text(), "0");
  }
  EXPECT_TRUE(test::finished(form));
}

}  // namespace
}  // namespace bruvik
