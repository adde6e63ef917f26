// The bus-busy line: busy 50 ms after a sending, idle at the first Timer12 tick with no frame in
// transit; what the three carrier-sensing families do with it.
#include <gtest/gtest.h>

#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

void expect_look(Form1& form, bool busy) {
  for (const Control* line : {&form.Line1, &form.Line3, &form.Line4}) {
    EXPECT_EQ(line->border_color(), busy ? kBusyColour : kIdleColour) << line->built().name;
    EXPECT_EQ(line->border_width(), busy ? 2 : 1) << line->built().name;
  }
  EXPECT_EQ(bus_busy(form), busy);
}

TEST(BusLine, NoSendingYetLeavesTheBuiltLookAndReadsIdle) {
  auto form = started();
  form->advance_to(30000);
  for (const Control* line : {&form->Line1, &form->Line3, &form->Line4}) {
    EXPECT_EQ(line->border_color(), line->built().border_color);
    EXPECT_EQ(line->border_width(), 1);
  }
  EXPECT_FALSE(bus_busy(*form));
  EXPECT_FALSE(form->clock().enabled(12));
}

TEST(BusLine, TimelineOfOneFrameForEachBusBusyDuration) {
  struct Case {
    int mtu, frame_length;
    std::int32_t duration;
    VirtualMs idle_at;
  };
  const Case cases[] = {
      {5, 5, 100, 1150}, {10, 1, 10, 1150}, {1, 10, 1000, 2050},
      {6, 5, 83, 1216},  {4, 5, 125, 1175},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "busy duration " << c.duration);
    auto form = started();
    press_to_operator_values(*form, c.mtu, 5, c.frame_length);
    ASSERT_EQ(form->clock().interval(12), c.duration);
    form->advance_to(1000);
    attempt(*form, kPure, 0);
    EXPECT_TRUE(form->clock().enabled(65));
    form->advance_to(1049);
    EXPECT_FALSE(bus_busy(*form));
    form->advance_to(1050);
    expect_look(*form, true);
    EXPECT_FALSE(form->clock().enabled(65));
    EXPECT_TRUE(form->clock().enabled(12));
    form->advance_to(c.idle_at - 1);
    expect_look(*form, true);
    form->advance_to(c.idle_at);
    expect_look(*form, false);
    EXPECT_TRUE(form->clock().enabled(12));  // once started it ticks for good
    form->advance_to(c.idle_at + 5000);
    expect_look(*form, false);
    EXPECT_TRUE(form->clock().enabled(12));
  }
}

TEST(BusLine, TwoSendings30msApartGiveOneBusyLook) {
  auto form = started();
  Recorder rec;
  form->set_sink(&rec);
  form->advance_to(1000);
  attempt(*form, kPure, 0);
  form->advance_to(1030);
  attempt(*form, kPure, 1);
  EXPECT_EQ(form->clock().due(65), 1050);
  form->advance_to(1050);
  EXPECT_TRUE(bus_busy(*form));
  EXPECT_FALSE(form->clock().enabled(65));
  form->advance_to(1249);  // the Timer12 tick at 1150 still finds the second frame
  EXPECT_TRUE(bus_busy(*form));
  form->advance_to(1250);
  EXPECT_FALSE(bus_busy(*form));
  EXPECT_EQ(rec.count(EventKind::BusBusy), 1);
  EXPECT_EQ(rec.count(EventKind::BusIdle), 1);
}

TEST(BusLine, BackToBackFramesKeepTheBusBusyUntilAllHaveEnded) {
  auto form = started();
  for (int i = 0; i < 4; ++i) {
    form->advance_to(1000 + 100 * i);
    attempt(*form, kPure, i);
  }
  for (VirtualMs t : {1150, 1250, 1350, 1449}) {
    form->advance_to(t);
    EXPECT_TRUE(bus_busy(*form)) << t;
  }
  form->advance_to(1450);
  EXPECT_FALSE(bus_busy(*form));
}

TEST(BusLine, FillWithTimer12RunningLeavesItRunning) {
  auto form = started();
  form->advance_to(1000);
  attempt(*form, kPure, 0);
  form->advance_to(1120);
  attempt(*form, kPure, 1);
  ASSERT_EQ(form->clock().due(12), 1150);
  form->advance_to(1169);
  ASSERT_EQ(form->clock().due(12), 1250);
  form->advance_to(1170);  // the second fill: the countdown is not restarted
  EXPECT_TRUE(form->clock().enabled(12));
  EXPECT_TRUE(bus_busy(*form));
  EXPECT_EQ(form->clock().due(12), 1250);
  form->advance_to(1350);
  EXPECT_FALSE(bus_busy(*form));
}

TEST(BusLine, AMethodChangeLeavesTheBusLookAndTimer12Alone) {
  auto form = started();
  form->advance_to(1000);
  attempt(*form, kPure, 0);
  form->advance_to(1060);
  switch_(*form);
  EXPECT_TRUE(bus_busy(*form));
  EXPECT_TRUE(form->clock().enabled(12));
  EXPECT_EQ(form->clock().due(12), 1150);
}

TEST(BusLine, ProceduresDirectly) {
  auto form = started();
  fill(*form);
  expect_look(*form, true);
  EXPECT_TRUE(form->clock().enabled(12));
  form->Shape1[9].set_visible(true);
  clear_line(*form);
  expect_look(*form, true);  // a frame in transit: nothing changes
  form->Shape1[9].set_visible(false);
  clear_line(*form);
  expect_look(*form, false);
  clear_line(*form);
  expect_look(*form, false);
}

TEST(BusLine, OnlyLine1InTheBusyColourIsABusyBus) {
  struct Case {
    Colour line1, others;
    bool busy;
  };
  const Case cases[] = {
      {kBusyColour, kIdleColour, true}, {kIdleColour, kBusyColour, false},
      {0x000000FF, kBusyColour, false}, {0x00FE0000, kIdleColour, false},
      {0x80000008, kIdleColour, false}, {0x00FF0001, kIdleColour, false},
  };
  for (const Case& c : cases) {
    for (int k : {kOnePer, kNonPer, kPPer}) {
      auto form = started();
      run_as(*form, k);
      form->Line1.set_border_color(c.line1);
      form->Line3.set_border_color(c.others);
      form->Line4.set_border_color(c.others);
      EXPECT_EQ(bus_busy(*form), c.busy) << std::hex << c.line1;
      if (k == kPPer) form->rng().script({kSend});
      attempt(*form, k, 0);
      EXPECT_EQ(form->Shape1[0].visible(), !c.busy) << kCodes[k] << std::hex << c.line1;
    }
  }
}

TEST(BusLine, BusyAtATickForEachCarrierSensingFamily) {
  struct Case {
    int k;
    std::int32_t interval;  // after the busy tick
    std::size_t draws_used;
  };
  const Case cases[] = {{kOnePer, 1, 0}, {kNonPer, 375, 1}, {kPPer, 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(kCodes[c.k]);
    auto form = started();
    run_as(*form, c.k);
    form->advance_to(1000);
    if (c.k == kPPer) form->rng().script({kSend});
    attempt(*form, c.k, 0);  // station 0's frame: the bus reads busy from 1050
    start_station(*form, c.k, 4, 100);
    form->rng().script({draw_for_slots(3), 0.9f});
    form->advance_to(1100);
    const int own = station_timer(c.k, 4);
    EXPECT_EQ(form->clock().interval(own), c.interval);
    EXPECT_EQ(form->clock().due(own), 1100 + c.interval);
    EXPECT_EQ(form->rng().scripted_left(), 2 - c.draws_used);
    EXPECT_TRUE(form->Image3[4].visible());
    EXPECT_FALSE(form->Shape1[4].visible());
    EXPECT_FALSE(form->clock().enabled(frame_timer(4)));
    EXPECT_EQ(sent_box(*form, c.k).text(), "1");
    EXPECT_EQ(collision_box(*form, c.k).text(), "");
    EXPECT_FALSE(form->clock().enabled(65));  // send was not called
  }
}

TEST(BusLine, SensingWithin50msOfAnotherSendingReadsIdleSendsAndCollides) {
  struct Case {
    int k;
    bool picture;  // the collision picture is shown
    bool mark;     // the station's mark afterwards (hidden before)
  };
  const Case cases[] = {{kOnePer, true, false}, {kNonPer, false, true}, {kPPer, false, true}};
  for (const Case& c : cases) {
    for (VirtualMs later : {1, 20, 49}) {
      SCOPED_TRACE(testing::Message() << kCodes[c.k] << " " << later << " ms later");
      auto form = started();
      run_as(*form, c.k);
      form->advance_to(1000);
      if (c.k == kPPer) form->rng().script({kSend});
      attempt(*form, c.k, 6);
      form->Image3[6].set_visible(true);
      form->advance_to(1000 + later);
      ASSERT_FALSE(bus_busy(*form));
      if (c.k == kPPer) form->rng().script({kSend});
      attempt(*form, c.k, 2);
      EXPECT_EQ(sent_box(*form, c.k).text(), "2");
      EXPECT_EQ(collision_box(*form, c.k).text(), "1");
      EXPECT_EQ(form->Image2.visible(), c.picture);
      EXPECT_EQ(form->clock().enabled(1), c.picture);
      EXPECT_EQ(form->Image3[2].visible(), c.mark);
      EXPECT_TRUE(form->Image3[6].visible());  // not touched
    }
  }
}

TEST(BusLine, SensingAfterTheFirst50msDefersWithoutSending) {
  for (int k : {kOnePer, kNonPer, kPPer}) {
    auto form = started();
    run_as(*form, k);
    form->advance_to(1000);
    if (k == kPPer) form->rng().script({kSend});
    attempt(*form, k, 6);
    form->advance_to(1050);
    attempt(*form, k, 2);
    EXPECT_EQ(sent_box(*form, k).text(), "1") << kCodes[k];
    EXPECT_FALSE(form->Shape1[2].visible()) << kCodes[k];
  }
}

}  // namespace
}  // namespace bruvik
