#include "model/form_table.h"

#include <array>
#include <stdexcept>
#include <string_view>

#include "model/named_controls.h"

namespace bruvik {
namespace {

constexpr Colour kPink = 0x00C0C0FF;
constexpr Colour kBlue = 0x00FF0000;
constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kBlack = 0x00000000;
constexpr Colour kViolet = 0x00FFC0FF;
constexpr Colour kRed = 0x000000FF;
constexpr Colour kDarkRed = 0x000000C0;

constexpr BuiltControl label(const char* name, int index, const char* container, int left, int top,
                             int width, int height, const char* caption, Colour back = kButtonFace,
                             Colour fore = kButtonText, double points = kDefaultFontPoints,
                             bool bold = false) {
  BuiltControl s;
  s.name = name;
  s.index = index;
  s.kind = Kind::Label;
  s.container = container;
  s.left = left;
  s.top = top;
  s.width = width;
  s.height = height;
  s.caption = caption;
  s.back = back;
  s.fore = fore;
  s.font_points = points;
  s.bold = bold;
  return s;
}

constexpr BuiltControl text_box(const char* name, int index, const char* container, int left,
                                int top, int width, const char* text, const char* tooltip = "") {
  BuiltControl s;
  s.name = name;
  s.index = index;
  s.kind = Kind::TextBox;
  s.container = container;
  s.left = left;
  s.top = top;
  s.width = width;
  s.height = 285;
  s.caption = text;
  s.back = kTextBoxBackground;
  s.fore = kWindowText;
  s.tooltip = tooltip;
  return s;
}

constexpr BuiltControl button(const char* name, const char* container, int left, int top, int width,
                              int height, const char* caption) {
  BuiltControl s;
  s.name = name;
  s.kind = Kind::CommandButton;
  s.container = container;
  s.left = left;
  s.top = top;
  s.width = width;
  s.height = height;
  s.caption = caption;
  return s;
}

constexpr BuiltControl option(const char* name, int left, const char* caption) {
  BuiltControl s;
  s.name = name;
  s.kind = Kind::OptionButton;
  s.container = "Frame1";
  s.left = left;
  s.top = 2880;
  s.width = 1935;
  s.height = 255;
  s.caption = caption;
  s.back = kHighlight;
  return s;
}

constexpr BuiltControl frame(const char* name, int index, const char* container, int left, int top,
                             int width, int height, Colour back) {
  BuiltControl s;
  s.name = name;
  s.index = index;
  s.kind = Kind::Frame;
  s.container = container;
  s.left = left;
  s.top = top;
  s.width = width;
  s.height = height;
  s.back = back;
  return s;
}

constexpr BuiltControl line(const char* name, int index, const char* container, int x1, int y1,
                            int x2, int y2) {
  BuiltControl s;
  s.name = name;
  s.index = index;
  s.kind = Kind::Line;
  s.container = container;
  s.x1 = x1;
  s.y1 = y1;
  s.x2 = x2;
  s.y2 = y2;
  s.left = x1 < x2 ? x1 : x2;
  s.top = y1 < y2 ? y1 : y2;
  s.width = x1 < x2 ? x2 - x1 : x1 - x2;
  s.height = y1 < y2 ? y2 - y1 : y1 - y2;
  s.border_color = kWindowText;
  return s;
}

constexpr BuiltControl shape(const char* name, int index, int left, int top, int width, int height,
                             ShapeStyle style, Colour border) {
  BuiltControl s;
  s.name = name;
  s.index = index;
  s.kind = Kind::Shape;
  s.container = "Frame2(0)";
  s.left = left;
  s.top = top;
  s.width = width;
  s.height = height;
  s.shape = style;
  s.border_color = border;
  return s;
}

constexpr BuiltControl image(const char* name, int index, int left, int top, int size,
                             Picture picture, bool stretch = false) {
  BuiltControl s;
  s.name = name;
  s.index = index;
  s.kind = Kind::Image;
  s.container = "Frame2(0)";
  s.left = left;
  s.top = top;
  s.width = size;
  s.height = size;
  s.picture = picture;
  s.stretch = stretch;
  return s;
}

// Station i of the bus picture: computer left/top, ring left/top, mark left/top, drop line.
struct Station {
  int image_left, image_top, shape_left, shape_top, mark_left, mark_top, line_x, line_y1, line_y2;
};
constexpr std::array<Station, 10> kStations{{
    {960, 840, 840, 720, 960, 240, 1200, 1320, 1800},
    {2040, 840, 1920, 720, 2040, 240, 2280, 1320, 1800},
    {3120, 840, 3000, 720, 3120, 240, 3360, 1320, 1800},
    {4200, 840, 4080, 720, 4200, 240, 4440, 1320, 1800},
    {5280, 840, 5160, 720, 5280, 240, 5520, 1320, 1800},
    {5280, 3360, 5160, 3240, 5280, 3960, 5520, 2880, 3360},
    {4200, 3360, 4080, 3240, 4200, 3960, 4440, 2880, 3360},
    {3120, 3360, 3000, 3240, 3120, 3960, 3360, 2880, 3360},
    {2040, 3360, 1920, 3240, 2040, 3960, 2280, 2880, 3360},
    {960, 3360, 840, 3240, 960, 3960, 1200, 2880, 3360},
}};

constexpr const char* kLabel3Caption =
    "Carrier               sence                multiple               access           "
    "collussion       detection";

// Containers come before what they contain, so a view can build them in table order.
constexpr auto kControls = [] {
  std::array<BuiltControl, 47 + 25 + 8 + 2 + 4 + 18 + 12 + 21> t{};
  std::size_t n = 0;
  auto add = [&](const BuiltControl& s) { t[n++] = s; };

  // Top-level regions.
  add(frame("Frame1", -1, "", 720, 240, 4335, 3375, kHighlight));
  add(frame("Frame2", 0, "", 240, 3720, 6615, 4815, kPink));
  add(frame("Frame2", 1, "", 7680, 8280, 6495, 1575, kPink));
  add(frame("Frame3", -1, "Frame2(1)", 1800, 120, 4455, 975, kPink));
  add(label("Label29", -1, "", 240, 8760, 6735, 495, "PROCESSING THE PURE ALOHA METHOD",
            kWindowBackground, kButtonText, 12));
  add(button("Command1", "", 960, 9720, 2295, 375, "EnableThe Computers"));
  add(button("Command8", "", 3480, 9720, 975, 375, "RESTART"));
  add(text_box("Text3", 1, "", 0, 0, 495, "Text3"));
  add(text_box("Text4", 1, "", 0, 0, 495, "Text4"));
  add(text_box("Text5", 1, "", 0, 0, 495, "Text5"));

  // The bus picture. The ring is added after the computer so that it is drawn over it.
  for (int i = 0; i < 10; ++i) {
    const Station& s = kStations[static_cast<std::size_t>(i)];
    add(image("Image1", i, s.image_left, s.image_top, 480, Picture::Computer));
    add(shape("Shape1", i, s.shape_left, s.shape_top, 735, 735, ShapeStyle::Circle, kDarkRed));
    add(image("Image3", i, s.mark_left, s.mark_top, 480, Picture::Flag));
    add(line("Line2", i, "Frame2(0)", s.line_x, s.line_y1, s.line_x, s.line_y2));
  }
  add(line("Line1", -1, "Frame2(0)", 960, 1800, 6000, 1800));
  add(line("Line4", -1, "Frame2(0)", 6000, 1800, 6000, 2880));
  add(line("Line3", -1, "Frame2(0)", 960, 2880, 6000, 2880));
  add(shape("Shape2", 0, 720, 1680, 255, 255, ShapeStyle::RoundedSquare, kWindowText));
  add(shape("Shape2", 1, 600, 2760, 495, 255, ShapeStyle::RoundedSquare, kWindowText));
  add(image("Image2", -1, 3000, 2040, 720, Picture::Lightning, true));

  // The statistics area.
  add(label("Label18", -1, "", 9360, 240, 1095, 255, "Data Amount", kPink, kBlack));
  add(text_box("Text6", -1, "", 11160, 240, 615, "Text6"));
  add(label("Label19", -1, "", 12360, 240, 1215, 255, "Seconds passed", kPink, kBlack));
  add(text_box("Text7", -1, "", 13800, 240, 615, "Text7"));
  add(label("Label21", -1, "", 9360, 600, 1815, 255, "Name of current method", kPink, kBlack));
  add(text_box("Text9", -1, "", 11160, 600, 615, "Text9"));
  add(label("Label20", -1, "", 12360, 600, 1335, 255, "# of Waited Data ", kPink, kBlack));
  add(text_box("Text10", -1, "", 13800, 600, 615, "Text10"));
  add(label("Label5", -1, "", 9360, 1080, 4095, 375, "STATISTICS OF COLLISIONS AND DATA SENT",
            kBlue, kWhite));
  add(label("Label2", -1, "", 8040, 2280, 1095, 1095, "ALOHA          Methods", kBlue, kWhite, 12));
  add(label("Label3", -1, "", 8040, 4200, 1095, 3375, kLabel3Caption, kBlue, kWhite, 12));

  add(label("Label6", -1, "", 9480, 1560, 1335, 255, "PURE ALOHA", kPink, kBlue, 8.25, true));
  add(label("Label11", 0, "", 9840, 1920, 1335, 255, "DATA SENT", kPink));
  add(text_box("Text1", 0, "", 11280, 1800, 495, "Text1"));
  add(label("Label11", 1, "", 9840, 2160, 1335, 255, "COLLISIONS", kPink));
  add(text_box("Text1", 1, "", 11280, 2040, 495, "Text1"));
  add(label("Label1", 0, "", 11880, 1920, 3135, 255, "Ready", kPink));
  add(line("Line31", -1, "", 9360, 2520, 13440, 2520));

  add(label("Label7", -1, "", 9480, 2640, 1815, 255, "SLOTTED ALOHA", kPink, kBlue, 8.25, true));
  add(label("Label12", 0, "", 9840, 2880, 1455, 255, "DATA SENT", kPink));
  add(text_box("Text2", 0, "", 11280, 2760, 495, "Text2"));
  add(label("Label12", 1, "", 9840, 3120, 1455, 255, "COLLISIONS", kPink));
  add(text_box("Text2", 1, "", 11280, 3000, 495, "Text2"));
  add(label("Label1", 1, "", 11880, 2880, 3255, 255, "Ready", kPink));
  add(line("Line32", -1, "", 9360, 3600, 13440, 3600));

  add(label("Label8", -1, "", 9480, 3720, 2175, 255, "1 PERSISTANT", kViolet, kBlue, 8.25, true));
  add(text_box("Text3", 0, "", 11280, 3960, 495, "Text3"));
  add(label("Label13", 0, "", 9720, 4080, 1455, 255, "DATA SENT", kPink));
  add(label("Label32", 0, "", 9720, 4320, 1215, 255, "Collision", kPink));
  add(text_box("Text14", 0, "", 11280, 4320, 495, "Text14"));
  add(label("Label1", 2, "", 11880, 4080, 3255, 255, "Ready", kPink));
  add(line("Line5", -1, "", 9360, 5160, 13440, 5160));

  add(label("Label9", -1, "", 9480, 5400, 1935, 255, "NON  PERSISTANT", kViolet, kBlue, 8.25,
            true));
  add(text_box("Text4", 0, "", 11280, 5640, 495, "Text4"));
  add(label("Label14", 0, "", 9720, 5760, 1575, 255, "DATA SENT", kPink));
  add(label("Label32", 1, "", 9720, 6000, 1215, 255, "Collision", kPink));
  add(text_box("Text14", 1, "", 11280, 6000, 495, "Text14"));
  add(label("Label1", 3, "", 11880, 5880, 3255, 255, "Ready", kPink));
  add(line("Line34", -1, "", 9360, 6720, 13440, 6720));

  add(label("Label10", -1, "", 9480, 6840, 1695, 255, "P PERSISTANT", kViolet, kBlue, 8.25, true));
  add(text_box("Text5", 0, "", 11280, 7080, 495, "Text5"));
  add(label("Label15", 0, "", 9720, 7200, 1455, 255, "DATA SENT", kPink));
  add(label("Label32", 2, "", 9720, 7440, 1215, 255, "Collision", kPink));
  add(text_box("Text14", 2, "", 11280, 7440, 495, "Text14"));
  add(label("Label1", 4, "", 11880, 7320, 1455, 615, "Ready", kPink));
  add(line("Line35", -1, "", 9480, 8160, 13560, 8160));

  // The performance table.
  add(label("Label16", -1, "Frame1", 480, 720, 1935, 255, "Performances", kHighlight, kButtonText,
            9.75, true));
  add(label("Label33", -1, "Frame1", 2760, 600, 1095, 375, "Data Sent/ Seconds", kHighlight,
            kButtonText, 8.25, true));
  constexpr const char* kPlaceNames[5] = {"Label23", "Label24", "Label25", "Label26", "Label27"};
  constexpr const char* kPlaces[5] = {"1", "2", "3", "4", "5"};
  constexpr int kPlaceWidths[5] = {375, 375, 495, 255, 375};
  for (int k = 0; k < 5; ++k) {
    const int top = 1080 + 360 * k;
    add(label(kPlaceNames[k], -1, "Frame1", 960, top, kPlaceWidths[k], 255, kPlaces[k], kHighlight,
              kRed, 8.25, true));
    add(label("Label17", k, "Frame1", 1200, top, 1575, 255, "Not Prosessed",
              k == 0 ? kBlue : kHighlight, k == 0 ? kWhite : kBlack, 8.25, true));
    add(text_box("Text8", k, "Frame1", 2760, top, 615, "Text8"));
  }
  add(option("Option1", 240, "In decending order"));
  add(option("Option2", 2160, "In acsending order"));

  // The settings panel.
  add(button("Command2", "Frame2(1)", 240, 360, 135, 255, "<"));
  add(text_box("Text11", -1, "Frame2(1)", 480, 360, 615, "Text11", "busynin süresini uzatır"));
  add(button("Command3", "Frame2(1)", 1200, 360, 135, 255, ">"));
  add(label("Label22", -1, "Frame2(1)", 240, 720, 1095, 255, "Network MTU", kPink));
  add(button("Command4", "Frame3", 240, 240, 135, 255, "<"));
  add(text_box("Text12", -1, "Frame3", 480, 240, 615, "Text12", "randomın limitini düşürür"));
  add(button("Command5", "Frame3", 1200, 240, 135, 255, ">"));
  add(label("Label28", -1, "Frame3", 120, 600, 1455, 255, "Data sending rate", kPink));
  add(button("Command6", "Frame3", 2400, 240, 135, 255, "<"));
  add(text_box("Text13", -1, "Frame3", 2640, 240, 615, "Text13", "busy lineın süresini artıracak"));
  add(button("Command7", "Frame3", 3360, 240, 135, 255, ">"));
  add(label("Label30", -1, "Frame3", 2280, 600, 1575, 255, "Avg. Frame length", kPink));
  add(label("Label4", -1, "Frame2(1)", 240, 1200, 2295, 255,
            "New time slot for Slotted aloha is "));
  add(label("Label31", -1, "Frame2(1)", 2640, 1200, 615, 255, "100"));
  add(label("Label35", -1, "Frame2(1)", 3480, 1200, 2055, 255, "Data Sending Rate"));
  add(label("Label34", -1, "Frame2(1)", 5640, 1200, 615, 255, "50"));

  return std::pair{t, n};
}();

static_assert(kControls.second == kControls.first.size(), "every control has its row");

// The place of the control `name` (`index`: -1 for none); one that is missing stops the build.
constexpr int place(std::string_view name, int index = -1) {
  for (std::size_t i = 0; i < kControls.first.size(); ++i) {
    const BuiltControl& c = kControls.first[i];
    if (c.index == index && name == c.name) return static_cast<int>(i);
  }
  throw std::logic_error("no such control");
}

template <std::size_t N>
constexpr std::array<int, N> places(std::string_view name) {
  std::array<int, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = place(name, static_cast<int>(i));
  return out;
}

constexpr BuiltWindow kWindow{
    "Aloha Methods & Multiple access Collussion Detection"
    "                                                                                          "
    "                            R. V.",
    15240, 10575, kPink, kBlue};

}  // namespace

constexpr NamedPlaces kNamedPlaces = [] {
  NamedPlaces p{};
#define BRUVIK_ONE(name) p.name = place(#name);
#define BRUVIK_MANY(name, count) p.name = places<count>(#name);
  BRUVIK_NAMED_CONTROLS(BRUVIK_ONE, BRUVIK_MANY)
#undef BRUVIK_ONE
#undef BRUVIK_MANY
  return p;
}();

const BuiltWindow& built_window() {
  return kWindow;
}

std::span<const BuiltControl> built_controls() {
  return kControls.first;
}

}  // namespace bruvik
