// 1-persistent CSMA/CD stations: poll a busy bus every millisecond, send on the first idle
// tick, count collisions in Text14(0) and flash the collision picture.
#include <gtest/gtest.h>

#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

std::unique_ptr<Form1> one_persistent() {
  auto form = started();
  run_as(*form, kOnePer);
  return form;
}

TEST(OnePersistent, IdleBusAloneSendsWithoutCollision) {
  auto form = one_persistent();
  form->advance_to(1000);
  form->Image3[3].set_visible(true);
  form->rng().script({draw_for_slots(7)});
  attempt(*form, kOnePer, 3);
  EXPECT_TRUE(form->Shape1[3].visible());
  EXPECT_TRUE(form->clock().enabled(frame_timer(3)));
  EXPECT_EQ(form->Text3[0].text(), "1");
  EXPECT_EQ(form->Text9.text(), "1per");
  EXPECT_EQ(form->Text14[0].text(), "");
  EXPECT_FALSE(form->Image3[3].visible());
  EXPECT_FALSE(form->Image2.visible());
  EXPECT_EQ(form->clock().interval(station_timer(kOnePer, 3)), 875);
}

TEST(OnePersistent, AWaitingStationSendsOnTheFirstIdleTick) {
  auto form = one_persistent();
  Recorder rec;
  form->set_sink(&rec);
  form->advance_to(1000);
  attempt(*form, kOnePer, 0);  // the bus reads busy from 1050 to 1150
  start_station(*form, kOnePer, 5, 60);
  form->advance_to(1060);
  ASSERT_EQ(form->clock().interval(station_timer(kOnePer, 5)), 1);
  ASSERT_TRUE(form->Image3[5].visible());
  form->rng().script({draw_for_slots(4)});
  form->advance_to(1200);
  const auto sent = rec.of(EventKind::Sent);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].station, 5);
  EXPECT_EQ(sent[1].time, 1150);  // Timer12 clears the bus before the poll of that millisecond
  EXPECT_EQ(rec.count(EventKind::Busy), 90);  // every millisecond from 1060 to 1149
  EXPECT_FALSE(form->Image3[5].visible());
  EXPECT_EQ(form->Text14[0].text(), "");
  EXPECT_EQ(form->clock().interval(station_timer(kOnePer, 5)), 500);
  EXPECT_EQ(form->clock().due(station_timer(kOnePer, 5)), 1650);
}

TEST(OnePersistent, TwoWaitingStationsBothSendWhenTheBusTurnsIdle) {
  auto form = one_persistent();
  Recorder rec;
  form->set_sink(&rec);
  form->advance_to(1000);
  attempt(*form, kOnePer, 9);
  start_station(*form, kOnePer, 1, 70);
  start_station(*form, kOnePer, 2, 90);
  form->advance_to(1155);
  const auto sent = rec.of(EventKind::Sent);
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_LE(sent[2].time - sent[1].time, 3);
  EXPECT_GE(sent[1].time, 1150);
  const auto collided = rec.of(EventKind::Collision);
  ASSERT_EQ(collided.size(), 1u);
  const int later = sent[2].station;
  const int first = sent[1].station;
  EXPECT_EQ(collided[0].station, later);
  EXPECT_EQ(form->Text14[0].text(), "1");
  EXPECT_TRUE(form->Image3[later].visible());  // still shown from its busy sensing
  EXPECT_FALSE(form->Image3[first].visible());
  EXPECT_TRUE(form->Image2.visible());
  form->advance_to(sent[2].time + 10);
  EXPECT_FALSE(form->Image2.visible());
  EXPECT_EQ(form->Text7.text(), "2");
}

TEST(OnePersistent, ACollisionStartsTheDisplayAndLeavesTheMark) {
  for (bool mark : {false, true}) {
    auto form = one_persistent();
    form->advance_to(1000);
    attempt(*form, kOnePer, 4);
    form->advance_to(1010);
    form->Image3[8].set_visible(mark);
    attempt(*form, kOnePer, 8);
    EXPECT_EQ(form->Text14[0].text(), "1");
    EXPECT_TRUE(form->Image2.visible());
    EXPECT_EQ(form->Image3[8].visible(), mark);
    EXPECT_EQ(form->Text7.text(), "1");
    form->advance_to(1020);
    EXPECT_FALSE(form->Image2.visible());
    EXPECT_EQ(form->Text7.text(), "2");
  }
}

TEST(OnePersistent, TypedCollisionCountsAreReadWithTheLeadingNumberParse) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "1"}, {"abc", "1"}, {"7", "8"}, {" 12 apples", "13"}, {"-1", "0"}, {"2.5", "3.5"},
  };
  for (auto [typed, after] : cases) {
    auto form = one_persistent();
    form->advance_to(1000);
    attempt(*form, kOnePer, 0);
    form->Text14[0].set_text(typed);
    form->advance_to(1001);
    attempt(*form, kOnePer, 1);
    EXPECT_EQ(form->Text14[0].text(), after) << '"' << typed << '"';
  }
}

TEST(OnePersistent, RandomLimits0And1) {
  for (const char* limit : {"0", "1"}) {
    auto form = one_persistent();
    form->Label34.set_text(limit);
    for (float r : {0.0f, 0.5f, 0.99999994f}) {
      form->advance_to(form->now() + 1000);
      form->rng().script({r});
      attempt(*form, kOnePer, 7);
      EXPECT_EQ(form->clock().interval(station_timer(kOnePer, 7)), 125) << limit << " " << r;
    }
  }
}

TEST(OnePersistent, ThePollingIntervalIsKeptWhileStopped) {
  auto form = started();
  form->advance_to(1000);
  switch_(*form);
  switch_(*form);
  ASSERT_EQ(form->method_code(), "1per");
  for (int i = 1; i < 10; ++i) form->Timer(station_timer(kOnePer, i)).set_enabled(false);
  attempt(*form, kOnePer, 1);  // busy from 1050
  start_station(*form, kOnePer, 0, 60);
  form->advance_to(1100);
  ASSERT_EQ(form->clock().interval(station_timer(kOnePer, 0)), 1);
  switch_(*form);
  EXPECT_FALSE(form->clock().enabled(station_timer(kOnePer, 0)));
  EXPECT_EQ(form->clock().interval(station_timer(kOnePer, 0)), 1);
}

}  // namespace
}  // namespace bruvik
