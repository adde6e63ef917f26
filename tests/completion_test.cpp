// The completion test (Timer23) and the seconds clock (Timer54).
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

TEST(Completion, SuccessfulSendingsReachingTheDataAmountEndTheMethod) {
  struct Case {
    int k;
    const char *sent, *coll, *waited, *amount;
    bool ends;
  };
  const Case cases[] = {
      {kPure, "129", "30", "0", "100", false},
      {kPure, "130", "30", "0", "100", true},
      {kPure, "130", "30", "1", "100", false},  // the waited-data count is subtracted
      {kSlotted, "131", "30", "1", "100", true},
      {kSlotted, "130", "30", "1", "100", false},
      {kOnePer, "100", "0", "0", "100", true},
      {kOnePer, "100", "", "50", "100", true},  // no part in tests 3 to 5
      {kNonPer, "100", "1", "50", "100", false},
      {kPPer, "101", "1", "-7", "100", true},
      {kPure, " 130 ", " 30", "0", " 100 ", true},
      {kOnePer, "100abc", "0", "0", "100", true},
      {kNonPer, "5", "0", "0", "5.5", false},
      {kNonPer, "6", "0", "0", "5.5", true},
      {kPPer, "1e2", "0", "0", "1E2", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << kCodes[c.k] << " " << c.sent << "/" << c.coll << " w "
                                    << c.waited << " a " << c.amount);
    auto form = started();
    for (int n = 0; n < c.k; ++n) switch_(*form);
    ASSERT_EQ(form->method_code(), kCodes[c.k]);
    form->advance_to(500);
    form->Text10.set_text(c.waited);
    form->Text6.set_text(c.amount);
    collision_box(*form, c.k).set_text(c.coll);
    sent_box(*form, c.k).set_text(c.sent);
    form->advance_to(501);
    EXPECT_EQ(sent_box(*form, c.k).text(), c.ends ? std::string("Okey") : std::string(c.sent));
    EXPECT_EQ(form->method_index(), c.ends ? (c.k == kPPer ? kPPer : c.k + 1) : c.k);
    EXPECT_EQ(finished(*form), c.ends && c.k == kPPer);
  }
}

TEST(Completion, TheTestEndsTheMethodTheMomentTheCountsArrive) {
  auto form = started();
  form->advance_to(500);
  form->Text1[1].set_text("30");
  form->Text1[0].set_text("129");
  form->advance_to(700);
  EXPECT_EQ(form->method_code(), "pure");
  form->Text1[0].set_text("130");
  form->advance_to(700);
  EXPECT_EQ(form->method_code(), "pure");  // the next tick is at 701
  form->advance_to(701);
  EXPECT_EQ(form->Text1[0].text(), "Okey");
  EXPECT_EQ(form->method_code(), "slotted");
}

TEST(Completion, ADataAmountOfZeroOrLessEndsEveryMethodInOneTick) {
  for (const char* amount : {"0", "-5", "0abc"}) {
    SCOPED_TRACE(amount);
    auto form = started();
    Command1_Click(*form);
    form->advance_to(100);
    ASSERT_TRUE(commit_data_amount(*form, amount).accepted);
    form->advance_to(100);
    EXPECT_EQ(form->method_code(), "pure");
    form->advance_to(101);
    EXPECT_TRUE(finished(*form));
    for (int k = 0; k < 5; ++k) {
      EXPECT_EQ(sent_box(*form, k).text(), "Okey") << k;
      EXPECT_TRUE(form->Label17[k].text() != "Not Prosessed") << k;
    }
    // Every line still read "Ready": all values are "ady", ranked as ties.
    const char* names[5] = {"Pure Aloha", "Slotted Aloha", "1 Persistant", "Non Persistant",
                            "P Persistant"};
    for (int row = 0; row < 5; ++row) {
      EXPECT_EQ(form->Text8[row].text(), "ady") << row;
      EXPECT_EQ(form->Label17[row].text(), names[row]) << row;
    }
    EXPECT_EQ(form->Text7.text(), "0");
  }
}

TEST(Completion, TwoMethodsPassingInOneTickAdvanceTheRunByTwo) {
  auto form = started();
  form->advance_to(500);
  form->Text1[0].set_text("100");  // pure ALOHA, running, has reached 100
  form->Text2[0].set_text("100");  // and so have slotted ALOHA's counters
  form->advance_to(501);
  EXPECT_EQ(form->method_code(), "1per");
  EXPECT_EQ(form->Text1[0].text(), "Okey");
  EXPECT_EQ(form->Text2[0].text(), "Okey");
  EXPECT_EQ(form->Label17[0].text(), "Pure Aloha");
  EXPECT_EQ(form->Label17[1].text(), "Slotted Aloha");
}

TEST(Completion, TheTestsDoNotLookAtTheMethodCode) {
  // A method not running that reaches the amount ends whichever method runs.
  auto form = started();
  form->advance_to(500);
  form->Text14[1].set_text("-100");  // typed into the non-persistent collision box
  form->advance_to(501);
  EXPECT_EQ(form->Text4[0].text(), "Okey");
  EXPECT_EQ(form->method_code(), "slotted");
  EXPECT_EQ(form->Label17[0].text(), "Pure Aloha");
}

TEST(Completion, RaisingTheAmountDoesNotReopenAndLoweringItEnds) {
  auto form = started();
  form->advance_to(500);
  form->Text1[0].set_text("100");
  form->advance_to(501);
  ASSERT_EQ(form->method_code(), "slotted");
  ASSERT_TRUE(commit_data_amount(*form, "100000").accepted);
  form->advance_to(600);
  EXPECT_EQ(form->Text1[0].text(), "Okey");
  EXPECT_EQ(form->method_code(), "slotted");
  // Slotted ALOHA at 40 successful sendings: lowering the amount to 40 ends it at the next tick.
  form->Text2[0].set_text("45");
  form->Text2[1].set_text("5");
  form->advance_to(700);
  EXPECT_EQ(form->method_code(), "slotted");
  ASSERT_TRUE(commit_data_amount(*form, "41").accepted);
  form->advance_to(800);
  EXPECT_EQ(form->method_code(), "slotted");
  ASSERT_TRUE(commit_data_amount(*form, "40").accepted);
  form->advance_to(800);
  EXPECT_EQ(form->method_code(), "slotted");
  form->advance_to(801);
  EXPECT_EQ(form->method_code(), "1per");
  EXPECT_EQ(form->Text2[0].text(), "Okey");
}

TEST(Completion, TheSecondsClock) {
  const std::pair<const char*, const char*> cases[] = {
      {"41", "42"},   {"abc", "1"}, {"", "1"},       {"0", "1"},         {" 9 ", "10"},
      {"2.5", "3.5"}, {"-1", "0"},  {"1e3", "1001"}, {"7 seconds", "8"}, {"1e309", "1"},
  };
  for (auto [before, after] : cases) {
    auto form = started();
    form->advance_to(20);
    Command1_Click(*form);
    for (int i = 0; i < 10; ++i) form->Timer(station_timer(kPure, i)).set_enabled(false);
    form->advance_to(1019);
    form->Text7.set_text(before);
    form->advance_to(1020);
    EXPECT_EQ(form->Text7.text(), after) << '"' << before << '"';
    form->advance_to(2020);
    EXPECT_EQ(form->Text7.number(), numtext::val(after) + 1) << '"' << before << '"';
  }
}

TEST(Completion, TheSecondsClockWaitsForTheStartButton) {
  auto form = started();
  form->advance_to(10 * 60 * 1000);
  EXPECT_EQ(form->Text7.text(), "1");  // Timer1's one tick only
  EXPECT_FALSE(form->clock().enabled(54));
}

}  // namespace
}  // namespace bruvik
