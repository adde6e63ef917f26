// Method sequencing: what `switch_` changes after each of the five methods, the throughput text
// entered into the table, and the double ranking at the end of the run.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

bool family_on(Form1& form, int k) {
  for (int i = 0; i < 10; ++i) {
    if (!form.clock().enabled(station_timer(k, i))) return false;
  }
  return true;
}
bool family_off(Form1& form, int k) {
  for (int i = 0; i < 10; ++i) {
    if (form.clock().enabled(station_timer(k, i))) return false;
  }
  return true;
}

// Statistics lines whose throughput texts are those of the ranking example.
const std::array<const char*, 5> kLines = {"%  25  Col.     2", "%  33.3  Col.   .5",
                                           "%  0  Col.    3.5", "%  41.6  Col.    7",
                                           "%  10  Col.    3.5"};

TEST(Sequencing, EachSwitchHandsTheRunOn) {
  struct Step {
    const char* code_after;
    const char* heading_after;
    const char* name;
    const char* value;
  };
  const Step steps[5] = {
      {"slotted", "Processing The Slotted Aloha Method", "Pure Aloha", "  2"},
      {"1per", "Processing The 1 Persistant CSMA/CD", "Slotted Aloha", " .5"},
      {"nonper", "Processing The Non Persistant CSMA/CD", "1 Persistant", "3.5"},
      {"pper", "Processing The P Persistant CSMA/CD", "Non Persistant", "  7"},
      {"pper", "Processing The P Persistant CSMA/CD", "P Persistant", nullptr},
  };
  auto form = started();
  for (int k = 0; k < 5; ++k) form->Label1[k].set_text(kLines[static_cast<std::size_t>(k)]);
  Command1_Click(*form);
  std::array<std::array<std::int32_t, 10>, 5> intervals{};
  for (int k = 0; k < 5; ++k) {
    for (int i = 0; i < 10; ++i) intervals[k][i] = form->clock().interval(station_timer(k, i));
  }
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE(kCodes[k]);
    ASSERT_EQ(form->method_code(), kCodes[k]);
    const VirtualMs now = 1000 * (k + 1);
    // Stations off so that nothing but switch_ changes the figures.
    for (int i = 0; i < 10; ++i) form->Timer(station_timer(k, i)).set_enabled(false);
    form->advance_to(now);
    for (int i = 0; i < 10; ++i) form->Timer(station_timer(k, i)).set_enabled(true);
    form->Text7.set_text("17");
    switch_(*form);
    const Step& s = steps[k];
    EXPECT_EQ(form->method_code(), s.code_after);
    EXPECT_EQ(form->Label29.text(), s.heading_after);
    EXPECT_EQ(form->Text7.text(), "0");
    EXPECT_TRUE(family_off(*form, k));
    for (int other = 0; other < 5; ++other) {
      if (other == k + 1) {
        EXPECT_TRUE(family_on(*form, other));
        for (int i = 0; i < 10; ++i) {
          // Started with the interval it holds: the first tick one such interval later.
          EXPECT_EQ(form->clock().interval(station_timer(other, i)), intervals[other][i]);
          EXPECT_EQ(form->clock().due(station_timer(other, i)), now + intervals[other][i]);
        }
      } else {
        EXPECT_TRUE(family_off(*form, other)) << other;
      }
    }
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(form->clock().interval(station_timer(k, i)), intervals[k][i]);
    }
    if (k < 4) {
      EXPECT_EQ(form->Label17[k].text(), s.name);
      EXPECT_EQ(form->Text8[k].text(), s.value);
      for (int row = k + 1; row < 5; ++row) {
        EXPECT_EQ(form->Label17[row].text(), "Not Prosessed") << row;
        EXPECT_EQ(form->Text8[row].text(), "") << row;
      }
      EXPECT_FALSE(form->Option1.value());
      EXPECT_FALSE(form->Option1.enabled());
    }
  }
  // After the fifth: the table ranked twice in descending order, equal values in run order.
  EXPECT_TRUE(form->Option1.value());
  EXPECT_FALSE(form->Option2.value());
  EXPECT_TRUE(form->Option1.enabled());
  EXPECT_TRUE(form->Option2.enabled());
  const std::array<std::pair<const char*, const char*>, 5> table = {{{"Non Persistant", "7"},
                                                                     {"1 Persistant", "3.5"},
                                                                     {"P Persistant", "3.5"},
                                                                     {"Pure Aloha", "2"},
                                                                     {"Slotted Aloha", ".5"}}};
  for (int row = 0; row < 5; ++row) {
    EXPECT_EQ(form->Label17[row].text(), table[row].first) << row;
    EXPECT_EQ(form->Text8[row].text(), table[row].second) << row;
  }
  for (int k = 0; k < 5; ++k) EXPECT_TRUE(family_off(*form, k)) << k;
  form->advance_to(60000);
  EXPECT_EQ(form->Text1[0].text(), "");  // nothing runs any more
  EXPECT_EQ(form->Text5[0].text(), "");
}

TEST(Sequencing, ThroughputTextIsTheLastThreeCharactersOfTheTrimmedLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"%  25  Col.     2", "  2"},
      {"%  33.3  Col.   .5", " .5"},
      {"%  0  Col.   2.6", "2.6"},
      {"%  0  Col.    12.", "12."},
      {"%  0  Col.    123", "123"},
      {"Ready", "ady"},
      {"ab", "ab"},
      {"  x  ", "x"},
      {"", ""},
      {"   ", ""},
      {"%  0  Col.    7   ", "  7"},
  };
  for (auto [line, text] : cases) {
    auto form = started();
    form->Label1[0].set_text(line);
    EXPECT_EQ(throughput_text(*form, 0), text) << '"' << line << '"';
    switch_(*form);
    EXPECT_EQ(form->Text8[0].text(), text) << '"' << line << '"';
  }
}

TEST(Sequencing, SwitchAfterTheEndUpdatesPPersistantInItsOwnRowAndRanksAgain) {
  auto form = started();
  for (int k = 0; k < 5; ++k) form->Label1[k].set_text(kLines[static_cast<std::size_t>(k)]);
  for (int n = 0; n < 5; ++n) switch_(*form);
  ASSERT_TRUE(finished(*form));
  // Ranked, row 4 holds Slotted Aloha's ".5" and P Persistant sits in row 2. Rewriting row 4
  // would lose Slotted Aloha and show P Persistant twice; its own row is updated instead.
  ASSERT_EQ(form->Label17[4].text(), "Slotted Aloha");
  form->Label1[4].set_text("%  0  Col.    9.5");
  form->Text7.set_text("3");
  switch_(*form);
  EXPECT_EQ(form->Text7.text(), "0");
  EXPECT_EQ(form->method_code(), "pper");
  const std::array<std::pair<const char*, const char*>, 5> table = {{{"P Persistant", "9.5"},
                                                                     {"Non Persistant", "7"},
                                                                     {"1 Persistant", "3.5"},
                                                                     {"Pure Aloha", "2"},
                                                                     {"Slotted Aloha", ".5"}}};
  for (int row = 0; row < 5; ++row) {
    EXPECT_EQ(form->Label17[row].text(), table[row].first) << row;
    EXPECT_EQ(form->Text8[row].text(), table[row].second) << row;
  }
}

}  // namespace
}  // namespace bruvik
