// The state dump: every control and timer of the window, each with the properties of its kind.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "headless/terminal.h"
#include "json_reader.h"

namespace bruvik {
namespace {

using test::JsonReader;
using test::JsonValue;

JsonValue dump(VirtualMs at, bool start, std::uint64_t seed = 4) {
  Options o;
  o.headless = true;
  o.dump_at = at;
  o.start = start;
  o.seed = seed;
  std::ostringstream out, err;
  EXPECT_EQ(dump_state(o, out, err), 0) << err.str();
  return JsonReader::parse(out.str());
}

TEST(StateDump, HoldsEveryControlAndTimer) {
  const JsonValue v = dump(10, false);
  EXPECT_EQ(v.keys(), (std::vector<std::string>{"seed", "virtual_ms", "method_code", "caption",
                                                "controls", "timers"}));
  EXPECT_EQ(v["virtual_ms"].number, 10);
  EXPECT_EQ(v["method_code"].text, "pure");
  EXPECT_EQ(v["caption"].text.size(), 175u);
  std::map<std::string, int> kinds;
  for (const auto& [name, c] : v["controls"].members) ++kinds[c["kind"].text];
  const std::map<std::string, int> expect = {
      {"label", 47}, {"text_box", 25}, {"command_button", 8}, {"option_button", 2},
      {"frame", 4},  {"line", 18},     {"shape", 12},         {"image", 21}};
  EXPECT_EQ(kinds, expect);
  ASSERT_EQ(v["timers"].members.size(), 65u);
  EXPECT_EQ(v["timers"].members.front().first, "Timer1");
  EXPECT_EQ(v["timers"].members.back().first, "Timer65");
}

TEST(StateDump, EachKindShowsItsOwnProperties) {
  const JsonValue v = dump(0, false);
  struct Case {
    const char* name;
    std::vector<std::string> keys;
  };
  const std::vector<std::string> box = {"left", "top", "width", "height"};
  const auto plus = [&](std::vector<std::string> head, bool geometry = true) {
    if (geometry) head.insert(head.end(), box.begin(), box.end());
    return head;
  };
  const Case cases[] = {
      {"Label34", plus({"kind", "caption", "enabled", "visible"})},
      {"Text1(0)", plus({"kind", "text", "enabled", "visible"})},
      {"Command1", plus({"kind", "caption", "enabled", "visible"})},
      {"Option1", plus({"kind", "caption", "enabled", "visible", "value"})},
      {"Frame2(1)", plus({"kind", "enabled", "visible"})},
      {"Line1", {"kind", "visible", "border_color", "border_width", "x1", "y1", "x2", "y2"}},
      {"Shape1(3)", plus({"kind", "visible", "border_color", "border_width"})},
      {"Image3(9)", plus({"kind", "enabled", "visible"})},
  };
  for (const Case& c : cases) EXPECT_EQ(v["controls"][c.name].keys(), c.keys) << c.name;

  const JsonValue& controls = v["controls"];
  EXPECT_EQ(controls["Label34"]["caption"].text, "50");
  EXPECT_EQ(controls["Text6"]["text"].text, "100");
  EXPECT_EQ(controls["Command1"]["caption"].text, "EnableThe Computers");
  EXPECT_FALSE(controls["Option1"]["value"].boolean);
  EXPECT_FALSE(controls["Option1"]["enabled"].boolean);
  EXPECT_EQ(controls["Line1"]["x1"].number, 960);
  EXPECT_EQ(controls["Line1"]["y2"].number, 1800);
  EXPECT_EQ(controls["Line1"]["border_color"].text, "#000000");
  EXPECT_EQ(controls["Shape1(3)"]["border_color"].text, "#C00000");
  EXPECT_EQ(controls["Shape1(3)"]["left"].number, 4080);
  EXPECT_FALSE(controls["Shape1(3)"]["visible"].boolean);
}

TEST(StateDump, FollowsTheClockAndTheStartButton) {
  struct Case {
    VirtualMs at;
    bool start;
    const char* text7;
    bool stations_on;
  };
  const Case cases[] = {
      {9, false, "0", false},
      {10, false, "1", false},  // the collision display timer has ticked once
      {10, true, "1", true},
      {5000, false, "1", false},  // nothing else happens without the start button
  };
  for (const Case& c : cases) {
    const JsonValue v = dump(c.at, c.start);
    EXPECT_EQ(v["controls"]["Text7"]["text"].text, c.text7) << c.at;
    for (int t = 2; t <= 11; ++t) {
      EXPECT_EQ(v["timers"]["Timer" + std::to_string(t)]["enabled"].boolean, c.stations_on) << t;
    }
    EXPECT_EQ(v["timers"]["Timer54"]["enabled"].boolean, c.start);
    EXPECT_TRUE(v["timers"]["Timer23"]["enabled"].boolean);
    EXPECT_EQ(v["timers"]["Timer23"]["interval"].number, 1);
    // Station timers hold their first back-off: a multiple of 125 up to 6250.
    const double backoff = v["timers"]["Timer13"]["interval"].number;
    EXPECT_EQ(static_cast<long long>(backoff) % 125, 0);
    EXPECT_GE(backoff, 125);
    EXPECT_LE(backoff, 6250);
  }
  // Once started, a minute later frames, counters and the bus have moved.
  const JsonValue later = dump(60000, true);
  EXPECT_NE(later["controls"]["Text1(0)"]["text"].text, "");
}

}  // namespace
}  // namespace bruvik
