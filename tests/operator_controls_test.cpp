// Operator controls: the start button, the three "<"/">" pairs and what they recompute, the
// order options, Enter in Text7, RESTART and the data amount edit.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

using Click = void (*)(Form1&);

TEST(OperatorControls, MtuAndFrameLengthGiveSlotAndBusyDuration) {
  struct Case {
    const char* what;
    std::vector<Click> clicks;
    const char *mtu, *frame_length, *slot;
  };
  const Case cases[] = {
      {"MTU 6", {Command3_Click}, "6", "5", "83"},
      {"MTU 7", {Command3_Click, Command3_Click}, "7", "5", "71"},
      {"MTU 4", {Command2_Click}, "4", "5", "125"},
      {"frame length 6", {Command7_Click}, "5", "6", "120"},
      {"frame length 1, MTU 3",
       {Command6_Click, Command6_Click, Command6_Click, Command6_Click, Command2_Click,
        Command2_Click},
       "3",
       "1",
       "33"},
      {"MTU 1, frame length 10",
       {Command2_Click, Command2_Click, Command2_Click, Command2_Click, Command7_Click,
        Command7_Click, Command7_Click, Command7_Click, Command7_Click},
       "1",
       "10",
       "1000"},
      {"MTU 10, frame length 1",
       {Command3_Click, Command3_Click, Command3_Click, Command3_Click, Command3_Click,
        Command6_Click, Command6_Click, Command6_Click, Command6_Click},
       "10",
       "1",
       "10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto form = started();
    for (Click click : c.clicks) click(*form);
    EXPECT_EQ(form->Text11.text(), c.mtu);
    EXPECT_EQ(form->Text13.text(), c.frame_length);
    EXPECT_EQ(form->Label31.text(), c.slot);
    EXPECT_EQ(form->clock().interval(12), std::stoi(c.slot));
    EXPECT_FALSE(form->clock().enabled(12));  // the buttons never start it
    EXPECT_EQ(form->Label34.text(), "50");
  }
}

TEST(OperatorControls, EverySlotTimeTheButtonsCanReach) {
  auto form = started();
  press_to_operator_values(*form, 1, 5, 1);
  for (int mtu = 1; mtu <= 10; ++mtu) {
    for (int frame = 1; frame <= 10; ++frame) {
      press_to_operator_values(*form, mtu, 5, frame);
      ASSERT_EQ(form->Text11.number(), mtu);
      ASSERT_EQ(form->Text13.number(), frame);
      EXPECT_EQ(form->Label31.number(), frame * 100 / mtu) << mtu << "/" << frame;
      EXPECT_EQ(form->clock().interval(12), frame * 100 / mtu) << mtu << "/" << frame;
    }
  }
}

TEST(OperatorControls, SendingRateGivesTheRandomLimit) {
  struct Case {
    int rate;
    const char* limit;
  };
  const Case cases[] = {{4, "60"}, {1, "90"}, {5, "50"}, {9, "10"}, {10, "0"}, {6, "40"}};
  for (const Case& c : cases) {
    auto form = started();
    press_to_operator_values(*form, 5, c.rate, 5);
    EXPECT_EQ(form->Text12.number(), c.rate);
    EXPECT_EQ(form->Label34.text(), c.limit) << c.rate;
    EXPECT_EQ(form->Label31.text(), "100");
  }
}

TEST(OperatorControls, EachPairStopsAt1And10) {
  struct Case {
    const char* box;
    Click lower, raise;
    const char *derived, *at_1, *at_10;
  };
  const Case cases[] = {
      {"Text11", Command2_Click, Command3_Click, "Label31", "500", "50"},
      {"Text12", Command4_Click, Command5_Click, "Label34", "90", "0"},
      {"Text13", Command6_Click, Command7_Click, "Label31", "20", "200"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    auto form = started();
    Control& box = *form->find_named(c.box);
    Control& derived = *form->find_named(c.derived);
    for (int n = 0; n < 12; ++n) c.raise(*form);
    EXPECT_EQ(box.text(), "10");
    EXPECT_EQ(derived.text(), c.at_10);
    const std::string at_top = snapshot(*form);
    c.raise(*form);
    EXPECT_EQ(snapshot(*form), at_top);  // ">" at 10 does nothing
    for (int n = 0; n < 12; ++n) c.lower(*form);
    EXPECT_EQ(box.text(), "1");
    EXPECT_EQ(derived.text(), c.at_1);
    const std::string at_bottom = snapshot(*form);
    c.lower(*form);
    EXPECT_EQ(snapshot(*form), at_bottom);  // "<" at 1 does nothing
  }
}

TEST(OperatorControls, SendingRate10MakesEveryBackOff125) {
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE(kCodes[k]);
    auto form = started();
    press_to_operator_values(*form, 5, 10, 4);  // slot time 80 for slotted ALOHA
    ASSERT_EQ(form->Label34.text(), "0");
    run_as(*form, k);
    for (int i = 0; i < 10; ++i) {
      form->advance_to(form->now() + 1000);
      if (k == kPPer) form->rng().script({kSend});
      attempt(*form, k, i);
      EXPECT_EQ(form->clock().interval(station_timer(k, i)), k == kSlotted ? 160 : 125) << i;
    }
  }
}

TEST(OperatorControls, StartButtonStartsPureAlohaAndTheSecondsClock) {
  auto form = started();
  form->advance_to(300);
  std::array<std::int32_t, 50> before{};
  for (int n = 0; n < 50; ++n) before[n] = form->clock().interval(station_timer(n / 10, n % 10));
  Command1_Click(*form);
  for (int k = 0; k < 5; ++k) {
    for (int i = 0; i < 10; ++i) {
      const int n = station_timer(k, i);
      EXPECT_EQ(form->clock().enabled(n), k == kPure) << n;
      EXPECT_EQ(form->clock().interval(n), before[k * 10 + i]) << n;
      if (k == kPure) {
        EXPECT_EQ(form->clock().due(n), 300 + before[i]) << n;
      }
    }
  }
  EXPECT_TRUE(form->clock().enabled(54));
  EXPECT_EQ(form->clock().due(54), 1300);
  // A second click finds them running and changes nothing.
  form->advance_to(310);
  const std::string once = snapshot(*form);
  Command1_Click(*form);
  EXPECT_EQ(snapshot(*form), once);
}

TEST(OperatorControls, StartButtonDuringALaterMethodStartsOnlyTheSecondsClock) {
  auto form = started();
  Command1_Click(*form);
  form->advance_to(2000);
  switch_(*form);
  for (int i = 0; i < 10; ++i) form->Timer(station_timer(kSlotted, i)).set_enabled(false);
  const std::string pure_sent = form->Text1[0].text();
  const std::string pure_collisions = form->Text1[1].text();
  ASSERT_NE(pure_sent, "");
  ASSERT_EQ(form->Text9.text(), "pure");
  form->advance_to(20000);
  Command1_Click(*form);
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(form->clock().enabled(station_timer(kPure, i)));
  EXPECT_TRUE(form->clock().enabled(54));
  form->advance_to(60000);
  EXPECT_EQ(form->Text1[0].text(), pure_sent);
  EXPECT_EQ(form->Text1[1].text(), pure_collisions);
  EXPECT_EQ(form->Text2[0].text(), "");  // no pure ALOHA sending recorded under "slotted"
  EXPECT_EQ(form->Label1[1].text(), "Ready");
  EXPECT_EQ(form->Text9.text(), "pure");
}

TEST(OperatorControls, StartButtonClickedInEveryMethodLeavesTheRunAsItWas) {
  for (std::uint64_t seed : {3u, 8u, 21u}) {
    Settings s;
    s.data_amount = "30";
    const WholeRun plain = run_whole(seed, s);
    ASSERT_TRUE(plain.finished);

    Form1 form(seed, tick_handlers());
    Form_Load(form);
    press_to_operator_values(form, s.mtu, s.rate, s.frame_length);
    ASSERT_TRUE(commit_data_amount(form, s.data_amount).accepted);
    Command1_Click(form);
    int last = 0;
    while (!finished(form) && form.clock().deliver_next(plain.end) != 0) {
      if (form.method_index() != last) {
        last = form.method_index();
        Command1_Click(form);  // once more in each later method
        for (int i = 0; i < 10; ++i) EXPECT_FALSE(form.clock().enabled(station_timer(kPure, i)));
      }
    }
    EXPECT_EQ(last, kPPer);
    EXPECT_EQ(snapshot(form), plain.snapshot) << "seed " << seed;
  }
}

TEST(OperatorControls, EnterInText7LocksItAndAddsOne10msLater) {
  struct Case {
    const char* typed;
    const char* after;
  };
  const Case cases[] = {{"7", "8"}, {"41", "42"}, {"abc", "1"}, {"", "1"}, {" 3 ", "4"}};
  for (const Case& c : cases) {
    auto form = started();
    form->advance_to(500);
    form->Text7.set_text(c.typed);
    EXPECT_FALSE(Text7_KeyPress(*form, 'x'));  // other keys are left to the box
    EXPECT_TRUE(form->Text7.enabled());
    EXPECT_FALSE(form->clock().enabled(1));
    EXPECT_TRUE(Text7_KeyPress(*form, 13));
    EXPECT_FALSE(form->Text7.enabled());
    form->advance_to(509);
    EXPECT_EQ(form->Text7.text(), c.typed);
    form->advance_to(510);
    EXPECT_EQ(form->Text7.text(), c.after) << '"' << c.typed << '"';
    form->advance_to(5000);
    EXPECT_FALSE(form->Text7.enabled());  // nothing enables it again
    EXPECT_EQ(form->Text7.text(), c.after);
  }
}

TEST(OperatorControls, RestartCallsThePlatformAndNothingElse) {
  auto form = started();
  int calls = 0;
  form->on_restart = [&] { ++calls; };
  const std::string before = snapshot(*form);
  Command8_Click(*form);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(snapshot(*form), before);
  form->on_restart = nullptr;
  Command8_Click(*form);  // no platform: nothing happens, nothing fails
  EXPECT_EQ(snapshot(*form), before);
}

TEST(OperatorControls, DataAmountEdit) {
  struct Case {
    const char* typed;
    bool accepted;
    const char* shown;
  };
  const Case cases[] = {
      {"250", true, "250"},  {"0", true, "0"},         {"-3", true, "-3"},
      {" 7", true, " 7"},    {"12abc", true, "12abc"}, {"1.5", true, "1.5"},
      {"abc", false, "100"}, {"", false, "100"},       {"   ", false, "100"},
      {"-", false, "100"},   {"e5", false, "100"},     {"1e309", false, "100"},
  };
  for (const Case& c : cases) {
    auto form = started();
    const DataAmountEdit edit = commit_data_amount(*form, c.typed);
    EXPECT_EQ(edit.accepted, c.accepted) << '"' << c.typed << '"';
    EXPECT_EQ(form->Text6.text(), c.shown) << '"' << c.typed << '"';
    EXPECT_EQ(edit.message.empty(), c.accepted) << '"' << c.typed << '"';
  }
  // The refusal says why: no number, or a number too large to hold.
  struct Why {
    const char* typed;
    const char* says;
  };
  for (const Why w : {Why{"abc", "must begin with a number"}, Why{"-", "must begin with a number"},
                      Why{"1e309", "too large to hold"}, Why{" -1e400000x", "too large to hold"}}) {
    auto f = started();
    EXPECT_NE(commit_data_amount(*f, w.typed).message.find(w.says), std::string::npos) << w.typed;
  }
  // A refusal keeps the last accepted value, not the start-up one.
  auto form = started();
  ASSERT_TRUE(commit_data_amount(*form, "40").accepted);
  const DataAmountEdit refused = commit_data_amount(*form, "forty");
  EXPECT_FALSE(refused.accepted);
  EXPECT_EQ(form->Text6.text(), "40");
  EXPECT_NE(refused.message.find("40"), std::string::npos);
}

TEST(OperatorControls, SelectingAnOptionRaisesItsClickOnlyWhenItChanges) {
  auto form = started();
  for (int k = 0; k < 5; ++k) {
    form->Label17[k].set_text(std::string(1, static_cast<char>('a' + k)));
    form->Text8[k].set_text("3");
  }
  // While disabled, selecting from the program still raises the click (the ranking runs and
  // enables both options); all values tie, so each ranking in descending order reverses them.
  select_option(*form, form->Option1);
  EXPECT_TRUE(form->Option1.enabled());
  EXPECT_EQ(form->Label17[0].text(), "e");
  select_option(*form, form->Option1);  // already selected: no click
  EXPECT_EQ(form->Label17[0].text(), "e");
  select_option(*form, form->Option2);
  EXPECT_TRUE(form->Option2.value());
  EXPECT_FALSE(form->Option1.value());
  EXPECT_EQ(form->Label17[0].text(), "e");  // ascending keeps the order of ties
  select_option(*form, form->Option1);
  EXPECT_EQ(form->Label17[0].text(), "a");
  Option1_Click(*form);  // a click handler runs the ranking whatever the selection
  EXPECT_EQ(form->Label17[0].text(), "e");
}

TEST(OperatorControls, PressingToOperatorValuesStepsThroughTheButtons) {
  struct Case {
    int mtu, rate, frame_length;
    const char *slot, *limit;
  };
  const Case cases[] = {
      {5, 5, 5, "100", "50"}, {1, 1, 10, "1000", "90"}, {10, 10, 1, "10", "0"},
      {6, 4, 5, "83", "60"},  {0, 11, 12, "1000", "0"},  // asked beyond the bounds: stops there
  };
  for (const Case& c : cases) {
    auto form = started();
    press_to_operator_values(*form, c.mtu, c.rate, c.frame_length);
    EXPECT_EQ(form->Label31.text(), c.slot);
    EXPECT_EQ(form->Label34.text(), c.limit);
    EXPECT_EQ(form->clock().interval(12), std::stoi(c.slot));
  }
}

}  // namespace
}  // namespace bruvik
