// The state dump: every control and timer of the window, each with the properties of its kind.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "headless/terminal.h"
#include "output_reader.h"

namespace bruvik {
namespace {

Json dump(VirtualMs at, bool start, std::uint64_t seed = 4) {
  Options o;
  o.headless = true;
  o.dump_at = at;
  o.start = start;
  o.seed = seed;
  std::ostringstream out, err;
  EXPECT_EQ(dump_state(o, out, err), 0) << err.str();
  return Json::parse(out.str());
}

TEST(StateDump, HoldsEveryControlAndTimer) {
  const Json v = dump(10, false);
  EXPECT_EQ(test::keys(v), (std::vector<std::string>{"seed", "virtual_ms", "method_code", "caption",
                                                     "controls", "timers"}));
  EXPECT_EQ(v.at("virtual_ms").get<double>(), 10);
  EXPECT_EQ(v.at("method_code").get<std::string>(), "pure");
  EXPECT_EQ(v.at("caption").get<std::string>().size(), 175u);
  std::map<std::string, int> kinds;
  for (const auto& [name, c] : v.at("controls").items()) ++kinds[c.at("kind").get<std::string>()];
  const std::map<std::string, int> expect = {
      {"label", 47}, {"text_box", 25}, {"command_button", 8}, {"option_button", 2},
      {"frame", 4},  {"line", 18},     {"shape", 12},         {"image", 21}};
  EXPECT_EQ(kinds, expect);
  ASSERT_EQ(v.at("timers").size(), 65u);
  EXPECT_EQ(v.at("timers").begin().key(), "Timer1");
  EXPECT_EQ(std::prev(v.at("timers").end()).key(), "Timer65");
}

TEST(StateDump, EachKindShowsItsOwnProperties) {
  const Json v = dump(0, false);
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
  for (const Case& c : cases) EXPECT_EQ(test::keys(v.at("controls").at(c.name)), c.keys) << c.name;

  const Json& controls = v.at("controls");
  EXPECT_EQ(controls.at("Label34").at("caption").get<std::string>(), "50");
  EXPECT_EQ(controls.at("Text6").at("text").get<std::string>(), "100");
  EXPECT_EQ(controls.at("Command1").at("caption").get<std::string>(), "EnableThe Computers");
  EXPECT_FALSE(controls.at("Option1").at("value").get<bool>());
  EXPECT_FALSE(controls.at("Option1").at("enabled").get<bool>());
  EXPECT_EQ(controls.at("Line1").at("x1").get<double>(), 960);
  EXPECT_EQ(controls.at("Line1").at("y2").get<double>(), 1800);
  EXPECT_EQ(controls.at("Line1").at("border_color").get<std::string>(), "#000000");
  EXPECT_EQ(controls.at("Shape1(3)").at("border_color").get<std::string>(), "#C00000");
  EXPECT_EQ(controls.at("Shape1(3)").at("left").get<double>(), 4080);
  EXPECT_FALSE(controls.at("Shape1(3)").at("visible").get<bool>());
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
    const Json v = dump(c.at, c.start);
    EXPECT_EQ(v.at("controls").at("Text7").at("text").get<std::string>(), c.text7) << c.at;
    for (int t = 2; t <= 11; ++t) {
      EXPECT_EQ(v.at("timers").at("Timer" + std::to_string(t)).at("enabled").get<bool>(),
                c.stations_on)
          << t;
    }
    EXPECT_EQ(v.at("timers").at("Timer54").at("enabled").get<bool>(), c.start);
    EXPECT_TRUE(v.at("timers").at("Timer23").at("enabled").get<bool>());
    EXPECT_EQ(v.at("timers").at("Timer23").at("interval").get<double>(), 1);
    // Station timers hold their first back-off: a multiple of 125 up to 6250.
    const double backoff = v.at("timers").at("Timer13").at("interval").get<double>();
    EXPECT_EQ(static_cast<long long>(backoff) % 125, 0);
    EXPECT_GE(backoff, 125);
    EXPECT_LE(backoff, 6250);
  }
  // Once started, a minute later frames, counters and the bus have moved.
  const Json later = dump(60000, true);
  EXPECT_NE(later.at("controls").at("Text1(0)").at("text").get<std::string>(), "");
}

}  // namespace
}  // namespace bruvik
