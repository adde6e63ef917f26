// The output primitives of the terminal runs: JSON strings and numbers, CSV fields, JSON written
// straight in nlohmann's layout, aligned text columns and colour texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "headless/dump.h"
#include "headless/json.h"
#include "headless/report.h"
#include "output_reader.h"

namespace bruvik {
namespace {

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
      {"\xE2\x82z", "\"\xEF\xBF\xBD\xEF\xBF\xBDz\""},
      {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(json_string(c.in), c.out) << c.in;
    // Whatever came in, what goes out is valid JSON.
    EXPECT_NO_THROW(Json::parse(json_string(c.in))) << c.in;
  }
}

TEST(JsonString, ValidTextReadsBackUnchanged) {
  const std::string texts[] = {"100", "12\"\\/\n\x01é", "  .5", "R. V.", "\xF0\x9F\x98\x80"};
  for (const std::string& t : texts) EXPECT_EQ(Json::parse(json_string(t)).get<std::string>(), t);
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
      {100.0, "100"},
      {0.5, "0.5"},
      {1e20, "1e+20"},
      {1e5, "1e+05"},
      {9999, "9999"},
      {-9999, "-9999"},
      {1e4, "10000"},
      {-12345, "-12345"},
      {25000, "25000"},
      {1e-4, "1e-04"},
      {1e-7, "1e-07"},
      {-0.0, "-0"},
      {0.001, "0.001"},
      {123.456, "123.456"},
      {1e-100, "1e-100"},
      // Beyond 2^53 a whole number's fixed form has its exact digits, not padding zeros.
      {0x1p60, "1152921504606846976"},
      {std::numeric_limits<double>::infinity(), "null"},
      {std::nan(""), "null"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(json_number(c.in), c.out) << c.in;
    // The same text inside JSON, where nlohmann alone would write 100.0, 100000.0, -0.0.
    EXPECT_EQ(Json(c.in).dump(), c.out) << c.in;
  }
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

TEST(JsonWriter, WritesWhatJsonTextWrites) {
  // Each element made as a Json and written straight: the two must give the same text.
  const auto element = [](std::size_t i) {
    Json e = Json::object();
    e["i"] = i;
    e["list"] = Json::array({Json::object(), Json::array(), nullptr, 0.5, -7, true, 1e5, -0.0});
    e["text"] = "cut \xE2\x82 line\nbreak";
    e["nested"] = Json::array({Json::object({{"a", Json::array({1, 2})}, {"b", "say \"x\""}})});
    e["most"] = std::numeric_limits<std::uint64_t>::max();
    return e;
  };
  const auto write_element = [](JsonWriter& w, std::size_t i) {
    w.begin_object();
    w.key("i").integer(i);
    w.key("list").begin_array();
    w.begin_object();
    w.end_object();
    w.begin_array();
    w.end_array();
    w.null();
    w.number(0.5);
    w.integer(-7);
    w.boolean(true);
    w.number(1e5);
    w.number(std::optional<double>(-0.0));
    w.end_array();
    w.key("text").string("cut \xE2\x82 line\nbreak");
    w.key("nested").begin_array();
    w.begin_object();
    w.key("a").begin_array();
    w.integer(1);
    w.integer(2);
    w.end_array();
    w.key("b").string("say \"x\"");
    w.end_object();
    w.end_array();
    w.key("most").integer(std::numeric_limits<std::uint64_t>::max());
    w.end_object();
  };
  for (const std::size_t count : {0u, 1u, 3u}) {
    Json whole = Json::object();
    whole["a"] = 1;
    whole["list"] = Json::array();
    for (std::size_t i = 0; i < count; ++i) whole["list"].push_back(element(i));
    whole["b"] = Json::object();
    std::string text;
    JsonWriter w(text);
    w.begin_object();
    w.key("a").integer(1);
    w.key("list").begin_array();
    for (std::size_t i = 0; i < count; ++i) write_element(w, i);
    w.end_array();
    w.key("b").begin_object();
    w.end_object();
    w.end_object();
    EXPECT_EQ(text + "\n", json_text(whole)) << count;
  }
  std::string text;
  JsonWriter w(text);
  w.begin_object();
  w.key("a").integer(1);
  w.key("list").begin_array();
  w.begin_object();
  w.key("i").integer(0);
  w.key("list").begin_array();
  w.begin_object();
  w.end_object();
  w.number(std::nullopt);
  w.end_array();
  w.key("text").string("cut \xE2\x82 line\nbreak");
  w.end_object();
  w.end_array();
  w.end_object();
  EXPECT_EQ(text,
            "{\n  \"a\": 1,\n  \"list\": [\n    {\n      \"i\": 0,\n      \"list\": [\n"
            "        {},\n        null\n      ],\n"
            "      \"text\": \"cut \xEF\xBF\xBD\xEF\xBF\xBD line\\nbreak\"\n    }\n  ]\n}");
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
