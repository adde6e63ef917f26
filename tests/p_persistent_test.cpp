// p-persistent CSMA/CD stations: poll a busy bus, toss a fair coin on an idle one, keep the
// current interval when the coin says wait.
#include <gtest/gtest.h>

#include <vector>

#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

std::unique_ptr<Form1> p_persistent() {
  auto form = started();
  run_as(*form, kPPer);
  return form;
}

TEST(PPersistent, BusyBusPollsWithoutADraw) {
  auto form = p_persistent();
  form->advance_to(1000);
  form->rng().script({kSend});
  attempt(*form, kPPer, 0);
  start_station(*form, kPPer, 6, 80);
  form->rng().script({0.1f, 0.2f});
  form->advance_to(1080);
  const int own = station_timer(kPPer, 6);
  EXPECT_EQ(form->clock().interval(own), 1);
  EXPECT_EQ(form->clock().due(own), 1081);
  EXPECT_EQ(form->rng().scripted_left(), 2u);
  EXPECT_TRUE(form->Image3[6].visible());
  EXPECT_FALSE(form->Shape1[6].visible());
  EXPECT_EQ(form->Text5[0].text(), "1");
}

TEST(PPersistent, TheCoinOnAnIdleBus) {
  struct Case {
    float r;
    bool sends;
  };
  const Case cases[] = {
      {0.0f, false}, {0.25f, false}, {0.49999997f, false}, {0.5f, true}, {0.99999994f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.r);
    auto form = p_persistent();
    form->advance_to(1000);
    start_station(*form, kPPer, 2, 300);
    form->Image3[2].set_visible(c.sends);  // the opposite of what the attempt leaves
    form->rng().script({c.r, draw_for_slots(6)});
    form->advance_to(1300);
    const int own = station_timer(kPPer, 2);
    EXPECT_EQ(form->Shape1[2].visible(), c.sends);
    EXPECT_EQ(form->Text5[0].text(), c.sends ? "1" : "");
    EXPECT_EQ(form->clock().enabled(frame_timer(2)), c.sends);
    EXPECT_EQ(form->clock().enabled(65), c.sends);
    EXPECT_EQ(form->Image3[2].visible(), !c.sends);
    EXPECT_EQ(form->Text14[2].text(), "");
    EXPECT_EQ(form->clock().interval(own), c.sends ? 750 : 300);
    EXPECT_EQ(form->clock().due(own), 1300 + (c.sends ? 750 : 300));
    EXPECT_EQ(form->rng().scripted_left(), c.sends ? 0u : 1u);
  }
}

TEST(PPersistent, AfterPollingADeferralTriesAgainEveryMillisecond) {
  auto form = p_persistent();
  Recorder rec;
  form->set_sink(&rec);
  form->advance_to(1000);
  form->rng().script({kSend});
  attempt(*form, kPPer, 0);  // busy from 1050, idle again at 1150
  start_station(*form, kPPer, 7, 100);
  form->advance_to(1149);
  ASSERT_EQ(form->clock().interval(station_timer(kPPer, 7)), 1);
  form->rng().script({kDefer, kDefer, kDefer, kSend, draw_for_slots(2)});
  form->advance_to(1160);
  const auto deferred = rec.of(EventKind::Deferred);
  ASSERT_EQ(deferred.size(), 3u);
  EXPECT_EQ(deferred[0].time, 1150);
  EXPECT_EQ(deferred[1].time, 1151);
  EXPECT_EQ(deferred[2].time, 1152);
  const auto sent = rec.of(EventKind::Sent);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].time, 1153);
  EXPECT_EQ(sent[1].station, 7);
  EXPECT_EQ(form->clock().interval(station_timer(kPPer, 7)), 250);
  EXPECT_FALSE(form->Image3[7].visible());
}

TEST(PPersistent, AfterASendingADeferralWaitsTheSameBackOffAgain) {
  auto form = p_persistent();
  Recorder rec;
  form->set_sink(&rec);
  form->advance_to(1000);
  start_station(*form, kPPer, 3, 200);
  form->rng().script({kSend, draw_for_slots(5), kDefer, kDefer, kSend, draw_for_slots(1)});
  form->advance_to(3199);
  std::vector<VirtualMs> times;
  for (const Event& e : rec.of(EventKind::Attempt)) times.push_back(e.time);
  // Sent at 1200 and re-armed to 625; deferred at 1825 and 2450; sent at 3075, re-armed to 125.
  EXPECT_EQ(times, (std::vector<VirtualMs>{1200, 1825, 2450, 3075}));
  EXPECT_EQ(rec.count(EventKind::Deferred), 2);
  ASSERT_EQ(rec.of(EventKind::Sent).size(), 2u);
  EXPECT_EQ(rec.of(EventKind::Sent)[1].time, 3075);
  EXPECT_EQ(form->clock().due(station_timer(kPPer, 3)), 3200);
  EXPECT_EQ(form->rng().scripted_left(), 0u);
}

TEST(PPersistent, ACollisionIsCountedAndMarkedWithoutThePicture) {
  auto form = p_persistent();
  form->advance_to(1000);
  form->rng().script({kSend});
  attempt(*form, kPPer, 1);
  form->advance_to(1040);
  form->rng().script({kSend});
  attempt(*form, kPPer, 9);
  EXPECT_EQ(form->Text5[0].text(), "2");
  EXPECT_EQ(form->Text14[2].text(), "1");
  EXPECT_TRUE(form->Image3[9].visible());
  EXPECT_FALSE(form->Image3[1].visible());
  EXPECT_FALSE(form->Image2.visible());
  EXPECT_FALSE(form->clock().enabled(1));
}

TEST(PPersistent, RandomLimits0And1) {
  for (const char* limit : {"0", "1"}) {
    auto form = p_persistent();
    form->Label34.set_text(limit);
    for (float r : {0.0f, 0.6f, 0.99999994f}) {
      form->advance_to(form->now() + 1000);
      form->rng().script({kSend, r});
      attempt(*form, kPPer, 4);
      EXPECT_EQ(form->clock().interval(station_timer(kPPer, 4)), 125) << limit << " " << r;
    }
  }
}

}  // namespace
}  // namespace bruvik
