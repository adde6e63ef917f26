// The output primitives of the terminal runs: JSON strings and numbers, CSV fields, the writer's
// nesting, aligned text columns and colour texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "headless/dump.h"
#include "headless/json.h"
#include "headless/report.h"
#include "json_reader.h"

namespace bruvik {
namespace {

using test::JsonReader;

TEST(JsonString, EscapesWhatMustBeEscapedAndKeepsTheRest) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"", "\"\""},
      {"Pure Aloha", "\"Pure Aloha\""},
      {"%  25  Col.     2", "\"%  25  Col.     2\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"a\\b", "\"a\\\\b\""},
      {"line\nnext\r\ttab", "\"line\\nnext\\r\\ttab\""},
      {std::string("\x01\x1f\b\f", 4), "\"\\u0001\\u001f\\b\\f\""},
      {std::string("nul\0in", 6), "\"nul\\u0000in\""},
      {"süre \xE2\x82\xAC \xF0\x9F\x98\x80", "\"süre \xE2\x82\xAC \xF0\x9F\x98\x80\""},
      {"\x7f", "\"\x7f\""},
      // Not UTF-8: a lone continuation byte, a cut sequence, an overlong slash, a surrogate.
      {"a\x80z", "\"a\xEF\xBF\xBDz\""},
      {"\xE2\x82", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(json_string(c.in), c.out) << c.in;
    // Whatever came in, what goes out is valid JSON.
    EXPECT_NO_THROW(JsonReader::parse(json_string(c.in))) << c.in;
  }
}

TEST(JsonString, ValidTextReadsBackUnchanged) {
  const std::string texts[] = {"100", "12\"\\/\n\x01é", "  .5", "R. V.", "\xF0\x9F\x98\x80"};
  for (const std::string& t : texts) EXPECT_EQ(JsonReader::parse(json_string(t)).text, t);
}

TEST(JsonNumber, ShortestTextThatReadsBackAndNullWhenNotFinite) {
  struct Case {
    double in;
    const char* out;
  };
  const Case cases[] = {
      {0, "0"},
      {130, "130"},
      {-5, "-5"},
      {0.1, "0.1"},
      {2.0 / 3.0, "0.6666666666666666"},
      {1e21, "1e+21"},
      {std::numeric_limits<double>::infinity(), "null"},
      {std::nan(""), "null"},
  };
  for (const Case& c : cases) EXPECT_EQ(json_number(c.in), c.out) << c.in;
}

TEST(CsvField, QuotesOnlyWhereNeeded) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"Pure Aloha", "Pure Aloha"},
      {"%  33.3  Col.   .5", "%  33.3  Col.   .5"},
      {"  2", "\"  2\""},
      {"2 ", "\"2 \""},
      {"a,b", "\"a,b\""},
      {"say \"x\"", "\"say \"\"x\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(csv_field(c.in), c.out) << c.in;
    const auto rows = test::read_csv(csv_field(c.in) + ",end\n");
    ASSERT_EQ(rows.size(), 1u) << c.in;
    EXPECT_EQ(rows[0][0], c.in);
  }
}

TEST(JsonWriter, NestsObjectsAndArraysWithCommasAndIndentation) {
  std::string out;
  JsonWriter json(out);
  json.begin_object();
  json.key("a");
  json.value(1);
  json.key("list");
  json.begin_array();
  json.value("x");
  json.null();
  json.begin_object();
  json.end_object();
  json.begin_array();
  json.end_array();
  json.end_array();
  json.key("b");
  json.value(false);
  json.end_object();
  EXPECT_EQ(out,
            "{\n  \"a\": 1,\n  \"list\": [\n    \"x\",\n    null,\n    {},\n    []\n  ],\n"
            "  \"b\": false\n}\n");
  const auto v = JsonReader::parse(out);
  EXPECT_EQ(v.keys(), (std::vector<std::string>{"a", "list", "b"}));
  EXPECT_EQ(v["list"].items.size(), 4u);
}

TEST(AlignedTable, PadsColumnsByCharactersNotBytes) {
  const std::string t = aligned_table({{"name", "n"}, {"süre", "10"}, {"ab", "7"}}, {false, true});
  EXPECT_EQ(t, "name   n\nsüre  10\nab     7\n");
}

TEST(ColourText, ModelColoursAreBgrAndSystemColoursResolve) {
  struct Case {
    Colour in;
    const char* out;
  };
  const Case cases[] = {
      {0x00FF0000, "#0000FF"},  // the busy bus: blue
      {0x000000C0, "#C00000"},  // the frame ring: dark red
      {0x00C0C0FF, "#FFC0C0"},  // the window's pink
      {0x00123456, "#563412"},  {kWindowText, "#000000"}, {kWindowBackground, "#FFFFFF"},
      {kButtonFace, "#C0C0C0"}, {kHighlight, "#000080"},
  };
  for (const Case& c : cases) EXPECT_EQ(colour_text(c.in), c.out) << std::hex << c.in;
}

}  // namespace
}  // namespace bruvik
