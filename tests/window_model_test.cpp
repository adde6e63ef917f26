// The window as built: every control with its kind, container, geometry and caption, the
// window caption, the station geometry, the tooltips, and the 65 timers as built.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "model/form_table.h"
#include "test_support.h"

namespace bruvik {
namespace {

constexpr Colour kPink = 0x00C0C0FF;
constexpr Colour kBlue = 0x00FF0000;
constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kBlack = 0x00000000;
constexpr Colour kViolet = 0x00FFC0FF;
constexpr Colour kRed = 0x000000FF;
constexpr Colour kUnlisted = 0xFFFFFFFF;  // the toolkit default for the kind

struct Expected {
  const char* name;  // window name, "Text1(0)"
  Kind kind;
  const char* container;
  int left, top, width, height;
  const char* caption;
  Colour back = kUnlisted, fore = kUnlisted;
  double points = 8.25;
  bool bold = false;
};

const std::string kLabel3 = std::string("Carrier") + std::string(15, ' ') + "sence" +
                            std::string(16, ' ') + "multiple" + std::string(15, ' ') + "access" +
                            std::string(11, ' ') + "collussion" + std::string(7, ' ') + "detection";
const std::string kLabel2 = "ALOHA" + std::string(10, ' ') + "Methods";

// Every control except the lines and the bus picture (those have tables of their own below).
const std::vector<Expected>& expected_controls() {
  static const std::vector<Expected> rows = {
      {"Frame1", Kind::Frame, "", 720, 240, 4335, 3375, "", kHighlight},
      {"Frame2(0)", Kind::Frame, "", 240, 3720, 6615, 4815, "", kPink},
      {"Frame2(1)", Kind::Frame, "", 7680, 8280, 6495, 1575, "", kPink},
      {"Frame3", Kind::Frame, "Frame2(1)", 1800, 120, 4455, 975, "", kPink},
      {"Label29", Kind::Label, "", 240, 8760, 6735, 495, "PROCESSING THE PURE ALOHA METHOD",
       kWindowBackground, kUnlisted, 12},
      {"Command1", Kind::CommandButton, "", 960, 9720, 2295, 375, "EnableThe Computers"},
      {"Command8", Kind::CommandButton, "", 3480, 9720, 975, 375, "RESTART"},
      {"Text3(1)", Kind::TextBox, "", 0, 0, 495, 285, "Text3"},
      {"Text4(1)", Kind::TextBox, "", 0, 0, 495, 285, "Text4"},
      {"Text5(1)", Kind::TextBox, "", 0, 0, 495, 285, "Text5"},
      {"Shape2(0)", Kind::Shape, "Frame2(0)", 720, 1680, 255, 255, ""},
      {"Shape2(1)", Kind::Shape, "Frame2(0)", 600, 2760, 495, 255, ""},
      {"Image2", Kind::Image, "Frame2(0)", 3000, 2040, 720, 720, ""},
      // The statistics area.
      {"Label18", Kind::Label, "", 9360, 240, 1095, 255, "Data Amount", kPink, kBlack},
      {"Text6", Kind::TextBox, "", 11160, 240, 615, 285, "Text6"},
      {"Label19", Kind::Label, "", 12360, 240, 1215, 255, "Seconds passed", kPink, kBlack},
      {"Text7", Kind::TextBox, "", 13800, 240, 615, 285, "Text7"},
      {"Label21", Kind::Label, "", 9360, 600, 1815, 255, "Name of current method", kPink, kBlack},
      {"Text9", Kind::TextBox, "", 11160, 600, 615, 285, "Text9"},
      {"Label20", Kind::Label, "", 12360, 600, 1335, 255, "# of Waited Data ", kPink, kBlack},
      {"Text10", Kind::TextBox, "", 13800, 600, 615, 285, "Text10"},
      {"Label5", Kind::Label, "", 9360, 1080, 4095, 375, "STATISTICS OF COLLISIONS AND DATA SENT",
       kBlue, kWhite},
      {"Label2", Kind::Label, "", 8040, 2280, 1095, 1095, kLabel2.c_str(), kBlue, kWhite, 12},
      {"Label3", Kind::Label, "", 8040, 4200, 1095, 3375, kLabel3.c_str(), kBlue, kWhite, 12},
      {"Label6", Kind::Label, "", 9480, 1560, 1335, 255, "PURE ALOHA", kPink, kBlue, 8.25, true},
      {"Label11(0)", Kind::Label, "", 9840, 1920, 1335, 255, "DATA SENT", kPink},
      {"Text1(0)", Kind::TextBox, "", 11280, 1800, 495, 285, "Text1"},
      {"Label11(1)", Kind::Label, "", 9840, 2160, 1335, 255, "COLLISIONS", kPink},
      {"Text1(1)", Kind::TextBox, "", 11280, 2040, 495, 285, "Text1"},
      {"Label1(0)", Kind::Label, "", 11880, 1920, 3135, 255, "Ready", kPink},
      {"Label7", Kind::Label, "", 9480, 2640, 1815, 255, "SLOTTED ALOHA", kPink, kBlue, 8.25, true},
      {"Label12(0)", Kind::Label, "", 9840, 2880, 1455, 255, "DATA SENT", kPink},
      {"Text2(0)", Kind::TextBox, "", 11280, 2760, 495, 285, "Text2"},
      {"Label12(1)", Kind::Label, "", 9840, 3120, 1455, 255, "COLLISIONS", kPink},
      {"Text2(1)", Kind::TextBox, "", 11280, 3000, 495, 285, "Text2"},
      {"Label1(1)", Kind::Label, "", 11880, 2880, 3255, 255, "Ready", kPink},
      {"Label8", Kind::Label, "", 9480, 3720, 2175, 255, "1 PERSISTANT", kViolet, kBlue, 8.25,
       true},
      {"Text3(0)", Kind::TextBox, "", 11280, 3960, 495, 285, "Text3"},
      {"Label13(0)", Kind::Label, "", 9720, 4080, 1455, 255, "DATA SENT", kPink},
      {"Label32(0)", Kind::Label, "", 9720, 4320, 1215, 255, "Collision", kPink},
      {"Text14(0)", Kind::TextBox, "", 11280, 4320, 495, 285, "Text14"},
      {"Label1(2)", Kind::Label, "", 11880, 4080, 3255, 255, "Ready", kPink},
      {"Label9", Kind::Label, "", 9480, 5400, 1935, 255, "NON  PERSISTANT", kViolet, kBlue, 8.25,
       true},
      {"Text4(0)", Kind::TextBox, "", 11280, 5640, 495, 285, "Text4"},
      {"Label14(0)", Kind::Label, "", 9720, 5760, 1575, 255, "DATA SENT", kPink},
      {"Label32(1)", Kind::Label, "", 9720, 6000, 1215, 255, "Collision", kPink},
      {"Text14(1)", Kind::TextBox, "", 11280, 6000, 495, 285, "Text14"},
      {"Label1(3)", Kind::Label, "", 11880, 5880, 3255, 255, "Ready", kPink},
      {"Label10", Kind::Label, "", 9480, 6840, 1695, 255, "P PERSISTANT", kViolet, kBlue, 8.25,
       true},
      {"Text5(0)", Kind::TextBox, "", 11280, 7080, 495, 285, "Text5"},
      {"Label15(0)", Kind::Label, "", 9720, 7200, 1455, 255, "DATA SENT", kPink},
      {"Label32(2)", Kind::Label, "", 9720, 7440, 1215, 255, "Collision", kPink},
      {"Text14(2)", Kind::TextBox, "", 11280, 7440, 495, 285, "Text14"},
      {"Label1(4)", Kind::Label, "", 11880, 7320, 1455, 615, "Ready", kPink},
      // The performance table.
      {"Label16", Kind::Label, "Frame1", 480, 720, 1935, 255, "Performances", kHighlight, kUnlisted,
       9.75, true},
      {"Label33", Kind::Label, "Frame1", 2760, 600, 1095, 375, "Data Sent/ Seconds", kHighlight,
       kUnlisted, 8.25, true},
      {"Label23", Kind::Label, "Frame1", 960, 1080, 375, 255, "1", kHighlight, kRed, 8.25, true},
      {"Label24", Kind::Label, "Frame1", 960, 1440, 375, 255, "2", kHighlight, kRed, 8.25, true},
      {"Label25", Kind::Label, "Frame1", 960, 1800, 495, 255, "3", kHighlight, kRed, 8.25, true},
      {"Label26", Kind::Label, "Frame1", 960, 2160, 255, 255, "4", kHighlight, kRed, 8.25, true},
      {"Label27", Kind::Label, "Frame1", 960, 2520, 375, 255, "5", kHighlight, kRed, 8.25, true},
      {"Label17(0)", Kind::Label, "Frame1", 1200, 1080, 1575, 255, "Not Prosessed", kBlue, kWhite,
       8.25, true},
      {"Label17(1)", Kind::Label, "Frame1", 1200, 1440, 1575, 255, "Not Prosessed", kHighlight,
       kBlack, 8.25, true},
      {"Label17(2)", Kind::Label, "Frame1", 1200, 1800, 1575, 255, "Not Prosessed", kHighlight,
       kBlack, 8.25, true},
      {"Label17(3)", Kind::Label, "Frame1", 1200, 2160, 1575, 255, "Not Prosessed", kHighlight,
       kBlack, 8.25, true},
      {"Label17(4)", Kind::Label, "Frame1", 1200, 2520, 1575, 255, "Not Prosessed", kHighlight,
       kBlack, 8.25, true},
      {"Text8(0)", Kind::TextBox, "Frame1", 2760, 1080, 615, 285, "Text8"},
      {"Text8(1)", Kind::TextBox, "Frame1", 2760, 1440, 615, 285, "Text8"},
      {"Text8(2)", Kind::TextBox, "Frame1", 2760, 1800, 615, 285, "Text8"},
      {"Text8(3)", Kind::TextBox, "Frame1", 2760, 2160, 615, 285, "Text8"},
      {"Text8(4)", Kind::TextBox, "Frame1", 2760, 2520, 615, 285, "Text8"},
      {"Option1", Kind::OptionButton, "Frame1", 240, 2880, 1935, 255, "In decending order",
       kHighlight},
      {"Option2", Kind::OptionButton, "Frame1", 2160, 2880, 1935, 255, "In acsending order",
       kHighlight},
      // The settings panel.
      {"Command2", Kind::CommandButton, "Frame2(1)", 240, 360, 135, 255, "<"},
      {"Text11", Kind::TextBox, "Frame2(1)", 480, 360, 615, 285, "Text11"},
      {"Command3", Kind::CommandButton, "Frame2(1)", 1200, 360, 135, 255, ">"},
      {"Label22", Kind::Label, "Frame2(1)", 240, 720, 1095, 255, "Network MTU", kPink},
      {"Command4", Kind::CommandButton, "Frame3", 240, 240, 135, 255, "<"},
      {"Text12", Kind::TextBox, "Frame3", 480, 240, 615, 285, "Text12"},
      {"Command5", Kind::CommandButton, "Frame3", 1200, 240, 135, 255, ">"},
      {"Label28", Kind::Label, "Frame3", 120, 600, 1455, 255, "Data sending rate", kPink},
      {"Command6", Kind::CommandButton, "Frame3", 2400, 240, 135, 255, "<"},
      {"Text13", Kind::TextBox, "Frame3", 2640, 240, 615, 285, "Text13"},
      {"Command7", Kind::CommandButton, "Frame3", 3360, 240, 135, 255, ">"},
      {"Label30", Kind::Label, "Frame3", 2280, 600, 1575, 255, "Avg. Frame length", kPink},
      {"Label4", Kind::Label, "Frame2(1)", 240, 1200, 2295, 255,
       "New time slot for Slotted aloha is "},
      {"Label31", Kind::Label, "Frame2(1)", 2640, 1200, 615, 255, "100"},
      {"Label35", Kind::Label, "Frame2(1)", 3480, 1200, 2055, 255, "Data Sending Rate"},
      {"Label34", Kind::Label, "Frame2(1)", 5640, 1200, 615, 255, "50"},
  };
  return rows;
}

TEST(WindowModel, KindsAndCounts) {
  Form1 form(1, tick_handlers());
  std::map<Kind, int> count;
  for (const Control& c : form.controls()) ++count[c.kind()];
  const std::pair<Kind, int> expected[] = {
      {Kind::Label, 47}, {Kind::TextBox, 25}, {Kind::CommandButton, 8}, {Kind::OptionButton, 2},
      {Kind::Frame, 4},  {Kind::Line, 18},    {Kind::Shape, 12},        {Kind::Image, 21},
  };
  int total = 0;
  for (auto [kind, n] : expected) {
    EXPECT_EQ(count[kind], n) << "kind " << static_cast<int>(kind);
    total += n;
  }
  EXPECT_EQ(static_cast<int>(form.controls().size()), total);

  std::set<std::string> names;
  for (const Control& c : form.controls()) {
    EXPECT_TRUE(names.insert(window_name(c.built())).second) << window_name(c.built()) << " twice";
  }
}

TEST(WindowModel, EveryControlWithItsGeometryCaptionColoursAndFont) {
  Form1 form(1, tick_handlers());
  for (const Expected& e : expected_controls()) {
    SCOPED_TRACE(e.name);
    const Control* c = form.find_named(e.name);
    ASSERT_NE(c, nullptr);
    const BuiltControl& s = c->built();
    EXPECT_EQ(c->kind(), e.kind);
    EXPECT_STREQ(s.container, e.container);
    EXPECT_EQ(s.left, e.left);
    EXPECT_EQ(s.top, e.top);
    EXPECT_EQ(s.width, e.width);
    EXPECT_EQ(s.height, e.height);
    EXPECT_EQ(c->text(), e.caption);
    if (e.back != kUnlisted) {
      EXPECT_EQ(s.back, e.back);
    }
    if (e.fore != kUnlisted) {
      EXPECT_EQ(s.fore, e.fore);
    }
    EXPECT_EQ(s.font_points, e.points);
    EXPECT_EQ(s.bold, e.bold);
  }
}

TEST(WindowModel, CaptionsKeepTheirBlanks) {
  Form1 form(1, tick_handlers());
  const std::pair<const char*, std::string> cases[] = {
      {"Label20", "# of Waited Data "},
      {"Label4", "New time slot for Slotted aloha is "},
      {"Label9", "NON  PERSISTANT"},
      {"Label2", kLabel2},
      {"Label3", kLabel3},
  };
  for (const auto& [name, caption] : cases) {
    const Control* c = form.find_named(name);
    ASSERT_NE(c, nullptr) << name;
    EXPECT_EQ(c->text(), caption) << name;
  }
  EXPECT_EQ(kLabel2.size(), 22u);
  EXPECT_EQ(kLabel3.size(), 7u + 15 + 5 + 16 + 8 + 15 + 6 + 11 + 10 + 7 + 9);
}

TEST(WindowModel, TheWindowCaptionIs175Characters) {
  const std::string caption = built_window().caption;
  EXPECT_EQ(caption.size(), 175u);
  EXPECT_EQ(caption, "Aloha Methods & Multiple access Collussion Detection" +
                         std::string(118, ' ') + "R. V.");
  EXPECT_EQ(built_window().client_width, 15240);
  EXPECT_EQ(built_window().client_height, 10575);
  EXPECT_EQ(built_window().back, kPink);
  EXPECT_EQ(built_window().fore, kBlue);
}

TEST(WindowModel, StationsRunClockwiseAndTheRingsFitTheirComputers) {
  Form1 form(1, tick_handlers());
  struct Row {
    int image_left, image_top, mark_top, line_x, line_y1, line_y2;
  };
  const Row rows[10] = {
      {960, 840, 240, 1200, 1320, 1800},    {2040, 840, 240, 2280, 1320, 1800},
      {3120, 840, 240, 3360, 1320, 1800},   {4200, 840, 240, 4440, 1320, 1800},
      {5280, 840, 240, 5520, 1320, 1800},   {5280, 3360, 3960, 5520, 2880, 3360},
      {4200, 3360, 3960, 4440, 2880, 3360}, {3120, 3360, 3960, 3360, 2880, 3360},
      {2040, 3360, 3960, 2280, 2880, 3360}, {960, 3360, 3960, 1200, 2880, 3360},
  };
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(i);
    const Row& r = rows[i];
    const BuiltControl& computer = form.find("Image1", i)->built();
    const BuiltControl& ring = form.Shape1[i].built();
    const BuiltControl& mark = form.Image3[i].built();
    const BuiltControl& drop = form.find("Line2", i)->built();
    for (const BuiltControl* s : {&computer, &ring, &mark, &drop}) {
      EXPECT_STREQ(s->container, "Frame2(0)");
    }
    EXPECT_EQ(computer.kind, Kind::Image);
    EXPECT_EQ(computer.picture, Picture::Computer);
    EXPECT_EQ(computer.left, r.image_left);
    EXPECT_EQ(computer.top, r.image_top);
    EXPECT_EQ(computer.width, 480);
    EXPECT_EQ(computer.height, 480);
    // The ring reaches 120 twips beyond the computer on the left and at the top, 135 on the
    // right and at the bottom.
    EXPECT_EQ(ring.shape, ShapeStyle::Circle);
    EXPECT_EQ(ring.border_color, 0x000000C0u);
    EXPECT_EQ(ring.width, 735);
    EXPECT_EQ(ring.height, 735);
    EXPECT_EQ(computer.left - ring.left, 120);
    EXPECT_EQ(computer.top - ring.top, 120);
    EXPECT_EQ(ring.left + ring.width - (computer.left + computer.width), 135);
    EXPECT_EQ(ring.top + ring.height - (computer.top + computer.height), 135);
    EXPECT_EQ(mark.picture, Picture::Flag);
    EXPECT_EQ(mark.left, r.image_left);
    EXPECT_EQ(mark.top, r.mark_top);
    EXPECT_EQ(mark.width, 480);
    if (i < 5) {
      EXPECT_LT(mark.top, computer.top);  // above for the top row
    } else {
      EXPECT_GT(mark.top, computer.top);
    }
    EXPECT_EQ(drop.kind, Kind::Line);
    EXPECT_EQ(drop.x1, r.line_x);
    EXPECT_EQ(drop.x2, r.line_x);
    EXPECT_EQ(drop.y1, r.line_y1);
    EXPECT_EQ(drop.y2, r.line_y2);
  }
  // 0..4 left to right along the top, 5..9 right to left along the bottom, 9 under 0.
  for (int i = 0; i < 4; ++i) {
    EXPECT_LT(form.find("Image1", i)->built().left, form.find("Image1", i + 1)->built().left);
    EXPECT_GT(form.find("Image1", i + 5)->built().left, form.find("Image1", i + 6)->built().left);
  }
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(form.find("Image1", 9 - i)->built().left, form.find("Image1", i)->built().left);
    EXPECT_GT(form.find("Image1", 9 - i)->built().top, form.find("Image1", i)->built().top);
  }
}

TEST(WindowModel, LinesWithTheirEnds) {
  Form1 form(1, tick_handlers());
  struct Row {
    const char* name;
    const char* container;
    int x1, y1, x2, y2;
  };
  const Row rows[] = {
      {"Line1", "Frame2(0)", 960, 1800, 6000, 1800}, {"Line4", "Frame2(0)", 6000, 1800, 6000, 2880},
      {"Line3", "Frame2(0)", 960, 2880, 6000, 2880}, {"Line31", "", 9360, 2520, 13440, 2520},
      {"Line32", "", 9360, 3600, 13440, 3600},       {"Line5", "", 9360, 5160, 13440, 5160},
      {"Line34", "", 9360, 6720, 13440, 6720},       {"Line35", "", 9480, 8160, 13560, 8160},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const Control* c = form.find_named(r.name);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->kind(), Kind::Line);
    EXPECT_STREQ(c->built().container, r.container);
    EXPECT_EQ(c->built().x1, r.x1);
    EXPECT_EQ(c->built().y1, r.y1);
    EXPECT_EQ(c->built().x2, r.x2);
    EXPECT_EQ(c->built().y2, r.y2);
  }
  // The bus is built in the default line look, which is not the busy colour.
  for (const Control* bus : {&form.Line1, &form.Line3, &form.Line4}) {
    EXPECT_NE(bus->border_color(), test::kBusyColour);
    EXPECT_EQ(bus->border_width(), 1);
  }
  EXPECT_FALSE(bus_busy(form));
  EXPECT_EQ(form.Image2.built().picture, Picture::Lightning);
  EXPECT_TRUE(form.Image2.built().stretch);
}

TEST(WindowModel, OnlyTheThreeOperatorBoxesHaveTooltips) {
  Form1 form(1, tick_handlers());
  const std::map<std::string, std::string> expected = {
      {"Text11", "busynin süresini uzatır"},
      {"Text12", "randomın limitini düşürür"},
      {"Text13", "busy lineın süresini artıracak"},
  };
  std::map<std::string, std::string> found;
  for (const Control& c : form.controls()) {
    if (*c.built().tooltip != '\0') found[window_name(c.built())] = c.built().tooltip;
  }
  EXPECT_EQ(found, expected);
}

TEST(WindowModel, NoControlIsBuiltHiddenDisabledOrSelected) {
  Form1 form(1, tick_handlers());
  for (const Control& c : form.controls()) {
    EXPECT_TRUE(c.visible()) << window_name(c.built());
    EXPECT_TRUE(c.enabled()) << window_name(c.built());
    EXPECT_FALSE(c.value()) << window_name(c.built());
  }
}

TEST(WindowModel, FindNamedTakesWindowNames) {
  Form1 form(1, tick_handlers());
  // Every control the logic names, at every index, is the one of that window name.
  std::vector<std::pair<std::string, const Control*>> named;
#define BRUVIK_ONE(name) named.emplace_back(#name, &form.name);
#define BRUVIK_MANY(name, count)    \
  for (int i = 0; i < (count); ++i) \
    named.emplace_back(#name "(" + std::to_string(i) + ")", &form.name[i]);
  BRUVIK_NAMED_CONTROLS(BRUVIK_ONE, BRUVIK_MANY)
#undef BRUVIK_ONE
#undef BRUVIK_MANY
  for (const auto& [name, control] : named) EXPECT_EQ(form.find_named(name), control) << name;
  for (const char* bad :
       {"Text1", "Label34(0)", "Text1(9)", "Text1(", "Text1()", "Text1(x)", "Nothing", ""}) {
    EXPECT_EQ(form.find_named(bad), nullptr) << bad;
  }
}

// Each write in turn: the text it leaves, whether it counted as a change of a text box's text,
// and the number read back. Counters step one up in place, so every way of leaving a text that
// is not a counter's own must write the next number whole.
struct Write {
  const char* text;  // written as text, or nullptr: `number` is written as a number
  double number;
  const char* expected;
  bool counted;
  double read_back;
  bool later = false;  // `number` written as a text to be written when it is read
};

// The shortest text of `a`, for the writes that are left until the text is read.
std::size_t write_shortest(char* out, double a, double, int) {
  const std::string text = numtext::shortest(a);
  text.copy(out, text.size());
  return text.size();
}

TEST(WindowModel, TextAndNumberWritesCountOnlyChanges) {
  const Write writes[] = {
      {nullptr, 0, "0", true, 0},
      {nullptr, 1, "1", true, 1},
      {nullptr, 1, "1", false, 1},
      {nullptr, 9, "9", true, 9},
      {nullptr, 10, "10", true, 10},
      {nullptr, 99, "99", true, 99},
      {nullptr, 100, "100", true, 100},
      {"100", 0, "100", false, 100},
      {nullptr, 101, "101", true, 101},
      {"5.0", 0, "5.0", true, 5},
      {nullptr, 6, "6", true, 6},
      {" 6", 0, " 6", true, 6},
      {nullptr, 7, "7", true, 7},
      {nullptr, -1, "-1", true, -1},
      {nullptr, 0, "0", true, 0},
      {nullptr, -0.0, "0", false, 0},
      {nullptr, 0.5, "0.5", true, 0.5},
      {nullptr, 1.5, "1.5", true, 1.5},
      {nullptr, 999999999999998, "999999999999998", true, 999999999999998},
      {nullptr, 999999999999999, "999999999999999", true, 999999999999999},
      {nullptr, 1e15, "1E+15", true, 1e15},
      {nullptr, 20, "20", true, 20},
      {nullptr, 41, "41", true, 41, true},
      {nullptr, 41, "41", false, 41, true},
      {nullptr, 42, "42", true, 42},
  };
  Form1 form(1, tick_handlers());
  for (Control* c : {&form.Text1[0], &form.Label34}) {
    const bool box = c->kind() == Kind::TextBox;
    for (const Write& w : writes) {
      const std::uint64_t before = form.text_revision();
      if (w.text != nullptr) {
        c->set_text(w.text);
      } else if (w.later) {
        c->set_text_later(write_shortest, w.number, 0, 0);
      } else {
        c->set_number(w.number);
      }
      const std::string what = w.text != nullptr ? std::string(w.text) : std::to_string(w.number);
      EXPECT_EQ(c->text(), w.expected) << what;
      EXPECT_EQ(form.text_revision() != before, box && w.counted) << what;
      EXPECT_EQ(c->number(), w.read_back) << what;
    }
  }

  // A copied control is as its source: the counter written last here does not step the text
  // copied over it.
  Form1 other(1, tick_handlers());
  other.Text1[0].set_text("7x");
  form.Text1[0].set_number(3);
  other.Label1[0].set_text_later(write_shortest, 5, 0, 0);
  form.copy_state_from(other);
  form.Text1[0].set_number(form.Text1[0].number() + 1);
  EXPECT_EQ(form.Text1[0].text(), "8");
  EXPECT_EQ(form.Label1[0].text(), "5");  // still to be written when it was copied
}

TEST(WindowModel, SixtyFiveTimersAsBuilt) {
  Form1 form(1, tick_handlers());
  struct Range {
    int first, last;
    std::int32_t interval;  // -1: 1000 x (i + 1) for the i-th of the range
    bool enabled;
  };
  const Range ranges[] = {
      {1, 1, 10, true},     {2, 11, -1, true},   {12, 12, 100, false}, {13, 22, -1, true},
      {23, 23, 1, true},    {24, 33, -1, true},  {34, 43, -1, true},   {44, 53, -1, true},
      {54, 54, 1000, true}, {55, 64, 150, true}, {65, 65, 50, true},
  };
  int seen = 0;
  for (const Range& r : ranges) {
    for (int n = r.first; n <= r.last; ++n, ++seen) {
      SCOPED_TRACE("Timer" + std::to_string(n));
      const std::int32_t interval = r.interval < 0 ? 1000 * (n - r.first + 1) : r.interval;
      EXPECT_EQ(form.clock().interval(n), interval);
      EXPECT_EQ(form.clock().enabled(n), r.enabled);
      EXPECT_EQ(form.clock().due(n), r.enabled ? interval : -1);
      EXPECT_EQ(built_timer(n).number, n);
    }
  }
  EXPECT_EQ(seen, 65);
  EXPECT_EQ(static_cast<int>(timer_table().size()), 65);
}

TEST(WindowModel, TimerTableWiresStationsAndFrames) {
  const int first[5] = {2, 13, 24, 34, 44};
  const TickHandler attempts[5] = {pure_aloha_attempt, slotted_aloha_attempt,
                                   one_persistent_attempt, non_persistent_attempt,
                                   p_persistent_attempt};
  for (int k = 0; k < 5; ++k) {
    for (int i = 0; i < 10; ++i) {
      const int n = station_timer(k, i);
      EXPECT_EQ(n, first[k] + i);
      EXPECT_EQ(built_timer(n).role, TimerRole::Station);
      EXPECT_EQ(built_timer(n).method, k);
      EXPECT_EQ(built_timer(n).station, i);
      EXPECT_EQ(tick_handlers().tick[static_cast<std::size_t>(n)], attempts[k]);
    }
  }
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(frame_timer(i), 55 + i);
    EXPECT_EQ(built_timer(55 + i).role, TimerRole::Frame);
    EXPECT_EQ(built_timer(55 + i).station, i);
  }
  const std::pair<int, TimerRole> singles[] = {{1, TimerRole::CollisionDisplay},
                                               {12, TimerRole::BusBusy},
                                               {23, TimerRole::CompletionTest},
                                               {54, TimerRole::SecondsClock},
                                               {65, TimerRole::BusBusyDelay}};
  for (auto [n, role] : singles) EXPECT_EQ(built_timer(n).role, role) << n;
}

}  // namespace
}  // namespace bruvik
