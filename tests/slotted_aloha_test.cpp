// Slotted ALOHA stations: back-off intervals rounded up to whole slots counted from each
// station's own attempt, their own collision counter.
#include <gtest/gtest.h>

#include <set>

#include "model/runtime_error.h"
#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

// A started form running slotted ALOHA with the slot time that the buttons give.
std::unique_ptr<Form1> slotted(int mtu, int frame_length, int rate = 5) {
  auto form = started();
  press_to_operator_values(*form, mtu, rate, frame_length);
  run_as(*form, kSlotted);
  return form;
}

std::int32_t interval_after_draw(Form1& form, int slots, double limit = 50) {
  form.rng().script({draw_for_slots(slots, limit)});
  attempt(form, kSlotted, 0);
  return form.clock().interval(station_timer(kSlotted, 0));
}

TEST(SlottedAloha, IntervalsRoundedUpToWholeSlots) {
  struct Case {
    int mtu, frame_length;
    const char* slot;
    int drawn_slots;  // of 125 ms
    std::int32_t interval;
  };
  const Case cases[] = {
      {5, 5, "100", 1, 200},     {5, 5, "100", 2, 300},    {5, 5, "100", 3, 400},
      {5, 5, "100", 4, 500},     {5, 5, "100", 5, 700},    {5, 5, "100", 50, 6300},
      {3, 1, "33", 1, 132},      {3, 1, "33", 2, 264},     {4, 5, "125", 1, 125},
      {4, 5, "125", 7, 875},     {4, 5, "125", 50, 6250},  {4, 1, "25", 1, 125},
      {4, 1, "25", 3, 375},      {1, 10, "1000", 1, 1000}, {1, 10, "1000", 9, 2000},
      {1, 10, "1000", 50, 7000}, {10, 1, "10", 1, 130},    {6, 5, "83", 2, 332},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "slot " << c.slot << ", draw " << 125 * c.drawn_slots);
    auto form = slotted(c.mtu, c.frame_length);
    ASSERT_EQ(form->Label31.text(), c.slot);
    EXPECT_EQ(interval_after_draw(*form, c.drawn_slots), c.interval);
    EXPECT_FALSE(form->clock().enabled(station_timer(kSlotted, 0)));  // only the interval is set
  }
}

TEST(SlottedAloha, EveryDrawAtSlot100GivesItsOwnInterval) {
  auto form = slotted(5, 5);
  std::set<std::int32_t> seen;
  for (int slots = 1; slots <= 50; ++slots) {
    const std::int32_t v = interval_after_draw(*form, slots);
    EXPECT_EQ(v % 100, 0);
    EXPECT_GE(v, 125 * slots);
    EXPECT_LT(v, 125 * slots + 100);
    seen.insert(v);
    form->advance_to(form->now() + 1000);
  }
  EXPECT_EQ(seen.size(), 50u);
  for (std::int32_t never = 600; never <= 6300; never += 500) EXPECT_EQ(seen.count(never), 0u);
}

TEST(SlottedAloha, Slot1000WithLimit50GivesWholeSeconds) {
  auto form = slotted(1, 10);
  std::set<std::int32_t> seen;
  for (int slots = 1; slots <= 50; ++slots) seen.insert(interval_after_draw(*form, slots));
  EXPECT_EQ(seen, (std::set<std::int32_t>{1000, 2000, 3000, 4000, 5000, 6000, 7000}));
}

TEST(SlottedAloha, RandomLimits0And1) {
  for (int rate : {10, 5}) {
    auto form = slotted(5, 5, rate);
    if (rate == 5) form->Label34.set_text("1");
    const std::string limit = form->Label34.text();
    for (float r : {0.0f, 0.5f, 0.99999994f}) {
      form->rng().script({r});
      attempt(*form, kSlotted, 2);
      EXPECT_EQ(form->clock().interval(station_timer(kSlotted, 2)), 200) << limit << " " << r;
    }
  }
}

TEST(SlottedAloha, CollisionsGoToTheSlottedCounter) {
  auto form = slotted(5, 5);
  form->advance_to(2000);
  attempt(*form, kSlotted, 5);
  form->advance_to(2100);
  attempt(*form, kSlotted, 8);
  EXPECT_EQ(form->Text2[0].text(), "2");
  EXPECT_EQ(form->Text2[1].text(), "1");
  EXPECT_EQ(form->Text1[1].text(), "");
  EXPECT_EQ(form->Text9.text(), "slotted");
  EXPECT_TRUE(form->Image2.visible());
  EXPECT_TRUE(form->Image3[8].visible());
  EXPECT_FALSE(form->Image3[5].visible());
  EXPECT_TRUE(form->clock().enabled(1));
  form->advance_to(2110);
  EXPECT_FALSE(form->Image2.visible());
}

TEST(SlottedAloha, StationsOnWholeSlotsStillCollideWithinAFrameTime) {
  // Both re-arm on whole slots of 100 ms, but counted from their own attempts 40 ms apart.
  auto form = slotted(5, 5);
  form->advance_to(1000);
  form->rng().script({draw_for_slots(4), draw_for_slots(4), draw_for_slots(4), draw_for_slots(4)});
  start_station(*form, kSlotted, 1, 100);
  start_station(*form, kSlotted, 6, 140);
  form->advance_to(1140);
  EXPECT_EQ(form->Text2[1].text(), "1");
  form->advance_to(1640);  // 1600 and 1640: again 40 ms apart
  EXPECT_EQ(form->Text2[1].text(), "2");
}

TEST(SlottedAloha, FirstAttemptFollowsTheStartUpIntervalUnrounded) {
  Form1 form(3, tick_handlers());
  for (int k = 0; k < 50; ++k) form.rng().script({draw_for_slots(k < 10 || k > 10 ? 2 : 3)});
  Form_Load(form);
  ASSERT_EQ(form.clock().interval(13), 375);  // Timer13, slotted station 0
  form.advance_to(1000);
  switch_(form);
  for (int n = 14; n <= 22; ++n) form.Timer(n).set_enabled(false);  // station 0 alone
  EXPECT_EQ(form.clock().interval(13), 375);
  EXPECT_EQ(form.clock().due(13), 1375);
  form.rng().script({draw_for_slots(1)});
  form.advance_to(1375);
  EXPECT_EQ(form.Text2[0].text(), "1");
  EXPECT_EQ(form.clock().interval(13), 200);
}

TEST(SlottedAloha, SlotZeroAndDrawsBeyond16BitsAreRunTimeErrors) {
  struct Case {
    const char *slot, *limit;
    ErrorCode error;
  };
  const Case cases[] = {{"0", "50", ErrorCode::DivisionByZero},
                        {"abc", "50", ErrorCode::DivisionByZero},
                        {"100", "300", ErrorCode::Overflow}};
  for (const Case& c : cases) {
    auto form = slotted(5, 5);
    form->Label31.set_text(c.slot);
    form->Label34.set_text(c.limit);
    form->rng().script({0.99f});
    try {
      attempt(*form, kSlotted, 4);
      ADD_FAILURE() << c.slot << " " << c.limit;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.code(), c.error) << c.slot << " " << c.limit;
    }
  }
}

TEST(SlottedAloha, ASlotChangeTakesEffectAtTheNextTick) {
  auto form = slotted(5, 5);
  form->advance_to(1000);
  form->rng().script({draw_for_slots(1), draw_for_slots(1)});
  start_station(*form, kSlotted, 0, 100);
  form->advance_to(1100);
  ASSERT_EQ(form->clock().due(station_timer(kSlotted, 0)), 1300);
  Command7_Click(*form);  // frame length 6: slot 120
  ASSERT_EQ(form->Label31.text(), "120");
  EXPECT_EQ(form->clock().due(station_timer(kSlotted, 0)), 1300);  // runs out unchanged
  form->advance_to(1300);
  EXPECT_EQ(form->clock().interval(station_timer(kSlotted, 0)), 240);
}

}  // namespace
}  // namespace bruvik
