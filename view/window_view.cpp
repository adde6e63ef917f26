#include "view/window_view.h"

#include <algorithm>
#include <cmath>

#include "model/form.h"
#include "model/form_table.h"

namespace bruvik {
namespace {

// Controls named by labels: `before`, the caption of `label1`, `middle`, the caption of
// `label2`, joined by blanks.
struct Naming {
  const char* control;
  const char* before;
  const char* label1;
  const char* middle;
  const char* label2;
};
constexpr Naming kNamings[] = {
    {"Text6", "", "Label18", "", ""},
    {"Text7", "", "Label19", "", ""},
    {"Text9", "", "Label21", "", ""},
    {"Text10", "", "Label20", "", ""},
    {"Text11", "", "Label22", "", ""},
    {"Text12", "", "Label28", "", ""},
    {"Text13", "", "Label30", "", ""},
    {"Command2", "Lower", "Label22", "", ""},
    {"Command3", "Raise", "Label22", "", ""},
    {"Command4", "Lower", "Label28", "", ""},
    {"Command5", "Raise", "Label28", "", ""},
    {"Command6", "Lower", "Label30", "", ""},
    {"Command7", "Raise", "Label30", "", ""},
    {"Text1(0)", "", "Label6", "", "Label11(0)"},
    {"Text1(1)", "", "Label6", "", "Label11(1)"},
    {"Text2(0)", "", "Label7", "", "Label12(0)"},
    {"Text2(1)", "", "Label7", "", "Label12(1)"},
    {"Text3(0)", "", "Label8", "", "Label13(0)"},
    {"Text14(0)", "", "Label8", "", "Label32(0)"},
    {"Text4(0)", "", "Label9", "", "Label14(0)"},
    {"Text14(1)", "", "Label9", "", "Label32(1)"},
    {"Text5(0)", "", "Label10", "", "Label15(0)"},
    {"Text14(2)", "", "Label10", "", "Label32(2)"},
    {"Text8(0)", "", "Label33", "of place", "Label23"},
    {"Text8(1)", "", "Label33", "of place", "Label24"},
    {"Text8(2)", "", "Label33", "of place", "Label25"},
    {"Text8(3)", "", "Label33", "of place", "Label26"},
    {"Text8(4)", "", "Label33", "of place", "Label27"},
};

// Controls without caption or label, by array name; %1 is the station.
struct Role {
  const char* name;
  const char* text;
};
constexpr Role kRoles[] = {
    {"Image1", "Computer of station %1"},
    {"Shape1", "Frame of station %1 in transit"},
    {"Image3", "Mark of station %1"},
    {"Line2", "Drop line of station %1"},
    {"Image2", "Collision"},
    {"Line1", "Upper bus"},
    {"Line3", "Lower bus"},
    {"Line4", "Right end of the bus"},
    {"Shape2", "Terminator"},
    {"Line31", "Separator"},
    {"Line32", "Separator"},
    {"Line5", "Separator"},
    {"Line34", "Separator"},
    {"Line35", "Separator"},
    {"Frame1", "Performance table"},
    {"Frame2", "Bus picture"},  // Frame2(1) below
    {"Frame3", "Data sending rate and frame length"},
    {"Text3", "Unused box"},  // Text3(1); Text3(0) is named by its labels
    {"Text4", "Unused box"},
    {"Text5", "Unused box"},
};

// Reading order of the controls the user works with; focusable controls not listed follow in
// the order of the window's table.
constexpr const char* kReadingOrder[] = {
    "Text6",    "Text7",     "Command2",  "Command3",  "Command4", "Command5",
    "Command6", "Command7",  "Command1",  "Command8",  "Option1",  "Option2",
    "Text9",    "Text14(0)", "Text14(1)", "Text14(2)",
};

// Blanks trimmed and each run of them made one, as a screen reader would say the text.
std::string simplified(std::string_view text) {
  std::string out;
  bool blank = false;
  for (const char ch : text) {
    if (ch == ' ' || (ch >= '\t' && ch <= '\r')) {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    out += ch;
  }
  return out;
}

std::string caption_of(Form1& form, const char* name) {
  if (*name == '\0') return {};
  const Control* c = form.find_named(name);
  return c == nullptr ? std::string() : simplified(c->text());
}

std::string accessible_name(Form1& form, const Control& control) {
  const BuiltControl& s = control.built();
  const std::string window = window_name(s);
  for (const Naming& n : kNamings) {
    if (window != n.control) continue;
    std::string name;
    for (const std::string& part : {std::string(n.before), caption_of(form, n.label1),
                                    std::string(n.middle), caption_of(form, n.label2)}) {
      if (part.empty()) continue;
      if (!name.empty()) name += ' ';
      name += part;
    }
    return name;
  }
  if (window == "Frame2(1)") return "Settings panel";
  for (const Role& r : kRoles) {
    if (std::string_view(s.name) != r.name) continue;
    std::string text = r.text;
    if (const auto at = text.find("%1"); at != std::string::npos) {
      text.replace(at, 2, std::to_string(s.index));
    }
    return text;
  }
  return simplified(control.text());
}

bool has_text(Kind kind) {
  return kind == Kind::Label || kind == Kind::TextBox || kind == Kind::CommandButton ||
         kind == Kind::OptionButton;
}

bool reached_by_keyboard(Kind kind) {
  return kind == Kind::TextBox || kind == Kind::CommandButton || kind == Kind::OptionButton;
}

}  // namespace

const char* kind_name(Kind kind) {
  switch (kind) {
    case Kind::Label:
      return "label";
    case Kind::TextBox:
      return "text_box";
    case Kind::CommandButton:
      return "command_button";
    case Kind::OptionButton:
      return "option_button";
    case Kind::Frame:
      return "frame";
    case Kind::Line:
      return "line";
    case Kind::Shape:
      return "shape";
    case Kind::Image:
      return "image";
  }
  return "unknown";
}

int to_pixels(int twips) {
  return static_cast<int>(std::lround(twips / static_cast<double>(kTwipsPerPixel)));
}

int font_pixels(double points) {
  return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

WindowView::WindowView(Form1& form) : form_(&form) {
  const BuiltWindow& window = built_window();
  window_.caption = window.caption;
  window_.width = to_pixels(window.client_width);
  window_.height = to_pixels(window.client_height);
  window_.back = view_colour(window.back);
  window_.fore = view_colour(window.fore);

  controls_.reserve(form.controls().size());
  for (const Control& c : form.controls()) {
    const BuiltControl& s = c.built();
    ControlView v;
    v.name = window_name(s);
    v.kind = s.kind;
    if (*s.container != '\0') v.container = find(s.container);
    v.box = {to_pixels(s.left), to_pixels(s.top), to_pixels(s.width), to_pixels(s.height)};
    v.x1 = to_pixels(s.x1);
    v.y1 = to_pixels(s.y1);
    v.x2 = to_pixels(s.x2);
    v.y2 = to_pixels(s.y2);
    v.back = view_colour(s.back);
    v.fore = view_colour(s.fore);
    v.font_points = s.font_points;
    v.font_pixels = font_pixels(s.font_points);
    v.bold = s.bold;
    v.tooltip = s.tooltip;
    v.shape = s.shape;
    v.picture = s.picture;
    v.stretch = s.stretch;
    // A label's name is its caption; any other's comes from captions once every control exists.
    if (s.kind != Kind::Label) v.accessible_name = accessible_name(form, c);
    controls_.push_back(std::move(v));
  }

  for (const char* name : kReadingOrder) {
    if (const int i = find(name); i >= 0) reading_order_.push_back(i);
  }
  for (int i = 0; i < static_cast<int>(controls_.size()); ++i) {
    if (!reached_by_keyboard(controls_[static_cast<std::size_t>(i)].kind)) continue;
    if (std::find(reading_order_.begin(), reading_order_.end(), i) == reading_order_.end()) {
      reading_order_.push_back(i);
    }
  }
  for (std::size_t k = 0; k < reading_order_.size(); ++k) {
    controls_[static_cast<std::size_t>(reading_order_[k])].reading = static_cast<int>(k);
  }
}

int WindowView::find(std::string_view name) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

const std::vector<ControlChange>& WindowView::frame() {
  changes_.clear();
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (const unsigned what = take(i); what != 0) {
      changes_.push_back({static_cast<int>(i), what});
    }
  }
  primed_ = true;
  return changes_;
}

unsigned WindowView::take(std::size_t i) {
  Control& c = form_->controls()[i];
  ControlView& v = controls_[i];
  unsigned what = 0;
  const bool shown = c.take_shown();
  if (!primed_ || shown != v.visible) {
    v.visible = shown;
    what |= kChangedVisible;
  }
  if (!primed_ || c.enabled() != v.enabled) {
    v.enabled = c.enabled();
    what |= kChangedEnabled;
  }
  if (has_text(v.kind) && (!primed_ || c.text() != v.text)) {
    v.text = c.text();
    what |= kChangedText;
  }
  if (v.kind == Kind::OptionButton && (!primed_ || c.value() != v.value)) {
    v.value = c.value();
    what |= kChangedValue;
  }
  if (v.kind == Kind::Line || v.kind == Kind::Shape) {
    const ViewColour border = view_colour(c.border_color());
    if (!primed_ || border != v.border || c.border_width() != v.border_width) {
      v.border = border;
      v.border_width = c.border_width();
      what |= kChangedBorder;
    }
  }
  return what;
}

}  // namespace bruvik
