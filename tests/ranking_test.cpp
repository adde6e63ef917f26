// Performance ranking: the exchange sort by numeric value, the reversal for descending order,
// the order of ties, and trimming.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "test_support.h"

namespace bruvik {
namespace {

using namespace test;

using Row = std::pair<std::string, std::string>;  // name, value
using Table = std::array<Row, 5>;

std::unique_ptr<Form1> with_table(const std::array<std::string, 5>& values,
                                  const std::array<std::string, 5>& names = kNames) {
  auto form = started();
  for (int k = 0; k < 5; ++k) {
    form->Label17[k].set_text(names[static_cast<std::size_t>(k)]);
    form->Text8[k].set_text(values[static_cast<std::size_t>(k)]);
  }
  return form;
}

Table table_of(Form1& form) {
  Table t;
  for (int k = 0; k < 5; ++k)
    t[static_cast<std::size_t>(k)] = {form.Label17[k].text(), form.Text8[k].text()};
  return t;
}

TEST(Ranking, TheExampleInAllFourColumns) {
  auto form = with_table({"  2", " .5", "3.5", "  7", "3.5"});
  select_option(*form, form->Option1);  // the click runs the ranking once
  EXPECT_EQ(table_of(*form), (Table{{{"Non Persistant", "7"},
                                     {"P Persistant", "3.5"},
                                     {"1 Persistant", "3.5"},
                                     {"Pure Aloha", "2"},
                                     {"Slotted Aloha", ".5"}}}));
  performance(*form);
  EXPECT_EQ(table_of(*form), (Table{{{"Non Persistant", "7"},
                                     {"1 Persistant", "3.5"},
                                     {"P Persistant", "3.5"},
                                     {"Pure Aloha", "2"},
                                     {"Slotted Aloha", ".5"}}}));
  select_option(*form, form->Option2);
  EXPECT_FALSE(form->Option1.value());
  EXPECT_EQ(table_of(*form), (Table{{{"Slotted Aloha", ".5"},
                                     {"Pure Aloha", "2"},
                                     {"1 Persistant", "3.5"},
                                     {"P Persistant", "3.5"},
                                     {"Non Persistant", "7"}}}));
  select_option(*form, form->Option1);
  EXPECT_FALSE(form->Option2.value());
  EXPECT_EQ(table_of(*form), (Table{{{"Non Persistant", "7"},
                                     {"P Persistant", "3.5"},
                                     {"1 Persistant", "3.5"},
                                     {"Pure Aloha", "2"},
                                     {"Slotted Aloha", ".5"}}}));
}

TEST(Ranking, FiveDifferentValuesInEitherOrderFromAnyStart) {
  const std::array<std::array<std::string, 5>, 4> starts = {{
      {"1", "2", "3", "4", "5"},
      {"5", "4", "3", "2", "1"},
      {"3", "1", "5", "2", "4"},
      {"2", "5", "1", "4", "3"},
  }};
  for (const auto& values : starts) {
    std::array<std::string, 5> names;
    for (int k = 0; k < 5; ++k) names[k] = "M" + values[k];  // name follows its value
    for (bool descending : {true, false}) {
      auto form = with_table(values, names);
      form->Option1.set_value(descending);
      performance(*form);
      for (int row = 0; row < 5; ++row) {
        const std::string v = std::to_string(descending ? 5 - row : row + 1);
        EXPECT_EQ(form->Text8[row].text(), v) << row;
        EXPECT_EQ(form->Label17[row].text(), "M" + v) << row;
      }
    }
  }
}

TEST(Ranking, AllEqualAtTheEndOfARun) {
  auto form = started();
  for (int k = 0; k < 5; ++k) form->Label1[k].set_text("%  0  Col.    3.5");
  for (int n = 0; n < 5; ++n) switch_(*form);
  Table run_order;
  for (int k = 0; k < 5; ++k) run_order[k] = {kNames[k], "3.5"};
  EXPECT_EQ(table_of(*form), run_order);
  select_option(*form, form->Option2);
  EXPECT_EQ(table_of(*form), run_order);
  select_option(*form, form->Option1);
  Table reversed;
  for (int k = 0; k < 5; ++k) reversed[k] = run_order[4 - k];
  EXPECT_EQ(table_of(*form), reversed);
}

TEST(Ranking, ValuesCompareAsNumbers) {
  struct Case {
    std::array<std::string, 5> values;
    std::array<std::string, 5> descending;  // values as shown afterwards
    std::array<std::string, 5> ascending;
  };
  const Case cases[] = {
      {{"12.", "3.5", " .5", "  2", "ady"},
       {"12.", "3.5", "2", ".5", "ady"},
       {"ady", ".5", "2", "3.5", "12."}},
      {{"ady", "  0", "1", "ady", "0"},
       {"1", "0", "ady", "0", "ady"},     // ties with 0 keep reverse order in one descending run
       {"ady", "  0", "ady", "0", "1"}},  // and their order ascending; unmoved rows keep blanks
      {{"100", "99", "9", "-1", "10"},
       {"100", "99", "10", "9", "-1"},
       {"-1", "9", "10", "99", "100"}},
      {{"1e2", "2E1", "3", " 4x", ".25"},
       {"1e2", "2E1", "4x", "3", ".25"},
       {".25", "3", "4x", "2E1", "1e2"}},
  };
  for (const Case& c : cases) {
    for (bool descending : {true, false}) {
      auto form = with_table(c.values);
      form->Option1.set_value(descending);
      performance(*form);
      const auto& want = descending ? c.descending : c.ascending;
      for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(form->Text8[row].text(), want[row]) << row << (descending ? " desc" : " asc");
      }
    }
  }
}

TEST(Ranking, NamesAndValuesMoveTogetherAndComeOutTrimmed) {
  auto form = with_table({"  2", " 7 ", "3.5  ", "  1", " .5"}, {"  a", "b  ", " c ", "d", "e "});
  form->Option1.set_value(true);
  performance(*form);
  EXPECT_EQ(table_of(*form),
            (Table{{{"b", "7"}, {"c", "3.5"}, {"a", "2"}, {"d", "1"}, {"e", ".5"}}}));
}

TEST(Ranking, AnAlreadySortedTableIsOnlyTrimmed) {
  // No exchange happens, so names keep their blanks; values lose them in the reversal only.
  auto form = with_table({" 1", " 2", " 3", " 4", " 5"}, {" a", " b", " c", " d", " e"});
  performance(*form);  // ascending: nothing moves
  EXPECT_EQ(table_of(*form),
            (Table{{{" a", " 1"}, {" b", " 2"}, {" c", " 3"}, {" d", " 4"}, {" e", " 5"}}}));
  form->Option1.set_value(true);
  performance(*form);
  EXPECT_EQ(table_of(*form),
            (Table{{{" e", "5"}, {" d", "4"}, {" c", "3"}, {" b", "2"}, {" a", "1"}}}));
}

TEST(Ranking, TheRankingEnablesBothOptions) {
  auto form = with_table({"1", "2", "3", "4", "5"});
  ASSERT_FALSE(form->Option1.enabled());
  performance(*form);
  EXPECT_TRUE(form->Option1.enabled());
  EXPECT_TRUE(form->Option2.enabled());
}

}  // namespace
}  // namespace bruvik
