// Non-persistent CSMA/CD stations: back off a fresh interval on a busy bus, send on an idle
// one, count collisions in Text14(1) and mark them, without the collision picture.
#include <gtest/gtest.h>

#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

std::unique_ptr<Form1> non_persistent() {
  auto form = started();
  run_as(*form, kNonPer);
  return form;
}

TEST(NonPersistent, IdleBusAloneSendsWithoutCollision) {
  auto form = non_persistent();
  form->advance_to(1000);
  form->Image3[5].set_visible(true);
  form->rng().script({draw_for_slots(9)});
  attempt(*form, kNonPer, 5);
  EXPECT_TRUE(form->Shape1[5].visible());
  EXPECT_TRUE(form->clock().enabled(frame_timer(5)));
  EXPECT_EQ(form->Text4[0].text(), "1");
  EXPECT_EQ(form->Text9.text(), "nonper");
  EXPECT_TRUE(form->clock().enabled(65));
  EXPECT_EQ(form->Text14[1].text(), "");
  EXPECT_FALSE(form->Image3[5].visible());
  EXPECT_EQ(form->clock().interval(station_timer(kNonPer, 5)), 1125);
}

TEST(NonPersistent, BusyBusBacksOffWithoutSending) {
  for (int slots : {1, 13, 50}) {
    auto form = non_persistent();
    form->advance_to(1000);
    attempt(*form, kNonPer, 0);
    form->advance_to(1100);
    form->rng().script({draw_for_slots(slots)});
    start_station(*form, kNonPer, 3, 1);
    form->advance_to(1101);
    const int own = station_timer(kNonPer, 3);
    EXPECT_EQ(form->clock().interval(own), 125 * slots);
    EXPECT_EQ(form->clock().due(own), 1101 + 125 * slots);
    EXPECT_TRUE(form->Image3[3].visible());
    EXPECT_FALSE(form->Shape1[3].visible());
    EXPECT_EQ(form->Text4[0].text(), "1");
    EXPECT_EQ(form->Text14[1].text(), "");
  }
}

TEST(NonPersistent, Station2Senses20msAfterStation6) {
  auto form = non_persistent();
  form->advance_to(1000);
  attempt(*form, kNonPer, 6);
  ASSERT_FALSE(form->Image3[6].visible());
  form->advance_to(1020);
  attempt(*form, kNonPer, 2);
  EXPECT_EQ(form->Text4[0].text(), "2");
  EXPECT_EQ(form->Text14[1].text(), "1");
  EXPECT_TRUE(form->Image3[2].visible());
  EXPECT_FALSE(form->Image3[6].visible());  // not touched
  EXPECT_FALSE(form->Image2.visible());
  EXPECT_FALSE(form->clock().enabled(1));
  form->advance_to(1100);
  EXPECT_EQ(form->Text7.text(), "1");  // no collision display, so no extra second
}

TEST(NonPersistent, TheStationNeverPolls) {
  // Stations kept on a busy bus by back-to-back frames back off a whole interval each time.
  auto form = non_persistent();
  Recorder rec;
  form->set_sink(&rec);
  form->advance_to(1000);
  attempt(*form, kNonPer, 0);
  start_station(*form, kNonPer, 4, 100);
  form->advance_to(1100);
  for (const Event& e : rec.of(EventKind::Rearm)) {
    EXPECT_EQ(static_cast<int>(e.value) % 125, 0);
    EXPECT_GE(e.value, 125);
  }
  EXPECT_EQ(rec.count(EventKind::Busy), 1);
}

TEST(NonPersistent, TypedCollisionCountsAreReadWithTheLeadingNumberParse) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "1"},
      {"abc", "1"},
      {"9", "10"},
      {"  3", "4"},
  };
  for (auto [typed, after] : cases) {
    auto form = non_persistent();
    form->advance_to(1000);
    attempt(*form, kNonPer, 0);
    form->Text14[1].set_text(typed);
    form->advance_to(1030);
    attempt(*form, kNonPer, 1);
    EXPECT_EQ(form->Text14[1].text(), after) << '"' << typed << '"';
  }
}

TEST(NonPersistent, RandomLimits0And1BusyOrIdle) {
  for (const char* limit : {"0", "1"}) {
    for (bool busy : {false, true}) {
      auto form = non_persistent();
      form->Label34.set_text(limit);
      if (busy) fill(*form);
      form->rng().script({0.99999994f});
      attempt(*form, kNonPer, 8);
      EXPECT_EQ(form->clock().interval(station_timer(kNonPer, 8)), 125) << limit << busy;
      EXPECT_EQ(form->Shape1[8].visible(), !busy);
    }
  }
}

}  // namespace
}  // namespace bruvik
