// Send accounting: the method code shown, the data-sent counter, the statistics line and the
// bus-busy delay, each step on its own guard.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

// A started form running method k with n - 1 sendings, c collisions and `seconds` in Text7.
std::unique_ptr<Form1> before_send(int k, const std::string& sent, const std::string& coll,
                                   const std::string& seconds) {
  auto form = started();
  form->advance_to(1000);
  run_as(*form, k);
  sent_box(*form, k).set_text(sent);
  collision_box(*form, k).set_text(coll);
  form->Text7.set_text(seconds);
  return form;
}

TEST(Send, StatisticsLineExamples) {
  struct Case {
    int k;
    int n, c, s;
    const char* line;
  };
  const Case cases[] = {
      {kPure, 8, 2, 3, "%  25  Col.     2"},
      {kSlotted, 3, 1, 4, "%  33.3  Col.   .5"},
      {kOnePer, 7, 0, 2, "%  0  Col.    3.5"},
      {kNonPer, 12, 5, 1, "%  41.6  Col.    7"},
      {kPure, 4, 4, 2, "%  100  Col.     0"},
      {kPure, 2469, 0, 2, "%  0  Col.     123"},  // 1234.5 per second keeps 4 characters
      {kPPer, 3, 2, 3, "%  66.6  Col.    .33"},
      {kSlotted, 8, 0, 3, "%  0  Col.   2.6"},
      {kOnePer, 25, 0, 2, "%  0  Col.    12."},
      {kNonPer, 1000, 1, 3, "%  .1  Col.    333"},
      {kPPer, 1, 0, 1, "%  0  Col.    1"},
      {kPure, 5, 1, -2, "%  20  Col.    -2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << kCodes[c.k] << " " << c.n << "/" << c.c << "/" << c.s);
    auto form = before_send(c.k, std::to_string(c.n - 1), std::to_string(c.c), std::to_string(c.s));
    send(*form);
    EXPECT_EQ(form->Label1[c.k].text(), c.line);
    EXPECT_EQ(form->Label1[c.k].text(), expected_line(c.k, c.n, c.c, c.s));
    EXPECT_EQ(sent_box(*form, c.k).text(), std::to_string(c.n));
    EXPECT_EQ(collision_box(*form, c.k).text(), std::to_string(c.c));  // only read
    EXPECT_EQ(form->Text9.text(), kCodes[c.k]);
    EXPECT_TRUE(form->clock().enabled(65));
    for (int other = 0; other < 5; ++other) {
      if (other == c.k) continue;
      EXPECT_EQ(form->Label1[other].text(), "Ready") << other;
      EXPECT_EQ(sent_box(*form, other).text(), "") << other;
    }
  }
}

TEST(Send, FirstSendingWithNothingCounted) {
  for (const char* seconds : {"0", "1"}) {
    auto form = before_send(kPure, "", "", seconds);
    send(*form);
    EXPECT_EQ(form->Text9.text(), "pure");
    EXPECT_EQ(form->Text1[0].text(), "1");
    EXPECT_EQ(form->Label1[0].text(), seconds[0] == '0' ? "Ready" : "%  0  Col.     1");
    EXPECT_TRUE(form->clock().enabled(65));
  }
}

TEST(Send, ALineThatCannotBeComputedKeepsItsCaption) {
  struct Case {
    const char* sent;
    const char* coll;
    const char* seconds;
  };
  const Case cases[] = {
      {"4", "1", "0"},   {"4", "1", "abc"}, {"4", "1", ""},
      {"4", "1", "0.0"}, {"-1", "0", "3"},  {"-1", "2", "3"},  // n = 0: no percentage
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sent << "/" << c.coll << "/" << c.seconds);
    for (const char* previous : {"Ready", "%  25  Col.     2"}) {
      auto form = before_send(kPure, c.sent, c.coll, c.seconds);
      form->Label1[0].set_text(previous);
      send(*form);
      EXPECT_EQ(form->Label1[0].text(), previous);
      EXPECT_EQ(form->Text1[0].text(), numtext::shortest(numtext::val(c.sent) + 1));
      EXPECT_EQ(form->Text9.text(), "pure");
      EXPECT_TRUE(form->clock().enabled(65));
    }
  }
}

TEST(Send, CountersHoldingTextReadAsTheirLeadingNumber) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "1"},      {"abc", "1"}, {"Okey", "1"},  {"41 frames", "42"},
      {"2.5", "3.5"}, {"-4", "-3"}, {"1e309", "1"},
  };
  for (auto [before, after] : cases) {
    auto form = before_send(kNonPer, before, "", "0");
    send(*form);
    EXPECT_EQ(form->Text4[0].text(), after) << '"' << before << '"';
  }
}

TEST(Send, SeveralSendingsWithin50msGiveOneBusyDelayTick) {
  auto form = before_send(kPure, "", "", "1");
  send(*form);
  form->advance_to(1020);
  send(*form);
  form->advance_to(1049);
  send(*form);
  EXPECT_EQ(form->clock().due(65), 1050);
  form->advance_to(1050);
  EXPECT_TRUE(bus_busy(*form));
  EXPECT_FALSE(form->clock().enabled(65));
  EXPECT_EQ(form->Text1[0].text(), "3");
}

TEST(Send, TheSeparatorBelongsToTheRow) {
  for (int k = 0; k < 5; ++k) {
    auto form = before_send(k, "1", "1", "1");
    send(*form);
    const std::string seps[5] = {"  Col.    ", "  Col.  ", "  Col.   ", "  Col.   ", "  Col.   "};
    EXPECT_EQ(form->Label1[k].text(), "%  50" + seps[k] + " 1") << kCodes[k];
  }
}

}  // namespace
}  // namespace bruvik
