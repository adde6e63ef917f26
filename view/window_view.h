// What any front draws of the window: every control as a value (place, colours, font, text,
// state, picture, name for assistive technology, place in the reading order), taken from the
// model once per display frame, with what changed since the frame before. The model never
// calls it; a front pulls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/control.h"
#include "view/colours.h"

namespace bruvik {

class Form1;

// "label", "text_box", "command_button", ...
const char* kind_name(Kind kind);

// Pixels at 96 dpi of a length in twips.
int to_pixels(int twips);
// Pixels at 96 dpi of a font size in points.
int font_pixels(double points);

struct PixelBox {
  int left = 0, top = 0, width = 0, height = 0;
};

struct ControlView {
  // As built.
  std::string name;  // the window name, "Text1(0)", "Command1"
  Kind kind = Kind::Label;
  int container = -1;  // the frame it lies in, by place in the view; -1 for the window
  PixelBox box;        // in its container; not for lines
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // a line's end points in its container
  ViewColour back, fore;
  double font_points = kDefaultFontPoints;  // always "MS Sans Serif"
  int font_pixels = 0;
  bool bold = false;
  std::string tooltip;
  ShapeStyle shape = ShapeStyle::None;
  Picture picture = Picture::None;  // drawn at its own size, or stretched over the box
  bool stretch = false;
  // Its caption, or the captions of the labels that name it; empty for a label, which says its
  // own caption.
  std::string accessible_name;
  int reading = -1;  // place in the reading order; -1 for a control the keyboard never reaches

  // As the model holds it this frame.
  std::string text;  // caption or text; empty for kinds without one
  // Visible now, or made visible at some moment since the frame before (a flash).
  bool visible = false;
  bool enabled = false;
  bool value = false;  // an option button is selected
  ViewColour border;   // lines and shapes
  int border_width = 0;
};

// What changed of one control since the frame before, as bits.
enum ViewChange : unsigned {
  kChangedVisible = 1u << 0,
  kChangedEnabled = 1u << 1,
  kChangedText = 1u << 2,
  kChangedValue = 1u << 3,
  kChangedBorder = 1u << 4,
};
struct ControlChange {
  int control = 0;  // place in the view
  unsigned what = 0;
};

struct WindowLook {
  std::string caption;
  int width = 0, height = 0;  // the client area in pixels
  ViewColour back, fore;
};

class WindowView {
 public:
  // The built part from the form's table; the names from its captions as they are now.
  explicit WindowView(Form1& form);

  // Takes the model's state for a new display frame and returns what changed since the last
  // one; the first frame reports everything. A control that was shown and hidden again in
  // between is visible for this frame, so no flash is lost.
  const std::vector<ControlChange>& frame();

  const WindowLook& window() const { return window_; }
  // Every control, in the order of the window's table: a container before what it holds.
  const std::vector<ControlView>& controls() const { return controls_; }
  // By window name; -1 when none.
  int find(std::string_view name) const;
  // The controls the keyboard reaches, by place, in reading order.
  const std::vector<int>& reading_order() const { return reading_order_; }

 private:
  unsigned take(std::size_t i);

  Form1* form_;
  WindowLook window_;
  std::vector<ControlView> controls_;
  std::vector<int> reading_order_;
  std::vector<ControlChange> changes_;
  bool primed_ = false;
};

}  // namespace bruvik
