// Frame display timers: a frame is in transit for 150 ms, one timer per station serves all five
// methods, a frame re-sent while in transit is one shape and ends once.
#include <gtest/gtest.h>

#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

TEST(FrameTimers, NothingInTransitAfterStartUp) {
  auto form = started();
  for (int i = 0; i < 10; ++i) {
    EXPECT_FALSE(form->Shape1[i].visible());
    EXPECT_FALSE(form->clock().enabled(frame_timer(i)));
    EXPECT_EQ(form->clock().interval(frame_timer(i)), 150);
  }
}

TEST(FrameTimers, EveryMethodShowsTheFrameAndItsOwnTimerEndsIt150msLater) {
  for (int k = 0; k < 5; ++k) {
    for (int i = 0; i < 10; ++i) {
      SCOPED_TRACE(testing::Message() << kCodes[k] << " station " << i);
      auto form = started();
      form->advance_to(1000);
      run_as(*form, k);
      if (k == kPPer) form->rng().script({kSend});
      attempt(*form, k, i);
      for (int j = 0; j < 10; ++j) {
        EXPECT_EQ(form->Shape1[j].visible(), j == i) << j;
        EXPECT_EQ(form->clock().enabled(frame_timer(j)), j == i) << j;
      }
      EXPECT_EQ(form->clock().due(frame_timer(i)), 1150);
      form->advance_to(1149);
      EXPECT_TRUE(form->Shape1[i].visible());
      form->advance_to(1150);
      EXPECT_FALSE(form->Shape1[i].visible());
      EXPECT_FALSE(form->clock().enabled(frame_timer(i)));
      EXPECT_EQ(form->clock().due(frame_timer(i)), -1);
      EXPECT_EQ(form->clock().interval(frame_timer(i)), 150);
    }
  }
}

TEST(FrameTimers, TwoStationsHundredMillisecondsApart) {
  auto form = started();
  form->advance_to(1000);
  attempt(*form, kPure, 2);
  form->advance_to(1100);
  attempt(*form, kPure, 7);
  EXPECT_TRUE(form->Shape1[2].visible());
  EXPECT_TRUE(form->Shape1[7].visible());
  form->advance_to(1150);
  EXPECT_FALSE(form->Shape1[2].visible());
  EXPECT_TRUE(form->Shape1[7].visible());
  form->advance_to(1249);
  EXPECT_TRUE(form->Shape1[7].visible());
  form->advance_to(1250);
  EXPECT_FALSE(form->Shape1[7].visible());
}

TEST(FrameTimers, AFrameResentInTransitIsOneShapeEndedByOneTick) {
  auto form = started();
  Recorder rec;
  form->set_sink(&rec);
  form->advance_to(1000);
  attempt(*form, kPure, 5);
  form->advance_to(1125);
  attempt(*form, kPure, 5);  // a back-off of 125 ms, shorter than the frame time
  EXPECT_TRUE(form->Shape1[5].visible());
  EXPECT_EQ(form->Text1[1].text(), "");  // counted once: no collision
  EXPECT_EQ(form->Text1[0].text(), "2");
  // The running countdown is left running: the frame ends when the first would have.
  EXPECT_EQ(form->clock().due(frame_timer(5)), 1150);
  form->advance_to(1150);
  EXPECT_FALSE(form->Shape1[5].visible());
  form->advance_to(2000);
  EXPECT_FALSE(form->Shape1[5].visible());
  EXPECT_EQ(rec.count(EventKind::FrameEnd), 1);
}

TEST(FrameTimers, AFrameInTransitAtAMethodChangeCountsInTheNextMethod) {
  auto form = started();
  form->advance_to(1000);
  attempt(*form, kPure, 4);
  form->advance_to(1050);
  switch_(*form);
  ASSERT_EQ(form->method_code(), "slotted");
  EXPECT_TRUE(form->Shape1[4].visible());  // switch leaves frames alone
  form->advance_to(1100);
  attempt(*form, kSlotted, 1);
  EXPECT_EQ(form->Text2[1].text(), "1");
  EXPECT_EQ(form->Text1[1].text(), "");
  form->advance_to(1150);
  EXPECT_FALSE(form->Shape1[4].visible());
  EXPECT_TRUE(form->Shape1[1].visible());
}

TEST(FrameTimers, TheTickHidesTheShapeAndStopsItself) {
  for (int i = 0; i < 10; ++i) {
    auto form = started();
    form->Shape1[i].set_visible(true);
    form->Timer(frame_timer(i)).set_enabled(true);
    frame_timer_tick(*form, i);
    EXPECT_FALSE(form->Shape1[i].visible()) << i;
    EXPECT_FALSE(form->clock().enabled(frame_timer(i))) << i;
    for (int j = 0; j < 10; ++j) {
      if (j != i) {
        EXPECT_FALSE(form->Shape1[j].visible());
      }
    }
  }
}

}  // namespace
}  // namespace bruvik
