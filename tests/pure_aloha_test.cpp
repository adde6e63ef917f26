// Pure ALOHA stations and the collision display timer Timer1.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/runtime_error.h"
#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

TEST(PureAloha, AStationAloneNeverCollides) {
  auto form = started(17);
  Recorder rec;
  form->set_sink(&rec);
  form->Image3[6].set_visible(true);
  start_station(*form, kPure, 6, 125);
  form->advance_to(60000);
  const auto attempts = rec.of(EventKind::Attempt);
  ASSERT_GT(attempts.size(), 10u);
  EXPECT_EQ(form->Text1[0].text(), std::to_string(attempts.size()));
  EXPECT_EQ(form->Text1[1].text(), "");
  EXPECT_FALSE(form->Image3[6].visible());
  EXPECT_EQ(rec.count(EventKind::Collision), 0);
  for (const Event& e : rec.of(EventKind::Rearm)) {
    EXPECT_EQ(static_cast<int>(e.value) % 125, 0);
    EXPECT_GE(e.value, 125);
    EXPECT_LE(e.value, 6250);
  }
  // Each attempt comes one re-armed interval after the previous one.
  const auto rearms = rec.of(EventKind::Rearm);
  for (std::size_t n = 1; n < attempts.size(); ++n) {
    EXPECT_EQ(attempts[n].time - attempts[n - 1].time, static_cast<VirtualMs>(rearms[n - 1].value));
  }
}

TEST(PureAloha, AnAttemptShowsItsFrameSendsAndReArms) {
  auto form = started();
  form->advance_to(500);
  form->rng().script({draw_for_slots(2)});
  start_station(*form, kPure, 3, 500);
  form->advance_to(1000);
  EXPECT_TRUE(form->Shape1[3].visible());
  EXPECT_TRUE(form->clock().enabled(frame_timer(3)));
  EXPECT_EQ(form->Text1[0].text(), "1");
  EXPECT_EQ(form->Text9.text(), "pure");
  EXPECT_TRUE(form->clock().enabled(65));
  EXPECT_EQ(form->clock().interval(station_timer(kPure, 3)), 250);
  EXPECT_TRUE(form->clock().enabled(station_timer(kPure, 3)));
  EXPECT_EQ(form->clock().due(station_timer(kPure, 3)), 1250);  // 250 ms after this tick
}

TEST(PureAloha, BackOffRule) {
  struct Case {
    const char* limit;
    float r;
    std::int32_t interval;
  };
  const Case cases[] = {
      {"50", 0.0f, 125},    {"50", 0.5f, 3250},      {"50", 0.99999994f, 6250},
      {"50", 0.0199f, 125}, {"50", 0.021f, 250},     {"90", 0.99999994f, 11250},
      {"0", 0.7f, 125},     {"1", 0.99999994f, 125}, {" 10 ", 0.95f, 1250},
      {"20", 0.5f, 1375},
  };
  for (const Case& c : cases) {
    auto form = started();
    form->Label34.set_text(c.limit);
    form->rng().script({c.r});
    attempt(*form, kPure, 0);
    EXPECT_EQ(form->clock().interval(station_timer(kPure, 0)), c.interval) << c.limit << " " << c.r;
    // Only the interval is set: the stopped timer stays stopped.
    EXPECT_FALSE(form->clock().enabled(station_timer(kPure, 0)));
  }
}

TEST(PureAloha, ABackOffOfZeroStopsTheStationAndANegativeOneIsARunTimeError) {
  auto form = started();
  const int own = station_timer(kPure, 1);
  start_station(*form, kPure, 1, 100);
  form->Label34.set_text("-1");  // Int(-0.5 + 1) = 0
  form->rng().script({0.5f});
  form->advance_to(100);
  EXPECT_EQ(form->clock().interval(own), 0);
  EXPECT_TRUE(form->clock().enabled(own));
  EXPECT_EQ(form->clock().due(own), -1);
  form->advance_to(10000);
  EXPECT_EQ(form->Text1[0].text(), "1");

  form->Label34.set_text("-2");  // Int(-1.8 + 1) = -1: an interval of -125 ms
  form->rng().script({0.9f});
  start_station(*form, kPure, 1, 100);
  try {
    form->advance_to(20000);
    ADD_FAILURE() << "a negative interval was taken";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), ErrorCode::InvalidPropertyValue);
  }
  EXPECT_EQ(form->now(), 10100);
  EXPECT_EQ(form->clock().interval(own), 100);
}

TEST(PureAloha, Station3SendsDuringStation7sFrame) {
  for (bool mark7 : {false, true}) {
    auto form = started();
    form->advance_to(1000);
    attempt(*form, kPure, 7);
    ASSERT_EQ(form->Text1[1].text(), "");
    form->Image3[7].set_visible(mark7);
    form->advance_to(1100);
    attempt(*form, kPure, 3);
    EXPECT_EQ(form->Text1[1].text(), "1");
    EXPECT_TRUE(form->Image2.visible());
    EXPECT_TRUE(form->Image3[3].visible());
    EXPECT_EQ(form->Image3[7].visible(), mark7);  // not touched
    EXPECT_TRUE(form->clock().enabled(1));
    form->advance_to(1109);
    EXPECT_TRUE(form->Image2.visible());
    EXPECT_EQ(form->Text7.text(), "1");
    form->advance_to(1110);
    EXPECT_FALSE(form->Image2.visible());
    EXPECT_FALSE(form->clock().enabled(1));
    EXPECT_EQ(form->Text7.text(), "2");
    EXPECT_TRUE(form->Image3[3].visible());  // the mark stays until the next attempt
  }
}

TEST(PureAloha, CollisionsAreTheLaterAttemptsOfAnOverlap) {
  struct Case {
    const char* what;
    std::vector<std::pair<VirtualMs, int>> attempts;  // time, station
    const char* collisions;
    std::vector<int> marked;
  };
  const Case cases[] = {
      {"three overlapping frames", {{1000, 0}, {1050, 1}, {1100, 2}}, "2", {1, 2}},
      {"149 ms apart", {{1000, 4}, {1149, 5}}, "1", {5}},
      {"150 ms apart: the first frame has ended", {{1000, 4}, {1150, 5}}, "", {}},
      {"own frame again within 150 ms", {{1000, 8}, {1125, 8}}, "", {}},
      {"own frame again, then another", {{1000, 8}, {1125, 8}, {1140, 9}}, "1", {9}},
      {"a chain", {{1000, 0}, {1140, 1}, {1280, 2}, {1420, 3}, {1700, 4}}, "3", {1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto form = started();
    for (auto [t, i] : c.attempts) {
      form->advance_to(t);
      attempt(*form, kPure, i);
    }
    EXPECT_EQ(form->Text1[1].text(), c.collisions);
    EXPECT_EQ(form->Text1[0].text(), std::to_string(c.attempts.size()));
    for (int i = 0; i < 10; ++i) {
      const bool marked = std::find(c.marked.begin(), c.marked.end(), i) != c.marked.end();
      EXPECT_EQ(form->Image3[i].visible(), marked) << i;
    }
  }
}

TEST(PureAloha, TwoCollisionsWithin10msGiveOneTimer1Tick) {
  auto form = started();
  form->advance_to(1000);
  attempt(*form, kPure, 0);
  form->advance_to(1100);
  attempt(*form, kPure, 1);
  form->advance_to(1105);
  attempt(*form, kPure, 2);
  EXPECT_EQ(form->Text1[1].text(), "2");
  form->advance_to(1109);
  EXPECT_EQ(form->Text7.text(), "1");
  form->advance_to(1110);  // the countdown of the first start was left running
  EXPECT_EQ(form->Text7.text(), "2");
  EXPECT_FALSE(form->Image2.visible());
  form->advance_to(2000);
  EXPECT_EQ(form->Text7.text(), "2");
}

TEST(PureAloha, Timer1ReadsText7WithTheLeadingNumberParse) {
  const std::pair<const char*, const char*> cases[] = {
      {"7", "8"},   {"abc", "1"},  {"", "1"},      {"  12  ", "13"}, {"2.5", "3.5"},
      {"-3", "-2"}, {"41x", "42"}, {"1e309", "1"}, {"1E3", "1001"},
  };
  for (auto [before, after] : cases) {
    auto form = started();
    form->Text7.set_text(before);
    form->Image2.set_visible(true);
    form->advance_to(10);
    EXPECT_EQ(form->Text7.text(), after) << '"' << before << '"';
    EXPECT_FALSE(form->Image2.visible());
    EXPECT_FALSE(form->clock().enabled(1));
  }
}

TEST(PureAloha, MarkStaysIntoSlottedAlohaUntilTheStationsNextAttempt) {
  auto form = started();
  form->advance_to(1000);
  attempt(*form, kPure, 0);
  form->advance_to(1100);
  attempt(*form, kPure, 3);
  ASSERT_TRUE(form->Image3[3].visible());
  switch_(*form);
  ASSERT_EQ(form->method_code(), "slotted");
  for (int i = 0; i < 10; ++i) form->Timer(station_timer(kSlotted, i)).set_enabled(false);
  form->advance_to(5000);
  EXPECT_TRUE(form->Image3[3].visible());
  attempt(*form, kSlotted, 3);  // alone on the bus
  EXPECT_FALSE(form->Image3[3].visible());
}

}  // namespace
}  // namespace bruvik
